// Finding and choosing a module through the simulated base: the scan, the
// list, the version check, the addressing and the ping time-out.

#include "BaseFixture.h"
#include "base/BaseSelection.h"

#include <QEventLoop>
#include <QTimer>

namespace {
// The window side of the selection, as plain state.
struct TTestHost : IBaseSelectionHost {
    bool UsbModule = false;
    int Busy = 0;
    bool Reading = false;
    bool Enabled = true;
    int Choice = 0;
    QList<QStringList> Shown; // rows of every "Select base" window
    int ConnectReads = 0;
    int ReadErrorsCleared = 0;

    bool ModuleLinkActive() const override { return UsbModule; }
    int LinkBusy() const override { return Busy; }
    bool ReadCycleRunning() const override { return Reading; }
    bool WindowEnabled() const override { return Enabled; }
    void ClearReadError() override { ++ReadErrorsCleared; }
    void WaitWithEvents(int ms) override { QTest::qWait(ms); }
    int ChooseModule(const QStringList& rows) override {
        Shown.append(rows);
        return Choice;
    }
    void StartConnectRead() override { ++ConnectReads; }
};

TSimBaseProfile Modules(const QList<QPair<quint32, int>>& serialAndVersion) {
    TSimBaseProfile profile;
    for (const auto& [serial, version] : serialAndVersion)
        profile.Modules.append(RadioModule(serial, quint8(version / 100), quint8(version % 100)));
    return profile;
}

struct TSelectionFixture : TBaseFixture {
    TTestHost Host;
    TBaseSelection Selection{&Link, Host};
    QStringList Texts;
    QList<bool> TooOld;
    QList<bool> PingTimeOuts;
    int Lost = 0;

    explicit TSelectionFixture(const TSimBaseProfile& profile) : TBaseFixture(profile) {
        QObject::connect(&Selection, &TBaseSelection::ConnectionText,
                         [this](const QString& t) { Texts.append(t); });
        QObject::connect(&Selection, &TBaseSelection::TooOldVisible,
                         [this](bool v) { TooOld.append(v); });
        QObject::connect(&Selection, &TBaseSelection::PingTimeOutVisible,
                         [this](bool v) { PingTimeOuts.append(v); });
        QObject::connect(&Selection, &TBaseSelection::BaseLost, [this] { ++Lost; });
    }
    // Scans and waits until the choice has been made (or refused).
    bool ScanAndChoose(int timeoutMs = 5000) {
        Selection.Scan();
        return QTest::qWaitFor(
            [this] { return Selection.ReplyCount() == 6 && !Selection.SelectionPending(); },
            timeoutMs);
    }
};
} // namespace

class TstBaseSelection : public QObject {
    Q_OBJECT
private slots:
    void oneModuleIsChosenWithoutTheWindow() {
        TSelectionFixture f(Modules({{197121, 612}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Selection.BaseList().size(), 1);
        QVERIFY(f.Host.Shown.isEmpty());
        QCOMPARE(f.Selection.BaseList()[0].text, QByteArray("RV5K.XOLT v6.12\tSN:197121"));
        QVERIFY(f.Selection.ModuleSelected());
        QVERIFY(f.Selection.BaseActive());
        QCOMPARE(f.Texts, QStringList{QStringLiteral("RV5K.XOLT v6.12\tSN:197121")});
        QCOMPARE(f.Host.ConnectReads, 1);
        QCOMPARE(f.Host.ReadErrorsCleared, 1);
        // Addressed as serial * 256 = 50462976, then the common address is left.
        QCOMPARE(f.Base->Address(), quint64(50462976));
        QVERIFY(!f.Base->CommonAddress());
        const QList<QByteArray> frames = f.Base->Frames();
        QCOMPARE(frames.first().toHex(), Frame("010601").toHex());
        QCOMPARE(frames[frames.size() - 2].toHex(), Frame("01010001020300").toHex());
        QCOMPARE(frames.last().toHex(), Frame("010600").toHex());
        QCOMPARE(f.Selection.RV5KPingTimer()->interval(), TBaseSelection::KeepAliveMs);
        QVERIFY(f.Selection.RV5KPingTimer()->isActive());
        // The scan emptied the trace; it holds the scan's pings since.
        QVERIFY(!f.Link.Trace().isEmpty());
        QVERIFY(f.Link.Trace().first().startsWith(QStringLiteral("S -> 12 01 30 ")));
    }

    void twoModulesInOrderOfFirstReply() {
        TSelectionFixture f(Modules({{4660, 605}, {197121, 612}}));
        f.Host.Choice = 1;
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Host.Shown.size(), 1);
        QCOMPARE(f.Host.Shown[0], (QStringList{QStringLiteral("RV5K.XOLT v6.5\tSN:4660"),
                                               QStringLiteral("RV5K.XOLT v6.12\tSN:197121")}));
        QVERIFY(f.Selection.ModuleSelected());
        QCOMPARE(f.Base->Address(), quint64(197121) * 256);
        // Only the chosen module answers from now on.
        f.Link.Ping();
        QCOMPARE(f.Selection.BaseList().size(), 2);
    }

    void closingTheWindowChoosesNothing() {
        TSelectionFixture f(Modules({{1, 612}, {2, 612}}));
        f.Host.Choice = -1;
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QVERIFY(!f.Selection.ModuleSelected());
        QVERIFY(!f.Selection.SelectionPending());
        QVERIFY(!f.Selection.RV5KPingTimer()->isActive()); // no ping until the next scan
        QCOMPARE(f.Host.ConnectReads, 0);
        QVERIFY(f.Base->CommonAddress());
    }

    void versionCheck_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("6.2 counts as 602") << 602 << false;
        QTest::newRow("6.3") << 603 << true;
        QTest::newRow("5.99") << 599 << false;
        QTest::newRow("7.0") << 700 << true;
    }
    void versionCheck() {
        QFETCH(int, version);
        QFETCH(bool, accepted);
        TSelectionFixture f(Modules({{77, version}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Selection.ModuleSelected(), accepted);
        QCOMPARE(f.TooOld, QList<bool>{!accepted});
        QCOMPARE(f.Texts.size(), 1); // its text is shown either way
        QCOMPARE(f.Host.ConnectReads, accepted ? 1 : 0);
        QCOMPARE(f.Selection.RV5KPingTimer()->isActive(), accepted);
    }

    // A chosen module that stops answering: "(Ping TimeOut)", no active base,
    // pings every second until it answers again.
    void pingTimeOutAndRecovery() {
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        f.Base->Module(0).SetInRange(false);
        // One ping now rather than after the ten-second keep-alive.
        const int relays = f.Base->Relays().size();
        f.Selection.RV5KPingTimer()->start(10);
        QTRY_VERIFY(f.Base->Relays().size() > relays);
        f.Selection.RV5KPingTimer()->setInterval(TBaseSelection::KeepAliveMs);
        QTRY_VERIFY_WITH_TIMEOUT(f.Selection.PingTimedOut(), 4000);
        QCOMPARE(f.PingTimeOuts.last(), true);
        QVERIFY(!f.Selection.BaseActive());
        QCOMPARE(f.Selection.RV5KPingTimer()->interval(), TBaseSelection::ScanPingMs);
        f.Base->Module(0).SetInRange(true);
        QTRY_VERIFY_WITH_TIMEOUT(!f.Selection.PingTimedOut(), 3000);
        QCOMPARE(f.PingTimeOuts.last(), false);
        QVERIFY(f.Selection.BaseActive());
        QCOMPARE(f.Selection.RV5KPingTimer()->interval(), TBaseSelection::ScanPingMs);
    }

    void noPingWhileBusy_data() {
        QTest::addColumn<int>("busy");
        QTest::addColumn<bool>("reading");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("link busy") << 2 << false << true;
        QTest::newRow("read cycle") << 0 << true << true;
        QTest::newRow("window disabled") << 0 << false << false;
    }
    void noPingWhileBusy() {
        QFETCH(int, busy);
        QFETCH(bool, reading);
        QFETCH(bool, enabled);
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        f.Host.Busy = busy;
        f.Host.Reading = reading;
        f.Host.Enabled = enabled;
        f.Selection.Scan();
        f.Selection.RV5KPingTimer()->setInterval(20);
        QTest::qWait(150);
        QCOMPARE(f.Base->Relays().size(), 0);
        f.Host.Busy = 0;
        f.Host.Reading = false;
        f.Host.Enabled = true;
        QTRY_VERIFY(f.Base->Relays().size() > 0); // resumes afterwards
    }

    // A scan that nobody answers says so once, after NothingFoundMs, and goes on.
    void nothingFoundIsToldOnce_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("module out of range") << "out of range";
        QTest::newRow("base stays busy") << "stay busy";
        QTest::newRow("every relay fails") << "relay fails";
    }
    void nothingFoundIsToldOnce() {
        QFETCH(QString, fault);
        TSimBaseProfile profile = Modules({{5, 612}});
        profile.Modules[0].InRange = fault != QLatin1String("out of range");
        profile.StayBusy = fault == QLatin1String("stay busy");
        profile.RelayAlwaysFails = fault == QLatin1String("relay fails");
        TSelectionFixture f(profile);
        QVERIFY(f.Connect());
        QSignalSpy nothing(&f.Selection, &TBaseSelection::NothingFound);
        QSignalSpy scanning(&f.Selection, &TBaseSelection::ScanningVisible);
        f.Selection.NothingFoundTimer()->setInterval(1500);
        f.Selection.Scan();
        QTRY_COMPARE_WITH_TIMEOUT(nothing.count(), 1, 10000);
        QTest::qWait(2000);
        QCOMPARE(nothing.count(), 1);
        QVERIFY(f.Selection.RV5KPingTimer()->isActive());
        QCOMPARE(scanning.last().first().toBool(), true);
        QCOMPARE(f.Selection.ReplyCount(), 0);
        f.Selection.Scan(); // a new scan tells again
        QTRY_COMPARE_WITH_TIMEOUT(nothing.count(), 2, 10000);
    }
    void answeredScanTellsNothing() {
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        QSignalSpy nothing(&f.Selection, &TBaseSelection::NothingFound);
        f.Selection.NothingFoundTimer()->setInterval(1500);
        QVERIFY(f.ScanAndChoose());
        QTest::qWait(2000);
        QCOMPARE(nothing.count(), 0);
    }

    void usbModuleTakesOver() {
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        f.Host.UsbModule = true;
        f.Selection.ForgetModule();
        QVERIFY(!f.Selection.ModuleSelected());
        QVERIFY(!f.Selection.BaseActive());
        QVERIFY(!f.Selection.RV5KPingTimer()->isActive());
        QVERIFY(!f.Selection.RV5KTimeOutTimer()->isActive());
    }

    void baseUnpluggedDuringAScanAndBack() {
        TSimBaseProfile profile = Modules({{5, 612}});
        profile.UnplugAfterRelays = 2;
        TSelectionFixture f(profile);
        QList<bool> scanButton;
        connect(&f.Selection, &TBaseSelection::ScanButtonVisible, this,
                [&](bool v) { scanButton.append(v); });
        QVERIFY(f.Connect());
        QVERIFY(!scanButton.isEmpty() && !scanButton.contains(false));
        f.Selection.Scan();
        QTRY_VERIFY_WITH_TIMEOUT(!f.Link.Connected(), 3000);
        QCOMPARE(scanButton.last(), false);
        QCOMPARE(f.Lost, 1);
        QTest::qWait(1200); // pings are skipped without a base
        QVERIFY(!f.Selection.ModuleSelected());
        QVERIFY(f.Connect());
        QCOMPARE(scanButton.last(), true);
        QVERIFY(f.ScanAndChoose());
        QVERIFY(f.Selection.BaseActive());
    }

    // With a module on USB the base's connect shows no scan button and its
    // disconnect takes nothing away.
    void baseEventsWhileTheUsbModuleIsActive() {
        TSelectionFixture f(Modules({{5, 612}}));
        f.Host.UsbModule = true;
        QList<bool> scanButton;
        connect(&f.Selection, &TBaseSelection::ScanButtonVisible, this,
                [&](bool v) { scanButton.append(v); });
        QVERIFY(f.Connect());
        QVERIFY(scanButton.isEmpty());
        f.Bus.Unplug(f.Base.get());
        QTRY_COMPARE(scanButton, QList<bool>{false});
        QCOMPARE(f.Lost, 0);
    }
};

QTEST_GUILESS_MAIN(TstBaseSelection)
#include "tst_base_selection.moc"
