#pragma once
// Turns the bytes of a car list into text. The lists come from Windows
// machines in their 8-bit code page (Western European, Windows-1252), but a
// list saved by a newer editor may be UTF-8 or, from a spreadsheet's
// "Unicode text", UTF-16 with its byte order mark. The text is taken as:
//   - UTF-16 (LE or BE) when it starts with the matching byte order mark;
//   - UTF-8 when the whole file is valid UTF-8 (a leading mark is dropped);
//   - Windows-1252 otherwise, byte by byte, so no byte is ever lost.
// NUL characters are removed: a list has no use for them and they would cut
// the texts shown in the lists.

#include <QByteArray>
#include <QString>

class TCarListText {
public:
    static QString Decode(const QByteArray& bytes);
    // One byte of Windows-1252; the five bytes it leaves undefined become
    // the character of the same code.
    static QChar FromWindows1252(uchar byte);
};
