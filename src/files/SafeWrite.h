#pragma once
// The one way the tool writes a file: the new content goes into a temporary
// file in the same folder, every write and the flush are checked, the data is
// synced to the disk, and only then is the temporary renamed over the file.
// On any failure the temporary is removed and the old file stays exactly as
// it was. QSaveFile is not enough: on a full disk Qt 6.4's commit() was seen
// to succeed although its buffered write had failed, leaving an empty file.
//
// A file marked read-only is refused even where the rename would get past
// the mark (the folder is writable, or the tool runs as root): the user set
// it so that the tool leaves it alone.

#include <QByteArray>
#include <QString>

// Replaces (or creates) the file at path with content. The folder must exist.
// On false, reason (when given) says why in plain words, for instance
// "No space left on device"; the caller builds its message around it.
bool SafeWriteFile(const QString& path, const QByteArray& content, QString* reason = nullptr);

// "Unable to write to <full path>": the message for a write the platform
// refused.
QString UnableToWriteText(const QString& path);
