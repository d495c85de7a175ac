#pragma once
// The program's byte array and the small byte and text routines that the links,
// the file readers and the log share. 8-bit text is a QByteArray (bytes in the
// system's or a language's code page); wide text is a QString.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Growable, indexed from 0; new elements are zero when it is lengthened.
using tduomenys = std::vector<std::uint8_t>;

// Raised by HexToInt; its text is "Ne HEX " followed by the whole argument.
class THexError : public std::runtime_error {
public:
    explicit THexError(const QByteArray& text);
};

QByteArray SplitHead(QByteArray& text, const QByteArray& delimiter);
QString SplitHeadW(QString& text, const QString& delimiter);

std::uint32_t HexToInt(const QByteArray& text);
QByteArray BytesToHex(const tduomenys& bytes);
QByteArray BytesToText(const tduomenys& bytes);
tduomenys TextToBytes(const QByteArray& text);
QString UCS2BEToWide(const tduomenys& bytes);
QString RemoveNulChars(const QString& text);

void FillBytes(tduomenys& bytes, std::uint8_t value);
void CopyBytes(tduomenys& destination, const tduomenys& source, std::size_t destinationPos,
               std::size_t count, std::size_t sourcePos);
void CopyInto(tduomenys& destination, const tduomenys& source, std::size_t destinationPos);

QByteArray DigitsOnly(const QByteArray& text);
QByteArray HexCharsOnly(const QByteArray& text);
std::uint32_t DigitsToInt(const QByteArray& text);

// Pads 8-bit text with blanks to the field width, then cuts it to that width.
QByteArray PadText(const QByteArray& text, int width);
// Removes trailing blanks (0x20) only; every other byte stays.
QByteArray TrimTrailingBlanks(const QByteArray& text);

// Conversions at the edges between tduomenys and Qt's byte arrays.
QByteArray ToQByteArray(const tduomenys& bytes);
tduomenys FromQByteArray(const QByteArray& bytes);
