// The end of a fetch and the look at the update list, on the main thread, with
// the real car list loader and a real HTTP server on 127.0.0.1: the car list
// replaced only when the box is ticked and the fetched list loads, the update
// list looked at once per run and only after a successful read, firmware
// offered only for a module on USB, and the check box's setting.

#include "LoopbackHttpServer.h"
#include "cansettings/CarDatabaseFile.h"
#include "files/SettingsFile.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHost.h"
#include "update/UpdateServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString CarPath = QStringLiteral("/files/RV9Loader/CANDATA_FULL.csv");
const QString ListPath = QStringLiteral("/files/RV9Loader/Updates.txt");
const QByteArray NewCars = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\r\n"
                           "x\t1\tNewmake Alpha\t2020\t12/3\t2\r\n";
const QByteArray OldCars = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\r\n"
                           "x\t1\tOldmake Beta\t2001\t1/1\t1\r\n";
const QByteArray BothOffers = "rv5kl:v1.22\thttp://example.test/loader.exe\r\n"
                              "rv5kf:6.10\thttp://example.test/fw.bin\r\n";
constexpr qint64 ToolVersion = 121;
constexpr int EndWaitMs = 30'000;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The rest of the program as the update sees it, with the real car list loader.
struct TProgram : IUpdateHost {
    bool Ticked = false;
    std::optional<qint64> Firmware;
    TCanDataArr Cars;
    QStringList Loads; // file names asked for, in order
    int Reloads = 0;

    bool AutoUpdateTicked() const override { return Ticked; }
    bool LoadCarDatabase(const QString& path) override {
        Loads << QFileInfo(path).fileName();
        return TCarDatabaseFile::LoadCarDatabase(path, Cars);
    }
    void CarDatabaseReloaded() override { ++Reloads; }
    std::optional<qint64> UsbFirmwareVersion() const override { return Firmware; }
    QString FirstMake() const { return Cars.isEmpty() ? QString() : Cars.first().Make; }
};
} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void carListAfterFetch_data();
    void carListAfterFetch();
    void failedFetchChangesNothing();
    void updateListLookedAtOncePerRun();
    void offersAfterRead_data();
    void offersAfterRead();
    void checkBoxWritesSettingAndFetches();
    void checkBoxWriteRefused();
    void startUpFetchWhateverTheSetting();
    void serverFromSettingsOrNone();

private:
    // Runs a fetch through the check and waits for its end to be handled.
    bool FetchAndWait(TUpdateCheck& check);
    QString Data(const QString& name) const { return Folder + name; }

    std::unique_ptr<QTemporaryDir> Root;
    std::unique_ptr<TLoopbackHttpServer> Server;
    QString Folder;
};

void TestUpdateCheck::initTestCase() {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(name);
}

void TestUpdateCheck::init() {
    Root = std::make_unique<QTemporaryDir>();
    Folder = Root->path() + QLatin1Char('/');
    qputenv("RV5K_APPDATA", Root->path().toLocal8Bit());
    Server = std::make_unique<TLoopbackHttpServer>();
    Server->Set(CarPath, TLoopbackHttpServer::Ok(NewCars));
    Server->Set(ListPath, TLoopbackHttpServer::Ok(BothOffers));
    qputenv("RV5K_UPDATE_SERVER", Server->Server().toLatin1());
    Write(Data(QStringLiteral("CANDATA_FULL.csv")), OldCars);
}

void TestUpdateCheck::cleanup() {
    Server.reset();
    qunsetenv("RV5K_UPDATE_SERVER");
}

bool TestUpdateCheck::FetchAndWait(TUpdateCheck& check) {
    QSignalSpy ended(&check, &TUpdateCheck::FetchEnded);
    return check.StartFetch() && ended.wait(EndWaitMs);
}

void TestUpdateCheck::carListAfterFetch_data() {
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QByteArray>("served");
    QTest::addColumn<QStringList>("loads");
    QTest::addColumn<QString>("make");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("ticked: the fetched list replaces the old")
        << true << NewCars << QStringList{"CANDATA_FULL_DWNLD.csv"} << "Newmake" << true;
    QTest::newRow("not ticked: stored only")
        << false << NewCars << QStringList{} << "Oldmake" << false;
    QTest::newRow("ticked, but the fetched list has no car: the old is loaded again")
        << true << QByteArray("<html>no car list here</html>\r\n")
        << QStringList{"CANDATA_FULL_DWNLD.csv", "CANDATA_FULL.csv"} << "Oldmake" << false;
}

void TestUpdateCheck::carListAfterFetch() {
    QFETCH(bool, ticked);
    QFETCH(QByteArray, served);
    QFETCH(QStringList, loads);
    QFETCH(QString, make);
    QFETCH(bool, replaced);

    Server->Set(CarPath, TLoopbackHttpServer::Ok(served));
    TProgram program;
    program.Ticked = ticked;
    QVERIFY(
        TCarDatabaseFile::LoadCarDatabase(Data(QStringLiteral("CANDATA_FULL.csv")), program.Cars));
    TUpdateCheck check(program, ToolVersion);
    QVERIFY(FetchAndWait(check));

    QCOMPARE(ReadAll(Data(QStringLiteral("CANDATA_FULL_DWNLD.csv"))), served);
    QCOMPARE(ReadAll(Data(QStringLiteral("CANDATA_FULL.csv"))), replaced ? served : OldCars);
    QCOMPARE(program.Loads, loads);
    QCOMPARE(program.FirstMake(), make);
    // The selected car's program is applied again whenever the list was loaded.
    QCOMPARE(program.Reloads, ticked ? 1 : 0);
    QVERIFY(check.UpdateListPending());
}

void TestUpdateCheck::failedFetchChangesNothing() {
    Server->Set(ListPath, TLoopbackHttpServer::Status(500, "oops"));
    TProgram program;
    program.Ticked = true;
    TUpdateCheck check(program, ToolVersion);
    QVERIFY(FetchAndWait(check));
    QVERIFY(!check.UpdateListPending());
    QVERIFY(program.Loads.isEmpty());
    QCOMPARE(program.Reloads, 0);
    QCOMPARE(ReadAll(Data(QStringLiteral("CANDATA_FULL.csv"))), OldCars);
    QVERIFY(!check.TakeUpdateListPending());
}

void TestUpdateCheck::updateListLookedAtOncePerRun() {
    TProgram program;
    program.Firmware = 605;
    TUpdateCheck check(program, ToolVersion);
    QSignalSpy offered(&check, &TUpdateCheck::DownloadOffersFound);
    QVERIFY(FetchAndWait(check));
    // No settings read yet: nothing is offered.
    QVERIFY(check.UpdateListPending());
    QVERIFY(!check.UpdateListDone());
    QCOMPARE(offered.size(), 0);

    // The first successful read takes the pending list; later reads do not.
    QVERIFY(check.TakeUpdateListPending());
    QVERIFY(!check.TakeUpdateListPending());
    check.LookAtUpdateList();
    QVERIFY(check.UpdateListDone());
    QCOMPARE(offered.size(), 1);
    const auto offers = offered.first().first().value<UpdateList::TOffers>();
    QVERIFY(offers.Loader.Made && offers.Firmware.Made);

    // Once looked at, a further fetch leaves nothing pending in this run.
    QVERIFY(FetchAndWait(check));
    QVERIFY(!check.UpdateListPending());
    QVERIFY(!check.TakeUpdateListPending());
}

void TestUpdateCheck::offersAfterRead_data() {
    QTest::addColumn<QByteArray>("list");    // "<none>": no Updates.txt
    QTest::addColumn<qint64>("usbFirmware"); // -1: none on USB
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("loader");
    QTest::addColumn<bool>("firmware");
    QTest::newRow("module on USB: both") << BothOffers << qint64(605) << true << true << true;
    QTest::newRow("through the base: loader only")
        << BothOffers << qint64(-1) << true << true << false;
    QTest::newRow("firmware only")
        << QByteArray("rv5kf:6.10\thttp://x.test/fw\n") << qint64(605) << true << false << true;
    QTest::newRow("nothing newer")
        << QByteArray("rv5kl:v1.21\thttp://x.test/l\n") << qint64(605) << false << false << false;
    QTest::newRow("no TAB: nothing to open")
        << QByteArray("rv5kl:v1.22\n") << qint64(605) << false << true << false;
    QTest::newRow("no web link: nothing to open")
        << QByteArray("rv5kl:v1.22\tfile:///bin/sh\n") << qint64(605) << false << true << false;
    QTest::newRow("no Updates.txt")
        << QByteArray("<none>") << qint64(605) << false << false << false;
}

void TestUpdateCheck::offersAfterRead() {
    QFETCH(QByteArray, list);
    QFETCH(qint64, usbFirmware);
    QFETCH(bool, shown);

    if (list != "<none>")
        Write(Data(QStringLiteral("Updates.txt")), list);
    TProgram program;
    if (usbFirmware >= 0)
        program.Firmware = usbFirmware;
    TUpdateCheck check(program, ToolVersion);
    QSignalSpy offered(&check, &TUpdateCheck::DownloadOffersFound);
    check.LookAtUpdateList();
    QVERIFY(check.UpdateListDone());
    QCOMPARE(offered.size(), shown ? 1 : 0);
    if (shown) {
        const auto offers = offered.first().first().value<UpdateList::TOffers>();
        QTEST(offers.Loader.Made, "loader");
        QTEST(offers.Firmware.Made, "firmware");
    }
}

void TestUpdateCheck::checkBoxWritesSettingAndFetches() {
    TProgram program;
    TUpdateCheck check(program, ToolVersion);
    QVERIFY(!TUpdateCheck::AutoUpdateSetting()); // default "0"

    QString error;
    QVERIFY(check.AutoUpdateClicked(false, &error));
    QCOMPARE(ReadSetting("Settings", "AutoUpdate", "?"), QByteArray("0"));
    QVERIFY(!check.Fetching());

    QSignalSpy ended(&check, &TUpdateCheck::FetchEnded);
    program.Ticked = true;
    QVERIFY(check.AutoUpdateClicked(true, &error));
    QCOMPARE(ReadSetting("Settings", "AutoUpdate", "?"), QByteArray("1"));
    QVERIFY(TUpdateCheck::AutoUpdateSetting());
    QVERIFY(check.Fetching());
    // Clicked again while it runs: the setting follows, no second fetch starts.
    QVERIFY(check.AutoUpdateClicked(false, &error));
    QVERIFY(check.AutoUpdateClicked(true, &error));
    QVERIFY(ended.wait(EndWaitMs));
    QVERIFY(!check.Fetching());
    QCOMPARE(ended.size(), 1);
    QCOMPARE(Server->Requests().size(), 2);
    QCOMPARE(ReadAll(Data(QStringLiteral("CANDATA_FULL.csv"))), NewCars);
}

void TestUpdateCheck::checkBoxWriteRefused() {
    // The data folder cannot be made: a file stands where it would be.
    const QString blocker = Root->filePath(QStringLiteral("blocker"));
    Write(blocker, "file");
    qputenv("RV5K_APPDATA", (blocker + QStringLiteral("/sub")).toLocal8Bit());
    TProgram program;
    TUpdateCheck check(program, ToolVersion);
    QString error;
    QVERIFY(!check.AutoUpdateClicked(true, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Unable to write to ")), qPrintable(error));
    QVERIFY(!check.Fetching());
}

void TestUpdateCheck::startUpFetchWhateverTheSetting() {
    QVERIFY(WriteSetting("Settings", "AutoUpdate", "0"));
    TProgram program;
    TUpdateCheck check(program, ToolVersion);
    QSignalSpy ended(&check, &TUpdateCheck::FetchEnded);
    check.StartUpCheck();
    QVERIFY(!check.Fetching()); // a moment later, from the event loop
    QVERIFY(ended.wait(EndWaitMs));
    QVERIFY(ended.first().first().value<TFetchResult>().Stored);
    QCOMPARE(ReadAll(Data(QStringLiteral("CANDATA_FULL_DWNLD.csv"))), NewCars);
}

void TestUpdateCheck::serverFromSettingsOrNone() {
    TProgram program;
    TUpdateCheck check(program, ToolVersion);
    qunsetenv("RV5K_UPDATE_SERVER");
    // No server named anywhere: nothing starts.
    if (UpdateServer::BuildDefault().isEmpty())
        QVERIFY(!check.StartFetch());
    QVERIFY(WriteSetting("Settings", "UpdateServer", "no server here"));
    QVERIFY(!check.StartFetch());
    QVERIFY(WriteSetting("Settings", "UpdateServer", Server->Server().toLatin1()));
    QVERIFY(FetchAndWait(check));
    QCOMPARE(Server->Requests().size(), 2);
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_update_check.moc"
