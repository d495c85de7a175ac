#include "AppFolders.h"

#include "SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

bool InstallShippedFile(const QString& name, QString* error) {
    const QString folder = AppDataFolder();
    const QString path = folder + name;
    if (QFile::exists(path))
        return true;
    QFile shipped(ProgramFolder() + name);
    if (!shipped.open(QIODevice::ReadOnly))
        return false; // nothing shipped to install
    const QByteArray content = shipped.readAll();
    if (shipped.error() != QFileDevice::NoError)
        return false;
    if ((!folder.isEmpty() && !QDir().mkpath(folder)) || !SafeWriteFile(path, content)) {
        if (error)
            *error = UnableToWriteText(path);
        return false;
    }
    return true;
}
