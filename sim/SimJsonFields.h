#pragma once
// The small readers both simulator profile parsers build on. Each names the
// place in the profile ("map[3][1]") so that the first thing wrong can be
// told with where it is; a reader that finds something wrong throws
// TBadProfile, which the parser's entry point turns into its error text.

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

namespace SimJson {

struct TBadProfile {
    QString Text;
};

[[noreturn]] inline void Fail(const QString& where, const QString& what) {
    throw TBadProfile{where.isEmpty() ? what : where + QStringLiteral(": ") + what};
}

inline QString Key(const QString& where, const QString& key) {
    return where.isEmpty() ? key : where + QLatin1Char('.') + key;
}

inline QString At(const QString& where, qsizetype index) {
    return QStringLiteral("%1[%2]").arg(where).arg(index);
}

inline void CheckKeys(const QJsonObject& object, const QString& where, const QStringList& known) {
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!known.contains(it.key()))
            Fail(where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
}

inline bool Bool(const QJsonValue& value, const QString& where) {
    if (!value.isBool())
        Fail(where, QStringLiteral("expected true or false"));
    return value.toBool();
}

inline QString Text(const QJsonValue& value, const QString& where) {
    if (!value.isString())
        Fail(where, QStringLiteral("expected a text"));
    return value.toString();
}

inline QJsonArray List(const QJsonValue& value, const QString& where) {
    if (!value.isArray())
        Fail(where, QStringLiteral("expected a list"));
    return value.toArray();
}

inline QJsonObject Object(const QJsonValue& value, const QString& where) {
    if (!value.isObject())
        Fail(where, QStringLiteral("expected an object"));
    return value.toObject();
}

} // namespace SimJson
