// Templates and backups with the CAN settings against the simulated module:
// save with and without the PIN, load into both trees, Save then writes the
// template; the loader's messages on a table of damaged files, with nothing
// on disk changed; recorded requests replayed; the backup before every Save,
// its list with the settings that differ, the newest 50 kept, and a backup
// that cannot be written.
#include "SideBySideMain.h"
#include "SimHost.h"
#include "TemplateBytes.h"
#include "cansettings/Backups.h"
#include "cansettings/CanSettings.h"
#include "cansettings/MapCycle.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/Templates.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/TemplatesPage.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

using namespace TemplateBytes;

namespace {
using TPairs = std::vector<std::pair<quint8, quint8>>;

QString SourceFile(const char* name) {
    return qEnvironmentVariable("RV5K_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(name);
}

// The CAN settings with their panel, the templates with their page, and
// backups in a data folder of their own, on a module link to the simulated
// module.
struct TFixture {
    explicit TFixture(const TSimProfile& profile = DemoProfile()) : Host(profile) {
        qputenv("RV5K_APPDATA", Data.path().toLocal8Bit());
        TRV5K* link = &Host.Link;
        TMapCycle* cycle = &Can.Cycle();
        QObject::connect(link, &TRV5K::OnRV5KFNMemoryMap, cycle, &TMapCycle::StoreFnPage);
        QObject::connect(link, &TRV5K::OnFNandNN, cycle, &TMapCycle::OnFNandNN);
        QObject::connect(link, &TRV5K::OnWriteProg, cycle, &TMapCycle::OnWriteProg);
        QObject::connect(link, &TRV5K::OnReadProgCnt, cycle, &TMapCycle::OnReadProgCnt);
        QObject::connect(link, &TRV5K::OnReadProg, cycle, &TMapCycle::OnReadProg);
        QObject::connect(link, &TRV5K::OnParametersMap, cycle, &TMapCycle::StoreNnPage);
        if (Can.LoadCatalogue(SourceFile("data/Functions.csv")))
            qFatal("the shipped catalogue did not load");
        GuardWritesWithBackups(Can, Host.Session, Backups);
    }

    // Reads the module as the window does and waits for the read to end well.
    bool Read() {
        QSignalSpy done(&Host.Session, &TSession::ReadSucceeded);
        Host.Session.ReadNow();
        return done.wait(20000);
    }
    // Presses "Save" and waits until the writes are through.
    bool Save() {
        Can.Save();
        return QTest::qWaitFor([this] { return Host.Shell.Enabled; }, 20000);
    }
    QString Path(const char* name) const { return Files.filePath(QLatin1String(name)); }
    QString BackupFolder() const { return Data.filePath(QStringLiteral("Backups/RV5K00123456")); }

    // The first level-1 function (not a flag) of the settings tree with fn.
    TParamNode* Function(quint8 fn) const {
        TParamNode* found = nullptr;
        Can.SettingsModel()->Tree().ForEach([&](TParamNode& node) {
            if (!found && node.Level() == 1 && !node.Data.IsFlag && node.Data.Number == fn)
                found = &node;
        });
        return found;
    }
    bool Edit(quint8 fn, int option, const QVariant& value, int role) const {
        TParamTreeModel* model = Can.SettingsModel();
        const QModelIndex index =
            model->IndexOf(Function(fn)->Child(option), role == Qt::EditRole ? 1 : 0);
        return model->setData(index, value, role);
    }
    // What both trees show, but for the PIN and the car data (which a
    // template never carries).
    QStringList Shown() {
        QStringList shown;
        for (const TParamTree* tree : {&Can.Catalogue().VT, &Can.Catalogue().VST2})
            tree->ForEach([&](TParamNode& node) {
                const TParamNode* function = node.Level() == 2 ? node.Parent : &node;
                if (node.Level() > 0 && function->Data.Number >= 0x01 &&
                    function->Data.Number <= 0x07)
                    return;
                shown << QStringLiteral("%1/%2 %3%4 %5 %6 %7")
                             .arg(node.Level())
                             .arg(node.Data.Number, 2, 16, QLatin1Char('0'))
                             .arg(node.Visible ? 'v' : '-')
                             .arg(node.Checked ? 'x' : '-')
                             .arg(node.Data.Fn1Value)
                             .arg(node.Data.Fn2Value)
                             .arg(node.Index());
            });
        return shown;
    }
    std::map<quint8, quint8> ModuleMap() const {
        std::map<quint8, quint8> held;
        for (const auto& [fn, nn] : Host.Module->Map())
            held.emplace(fn, nn);
        return held;
    }
    // FN/NN of the CAN memory writes the module received, as "fn:nn".
    QStringList Writes() const {
        QStringList writes;
        for (const QByteArray& r : Host.Requests(0x14))
            writes << QStringLiteral("%1:%2")
                          .arg(quint8(r[4]), 2, 16, QLatin1Char('0'))
                          .arg(quint8(r[5]), 2, 16, QLatin1Char('0'));
        return writes;
    }
    tduomenys Opened(const QString& path) const {
        tduomenys plain;
        if (!TemplateFile::OpenSealedFile(path, TemplateFormat::PassPhrase(), &plain))
            return {};
        return plain;
    }

    QTemporaryDir Data;
    QTemporaryDir Files;
    TSimHost Host;
    TCanSettings Can{Host.Session};
    TCanSettingsPanel Panel{Can};
    TBackups Backups{Host.Shell};
    TTemplates Templates{Can, Host.Session, Backups};
    TTemplatesPage Page{Templates, Can, Host.Shell};
};

// Every file below a folder with its bytes.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files[path] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<dir>");
    }
    return files;
}

TPairs PairsOf(const TFnMemoryMap& map) {
    TPairs pairs;
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot)
        pairs.emplace_back(map[slot].FN, map[slot].NN);
    return pairs;
}
} // namespace

class TestTemplates : public QObject {
    Q_OBJECT
private slots:
    void saveAndLoadShowTheSameValues_data();
    void saveAndLoadShowTheSameValues();
    void loadedTemplateIsWrittenBySaveAfterABackup();
    void anInvalidPinIsSaidAndNotKept();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void recordsAreReplayedAsTheModulesReports();
    void aBackupThatCannotBeWrittenAsksOnce_data();
    void aBackupThatCannotBeWrittenAsksOnce();
    void backupsKeepTheNewestFiftyOfEachModule();
    void dialogsStartWhereTemplatesCanBeWritten();
};

void TestTemplates::saveAndLoadShowTheSameValues_data() {
    QTest::addColumn<bool>("withPin");
    QTest::newRow("without PIN") << false;
    QTest::newRow("with PIN") << true;
}

void TestTemplates::saveAndLoadShowTheSameValues() {
    QFETCH(bool, withPin);
    TFixture f;
    QVERIFY(f.Host.Connect());
    QVERIFY(f.Read());
    const QStringList read = f.Shown();
    const TPairs readMap = PairsOf(f.Can.Map());
    QVERIFY(f.Page.SavePinBox()->isEnabled()); // the module reported its PIN
    f.Page.SavePinBox()->setChecked(withPin);
    f.Panel.PinEdit()->setText(QStringLiteral("5678")); // typed, not yet saved

    const int writesBefore = f.Writes().size();
    const int readsBefore = f.Host.ReReads;
    QVERIFY(f.Templates.SaveTemplate(f.Path("car.tpl")));
    QCOMPARE(f.Host.Shell.Boxes, QStringList{"M53"});
    // The save sent FN 0x11 = 1 to the module and wrote no map.
    QCOMPARE(f.Writes().mid(writesBefore), QStringList{"11:01"});
    QCOMPARE(f.Host.ReReads, readsBefore);
    QVERIFY(!f.Host.Link.Recording());
    QVERIFY(!QFileInfo::exists(f.BackupFolder())); // no write to the map, no backup

    const tduomenys plain = f.Opened(f.Path("car.tpl"));
    QCOMPARE(plain.size(), std::size_t(16 + 256));
    QCOMPARE(tduomenys(plain.begin(), plain.begin() + 16), Header(4, 0, 63, 16, 128));
    for (int slot = 0; slot < 128; ++slot) {
        const quint8 fn = readMap[std::size_t(slot)].first;
        const quint8 stored = plain[std::size_t(16 + slot)];
        const quint8 nn = plain[std::size_t(16 + 128 + slot)];
        if (fn >= 0x01 && fn <= 0x04) {
            QCOMPARE(stored, withPin ? fn : quint8(0xFF));
            // The PIN typed in the field is what a PIN template holds.
            QCOMPARE(nn, withPin ? quint8(fn + 4) : readMap[std::size_t(slot)].second);
        } else {
            QCOMPARE(stored, fn >= 0x05 && fn <= 0x07 ? quint8(0xFF) : fn);
            // The trees' values, in which the fixed "Ignition" flag is ticked.
            const quint8 read = readMap[std::size_t(slot)].second;
            QCOMPARE(nn, fn == 0x30 ? quint8(read | 0x01) : read);
        }
    }

    // Other values in the trees (another module's), then the template.
    const TPairs defaults = DemoProfile().Defaults;
    f.Can.Cycle().StoreNnPage(0, [&] {
        tduomenys nns;
        for (const auto& [fn, nn] : defaults)
            nns.push_back(nn);
        return nns;
    }());
    QVERIFY(f.Shown() != read);
    f.Host.Shell.Boxes.clear();
    f.Host.Shell.BoxKinds.clear();
    QVERIFY(f.Templates.LoadTemplateFile(f.Path("car.tpl")));
    // Those values differ from the module's: the load asks before it drops them.
    QCOMPARE(f.Host.Shell.Boxes, (QStringList{"M129", "M56"}));
    QCOMPARE(f.Host.Shell.BoxKinds, (QList<int>{Box::Confirmation, Box::Information}));
    QCOMPARE(f.Shown(), read);
    QCOMPARE(f.Can.TemplatePin, withPin);
    QCOMPARE(f.Panel.PinEdit()->isEnabled(), withPin);
    QCOMPARE(f.Panel.PinEdit()->text(), withPin ? QStringLiteral("5678") : QString());
    QCOMPARE(f.Page.SavePinBox()->isEnabled(), withPin);
    // The car data is not taken from a template.
    quint8 group = 0;
    QVERIFY(!f.Can.Map().ValueOf(0x06, &group));
    // A loaded template is not what the module holds.
    QCOMPARE(PairsOf(*f.Can.ReadBaseline()), readMap);
}

void TestTemplates::loadedTemplateIsWrittenBySaveAfterABackup() {
    TFixture f;
    QVERIFY(f.Host.Connect());
    QVERIFY(f.Read());
    const std::map<quint8, quint8> a = f.ModuleMap();
    QVERIFY(f.Templates.SaveTemplate(f.Path("a.tpl")));

    // The installer edits and saves: the module holds b; a backup of a.
    QVERIFY(f.Edit(0x12, 2, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(f.Edit(0x6F, 0, QStringLiteral("7"), Qt::EditRole));
    QVERIFY(f.Save());
    // The fixed "Ignition" flag of FN 0x30 is always written ticked.
    std::map<quint8, quint8> saved = a;
    saved[0x30] |= 0x01;
    std::map<quint8, quint8> b = saved;
    b[0x12] = 3;
    b[0x6F] = 7;
    QCOMPARE(f.ModuleMap(), b);
    QList<TBackupEntry> backups = f.Backups.List(QStringLiteral("RV5K00123456"));
    QCOMPARE(backups.size(), 1);
    tduomenys plain = f.Opened(backups.first().Path);
    const TTemplateContent first = TemplateFile::ReadPlaintext(plain);
    QVERIFY(first.Applicable());
    for (int slot = 0; slot < 128; ++slot) {
        const quint8 fn = first.Fns[std::size_t(slot)];
        QVERIFY2(!(fn >= 0x01 && fn <= 0x07), "no PIN or car data in a backup");
        if (TFnMemoryMap::Written(fn))
            QCOMPARE(first.Nns[std::size_t(slot)], a.at(fn));
    }

    // Read again (b), load the template (a): the list shows the backup of a
    // with the three settings that differ from b (the two edits and the flag).
    QVERIFY(f.Read());
    QList<TBackupEntry> entries;
    QList<TBackupRow> rows = f.Templates.BackupRows(&entries);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Differences, 3);
    QCOMPARE(entries.first().Path, backups.first().Path);

    QVERIFY(f.Templates.LoadTemplateFile(f.Path("a.tpl")));
    QCOMPARE(f.ModuleMap(), b); // loading writes nothing
    QVERIFY(f.Save());
    QCOMPARE(f.ModuleMap(), saved);
    // Newest first: the backup of b before this Save, then the one of a.
    backups = f.Backups.List(QStringLiteral("RV5K00123456"));
    QCOMPARE(backups.size(), 2);
    const TTemplateContent second = TemplateFile::ReadPlaintext(f.Opened(backups.first().Path));
    for (int slot = 0; slot < 128; ++slot)
        if (TFnMemoryMap::Written(second.Fns[std::size_t(slot)]))
            QCOMPARE(second.Nns[std::size_t(slot)], b.at(second.Fns[std::size_t(slot)]));
    QCOMPARE(f.Host.Shell.Boxes.count(QStringLiteral("M56")), 1);
    QCOMPARE(backups.last().Path, entries.first().Path);
}

void TestTemplates::anInvalidPinIsSaidAndNotKept() {
    TFixture f;
    // A PIN shown (1, 2, 3, 4), then an invalid one typed.
    QVERIFY(f.Templates.ApplyTemplate(
        Template({{0x01, 1}, {0x02, 2}, {0x03, 3}, {0x04, 4}, {0x10, 2}})));
    f.Page.SavePinBox()->setChecked(true);
    f.Panel.PinEdit()->setText(QStringLiteral("102"));
    f.Host.Shell.Boxes.clear();
    f.Host.Shell.BoxKinds.clear();
    QVERIFY(f.Templates.SaveTemplate(f.Path("pin.tpl")));
    QCOMPARE(f.Host.Shell.Boxes, (QStringList{"M61 (102)", "M53"}));
    QCOMPARE(f.Host.Shell.BoxKinds, (QList<int>{Box::Error, Box::Information}));
    // The template holds the PIN as shown before, not the typed one.
    const tduomenys plain = f.Opened(f.Path("pin.tpl"));
    QCOMPARE(tduomenys(plain.begin() + 16, plain.begin() + 21), (tduomenys{1, 2, 3, 4, 0x10}));
    QCOMPARE(tduomenys(plain.begin() + 16 + 128, plain.begin() + 16 + 133),
             (tduomenys{1, 2, 3, 4, 2}));
}

void TestTemplates::damagedFilesAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("plaintext"); // sealed into the file
    QTest::addColumn<QString>("box");
    const auto bytes = [](const tduomenys& b) { return ToQByteArray(b); };
    const auto cut = [](tduomenys b, std::size_t n) {
        b.resize(n);
        return ToQByteArray(b);
    };
    const tduomenys good = Template({{0x10, 2}, {0x12, 3}});
    tduomenys v3 = good;
    v3[0] = 3;
    QTest::newRow("empty file") << "file" << QByteArray() << "M55 (1)";
    QTest::newRow("shorter than 16 bytes") << "file" << cut(good, 15) << "M55 (1)";
    QTest::newRow("shorter than its records")
        << "file" << cut(Template({}, {Record({0x0B})}), 16 + 40) << "M55 (2)";
    QTest::newRow("record count and size past the end")
        << "file" << bytes(Header(4, 200, 255, 16, 128)) << "M55 (2)";
    QTest::newRow("shorter than its map section") << "file" << cut(good, 16 + 255) << "M55 (6)";
    QTest::newRow("version 3") << "file" << bytes(v3) << "M63";
    QTest::newRow("version 0") << "file" << bytes(Header(0, 0, 63, 16, 128)) << "M63";
    QTest::newRow("another pass phrase") << "other" << bytes(good) << "M55 (2)";
    QTest::newRow("missing") << "missing" << QByteArray() << "M54";
    QTest::newRow("a folder") << "folder" << QByteArray() << "M54";
    QTest::newRow("too large") << "large" << QByteArray() << "M54";
}

void TestTemplates::damagedFilesAreRefused() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, plaintext);
    QFETCH(QString, box);
    TFixture f;
    // Trees that show a map, to see that they keep it.
    TPairs shown = {{0x10, 2}, {0x12, 3}, {0x14, 2}, {0x30, 6}};
    QVERIFY(f.Templates.ApplyTemplate(Template(shown)));
    const QStringList before = f.Shown();
    f.Host.Shell.Boxes.clear();
    f.Host.Shell.BoxKinds.clear();

    const QString path = f.Path("x.tpl");
    if (kind == QLatin1String("file"))
        QVERIFY(WriteFile(path, Rc4Sha1("KT8WPatterns", FromQByteArray(plaintext))));
    else if (kind == QLatin1String("other"))
        QVERIFY(WriteFile(path, Rc4Sha1("Another pass phrase", FromQByteArray(plaintext))));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("large"))
        QVERIFY(WriteFile(path, tduomenys(TemplateFormat::MaxFileBytes + 10, 0)));
    const auto disk = Snapshot(f.Files.path());

    QVERIFY(!f.Templates.LoadTemplateFile(path));
    QCOMPARE(f.Host.Shell.Boxes, QStringList{box});
    QCOMPARE(f.Host.Shell.BoxKinds, QList<int>{Box::Error});
    QCOMPARE(Snapshot(f.Files.path()), disk);
    QCOMPARE(f.Shown(), before);
    QCOMPARE(PairsOf(f.Can.Map()), PairsOf([&] {
                 TFnMemoryMap map;
                 for (std::size_t i = 0; i < shown.size(); ++i)
                     map[int(i)] = {shown[i].first, shown[i].second};
                 return map;
             }()));
    QVERIFY(!f.Can.TemplatePin);
}

void TestTemplates::recordsAreReplayedAsTheModulesReports() {
    TFixture f;
    QSignalSpy phones(&f.Host.Link, &TRV5K::OnPhoneNumber);
    QSignalSpy maps(&f.Host.Link, &TRV5K::OnParametersMap);
    // SetPhoneNumber (slot 2, flags 0x43, 37060000000) and ReadParametersMap
    // as the link records them.
    const tduomenys phone = Record(
        {0x0B, 2, 0x43, '3', '7', '0', '6', '0', '0', '0', '0', '0', '0', '0', ' ', ' ', ' ', ' '});
    const tduomenys pairs = Record({0x1F, 0, 0x10, 0x11});
    QVERIFY(f.Templates.ApplyTemplate(Template({{0x10, 1}, {0x01, 9}}, {phone, pairs})));
    QCOMPARE(phones.size(), 1);
    QCOMPARE(phones.first().at(0).value<quint8>(), quint8(2));
    QCOMPARE(phones.first().at(1).value<quint8>(), quint8(0x43));
    QCOMPARE(phones.first().at(2).toByteArray(), QByteArray("37060000000"));
    QCOMPARE(maps.size(), 1);
    QVERIFY(f.Can.TemplatePin); // FN 0x01 is a PIN digit

    // A version-3 file replays its records, then is refused.
    tduomenys v3 = Template({{0x10, 1}}, {phone});
    v3[0] = 3;
    f.Host.Shell.Boxes.clear();
    QVERIFY(!f.Templates.ApplyTemplate(v3));
    QCOMPARE(phones.size(), 2);
    QCOMPARE(f.Host.Shell.Boxes, QStringList{"M63"});
}

void TestTemplates::aBackupThatCannotBeWrittenAsksOnce_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("No: nothing is written") << int(Box::ResultNo);
    QTest::newRow("Yes: the save goes on") << int(Box::ResultYes);
}

void TestTemplates::aBackupThatCannotBeWrittenAsksOnce() {
    QFETCH(int, answer);
    TFixture f;
    // The data folder is a file: no backup folder can be made in it.
    QVERIFY(WriteFile(f.Path("data"), {1}));
    qputenv("RV5K_APPDATA", f.Path("data").toLocal8Bit());
    QVERIFY(f.Host.Connect());
    QVERIFY(f.Templates.ApplyTemplate(Template({{0x10, 2}, {0x12, 3}})));
    f.Can.TakeReadBaseline();
    f.Host.Shell.Boxes.clear();
    f.Host.Shell.BoxKinds.clear();
    f.Host.Shell.BoxAnswer = answer;
    QVERIFY(f.Save());
    QCOMPARE(f.Host.Shell.Boxes.size(), 1);
    QVERIFY(f.Host.Shell.Boxes.first().startsWith(QStringLiteral("M95 (")));
    QVERIFY(f.Host.Shell.Boxes.first().endsWith(QStringLiteral(").\n\nM96")));
    QCOMPARE(f.Host.Shell.BoxKinds, QList<int>{Box::Confirmation});
    if (answer == Box::ResultNo) {
        QCOMPARE(f.Writes(), QStringList());
        QCOMPARE(f.Host.ReReads, 0);
    } else {
        QCOMPARE(f.Writes(), (QStringList{"10:02", "12:03", "11:01"}));
        QCOMPARE(f.Host.ReReads, 1);
    }
}

void TestTemplates::backupsKeepTheNewestFiftyOfEachModule() {
    TFixture f;
    const QString module = QStringLiteral("RV5K/../00 7");
    const QString folder = f.Backups.ModuleFolder(module);
    QVERIFY(folder.startsWith(f.Backups.Root()));
    QVERIFY(folder.endsWith(QStringLiteral("/RV5K____00_7/")));
    TFnMemoryMap map;
    map[0] = {0x10, 1};
    const QDateTime start(QDate(2024, 3, 1), QTime(8, 0, 0));
    for (int i = 0; i < 55; ++i)
        QVERIFY(f.Backups.Write(module, map, start.addSecs(60 * i)));
    // Two in one second keep both.
    QString twin;
    QVERIFY(f.Backups.Write(module, map, start.addSecs(60 * 54), &twin));
    QVERIFY(twin.endsWith(QStringLiteral("2024-03-01_08-54-00_2.tpl")));
    // Files that are not backups are never counted nor removed.
    QVERIFY(WriteFile(folder + QStringLiteral("notes.tpl"), {1}));
    // A clock set back: the new backup is kept though it is the oldest.
    QString early;
    QVERIFY(f.Backups.Write(module, map, start.addDays(-1), &early));

    const QList<TBackupEntry> kept = f.Backups.List(module);
    QCOMPARE(kept.size(), 50);
    QCOMPARE(kept.first().Path, twin);
    QCOMPARE(kept.last().Path, early);
    QCOMPARE(kept[kept.size() - 2].Time, start.addSecs(60 * 7));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("notes.tpl")));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 51);
    // Another module's backups are its own.
    QVERIFY(f.Backups.Write(QStringLiteral("other"), map, start));
    QCOMPARE(f.Backups.List(QStringLiteral("other")).size(), 1);
    QCOMPARE(f.Backups.List(module).size(), 50);
}

void TestTemplates::dialogsStartWhereTemplatesCanBeWritten() {
    QTemporaryDir data;
    qputenv("RV5K_APPDATA", data.path().toLocal8Bit());
    QTemporaryDir program;
    QCOMPARE(TTemplates::DialogFolderFor(program.path()), program.path());
    // A folder where nothing can be written (here: none at all).
    const QString fallback = TTemplates::DialogFolderFor(program.filePath(QStringLiteral("none")));
    QCOMPARE(QDir(fallback).absolutePath(),
             QDir(data.filePath(QStringLiteral("Templates"))).absolutePath());
    QVERIFY(QFileInfo(fallback).isDir());
}

RV5K_SIDE_BY_SIDE_MAIN(TestTemplates)
#include "tst_templates.moc"
