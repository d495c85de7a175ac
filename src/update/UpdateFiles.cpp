#include "UpdateFiles.h"

#include "files/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    if (SafeWriteFile(path, bytes))
        return true;
    if (error)
        *error = UnableToWriteText(path);
    return false;
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
