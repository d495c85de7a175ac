#include "TemplateWrite.h"

#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace {
// The data must be on the disk before the rename makes it the file: a crash
// after the rename would otherwise leave an empty file where a good one was.
bool SyncToDisk(QSaveFile& file, QString* reason) {
    const int handle = file.handle();
    if (handle < 0)
        return true; // nothing of ours to sync
#ifdef Q_OS_WIN
    if (_commit(handle) == 0)
        return true;
    if (reason)
        *reason = QStringLiteral("The data could not be written to the disk");
    return false;
#else
    if (::fsync(handle) == 0)
        return true;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}
} // namespace

namespace TemplateFiles {
bool Write(const QString& path, const QByteArray& content, QString* reason) {
    QSaveFile file(path);
    // Never write into the file itself: a failure would leave it half written.
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a full disk shows at the write, not after it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    if (file.write(content) != content.size() || !file.flush()) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        return false; // the temporary goes with the object
    }
    if (!SyncToDisk(file, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}
} // namespace TemplateFiles
