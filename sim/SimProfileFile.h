#pragma once
// Reading a simulator profile file, shared by the module and the base
// profiles: the file's bytes, or the reason they cannot be had, prefixed with
// the file's name as the user wrote it.

#include <QDir>
#include <QFile>
#include <QString>
#include <optional>

inline std::optional<QByteArray> ReadSimProfileFile(const QString& path, QString* error) {
    // A profile is a page of JSON; anything larger is not one.
    constexpr qint64 MaxProfileFileBytes = 4 * 1024 * 1024;
    const QString name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: cannot be read (%2)").arg(name, file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxProfileFileBytes) {
        if (error)
            *error = QStringLiteral("%1: too large for a profile").arg(name);
        return std::nullopt;
    }
    return file.readAll();
}
