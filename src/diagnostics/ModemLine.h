#pragma once
// One line of modem traffic as the log shows it: its line ends folded, its
// zero bytes made visible, and the prefix with the time and the direction, or
// with the module's last register values for an outgoing line.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The modem and TCP registers of the last state block, as the log quotes them.
struct TModemRegisters {
    quint8 MC55iFlags = 0;
    quint8 MC55iCR = 0;
    quint8 MC55iSR = 0;
    quint16 TCPSR = 0;
};

namespace ModemLine {

// Every CR LF folds into a blank (the line's first CR goes, its first LF
// becomes the blank); then a CR that ends the line goes.
QByteArray FoldLineEnds(const QByteArray& line);
// Zero bytes read as ".".
QByteArray ZerosAsDots(const QByteArray& line);
// 8-bit text as shown: one character per byte.
QString Shown(const QByteArray& line);

// "MC55iCR:00 MC55iSR00 MC55iFlags4F TCPSR3002", CR LF, ">>" and the line.
QString RegistersPrefixed(const TModemRegisters& registers, const QString& line);
// The time, " >> " (outgoing) or " << " (incoming), and the line.
QString TimePrefixed(const QString& time, bool outgoing, const QString& line);
// The system's short date and its time of day with seconds.
QString TimeText(const QDateTime& moment);

} // namespace ModemLine
