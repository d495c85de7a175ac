#pragma once
// The files of the update and how they are written.

#include <QByteArray>
#include <QString>
#include <optional>

namespace UpdateFiles {
// The car list, on the server and in the data folder.
inline const QString CarListName = QStringLiteral("CANDATA_FULL.csv");
// The fetched car list, kept beside the one in use until it has been loaded.
inline const QString DownloadName = QStringLiteral("CANDATA_FULL_DWNLD.csv");
// The update list, on the server and in the data folder.
inline const QString UpdateListName = QStringLiteral("Updates.txt");

// The answer's text lines, each ended by CR LF (lines may have ended with
// CR LF, LF or CR). Empty text has no line.
QByteArray CrLfLines(const QByteArray& text);

// Writes the whole file or leaves the old one as it was: every file of the
// update goes through here (from the fetch thread and from the main thread).
bool Store(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The file's bytes; none when it is missing, unreadable or larger than
// maxBytes (a file that size is no file of ours).
std::optional<QByteArray> ReadSmallFile(const QString& path, qint64 maxBytes);
} // namespace UpdateFiles
