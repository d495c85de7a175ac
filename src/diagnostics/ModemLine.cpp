#include "ModemLine.h"

#include <QLocale>

namespace ModemLine {

namespace {
QString Hex(quint32 value, int digits) {
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
} // namespace

QByteArray FoldLineEnds(const QByteArray& line) {
    QByteArray folded = line;
    while (folded.contains("\r\n")) {
        folded.remove(folded.indexOf('\r'), 1);
        folded[folded.indexOf('\n')] = ' ';
    }
    if (folded.endsWith('\r'))
        folded.chop(1);
    return folded;
}

QByteArray ZerosAsDots(const QByteArray& line) {
    QByteArray shown = line;
    shown.replace('\0', '.');
    return shown;
}

QString Shown(const QByteArray& line) {
    return QString::fromLatin1(line);
}

QString RegistersPrefixed(const TModemRegisters& registers, const QString& line) {
    return QStringLiteral("MC55iCR:") + Hex(registers.MC55iCR, 2) + QStringLiteral(" MC55iSR") +
           Hex(registers.MC55iSR, 2) + QStringLiteral(" MC55iFlags") +
           Hex(registers.MC55iFlags, 2) + QStringLiteral(" TCPSR") + Hex(registers.TCPSR, 4) +
           QStringLiteral("\r\n>>") + line;
}

QString TimePrefixed(const QString& time, bool outgoing, const QString& line) {
    return time + (outgoing ? QStringLiteral(" >> ") : QStringLiteral(" << ")) + line;
}

QString TimeText(const QDateTime& moment) {
    // The system's long time format names the time zone on some systems;
    // lines a fraction of a second apart want the seconds, not the zone.
    const QLocale system = QLocale::system();
    return system.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           moment.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace ModemLine
