#pragma once
// How the strings a HID device reports become the layer's texts; shared by the
// platform backends.

#include <QList>
#include <QString>

class THidStringRules {
public:
    static constexpr int MaxLength = 253; // UTF-16 code units

    // A string from a wide-character platform API, cut to MaxLength without
    // splitting a surrogate pair; empty for null.
    static QString FromWide(const wchar_t* text);
    // Some firmware answers the serial-number request with its list of
    // language ids (string descriptor 0); such a serial counts as none.
    static QString SerialNumber(const QString& serial, const QList<quint16>& languageIds);
};
