#include "HidStringRules.h"

QString THidStringRules::FromWide(const wchar_t* text) {
    if (!text)
        return {};
    // A wide character gives at most two UTF-16 units, so this many always
    // fills MaxLength, and a longer source is never scanned to its end.
    qsizetype length = 0;
    while (length <= MaxLength && text[length] != L'\0')
        ++length;
    QString result = QString::fromWCharArray(text, length);
    if (result.size() > MaxLength) {
        result.truncate(MaxLength);
        if (result.back().isHighSurrogate())
            result.chop(1);
    }
    return result;
}

QString THidStringRules::SerialNumber(const QString& serial, const QList<quint16>& languageIds) {
    if (languageIds.isEmpty() || serial.size() != languageIds.size())
        return serial;
    for (qsizetype i = 0; i < serial.size(); ++i)
        if (serial.at(i).unicode() != languageIds.at(i))
            return serial;
    return {};
}
