#pragma once
// The settings file: classic INI text, read and written one key at a time.
// Every call opens the file, does its one read or write and closes it again;
// nothing is cached, so a value written is seen by the next read at once.
// Section and key names match in any letter case; values are 8-bit text kept
// byte for byte. A write changes only the line of its key (or adds the key, or
// the section with the key) and replaces the whole file atomically, so a
// failed write leaves the old file as it was.

#include <QByteArray>
#include <QString>

// What a read and a write do to the file's text, without the file.
namespace SettingsText {
QByteArray Read(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                const QByteArray& defaultValue);
// The content with the key set: only its line changes, or the key's line (and
// the section's, when it is missing) is added with the line end of its
// neighbours; every other line stays byte for byte.
QByteArray Write(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                 const QByteArray& value);
} // namespace SettingsText

class TSettingsFile {
public:
    explicit TSettingsFile(QString path) : FilePath(std::move(path)) {}

    QString Path() const { return FilePath; }

    // The key's value, or defaultValue when the file, the section or the key
    // is missing.
    QByteArray Read(const QByteArray& section, const QByteArray& key,
                    const QByteArray& defaultValue) const;
    // Creates the file's folder, the file and the section when needed. On a
    // refused write returns false with "Unable to write to <full path>".
    bool Write(const QByteArray& section, const QByteArray& key, const QByteArray& value,
               QString* error = nullptr) const;

    static QString WriteErrorText(const QString& path);

private:
    QString FilePath;
};

// The tool's own settings: Settings.ini in the application data folder.
QString SettingsFilePath();
QByteArray ReadSetting(const QByteArray& section, const QByteArray& key,
                       const QByteArray& defaultValue);
// The caller shows the error text in the general error box and stops the
// action that was writing.
bool WriteSetting(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                  QString* error = nullptr);
