#include "Backups.h"

#include "CanSettings.h"
#include "files/AppFolders.h"
#include "link/TRV5K.h"
#include "session/BaseSelection.h"
#include "session/Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace {
const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QString Extension = QStringLiteral(".tpl");

// "2024-05-01_14-03-22.tpl", or "..._2.tpl" for a second one in that second.
const QRegularExpression& BackupName() {
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:_(\\d{1,4}))?\\.tpl$"));
    return name;
}

struct TNamed {
    TBackupEntry Entry;
    int Suffix = 0;
};

QList<TNamed> Backups(const QString& folder) {
    QList<TNamed> found;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*") + Extension},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = BackupName().match(name);
        if (!match.hasMatch())
            continue; // not one of ours: never listed, never removed
        const QDateTime time = QDateTime::fromString(match.captured(1), TimeFormat);
        if (!time.isValid())
            continue;
        found.append({{QDir(folder).filePath(name), time}, match.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const TNamed& a, const TNamed& b) {
        if (a.Entry.Time != b.Entry.Time)
            return a.Entry.Time > b.Entry.Time;
        return a.Suffix > b.Suffix;
    });
    return found;
}

// The first slot's value of every function a save would write.
std::map<quint8, quint8> Written(const tduomenys& fns, const tduomenys& nns) {
    std::map<quint8, quint8> values;
    for (std::size_t i = 0; i < fns.size() && i < nns.size(); ++i)
        if (TFnMemoryMap::Written(fns[i]))
            values.emplace(fns[i], nns[i]);
    return values;
}
} // namespace

TBackups::TBackups(IShell& shell, QString root) : Shell(shell), FixedRoot(std::move(root)) {}

QString TBackups::Root() const {
    if (!FixedRoot.isEmpty())
        return QDir(FixedRoot).absolutePath() + QLatin1Char('/');
    return AppDataFolder() + QStringLiteral("Backups/");
}

QString TBackups::ModuleFolder(const QString& module) const {
    QString name;
    for (const QChar c : module.trimmed())
        name += c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')
                    ? c
                    : QLatin1Char('_');
    if (name.isEmpty())
        name = QStringLiteral("unknown");
    return Root() + name + QLatin1Char('/');
}

bool TBackups::BeforeWrite(const QString& module, const std::optional<TFnMemoryMap>& baseline) {
    if (module.isEmpty() || !baseline)
        return true;
    QString reason;
    if (Write(module, *baseline, QDateTime::currentDateTime(), nullptr, &reason))
        return true;
    const QString text = Shell.Message(NotWrittenMessage) + QStringLiteral(" (") + reason +
                         QStringLiteral(").\n\n") + Shell.Message(WriteWithoutQuestion);
    return Shell.ShowMessageBox(text, Box::Confirmation, Box::Yes | Box::No) == Box::ResultYes;
}

bool TBackups::Write(const QString& module, const TFnMemoryMap& map, const QDateTime& time,
                     QString* path, QString* reason) {
    const QString folder = ModuleFolder(module);
    const QString stem = time.toString(TimeFormat);
    QString file = folder + stem + Extension;
    for (int suffix = 2; QFileInfo::exists(file); ++suffix) {
        if (suffix > 9999) {
            if (reason)
                *reason = QDir::toNativeSeparators(file);
            return false;
        }
        file = folder + stem + QLatin1Char('_') + QString::number(suffix) + Extension;
    }
    const tduomenys plaintext = TemplateFile::BuildPlaintext({}, map, false);
    if (!TemplateFile::SealToFile(file, TemplateFormat::PassPhrase(), plaintext, reason))
        return false;
    if (path)
        *path = file;
    Prune(module, file);
    return true;
}

void TBackups::Prune(const QString& module, const QString& keep) const {
    const QList<TNamed> all = Backups(ModuleFolder(module));
    int kept = 0;
    for (const TNamed& backup : all) {
        if (backup.Entry.Path == keep || kept < KeptPerModule - 1) {
            if (backup.Entry.Path != keep)
                ++kept;
            continue;
        }
        QFile::remove(backup.Entry.Path);
    }
}

QList<TBackupEntry> TBackups::List(const QString& module) const {
    QList<TBackupEntry> entries;
    if (module.isEmpty())
        return entries;
    for (const TNamed& backup : Backups(ModuleFolder(module)))
        entries.append(backup.Entry);
    return entries;
}

int TBackups::Differences(const TTemplateContent& backup, const TFnMemoryMap& held) {
    tduomenys fns, nns;
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
        fns.push_back(held[slot].FN);
        nns.push_back(held[slot].NN);
    }
    const std::map<quint8, quint8> theirs = Written(backup.Fns, backup.Nns);
    const std::map<quint8, quint8> ours = Written(fns, nns);
    int differ = 0;
    for (const auto& [fn, nn] : theirs) {
        const auto it = ours.find(fn);
        if (it == ours.end() || it->second != nn)
            ++differ;
    }
    for (const auto& [fn, nn] : ours)
        if (!theirs.count(fn))
            ++differ;
    return differ;
}

QString ModuleIdentity(const TSession& session) {
    switch (session.ActiveLink()) {
    case 1:
        if (const auto* usb = dynamic_cast<const TRV5K*>(&session.ModuleLink()))
            return QString::fromLocal8Bit(usb->SerialNumber());
        return {};
    case 2:
        if (const TBaseSelection* selection = session.Selection())
            return QString::number(selection->ChosenModule().serial);
        return {};
    default:
        return {};
    }
}

void GuardWritesWithBackups(TCanSettings& settings, const TSession& session, TBackups& backups) {
    TCanSettings* can = &settings;
    settings.SetWriteGuard([can, &session, &backups] {
        return backups.BeforeWrite(ModuleIdentity(session), can->ReadBaseline());
    });
}
