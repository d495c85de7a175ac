#pragma once
// The one function through which the templates, the backups and the template
// tool write a file.
//
// STAND-IN: the project's safe-write helper (files/SafeWrite.h) is not in
// this tree yet. Until it is, this does the same minimal job: the content
// goes to a temporary file in the same folder, the write and the flush are
// checked, the data is synced to the disk, and only then the temporary
// replaces the file; on any failure the temporary goes and the old file stays
// as it was. When the helper lands, the body becomes one line:
//     return SafeWriteFile(path, content, reason);

#include <QByteArray>
#include <QString>

namespace TemplateFiles {
// Replaces (or creates) the file at path; its folder must exist. On false,
// reason (when given) says why in plain words.
bool Write(const QString& path, const QByteArray& content, QString* reason = nullptr);
} // namespace TemplateFiles
