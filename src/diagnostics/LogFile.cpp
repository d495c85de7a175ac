#include "LogFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// --- STAND-IN for files/SafeWrite.h (branch reliability, not in main yet) ------
// Same signature as SafeWriteFile there: once it is in main, include
// "files/SafeWrite.h", call SafeWriteFile in SaveLogFile and delete this block.
bool SafeWriteStandIn(const QString& path, const QByteArray& content, QString* reason) {
    const QString target = QFileInfo(path).absoluteFilePath();
    QFile file(target + QStringLiteral(".tmp"));
    const auto fail = [&](const QString& why) {
        if (file.isOpen())
            file.close();
        file.remove();
        *reason = why;
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(file.errorString());
    if (file.write(content) != content.size() || !file.flush())
        return fail(file.errorString());
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.close();
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(),
                            QFile::encodeName(target).toStdString(), error);
    if (error)
        return fail(QString::fromStdString(error.message()));
    return true;
}
// --- end of the stand-in --------------------------------------------------------

} // namespace

bool SaveLogFile(const QString& path, const QString& text, QString* reason) {
    QString ignored;
    return SafeWriteStandIn(path, text.toUtf8(), reason ? reason : &ignored);
}

QString DefaultLogFileName(const QDateTime& moment) {
    return QStringLiteral("rv5k-log-") + moment.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".txt");
}
