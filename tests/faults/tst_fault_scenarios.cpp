// Fault scenarios met by the whole program as it starts: damaged and missing
// data files, a settings file that is read-only, a folder or junk, a data
// folder that refuses writes and a full disk. For each: nothing crashes, the
// event loop goes on (a module plugged in afterwards is connected and read),
// the installer is told exactly what the message list says and nothing else,
// no box is blank, and every file the user owns is the same afterwards.
//
// comps.txt is read from the program's own folder, so this test has a build
// folder of its own and puts the row's comps.txt beside itself, restoring the
// shipped one after every row.

#include "../ScratchFileSystem.h"
#include "SideBySideMain.h"
#include "app/AppWindows.h"
#include "app/TForm1.h"
#include "files/AppFolders.h"
#include "files/SettingsFile.h"
#include "link/hid/SimHidBus.h"
#include "session/BaseSelection.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRv5kModule.h"

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const char JunkBytes[] = "\x00\xff\x13;\t\"junk\r\n\x80\xfe\x01garbage\t\t\n";
const QByteArray Junk(JunkBytes, sizeof JunkBytes - 1);       // NUL bytes included
const QByteArray RussianName("\xd0\xf3\xf1\xf1\xea\xe8\xe9"); // "Русский" in Windows-1251
const QByteArray UserSettings = "[Settings]\r\nLanguage=" + RussianName +
                                "\r\nAutoUpdate=1\r\n\nCode=0\r"; // the user's own line ends

QString SourceFile(const QString& name) {
    return qEnvironmentVariable("RV5K_SOURCE_DIR") + QStringLiteral("/data/") + name;
}

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts what a row names where a file goes: the shipped file, junk, a folder of
// that name, nothing, or given content.
bool Place(const QString& path, const QString& what, const QByteArray& content = {}) {
    QFileInfo info(path);
    if (info.isDir())
        QDir(path).removeRecursively();
    else if (info.exists() || info.isSymLink())
        QFile::remove(path);
    if (what == QLatin1String("missing"))
        return true;
    if (what == QLatin1String("folder"))
        return QDir().mkpath(path);
    if (what == QLatin1String("junk"))
        return WriteFile(path, Junk);
    if (what == QLatin1String("shipped"))
        return QFile::copy(SourceFile(info.fileName()), path);
    return WriteFile(path, content);
}

// A fingerprint of every file below the folders: path, kind and content.
QMap<QString, QByteArray> Fingerprints(const QStringList& folders) {
    QMap<QString, QByteArray> prints;
    for (const QString& folder : folders) {
        QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            if (path.endsWith(QLatin1String(".filler")))
                continue;
            prints[path] =
                QFileInfo(path).isDir()
                    ? QByteArray("folder")
                    : QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256);
        }
    }
    return prints;
}

// Answers every message box the moment it shows and keeps its title and text;
// any other modal window is an unexpected question and is closed as well.
class TBoxRecorder : public QObject {
public:
    TBoxRecorder() {
        connect(&Poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                    Texts << box->text();
                    Titles << box->windowTitle();
                    QAbstractButton* ok = box->button(QMessageBox::Ok);
                    (ok ? ok : box->buttons().value(0))->click();
                    return;
                }
            if (modal && !qobject_cast<QMessageBox*>(modal)) {
                Texts << QStringLiteral("<unexpected %1>").arg(modal->metaObject()->className());
                modal->close();
            }
        });
        Poll.start(10);
    }
    QStringList Texts;
    QStringList Titles;

private:
    QTimer Poll;
};

TSimProfile SmallModule() {
    TSimProfile profile;
    profile.SerialNumber = QStringLiteral("F1");
    profile.Map = {{0x10, 1}, {0x11, 0}, {0x57, 3}};
    profile.LatencyMs = 2;
    return profile;
}

// Where the row's data folder lives: a temporary folder, or a small file
// system of its own that is full or read-only.
struct TDataFolder {
    QString Skip;
    QString Path;
    std::unique_ptr<QTemporaryDir> Local;
    std::unique_ptr<TScratchFileSystem> Scratch;
    bool Locked = false;

    explicit TDataFolder(const QString& kind) {
        const bool root =
#ifdef Q_OS_WIN
            false;
#else
            ::geteuid() == 0;
#endif
        if (kind == QLatin1String("full") || (kind == QLatin1String("unwritable") && root)) {
            Scratch = std::make_unique<TScratchFileSystem>(256);
            if (!Scratch->Mounted())
                Skip = Scratch->Why();
            Path = Scratch->Path();
        } else {
            Local = std::make_unique<QTemporaryDir>();
            Path = Local->path();
        }
    }
    // After its files are in place.
    bool Close(const QString& kind) {
        if (kind == QLatin1String("full"))
            return Scratch->Fill();
        if (kind != QLatin1String("unwritable"))
            return true;
        if (Scratch)
            return Scratch->MakeReadOnly();
        Locked = true;
        return QFile::setPermissions(Path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~TDataFolder() {
        if (Locked)
            QFile::setPermissions(Path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
    }
};
} // namespace

class TestFaultScenarios : public QObject {
    Q_OBJECT
private slots:
    void init() { RestoreProgramFolder(); }
    void cleanup() { RestoreProgramFolder(); }

    void startUp_data();
    void startUp();
    void scanThatFindsNothing();

private:
    static void RestoreProgramFolder() {
        for (const QString& name :
             {QStringLiteral("comps.txt"), QStringLiteral("CANDATA_FULL.csv")})
            if (ReadFile(ProgramFolder() + name) != ReadFile(SourceFile(name)))
                Place(ProgramFolder() + name, QStringLiteral("shipped"));
    }
};

void TestFaultScenarios::startUp_data() {
    QTest::addColumn<QString>("functions");   // Functions.csv in the working folder
    QTest::addColumn<QString>("comps");       // comps.txt beside the program
    QTest::addColumn<QString>("shippedCars"); // CANDATA_FULL.csv beside the program
    QTest::addColumn<QString>("cars");        // CANDATA_FULL.csv in the data folder
    QTest::addColumn<QString>("settings");    // Settings.ini: missing, user, junk, folder
    QTest::addColumn<bool>("settingsReadOnly");
    QTest::addColumn<QString>("dataFolder"); // plain, unwritable, full
    QTest::addColumn<QString>("pick");       // a language the user picks afterwards
    QTest::addColumn<QStringList>("messages");

    const QString s = QStringLiteral("shipped");
    const QString m = QStringLiteral("missing");
    const QString j = QStringLiteral("junk");
    const QString f = QStringLiteral("folder");
    const QString user = QStringLiteral("user");
    const QString plain = QStringLiteral("plain");
    const QString none;
    const QString settingsRefused = QStringLiteral("Unable to write to <data>/Settings.ini");
    const QString carsRefused = QStringLiteral("Unable to write to <data>/CANDATA_FULL.csv");
    const QString noLanguage =
        QStringLiteral("The language file comps.txt holds no language. The texts stay in English.");

    QTest::newRow("everything in order")
        << s << s << s << s << user << false << plain << none << QStringList();
    QTest::newRow("Functions.csv missing")
        << m << s << s << s << user << false << plain << none << QStringList();
    QTest::newRow("Functions.csv is a folder")
        << f << s << s << s << user << false << plain << none
        << QStringList{QStringLiteral("Error opening file (Functions.csv)")};
    QTest::newRow("Functions.csv junk")
        << j << s << s << s << user << false << plain << none << QStringList();
    QTest::newRow("comps.txt missing") << s << m << s << s << user << false << plain << none
                                       << QStringList{QStringLiteral("Not found comps.txt")};
    QTest::newRow("comps.txt is a folder") << s << f << s << s << user << false << plain << none
                                           << QStringList{QStringLiteral("Not found comps.txt")};
    QTest::newRow("comps.txt junk")
        << s << j << s << s << user << false << plain << none << QStringList{noLanguage};
    QTest::newRow("car list missing, none shipped")
        << s << s << m << m << user << false << plain << none << QStringList();
    QTest::newRow("car list is a folder")
        << s << s << s << f << user << false << plain << none << QStringList();
    QTest::newRow("car list junk")
        << s << s << s << j << user << false << plain << none << QStringList();
    QTest::newRow("Settings.ini read-only")
        << s << s << s << s << user << true << plain << QStringLiteral("English")
        << QStringList{settingsRefused};
    QTest::newRow("Settings.ini is a folder")
        << s << s << s << s << f << false << plain << none << QStringList{settingsRefused};
    QTest::newRow("Settings.ini junk")
        << s << s << s << s << j << false << plain << none << QStringList();
    QTest::newRow("data folder not writable")
        << s << s << s << m << m << false << QStringLiteral("unwritable") << none
        << QStringList{carsRefused, settingsRefused};
    QTest::newRow("data folder not writable, user files in it")
        << s << s << s << s << user << false << QStringLiteral("unwritable")
        << QStringLiteral("English") << QStringList{settingsRefused};
    QTest::newRow("full disk") << s << s << s << s << user << false << QStringLiteral("full")
                               << QStringLiteral("English") << QStringList{settingsRefused};
    QTest::newRow("full disk, fresh install")
        << s << s << s << m << m << false << QStringLiteral("full") << none
        << QStringList{carsRefused, settingsRefused};
}

void TestFaultScenarios::startUp() {
    QFETCH(QString, functions);
    QFETCH(QString, comps);
    QFETCH(QString, shippedCars);
    QFETCH(QString, cars);
    QFETCH(QString, settings);
    QFETCH(bool, settingsReadOnly);
    QFETCH(QString, dataFolder);
    QFETCH(QString, pick);
    QFETCH(QStringList, messages);

    QTemporaryDir work;
    TDataFolder data(dataFolder);
    if (!data.Skip.isEmpty())
        QSKIP(qPrintable(data.Skip));
    const QString settingsPath = data.Path + QStringLiteral("/Settings.ini");
    QVERIFY(Place(work.filePath(QStringLiteral("Functions.csv")), functions));
    QVERIFY(Place(ProgramFolder() + QStringLiteral("comps.txt"), comps));
    QVERIFY(Place(ProgramFolder() + QStringLiteral("CANDATA_FULL.csv"), shippedCars));
    QVERIFY(Place(data.Path + QStringLiteral("/CANDATA_FULL.csv"), cars));
    QVERIFY(Place(settingsPath,
                  settings == QLatin1String("user") ? QStringLiteral("given") : settings,
                  UserSettings));
    if (settingsReadOnly)
        QVERIFY(QFile::setPermissions(settingsPath, QFileDevice::ReadOwner));
    QVERIFY(data.Close(dataFolder));
    for (QString& message : messages)
        message.replace(QStringLiteral("<data>/"),
                        QDir::toNativeSeparators(QDir(data.Path).absolutePath() + '/'));

    const QStringList owned{work.path(), data.Path, ProgramFolder() + QStringLiteral("comps.txt")};
    const QMap<QString, QByteArray> before = Fingerprints(owned);
    const QByteArray settingsBefore = ReadFile(settingsPath);
    const QString oldFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    qputenv("RV5K_APPDATA", data.Path.toLocal8Bit());
    {
        TBoxRecorder boxes;
        TSimHidBus bus;
        TSimRv5kModule module(SmallModule());
        TAppWindows windows(&bus);
        TForm1* form = windows.Form1();
        form->show();
        // Start-up's own messages come first, then the user's pick.
        const int startUpMessages = int(messages.size()) - (pick.isEmpty() ? 0 : 1);
        QTRY_VERIFY_WITH_TIMEOUT(boxes.Texts.size() >= startUpMessages, 5000);
        if (!pick.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(form->LanguagesLoaded, 5000);
            QComboBox* list = form->Controls().LanguageBox;
            const int index = list->findText(pick);
            QVERIFY(index >= 0);
            list->setCurrentIndex(index);
            emit list->activated(index);
        }
        // The event loop goes on: a module plugged in now is connected and read.
        bus.Plug(&module);
        QTRY_VERIFY_WITH_TIMEOUT(
            form->Controls().StatusLabel->text().endsWith(QStringLiteral(" SN:F1")), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(form->SettingsPanelVisible(), 20000);
        bus.Unplug(&module);
        QCOMPARE(boxes.Texts, messages);
        for (const QString& title : std::as_const(boxes.Titles))
            QVERIFY(!title.trimmed().isEmpty());
    }
    QDir::setCurrent(oldFolder);
    qunsetenv("RV5K_APPDATA");

    const QMap<QString, QByteArray> after = Fingerprints(owned);
    if (settings == QLatin1String("junk")) {
        // The tool's own file: the key it adds, every junk byte kept before it.
        QVERIFY(ReadFile(settingsPath).startsWith(settingsBefore));
        QCOMPARE(TSettingsFile(settingsPath).Read("Settings", "Language", ""),
                 QByteArray("English"));
        QCOMPARE(after.keys(), before.keys());
        for (const QString& path : before.keys())
            if (path != settingsPath)
                QCOMPARE(after[path], before[path]);
    } else {
        // The user's files, Settings.ini among them, byte for byte; a data
        // folder that refused writes holds nothing new either.
        QCOMPARE(after, before);
    }
}

void TestFaultScenarios::scanThatFindsNothing() {
    TSimBaseProfile profile;
    TSimRadioModuleProfile away;
    away.InRange = false;
    profile.Modules = {away};
    TSimRadioBase base(profile);
    QTemporaryDir data;
    qputenv("RV5K_APPDATA", data.path().toLocal8Bit());
    TBoxRecorder boxes;
    TSimHidBus bus;
    TAppWindows windows(&bus);
    TForm1* form = windows.Form1();
    form->show();
    QTRY_VERIFY_WITH_TIMEOUT(form->LanguagesLoaded, 5000);
    bus.Plug(&base);
    QTRY_VERIFY_WITH_TIMEOUT(form->Controls().ScanBaseButton->isVisible(), 5000);
    form->BaseSelector()->NothingFoundTimer()->setInterval(1500);
    form->Controls().ScanBaseButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(boxes.Texts.size(), 1, 10000);
    QCOMPARE(boxes.Texts.first(), form->Messages().WideMess(TBaseSelection::NothingFoundMessage));
    QVERIFY(boxes.Texts.first().startsWith(QStringLiteral("No module answered")));
    QCOMPARE(boxes.Titles.first(), QStringLiteral("Warning"));
    // The scan goes on.
    QVERIFY(form->Controls().ScanningLabel->isVisible());
    QVERIFY(form->BaseSelector()->RV5KPingTimer()->isActive());
    bus.Unplug(&base);
    qunsetenv("RV5K_APPDATA");
}

RV5K_SIDE_BY_SIDE_MAIN_OWN_FOLDER(TestFaultScenarios, "comps.txt", "CANDATA_FULL.csv")
#include "tst_fault_scenarios.moc"
