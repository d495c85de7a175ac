#include "Bytes.h"

#include <algorithm>

THexError::THexError(const QByteArray& text)
    : std::runtime_error(("Ne HEX " + text).toStdString()) {}

QByteArray SplitHead(QByteArray& text, const QByteArray& delimiter) {
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    if (at < 0) {
        QByteArray head = text;
        text.clear();
        return head;
    }
    QByteArray head = text.left(at);
    text = text.mid(at + delimiter.size());
    return head;
}

QString SplitHeadW(QString& text, const QString& delimiter) {
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    if (at < 0) {
        QString head = text;
        text.clear();
        return head;
    }
    QString head = text.left(at);
    text = text.mid(at + delimiter.size());
    return head;
}

std::uint32_t HexToInt(const QByteArray& text) {
    std::uint32_t value = 0;
    for (const char c : text) {
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = std::uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = std::uint32_t(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = std::uint32_t(c - 'a' + 10);
        else
            throw THexError(text);
        value = (value << 4) | digit;
    }
    return value;
}

QByteArray BytesToHex(const tduomenys& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(qsizetype(bytes.size() * 3));
    for (const std::uint8_t b : bytes) {
        text.append(digits[b >> 4]);
        text.append(digits[b & 0x0F]);
        text.append(' ');
    }
    return text;
}

QByteArray BytesToText(const tduomenys& bytes) {
    return ToQByteArray(bytes);
}

tduomenys TextToBytes(const QByteArray& text) {
    return FromQByteArray(text);
}

QString UCS2BEToWide(const tduomenys& bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t((bytes[i] << 8) | bytes[i + 1])));
    return text;
}

QString RemoveNulChars(const QString& text) {
    QString result = text;
    result.remove(QChar(u'\0'));
    return result;
}

void FillBytes(tduomenys& bytes, std::uint8_t value) {
    std::fill(bytes.begin(), bytes.end(), value);
}

void CopyBytes(tduomenys& destination, const tduomenys& source, std::size_t destinationPos,
               std::size_t count, std::size_t sourcePos) {
    for (std::size_t i = 0; i < count; ++i) {
        if (destinationPos + i >= destination.size() || sourcePos + i >= source.size())
            return;
        destination[destinationPos + i] = source[sourcePos + i];
    }
}

void CopyInto(tduomenys& destination, const tduomenys& source, std::size_t destinationPos) {
    CopyBytes(destination, source, destinationPos, source.size(), 0);
}

QByteArray DigitsOnly(const QByteArray& text) {
    QByteArray digits;
    for (const char c : text)
        if (c >= '0' && c <= '9')
            digits.append(c);
    return digits;
}

QByteArray HexCharsOnly(const QByteArray& text) {
    QByteArray hex;
    for (const char c : text.toUpper())
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
            hex.append(c);
    return hex;
}

std::uint32_t DigitsToInt(const QByteArray& text) {
    std::uint32_t value = 0;
    for (const char c : text)
        if (c >= '0' && c <= '9')
            value = value * 10u + std::uint32_t(c - '0');
    return value;
}

QByteArray PadText(const QByteArray& text, int width) {
    QByteArray padded = text.left(width);
    while (padded.size() < width)
        padded.append(' ');
    return padded;
}

QByteArray TrimTrailingBlanks(const QByteArray& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.left(end);
}

QByteArray ToQByteArray(const tduomenys& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

tduomenys FromQByteArray(const QByteArray& bytes) {
    return tduomenys(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     reinterpret_cast<const std::uint8_t*>(bytes.constData()) + bytes.size());
}
