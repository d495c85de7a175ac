#pragma once
// Between the function memory map and the two trees: shows the map in the
// trees (which functions exist, the checked options, flags, sub-parameters)
// and gathers the PIN, car data and last events of the fixed FNs; collects
// the trees' values back into the map.

#include "Catalogue.h"
#include "FnMemoryMap.h"

#include <array>
#include <optional>

struct TFixedFns {
    static constexpr quint8 FirstPinFn = 0x01;
    static constexpr quint8 LastPinFn = 0x04;
    static constexpr quint8 CarGroupFn = 0x06;
    static constexpr quint8 CarSubgroupFn = 0x07;
    static constexpr quint8 CarProgramFn = 0x57;
    static constexpr quint8 FirstEventFn = 0x71;
    static constexpr quint8 NotSet = 0xFF;

    std::array<quint8, 4> Pin{};
    bool PinShown = false;             // FN 0x04 reported: the PIN field is filled
    std::array<int, 3> LastEvents{};   // message numbers; 0: not reported
    std::optional<quint8> CarProgram;  // FN 0x57
    std::optional<quint8> CarGroup;    // FN 0x06 (0xFF: not set)
    std::optional<quint8> CarSubgroup; // FN 0x07 (0xFF: not set)
    bool CurrentCarKnown = false;
    bool FlagShown = false;

    // Last event code to the message that names it.
    static int EventMessage(quint8 nn) { return nn > 18 ? nn : nn + 67; }
    // The text of the label next to "Btr:"; notSet is message 62.
    QString CarText(const QString& notSet) const;
    // The four PIN digits as the field shows them.
    QString PinText() const;
    // A PIN as the module takes it: four digits, 1 to 9 each.
    static bool ValidPinText(const QString& text);
    // The digits of a text ValidPinText accepts.
    static std::array<quint8, 4> PinFromText(const QString& text);
};

namespace MapApplier {
// Resets the view of both trees and applies every slot; fixed keeps what the
// fixed FNs said (PIN digits already known are kept unless reported again).
void ApplyMemoryMap(TCatalogue& catalogue, const TFnMemoryMap& map, TFixedFns& fixed);
void CollectTreeValues(const TCatalogue& catalogue, TFnMemoryMap& map);
} // namespace MapApplier
