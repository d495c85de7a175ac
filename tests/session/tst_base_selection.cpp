// Finding and choosing a module through the simulated base: the scan, the
// list, the version check, the addressing and the ping time-out.

#include "BaseFixture.h"
#include "SideBySideMain.h"
#include "TestShell.h"
#include "session/BaseSelection.h"
#include "session/ConnectRead.h"
#include "session/Session.h"
#include "sim/SimRv5kModule.h"

#include <QEventLoop>
#include <QTimer>

namespace {
TSimBaseProfile Modules(const QList<QPair<quint32, int>>& serialAndVersion) {
    TSimBaseProfile profile;
    for (const auto& [serial, version] : serialAndVersion)
        profile.Modules.append(RadioModule(serial, quint8(version / 100), quint8(version % 100)));
    return profile;
}

// The session on a simulated bus with a simulated base: its selection is the
// one the main window uses. The read that follows a choice is left to the
// window tests: here only its start is seen (the read's first relay).
struct TSelectionFixture {
    TSimHidBus Bus;
    std::unique_ptr<TSimRadioBase> Base;
    TTestShell Shell;
    TSession Session{&Bus, Shell};
    THFLatcher& Link = *Session.BaseLink();
    TBaseSelection& Selection = *Session.Selection();
    QStringList Texts;
    QList<bool> TooOld;
    QList<bool> PingTimeOuts;
    int Lost = 0;

    explicit TSelectionFixture(const TSimBaseProfile& profile)
        : Base(std::make_unique<TSimRadioBase>(profile)) {
        Session.SetReadOnConnect(false);
        QObject::connect(&Selection, &TBaseSelection::ConnectionText,
                         [this](const QString& t) { Texts.append(t); });
        QObject::connect(&Selection, &TBaseSelection::TooOldVisible,
                         [this](bool v) { TooOld.append(v); });
        QObject::connect(&Selection, &TBaseSelection::PingTimeOutVisible,
                         [this](bool v) { PingTimeOuts.append(v); });
        QObject::connect(&Selection, &TBaseSelection::BaseLost, [this] { ++Lost; });
    }
    ~TSelectionFixture() {
        if (Bus.IsPlugged(Base.get()))
            Bus.Unplug(Base.get());
    }
    bool Connect() {
        QSignalSpy connected(&Link, &THFLatcher::OnConnect);
        Bus.Plug(Base.get());
        return connected.wait(1000) || !connected.isEmpty();
    }
    // Scans and waits until the choice has been made (or refused).
    bool ScanAndChoose(int timeoutMs = 5000) {
        Selection.Scan();
        return QTest::qWaitFor(
            [this] { return Selection.ReplyCount() == 6 && !Selection.SelectionPending(); },
            timeoutMs);
    }
    // The read on connect that follows a choice has started.
    bool ReadStarted() const { return Session.Reader().Pending() || Session.LinkBusy() != 0; }
};
} // namespace

class TstBaseSelection : public QObject {
    Q_OBJECT
private slots:
    void oneModuleIsChosenWithoutTheWindow() {
        TSelectionFixture f(Modules({{197121, 612}}));
        f.Session.SetReadOnConnect(true);
        QVERIFY(f.Connect());
        f.Session.MapReadEnded(true);
        QVERIFY(f.ScanAndChoose());
        QVERIFY(!f.Session.ReadError()); // the scan cleared it
        QCOMPARE(f.Selection.BaseList().size(), 1);
        QVERIFY(f.Shell.ChoiceRows.isEmpty());
        QCOMPARE(f.Selection.BaseList()[0].text, QByteArray("RV5K.XOLT v6.12\tSN:197121"));
        QVERIFY(f.Selection.ModuleSelected());
        QVERIFY(f.Selection.BaseActive());
        QCOMPARE(f.Texts, QStringList{QStringLiteral("RV5K.XOLT v6.12\tSN:197121")});
        // The read on connect follows: its first relay asks for map page 0.
        QTRY_VERIFY(f.Base->Relays().contains(QByteArray::fromHex("3E00")));
        // Addressed as serial * 256 = 50462976, then the common address is left.
        QCOMPARE(f.Base->Address(), quint64(50462976));
        QVERIFY(!f.Base->CommonAddress());
        const QList<QByteArray> frames = f.Base->Frames();
        QCOMPARE(frames.first().toHex(), Frame("010601").toHex());
        const qsizetype addressed = frames.indexOf(Frame("01010001020300"));
        QVERIFY(addressed > 0);
        QCOMPARE(frames[addressed + 1].toHex(), Frame("010600").toHex());
        QCOMPARE(f.Selection.RV5KPingTimer()->interval(), TBaseSelection::KeepAliveMs);
        QVERIFY(f.Selection.RV5KPingTimer()->isActive());
        // The scan emptied the trace; it holds the scan's pings since.
        QVERIFY(!f.Link.Trace().isEmpty());
        QVERIFY(f.Link.Trace().first().startsWith(QStringLiteral("S -> 12 01 30 ")));
    }

    void twoModulesInOrderOfFirstReply() {
        TSelectionFixture f(Modules({{4660, 605}, {197121, 612}}));
        f.Shell.Choice = 1;
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Shell.ChoiceRows.size(), 1);
        QCOMPARE(f.Shell.ChoiceRows[0],
                 (QStringList{QStringLiteral("RV5K.XOLT v6.5\tSN:4660"),
                              QStringLiteral("RV5K.XOLT v6.12\tSN:197121")}));
        QVERIFY(f.Selection.ModuleSelected());
        QCOMPARE(f.Base->Address(), quint64(197121) * 256);
        // Only the chosen module answers from now on.
        f.Link.Ping();
        QCOMPARE(f.Selection.BaseList().size(), 2);
    }

    void closingTheWindowChoosesNothing() {
        TSelectionFixture f(Modules({{1, 612}, {2, 612}}));
        f.Shell.Choice = -1;
        f.Session.SetReadOnConnect(true);
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QVERIFY(!f.Selection.ModuleSelected());
        QVERIFY(!f.Selection.SelectionPending());
        QVERIFY(!f.Selection.RV5KPingTimer()->isActive()); // no ping until the next scan
        QTest::qWait(100);
        QVERIFY(!f.Base->Relays().contains(QByteArray::fromHex("3E00")));
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
        f.Session.SetReadOnConnect(true);
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Selection.ModuleSelected(), accepted);
        QCOMPARE(f.TooOld, QList<bool>{!accepted});
        QCOMPARE(f.Texts.size(), 1); // its text is shown either way
        if (accepted)
            QTRY_VERIFY(f.Base->Relays().contains(QByteArray::fromHex("3E00")));
        else
            QVERIFY(!f.Base->Relays().contains(QByteArray::fromHex("3E00")));
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
        QTest::addColumn<bool>("reading");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("read cycle") << true << true;
        QTest::newRow("window disabled") << false << false;
    }
    void noPingWhileBusy() {
        QFETCH(bool, reading);
        QFETCH(bool, enabled);
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        if (reading)
            f.Session.MapReadStarted();
        f.Shell.Enabled = enabled;
        f.Selection.Scan();
        f.Selection.RV5KPingTimer()->setInterval(20);
        QTest::qWait(150);
        QCOMPARE(f.Base->Relays().size(), 0);
        f.Session.MapReadEnded(false);
        f.Shell.Enabled = true;
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

    // The chosen module's keep-alive waits while the base's own read runs and
    // starts over when the read of the map has ended.
    void noPingWhileTheBaseReads() {
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        f.Selection.RV5KPingTimer()->setInterval(20);
        // The base's read goes on only while its map pages have a receiver.
        connect(&f.Link, &THFLatcher::OnHFRV5KFNMap, this, [] {});
        const qsizetype start = f.Base->Relays().size();
        f.Link.Nuskaitymas();
        QVERIFY(f.Session.LinkBusy() == 2);
        QTRY_VERIFY_WITH_TIMEOUT(f.Session.LinkBusy() == 0, 8000);
        // From the read's first relay to its last (the program count), no ping.
        const QList<QByteArray> relays = f.Base->Relays().mid(start);
        const qsizetype last = relays.indexOf(QByteArray::fromHex("3C00"));
        QVERIFY(last > 0);
        QCOMPARE(relays.first(), QByteArray::fromHex("3E00"));
        QVERIFY(!relays.mid(0, last).contains(QByteArray::fromHex("30")));
        // Afterwards the keep-alive goes on.
        QTRY_VERIFY(f.Base->Relays().mid(start + last).contains(QByteArray::fromHex("30")));
    }

    // A module plugged in over USB takes over from the module chosen through
    // the base.
    void usbModuleTakesOver() {
        TSimRv5kModule usb(TSimProfile{});
        TSelectionFixture f(Modules({{5, 612}}));
        QVERIFY(f.Connect());
        QVERIFY(f.ScanAndChoose());
        QCOMPARE(f.Session.ActiveLink(), 2);
        f.Bus.Plug(&usb);
        QTRY_COMPARE(f.Session.ActiveLink(), 1);
        QVERIFY(!f.Selection.ModuleSelected());
        QVERIFY(!f.Selection.BaseActive());
        QVERIFY(!f.Selection.RV5KPingTimer()->isActive());
        QVERIFY(!f.Selection.RV5KTimeOutTimer()->isActive());
        f.Bus.Unplug(&usb);
        QTRY_COMPARE(f.Session.ActiveLink(), 0);
    }

    void baseUnpluggedDuringAScanAndBack() {
        TSimBaseProfile profile = Modules({{5, 612}});
        profile.UnplugAfterRelays = 2;
        // Declared first: the fixture's end unplugs the base, which still reports.
        QList<bool> scanButton;
        TSelectionFixture f(profile);
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
        QList<bool> scanButton;
        TSimRv5kModule usb(TSimProfile{});
        TSelectionFixture f(Modules({{5, 612}}));
        f.Bus.Plug(&usb);
        QTRY_COMPARE(f.Session.ActiveLink(), 1);
        connect(&f.Selection, &TBaseSelection::ScanButtonVisible, this,
                [&](bool v) { scanButton.append(v); });
        QVERIFY(f.Connect());
        QVERIFY(scanButton.isEmpty());
        f.Bus.Unplug(f.Base.get());
        QTRY_COMPARE(scanButton, QList<bool>{false});
        QCOMPARE(f.Lost, 0);
        f.Bus.Unplug(&usb);
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TstBaseSelection)
#include "tst_base_selection.moc"
