#pragma once
// "Save log...": the whole log as a UTF-8 text file, written atomically (the
// old file stays whole when anything fails).

#include <QString>

// The log text with line breaks as the box shows them; false with reason set
// when the file could not be written.
bool SaveLogFile(const QString& path, const QString& text, QString* reason);

// A file name for today's log, "rv5k-log-20250131-142501.txt".
QString DefaultLogFileName(const class QDateTime& moment);
