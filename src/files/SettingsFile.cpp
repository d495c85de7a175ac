#include "SettingsFile.h"

#include "AppFolders.h"
#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <optional>

namespace {
struct TIniLine {
    QByteArray Text; // without its line end
    QByteArray End;  // "\r\n", "\n", "\r" or empty on an unterminated last line
};

QList<TIniLine> SplitLines(const QByteArray& content) {
    QList<TIniLine> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != '\n' && content[end] != '\r')
            ++end;
        TIniLine line{content.mid(start, end - start), {}};
        if (end < content.size()) {
            const bool crlf =
                content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n';
            line.End = content.mid(end, crlf ? 2 : 1);
        }
        lines.append(line);
        start = end + line.End.size();
    }
    return lines;
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    return a.toLower() == b.toLower();
}

// The name of a "[section]" line.
std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray text = line.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line; comments and lines without "=" have none.
std::optional<QByteArray> KeyName(const QByteArray& line) {
    const QByteArray text = line.trimmed();
    if (text.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    const QByteArray key = line.left(equals).trimmed();
    if (key.isEmpty())
        return std::nullopt;
    return key;
}

QByteArray ValueOf(const QByteArray& line) {
    QByteArray value = line.mid(line.indexOf('=') + 1).trimmed();
    // A hand-edited value may be quoted; the quotes are not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// Line index of the section's header, and of its key within the section.
struct TKeyPosition {
    qsizetype Section = -1;
    qsizetype Key = -1;
    qsizetype LastEntry = -1; // last non-blank line of the section
};

TKeyPosition Locate(const QList<TIniLine>& lines, const QByteArray& section,
                    const QByteArray& key) {
    TKeyPosition found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i].Text)) {
            if (found.Section >= 0)
                break; // the first matching section is the one that counts
            if (SameName(*name, section))
                found.Section = found.LastEntry = i;
            continue;
        }
        if (found.Section < 0)
            continue;
        if (!lines[i].Text.trimmed().isEmpty())
            found.LastEntry = i;
        if (const auto name = KeyName(lines[i].Text); name && SameName(*name, key)) {
            found.Key = i;
            break;
        }
    }
    return found;
}

std::optional<QByteArray> ReadContent(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QByteArray DefaultLineEnd() {
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

// The line end for lines put in before position: the one the neighbours use
// (the line above, else the line below, else the first the file has).
QByteArray NeighbourLineEnd(const QList<TIniLine>& lines, qsizetype position) {
    if (position > 0 && !lines[position - 1].End.isEmpty())
        return lines[position - 1].End;
    if (position < lines.size() && !lines[position].End.isEmpty())
        return lines[position].End;
    for (const TIniLine& line : lines)
        if (!line.End.isEmpty())
            return line.End;
    return DefaultLineEnd();
}

// Puts new lines in before position, every other line staying byte for byte.
// A neighbour's line end never runs into the next line: a lone CR is never
// followed by a line that starts with LF, or the two would have been read as
// one CR LF.
void InsertLines(QList<TIniLine>& lines, qsizetype position, const QList<QByteArray>& texts) {
    const QByteArray end = NeighbourLineEnd(lines, position);
    // An unterminated last line needs an end before anything can follow it.
    if (position > 0 && lines[position - 1].End.isEmpty())
        lines[position - 1].End = end;
    for (qsizetype i = 0; i < texts.size(); ++i)
        lines.insert(position + i, TIniLine{texts[i], end});
}

// A value cannot span lines: the rest would become lines of their own.
QByteArray SingleLine(const QByteArray& text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r')
        ++end;
    return text.left(end);
}
} // namespace

QByteArray SettingsText::Read(const QByteArray& content, const QByteArray& section,
                              const QByteArray& key, const QByteArray& defaultValue) {
    const QList<TIniLine> lines = SplitLines(content);
    const TKeyPosition position = Locate(lines, section, key);
    if (position.Key < 0)
        return defaultValue;
    return ValueOf(lines[position.Key].Text);
}

QByteArray SettingsText::Write(const QByteArray& content, const QByteArray& section,
                               const QByteArray& key, const QByteArray& value) {
    QList<TIniLine> lines = SplitLines(content);
    const QByteArray cleanValue = SingleLine(value);
    const TKeyPosition position = Locate(lines, section, key);
    if (position.Key >= 0) {
        // The changed line keeps its own line end.
        TIniLine& line = lines[position.Key];
        line.Text = line.Text.left(line.Text.indexOf('=') + 1) + cleanValue;
    } else if (position.Section >= 0) {
        InsertLines(lines, position.LastEntry + 1, {key + '=' + cleanValue});
    } else {
        InsertLines(lines, lines.size(), {'[' + section + ']', key + '=' + cleanValue});
    }
    QByteArray output;
    for (const TIniLine& line : std::as_const(lines))
        output += line.Text + line.End;
    return output;
}

QByteArray TSettingsFile::Read(const QByteArray& section, const QByteArray& key,
                               const QByteArray& defaultValue) const {
    const std::optional<QByteArray> content = ReadContent(FilePath);
    if (!content)
        return defaultValue;
    return SettingsText::Read(*content, section, key, defaultValue);
}

bool TSettingsFile::Write(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                          QString* error) const {
    // An existing file that cannot be read must not be replaced by one key.
    const std::optional<QByteArray> content = ReadContent(FilePath);
    const QFileInfo info(FilePath);
    if (!content || !QDir().mkpath(info.absolutePath()) ||
        !SafeWriteFile(FilePath, SettingsText::Write(*content, section, key, value))) {
        if (error)
            *error = WriteErrorText(FilePath);
        return false;
    }
    return true;
}

QString TSettingsFile::WriteErrorText(const QString& path) {
    return UnableToWriteText(path);
}

QString SettingsFilePath() {
    return AppDataFolder() + QStringLiteral("Settings.ini");
}

QByteArray ReadSetting(const QByteArray& section, const QByteArray& key,
                       const QByteArray& defaultValue) {
    return TSettingsFile(SettingsFilePath()).Read(section, key, defaultValue);
}

bool WriteSetting(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                  QString* error) {
    return TSettingsFile(SettingsFilePath()).Write(section, key, value, error);
}
