#include "LogFile.h"

#include "files/SafeWrite.h"

#include <QDateTime>

bool SaveLogFile(const QString& path, const QString& text, QString* reason) {
    return SafeWriteFile(path, text.toUtf8(), reason);
}

QString DefaultLogFileName(const QDateTime& moment) {
    return QStringLiteral("rv5k-log-") + moment.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".txt");
}
