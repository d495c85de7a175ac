#include "AppFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
const QString FolderName = QStringLiteral("RV5K Loader");

QString WithSeparator(QString folder) {
    if (folder.isEmpty())
        return folder;
#ifdef Q_OS_WIN
    if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('\\');
#else
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
#endif
    return folder;
}

QString PlatformDataFolder() {
#ifdef Q_OS_WIN
    const QString programData = qEnvironmentVariable("ProgramData");
    if (programData.isEmpty())
        return {};
    return WithSeparator(programData) + FolderName;
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            return {};
        base = WithSeparator(home) + QStringLiteral(".local/share");
    }
    return WithSeparator(base) + FolderName;
#endif
}
} // namespace

QString AppDataFolder() {
    const QString overridden = qEnvironmentVariable("RV5K_APPDATA");
    if (!overridden.isEmpty())
        return WithSeparator(overridden);
    return WithSeparator(PlatformDataFolder());
}

QString ProgramFolder() {
    return WithSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

bool InstallShippedFile(const QString& name) {
    const QString folder = AppDataFolder();
    const QString path = folder + name;
    if (QFile::exists(path))
        return true;
    QFile shipped(ProgramFolder() + name);
    if (!folder.isEmpty() && !QDir().mkpath(folder))
        return false;
    if (!shipped.open(QIODevice::ReadOnly))
        return false;
    QSaveFile copy(path);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(shipped.readAll()) < 0)
        return false;
    return copy.commit();
}
