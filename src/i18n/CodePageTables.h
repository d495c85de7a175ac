#pragma once
// Upper halves of the Windows code pages that language texts are stored in.

#include <array>

namespace TCodePageTables {
extern const std::array<char16_t, 128> Cp1250;
extern const std::array<char16_t, 128> Cp1251;
extern const std::array<char16_t, 128> Cp1253;
extern const std::array<char16_t, 128> Cp1254;
extern const std::array<char16_t, 128> Cp1257;
extern const std::array<char16_t, 128> Cp1258;
} // namespace TCodePageTables
