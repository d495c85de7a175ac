#pragma once
// Automatic backups: before anything is written to a module, the map as last
// read from it (before the user's edits) is sealed in the template format,
// without PIN digits, into Backups/<module>/<date and time>.tpl under the
// data folder. The newest 50 of each module are kept. A backup that cannot be
// written is said once, plainly, and the write goes on only when the user
// agrees.

#include "FnMemoryMap.h"
#include "TemplateFile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class IShell;
class TCanSettings;
class TSession;

struct TBackupEntry {
    QString Path;
    QDateTime Time;
};

class TBackups {
public:
    static constexpr int KeptPerModule = 50;
    // "The automatic backup ... could not be written" + " (" reason ")." and
    // the question whether to write without one.
    static constexpr int NotWrittenMessage = 95;
    static constexpr int WriteWithoutQuestion = 96;

    // root: the folder that holds one folder per module; empty for
    // "Backups" in the data folder (looked up at each use).
    explicit TBackups(IShell& shell, QString root = {});

    QString Root() const;
    // The folder of one module's backups; the module's name made safe for a
    // folder name.
    QString ModuleFolder(const QString& module) const;

    // Before a write to the module: backs the baseline up. True to go on:
    // the backup was written, there is nothing to back up (no module named,
    // or nothing read from it), or it failed and the user said to go on.
    bool BeforeWrite(const QString& module, const std::optional<TFnMemoryMap>& baseline);
    // Writes one backup at the time given, then removes the oldest beyond
    // the newest 50 (never the one just written).
    bool Write(const QString& module, const TFnMemoryMap& map, const QDateTime& time,
               QString* path = nullptr, QString* reason = nullptr);
    // The module's backups, newest first.
    QList<TBackupEntry> List(const QString& module) const;

    // How many functions (FN 0x10..0xFE) a backup and a module's map do not
    // hold alike: a different value, or held by one of them only.
    static int Differences(const TTemplateContent& backup, const TFnMemoryMap& held);

private:
    void Prune(const QString& module, const QString& keep) const;

    IShell& Shell;
    QString FixedRoot;
};

// The name of the module the session would write to, as its backups are
// filed: the serial number the module reports over USB, or the one the base
// found it by; empty without a module.
QString ModuleIdentity(const TSession& session);

// Makes every write to a module that asks settings.BeforeWrite() (Save among
// them) back up first the map last read from the module the session would
// write to.
void GuardWritesWithBackups(TCanSettings& settings, const TSession& session, TBackups& backups);
