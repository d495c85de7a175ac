#include "CodePage.h"

#include "CodePageTables.h"

namespace {
constexpr int BalticCharset = 186;
constexpr int CyrillicCharset = 204;
constexpr int GreekCharset = 161;
constexpr int TurkishCharset = 162;
constexpr int VietnameseCharset = 163;

const std::array<char16_t, 128>& UpperHalf(TCodePage codePage) {
    switch (codePage) {
    case TCodePage::Cp1251:
        return TCodePageTables::Cp1251;
    case TCodePage::Cp1253:
        return TCodePageTables::Cp1253;
    case TCodePage::Cp1254:
        return TCodePageTables::Cp1254;
    case TCodePage::Cp1257:
        return TCodePageTables::Cp1257;
    case TCodePage::Cp1258:
        return TCodePageTables::Cp1258;
    case TCodePage::Cp1250:
        break;
    }
    return TCodePageTables::Cp1250;
}
} // namespace

TCodePage CodePageOfCharset(int charset) {
    switch (charset) {
    case BalticCharset:
        return TCodePage::Cp1257;
    case CyrillicCharset:
        return TCodePage::Cp1251;
    case GreekCharset:
        return TCodePage::Cp1253;
    case TurkishCharset:
        return TCodePage::Cp1254;
    case VietnameseCharset:
        return TCodePage::Cp1258;
    default:
        return TCodePage::Cp1250;
    }
}

QString ToWide(const QByteArray& text, TCodePage codePage) {
    const std::array<char16_t, 128>& upper = UpperHalf(codePage);
    QString wide(text.size(), Qt::Uninitialized);
    QChar* out = wide.data();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte < 0x80 ? QChar(byte) : QChar(upper[byte - 0x80]);
    }
    return wide;
}
