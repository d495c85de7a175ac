#include "FirmwareVersion.h"

qint32 FirmwareVersionFromName(const QByteArray& productName) {
    const qsizetype blank = productName.indexOf(' ');
    if (blank < 0)
        return 0;
    QByteArray digits;
    bool seenV = false;
    for (const char c : productName.mid(blank + 1)) {
        if (!seenV) {
            seenV = c == 'v';
            continue;
        }
        if (c >= '0' && c <= '9')
            digits.append(c);
    }
    bool ok = false;
    const qint32 value = digits.toInt(&ok);
    return ok ? value : 0;
}

QString FirmwareVersionText(qint32 version) {
    return QStringLiteral("v%1.%2").arg(version / 100).arg(version % 100, 2, 10, QLatin1Char('0'));
}
