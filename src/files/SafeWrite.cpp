#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
constexpr int NameAttempts = 16;

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool Fail(QString* reason, const QString& why) {
    if (reason)
        *reason = why;
    return false;
}

// A name beside the target that nothing else uses.
QString TemporaryName(const QString& target) {
    return target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                  QLatin1Char('0'));
}

bool SyncToDisk(QFile& file) {
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// Replaces target by source in one step: a reader sees the old file or the
// new one, never a part.
bool ReplaceFile(const QString& source, const QString& target, QString* reason) {
#ifdef Q_OS_WIN
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(source).utf16()),
                    reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(target).utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (reason)
        *reason = QStringLiteral("cannot replace the file (Windows error %1)").arg(GetLastError());
    return false;
#else
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) ==
        0)
        return true;
    if (reason)
        *reason = SystemReason(errno);
    return false;
#endif
}

// The rename itself must reach the disk too; a folder that cannot be synced
// leaves the file written all the same.
void SyncFolder([[maybe_unused]] const QString& folder) {
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}
} // namespace

bool SafeWriteFile(const QString& path, const QByteArray& content, QString* reason) {
    QFileInfo info(path);
    // Writing through a link keeps the link and changes the file it names.
    if (info.isSymLink())
        info = QFileInfo(info.symLinkTarget());
    const QString target = info.absoluteFilePath();
    if (info.exists()) {
        if (info.isDir())
            return Fail(reason, QStringLiteral("a folder has the file's name"));
        if (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
            return Fail(reason, QStringLiteral("the file is read-only"));
    } else if (!info.dir().exists()) {
        return Fail(reason, QStringLiteral("the folder does not exist"));
    }

    QFile file;
    bool opened = false;
    for (int attempt = 0; attempt < NameAttempts && !opened; ++attempt) {
        file.setFileName(TemporaryName(target));
        opened = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!opened && !QFile::exists(file.fileName()))
            break; // not a taken name: the folder refuses
    }
    if (!opened)
        return Fail(reason, file.errorString());

    const auto discard = [&](const QString& why) {
        file.close();
        file.remove();
        return Fail(reason, why);
    };
    if (file.write(content) != content.size())
        return discard(file.errorString());
    // The write may only have filled Qt's buffer; the flush is where a full
    // disk shows.
    if (!file.flush())
        return discard(file.errorString());
    if (!SyncToDisk(file))
        return discard(SystemReason(errno));
    if (info.exists())
        file.setPermissions(info.permissions());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return discard(file.errorString());
    QString replaceReason;
    if (!ReplaceFile(file.fileName(), target, &replaceReason)) {
        file.remove();
        return Fail(reason, replaceReason);
    }
    SyncFolder(info.absolutePath());
    return true;
}

QString UnableToWriteText(const QString& path) {
    return QStringLiteral("Unable to write to %1")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}
