#pragma once
// The number formats of the parameter catalogue's fields. The hexadecimal
// readers throw THexError (Bytes.h) on a character that is not a digit; the
// loader turns that into its parse error.

#include <QString>
#include <QtGlobal>

namespace CatalogueNumbers {
// Hexadecimal, any length, accumulated in a signed 32-bit value; empty is 0.
qint32 Hex(const QString& field);
// A function's number: after the first "=", non-hexadecimal characters dropped.
qint32 FunctionNumber(const QString& field);
// A flag's number: after the first "=" if there is one, else the whole field.
QString FlagNumberText(const QString& field);
// Only the decimal digits count, kept modulo 256 ("-5" is 5, "1.5" is 15).
quint8 Digits(const QString& field);
// A step: a decimal number; empty or unreadable gives 1.0.
double Real(const QString& field);
} // namespace CatalogueNumbers
