#include "CarListText.h"

#include <QStringDecoder>

namespace {
// 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char16_t Windows1252Controls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool StartsWith(const QByteArray& bytes, const char* mark, int length) {
    return bytes.size() >= length && memcmp(bytes.constData(), mark, length) == 0;
}
} // namespace

QChar TCarListText::FromWindows1252(uchar byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(Windows1252Controls[byte - 0x80]);
    return QChar(byte);
}

QString TCarListText::Decode(const QByteArray& bytes) {
    QString text;
    if (StartsWith(bytes, "\xFF\xFE", 2) || StartsWith(bytes, "\xFE\xFF", 2)) {
        QStringDecoder utf16(bytes[0] == '\xFF' ? QStringConverter::Utf16LE
                                                : QStringConverter::Utf16BE);
        text = utf16.decode(bytes.mid(2));
    } else {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            text.resize(bytes.size());
            QChar* out = text.data();
            for (const char byte : bytes)
                *out++ = FromWindows1252(static_cast<uchar>(byte));
        } else if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
    }
    text.remove(QChar(0));
    return text;
}
