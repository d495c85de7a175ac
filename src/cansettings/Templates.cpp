#include "Templates.h"

#include "CanSettings.h"
#include "CanSettingsView.h"
#include "MapApplier.h"
#include "MapCycle.h"
#include "TemplateFile.h"
#include "files/AppFolders.h"
#include "link/TRV5K.h"
#include "session/Session.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {
// Whether files can be made in the folder: tried, since permissions alone do
// not tell (an administrator's folder on Windows looks writable to Qt).
bool Writable(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".rv5k-write-test-XXXXXX")));
    return probe.open();
}

// Holds a flag for the length of a scope.
class TRunning {
public:
    explicit TRunning(bool& flag) : Flag(flag) { Flag = true; }
    ~TRunning() { Flag = false; }
    TRunning(const TRunning&) = delete;
    TRunning& operator=(const TRunning&) = delete;

private:
    bool& Flag;
};
} // namespace

TTemplates::TTemplates(TCanSettings& settings, TSession& session, TBackups& backups,
                       QObject* parent)
    : QObject(parent), Can(settings), Session(session), Shell(session.Shell()), Store(backups) {}

TRV5K* TTemplates::Recorder() const {
    return dynamic_cast<TRV5K*>(&Session.ModuleLink());
}

QString TTemplates::Message(int number) const {
    return Shell.Message(number);
}

void TTemplates::Show(const QString& text, int kind) {
    Shell.ShowMessageBox(text, kind, Box::Ok);
}

bool TTemplates::Busy() const {
    // A box of ours keeps events flowing: a second click must not start another.
    return Running || Session.Closing() || Session.ReadingMap() || Session.LinkBusy() != 0;
}

QString TTemplates::DialogFolder() {
    return DialogFolderFor(ProgramFolder());
}

QString TTemplates::DialogFolderFor(const QString& program) {
    if (Writable(program))
        return program;
    const QString templates = AppDataFolder() + QStringLiteral("Templates");
    QDir().mkpath(templates);
    return QDir::toNativeSeparators(templates) + QDir::separator();
}

void TTemplates::SaveNewTemplate() {
    if (Busy() || !View)
        return;
    const QString path = View->AskSavePath(DialogFolder());
    if (!path.isEmpty())
        SaveTemplate(path);
}

void TTemplates::LoadTemplate() {
    if (Busy() || !View)
        return;
    const QString path = View->AskOpenPath(DialogFolder());
    if (!path.isEmpty())
        LoadTemplateFile(path);
}

bool TTemplates::SaveTemplate(const QString& path) {
    if (Busy())
        return false;
    TRunning running(Running);
    // Save runs while the module link records: it writes no map, asks for no
    // PIN and reads nothing back, but still sends FN 0x57 (in "Auto") and
    // FN 0x11 to the module. Without a module link to record on it must not
    // run at all: it would write.
    tduomenys recording;
    if (TRV5K* recorder = Recorder()) {
        recorder->StartTemplate();
        Can.Save();
        recording = recorder->GetTemplate();
        recorder->StopTemplate();
    }
    Can.CollectTreeValues();
    TFnMemoryMap map = Can.Map();
    const bool withPin = View && View->SavePinChecked();
    const ICanSettingsView* fields = Can.SettingsView();
    if (withPin && fields && fields->PinEnabled()) {
        const QString pin = fields->PinText();
        if (TFixedFns::ValidPinText(pin)) {
            const std::array<quint8, 4> digits = TFixedFns::PinFromText(pin);
            for (std::size_t i = 0; i < digits.size(); ++i)
                map.SetMapValue(quint8(TFixedFns::FirstPinFn + i), digits[i]);
        } else {
            Show(Message(BadPinMessage) + QStringLiteral(" (") + pin + QLatin1Char(')'),
                 Box::Error);
        }
    }
    const tduomenys plaintext = TemplateFile::BuildPlaintext(recording, map, withPin);
    QString reason;
    if (!TemplateFile::SealToFile(path, TemplateFormat::PassPhrase(), plaintext, &reason)) {
        Show(Message(NotSavedMessage) + QStringLiteral(" (") + reason + QLatin1Char(')'),
             Box::Error);
        return false;
    }
    Show(Message(SavedMessage), Box::Information);
    return true;
}

bool TTemplates::LoadTemplateFile(const QString& path) {
    if (Busy())
        return false;
    TRunning running(Running);
    // What the installer changed and did not save would be replaced unseen.
    if (!Can.MayDropChanges(TCanSettings::TemplateQuestionMessage))
        return false;
    tduomenys plaintext;
    if (!TemplateFile::OpenSealedFile(path, TemplateFormat::PassPhrase(), &plaintext)) {
        Show(Message(NotLoadedMessage), Box::Error);
        return false;
    }
    return ApplyTemplate(plaintext);
}

bool TTemplates::ApplyTemplate(const tduomenys& plaintext) {
    const TTemplateContent content = TemplateFile::ReadPlaintext(plaintext);
    // The recorded requests reach the window through the same events as the
    // module's own reports of those settings.
    if (TRV5K* recorder = Recorder())
        for (const tduomenys& block : content.Replays)
            recorder->ReplayResponse(block);
    if (content.ShortCode != 0) {
        Show(Message(NotAppliedMessage) + QStringLiteral(" (") +
                 QString::number(content.ShortCode) + QLatin1Char(')'),
             Box::Error);
        return false;
    }
    if (content.TooOld) {
        Show(Message(TooOldMessage), Box::Error);
        return false;
    }
    // Only a template that is applied clears the trees: a refused one leaves
    // the module's settings in view.
    Can.ResetView();
    TMapCycle& cycle = Can.Cycle();
    cycle.StoreFnPage(0, content.Fns);
    cycle.StoreNnPage(0, content.Nns);
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
        const quint8 fn = Can.Map()[slot].FN;
        if (fn >= TFixedFns::FirstPinFn && fn <= TFixedFns::LastPinFn)
            Can.TemplatePin = true;
    }
    Show(Message(LoadedMessage), Box::Information);
    return true;
}

QList<TBackupRow> TTemplates::BackupRows(QList<TBackupEntry>* entries) const {
    *entries = Store.List(ModuleIdentity(Session));
    const std::optional<TFnMemoryMap>& held = Can.ReadBaseline();
    QList<TBackupRow> rows;
    for (const TBackupEntry& entry : *entries) {
        TBackupRow row{entry.Time, -1};
        tduomenys plaintext;
        if (held &&
            TemplateFile::OpenSealedFile(entry.Path, TemplateFormat::PassPhrase(), &plaintext)) {
            const TTemplateContent content = TemplateFile::ReadPlaintext(plaintext);
            if (content.Applicable())
                row.Differences = TBackups::Differences(content, *held);
        }
        rows.append(row);
    }
    return rows;
}

void TTemplates::RestoreBackup() {
    if (Busy() || !View)
        return;
    QList<TBackupEntry> entries;
    const QList<TBackupRow> rows = BackupRows(&entries);
    if (rows.isEmpty()) {
        Show(Message(NoBackupsMessage), Box::Information);
        return;
    }
    const int chosen = View->ChooseBackup(rows);
    if (chosen >= 0 && chosen < entries.size())
        LoadTemplateFile(entries[chosen].Path);
}
