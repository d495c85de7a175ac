#include "UpdateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
// ---------------------------------------------------------------------------
// STAND-IN for the project's safe-write helper, which is being written in
// src/files on another branch. When it lands, delete this block and call the
// helper from UpdateFiles::Store below (its only caller).
// Temporary file in the same folder, checked write and flush, sync, rename.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error) {
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("Unable to write to %1")
                         .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
        return false;
    };
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // QSaveFile::commit() was seen returning true after its buffered write
    // failed on a full disk: the write and the flush are checked here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return fail();
    }
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return fail();
    }
#endif
    if (!file.commit())
        return fail();
    return true;
}
// END OF STAND-IN
// ---------------------------------------------------------------------------
} // namespace

namespace UpdateFiles {

QByteArray CrLfLines(const QByteArray& text) {
    QByteArray lines;
    lines.reserve(text.size() + text.size() / 16 + 2);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        lines.append(QByteArrayView(text).sliced(start, end - start));
        lines.append("\r\n", 2);
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

bool Store(const QString& path, const QByteArray& bytes, QString* error) {
    return WriteFileSafely(path, bytes, error);
}

std::optional<QByteArray> ReadSmallFile(const QString& path, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

} // namespace UpdateFiles
