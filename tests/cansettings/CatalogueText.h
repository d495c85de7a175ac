#pragma once
// Builds catalogue text for the tests: a header with two languages and every
// column, and lines whose fields are given by column key.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace CatalogueText {
inline const QStringList& Keys() {
    static const QStringList keys{"#NAME1",
                                  "#ASSIGNED_FN1_CAPTION1",
                                  "#ASSIGNED_FN2_CAPTION1",
                                  "#HINT1",
                                  "#NAME2",
                                  "#ASSIGNED_FN1_CAPTION2",
                                  "#ASSIGNED_FN2_CAPTION2",
                                  "#HINT2",
                                  "#NUMBER",
                                  "#STEP1",
                                  "#MIN1",
                                  "#MAX1",
                                  "#STEP2",
                                  "#MIN2",
                                  "#MAX2",
                                  "#ASSIGNED_FN1",
                                  "#ASSIGNED_FN2",
                                  "#TABLE2"};
    return keys;
}
inline QString Header() {
    return "#TOPLINE\t" + Keys().join('\t');
}
// A line: the directive, then each field by its key (short keys without '#':
// NAME1, NUMBER, ...).
inline QString Line(const QString& directive, const QMap<QString, QString>& fields = {}) {
    QStringList out{directive};
    for (const QString& key : Keys())
        out << fields.value(key.mid(1));
    return out.join('\t');
}
inline QString Languages(const QString& first = "English", const QString& second = "Lietuviu") {
    return Line("#LANGUAGE", {{"NAME1", first}, {"NAME2", second}});
}
inline QByteArray Join(const QStringList& lines) {
    return lines.join("\r\n").toUtf8() + "\r\n";
}
} // namespace CatalogueText
