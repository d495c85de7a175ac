#pragma once
// "Save New Template", "Load Template" and "Restore backup" of the Templates
// tab. A template is saved by running Save while the module link records
// (whatever it would send through its command path is kept as records;
// FN 0x57 and FN 0x11 still go to the module), then the trees' values and the
// map section; it is loaded by replaying its records through the module
// link's response dispatch and storing its map as if the module had reported
// it. The dialogs are the view's; everything else is here, without widgets.

#include "Backups.h"
#include "link/Bytes.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class IShell;
class TCanSettings;
class TRV5K;
class TSession;

// One row of the backups list.
struct TBackupRow {
    QDateTime Time;
    // Functions that differ from what the module held at its last read;
    // -1 when the backup cannot be read or nothing was read from the module.
    int Differences = -1;
};

class ITemplatesView {
public:
    virtual ~ITemplatesView() = default;
    // The save and open dialogs, starting in folder; empty when cancelled.
    virtual QString AskSavePath(const QString& folder) = 0;
    virtual QString AskOpenPath(const QString& folder) = 0;
    // "Save PIN to template" is checked (and can be used).
    virtual bool SavePinChecked() const = 0;
    // The list of backups; the row chosen, or -1.
    virtual int ChooseBackup(const QList<TBackupRow>& rows) = 0;
};

class TTemplates : public QObject {
    Q_OBJECT
public:
    static constexpr int NotSavedMessage = 52;
    static constexpr int SavedMessage = 53;
    static constexpr int NotLoadedMessage = 54;
    static constexpr int NotAppliedMessage = 55;
    static constexpr int LoadedMessage = 56;
    static constexpr int BadPinMessage = 61;
    static constexpr int TooOldMessage = 63;
    static constexpr int NoBackupsMessage = 97;
    // The backups list: its title, its two columns, its "Load" button.
    static constexpr int BackupsTitleMessage = 98;
    static constexpr int BackupTimeMessage = 99;
    static constexpr int BackupDifferencesMessage = 100;
    static constexpr int LoadBackupMessage = 101;
    static constexpr int CancelMessage = 40;

    TTemplates(TCanSettings& settings, TSession& session, TBackups& backups,
               QObject* parent = nullptr);

    void SetView(ITemplatesView* view) { View = view; }

    // The buttons.
    void SaveNewTemplate();
    void LoadTemplate();
    void RestoreBackup();

    // The same without the dialogs. Each shows its outcome in a box.
    bool SaveTemplate(const QString& path);
    bool LoadTemplateFile(const QString& path);
    // Replays the records, then stores the map and shows it in the trees.
    bool ApplyTemplate(const tduomenys& plaintext);

    // The connected module's backups, newest first, with their rows.
    QList<TBackupRow> BackupRows(QList<TBackupEntry>* entries) const;

    // Where the dialogs start: the program's own folder where it may be
    // written (a Windows install), else "Templates" in the data folder (an
    // installed Linux package), created when missing.
    static QString DialogFolder();
    static QString DialogFolderFor(const QString& programFolder);

    TBackups& Backups() const { return Store; }

private:
    // The module link that records and replays; none in a session on a
    // link of another kind.
    TRV5K* Recorder() const;
    QString Message(int number) const;
    void Show(const QString& text, int kind);
    bool Busy() const;

    TCanSettings& Can;
    TSession& Session;
    IShell& Shell;
    TBackups& Store;
    ITemplatesView* View = nullptr;
    bool Running = false;
};
