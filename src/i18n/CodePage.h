#pragma once
// The 8-bit code pages of the language texts and their widening to Unicode.
// A language names its code page by the Windows character-set number of its
// fonts (186 Baltic, 204 Cyrillic, ...).

#include <QByteArray>
#include <QString>

enum class TCodePage {
    Cp1250 = 1250,
    Cp1251 = 1251,
    Cp1253 = 1253,
    Cp1254 = 1254,
    Cp1257 = 1257,
    Cp1258 = 1258
};

// 186: 1257, 204: 1251, 161: 1253, 162: 1254, 163: 1258, any other: 1250.
TCodePage CodePageOfCharset(int charset);

// Byte by byte: bytes below 0x80 and bytes the code page leaves undefined
// become the character of the same code; the others that code page's
// character. No byte is ever dropped.
QString ToWide(const QByteArray& text, TCodePage codePage);
