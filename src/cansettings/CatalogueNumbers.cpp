#include "CatalogueNumbers.h"

#include "link/Bytes.h"

#include <QLocale>

namespace CatalogueNumbers {

qint32 Hex(const QString& field) {
    // Non-Latin-1 characters must still fail, so they become '?' rather than
    // being dropped by the conversion.
    QByteArray text;
    text.reserve(field.size());
    for (const QChar c : field)
        text.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    return qint32(HexToInt(text));
}

qint32 FunctionNumber(const QString& field) {
    const qsizetype eq = field.indexOf(QLatin1Char('='));
    if (eq < 0)
        return 0;
    QByteArray kept;
    for (const QChar c : field.mid(eq + 1).toUpper()) {
        const char ch = c.unicode() < 0x80 ? char(c.unicode()) : '?';
        if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'))
            kept.append(ch);
    }
    return qint32(HexToInt(kept));
}

QString FlagNumberText(const QString& field) {
    const qsizetype eq = field.indexOf(QLatin1Char('='));
    return eq < 0 ? field : field.mid(eq + 1);
}

quint8 Digits(const QString& field) {
    quint32 value = 0;
    for (const QChar c : field)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            value = value * 10 + quint32(c.unicode() - '0');
    return quint8(value & 0xFF);
}

double Real(const QString& field) {
    const QString text = field.trimmed();
    if (text.isEmpty())
        return 1.0;
    bool ok = false;
    double value = QLocale().toDouble(text, &ok);
    // A catalogue written with a point still reads on a desktop whose
    // separator is a comma.
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    return ok ? value : 1.0;
}

} // namespace CatalogueNumbers
