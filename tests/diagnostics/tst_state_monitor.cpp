// The state monitor's lamps from state blocks and status ticks, the zone
// status poll's rule tick by tick, and both on a session over the scripted
// link: what is asked for and when.

#include "ScriptedLink.h"
#include "TestShell.h"
#include "diagnostics/Diagnostics.h"
#include "session/Session.h"

#include <QtTest>

namespace {
// The lamps that are on, as "group:caption".
QStringList LitLamps(const TStatusLamps& lamps) {
    using namespace StatusLamps;
    QStringList lit;
    for (std::size_t i = 0; i < ModemFlags.size(); ++i)
        if (lamps.Flags[i])
            lit << QStringLiteral("Flags:") + QLatin1String(ModemFlags[i].Caption);
    for (std::size_t i = 0; i < ModemControl.size(); ++i) {
        if (lamps.Request[i])
            lit << QStringLiteral("Request:") + QLatin1String(ModemControl[i].Caption);
        if (lamps.Process[i])
            lit << QStringLiteral("Process:") + QLatin1String(ModemControl[i].Caption);
    }
    for (std::size_t i = 0; i < TcpEngine.size(); ++i)
        if (lamps.Tcp[i])
            lit << QStringLiteral("Tcp:") + QLatin1String(TcpEngine[i].Caption);
    for (std::size_t i = 0; i < LinkFlags.size(); ++i)
        if (lamps.Link[i])
            lit << QStringLiteral("Link:") + QLatin1String(LinkFlags[i].Caption);
    return lit;
}

struct TStatusRecorder : IStatusView {
    QList<TStatusLamps> Shown;
    void ShowLamps(const TStatusLamps& lamps) override { Shown << lamps; }
};

// A session over the scripted link with the diagnostics on it; every zone
// status request is counted.
struct TPollFixture {
    TScriptedLink Link;
    TTestShell Shell;
    TSession Session{Link, Shell};
    bool FlagShown = true;
    TDiagnostics Diagnostics{Session, [this] { return FlagShown; }};
    int Asked = 0;
    std::function<void()> WhileAsking;

    TPollFixture() {
        Link.AllowAll(QStringLiteral("GetZoneStatus"), [this](const QList<quint8>&) {
            ++Asked;
            if (WhileAsking)
                WhileAsking();
        });
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i)
            Diagnostics.StatusTick();
    }
};
} // namespace

class TestStateMonitor : public QObject {
    Q_OBJECT
private slots:
    void stateBlockLamps_data() {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("cr");
        QTest::addColumn<int>("sr");
        QTest::addColumn<int>("tcpsr");
        QTest::addColumn<QStringList>("lit");
        QTest::addColumn<int>("signal");
        QTest::newRow("TCPSR 0xF203: three TCP lamps, the full bar")
            << 0 << 0 << 0 << 0xF203
            << QStringList{"Tcp:Connecting", "Tcp:Connected", "Tcp:Sending"} << 5;
        QTest::newRow("MC55iCR 0x80: only the request of Read Data")
            << 0 << 0x80 << 0 << 0 << QStringList{"Request:Read Data"} << 0;
        QTest::newRow("MC55iSR 0x80: only the process of Read Data")
            << 0 << 0 << 0x80 << 0 << QStringList{"Process:Read Data"} << 0;
        QTest::newRow("request and process share their bits")
            << 0 << 0x41 << 0x24 << 0
            << QStringList{"Request:CheckPresent", "Request:Setup", "Process:Reset",
                           "Process:Connect"}
            << 0;
        QTest::newRow("modem flags 0x4F in the group's order")
            << 0x4F << 0 << 0 << 0
            << QStringList{"Flags:Powered Up", "Flags:Present", "Flags:Setted Up",
                           "Flags:GSM Attached", "Flags:Connected"}
            << 0;
        QTest::newRow("modem flags 0x30")
            << 0x30 << 0 << 0 << 0 << QStringList{"Flags:Opening conn", "Flags:TCP Sending"} << 0;
        QTest::newRow("message sent, signal 3")
            << 0 << 0 << 0 << 0x3022 << QStringList{"Tcp:Connected", "Tcp:MessageSent"} << 3;
        QTest::newRow("signal 6 shows as 5") << 0 << 0 << 0 << 0x6000 << QStringList{} << 5;
        QTest::newRow("signal 4") << 0 << 0 << 0 << 0x4000 << QStringList{} << 4;
    }
    void stateBlockLamps() {
        QFETCH(int, flags);
        QFETCH(int, cr);
        QFETCH(int, sr);
        QFETCH(int, tcpsr);
        QFETCH(QStringList, lit);
        QFETCH(int, signal);
        TStateMonitor monitor;
        monitor.OnState(quint8(flags), quint8(cr), quint8(sr), quint16(tcpsr), 3, 250);
        QCOMPARE(LitLamps(monitor.Lamps()), lit);
        QCOMPARE(monitor.Lamps().Signal, signal);
        QCOMPARE(monitor.Lamps().OutBufMessCount, 3);
        QCOMPARE(monitor.Lamps().SentCounter, 250);
        QCOMPARE(monitor.Last().MC55iFlags, quint8(flags));
        QCOMPARE(monitor.Last().MC55iCR, quint8(cr));
        QCOMPARE(monitor.Last().MC55iSR, quint8(sr));
        QCOMPARE(monitor.Last().TCPSR, quint16(tcpsr));
    }

    void tickSetsLinkLampsAndClearsWithoutLink() {
        TStateMonitor monitor;
        monitor.OnState(0xFF, 0xFF, 0xFF, 0xFFFF, 7, 9);
        monitor.Tick({true, false, true}, true);
        QVERIFY(LitLamps(monitor.Lamps()).contains("Link:Busy"));
        QVERIFY(!LitLamps(monitor.Lamps()).contains("Link:Monitoring"));
        QVERIFY(LitLamps(monitor.Lamps()).contains("Link:Error"));
        QCOMPARE(LitLamps(monitor.Lamps()).size(), 7 + 8 + 8 + 4 + 2);

        // No link: every lamp off, the link's own included; the bar, the
        // counters and the registers stay.
        monitor.Tick({true, true, true}, false);
        QCOMPARE(LitLamps(monitor.Lamps()), QStringList());
        QCOMPARE(monitor.Lamps().Signal, 5);
        QCOMPARE(monitor.Lamps().OutBufMessCount, 7);
        QCOMPARE(monitor.Lamps().SentCounter, 9);
        QCOMPARE(monitor.Last().TCPSR, quint16(0xFFFF));
        QCOMPARE(monitor.Last().MC55iFlags, quint8(0xFF));
    }

    // One character per tick: "m" every condition met, "b" the link's read
    // runs, "r" the map is read, "f" no flag shown, "d" the window disabled,
    // "n" no link, "x" the link carries another exchange. "A" where the zone
    // status is asked for.
    void pollRule_data() {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("asks");
        QTest::newRow("once a second, the first time on the sixth tick") << "mmmmmmmmmmmmmmmm"
                                                                         << "-----A----A----A";
        QTest::newRow("the first poll after a read on the next qualifying tick")
            << "bbbbbbbbrrrmmmmmm"
            << "-----------A----A";
        QTest::newRow("never while the window is disabled") << "dddddddddddmm"
                                                            << "-----------A-";
        QTest::newRow("never before a flag is shown") << "ffffffffmm"
                                                      << "--------A-";
        QTest::newRow("never without a link") << "nnnnnnnnnnnm"
                                              << "-----------A";
        QTest::newRow("a busy link skips the due poll: the next one a second later")
            << "mmmmmxmmmmmmmmm"
            << "----------A----";
    }
    void pollRule() {
        QFETCH(QString, ticks);
        QFETCH(QString, asks);
        TZoneStatusPoll poll;
        QString got;
        for (const QChar tick : ticks) {
            TPollConditions c;
            c.LinkActive = tick != u'n';
            c.LinkBusy = tick == u'b';
            c.ReadingMap = tick == u'r';
            c.FlagShown = tick != u'f';
            c.WindowEnabled = tick != u'd';
            c.ExchangeBusy = tick == u'x';
            got += poll.Tick(c) ? QLatin1Char('A') : QLatin1Char('-');
        }
        QCOMPARE(got, asks);
    }

    void sessionPollsTheActiveLink() {
        TPollFixture f;
        f.Ticks(5);
        QCOMPARE(f.Asked, 0);
        f.Ticks(1);
        QCOMPARE(f.Asked, 1);

        // Disabled window: no poll however long; enabled: at once.
        f.Shell.Enabled = false;
        f.Ticks(12);
        QCOMPARE(f.Asked, 1);
        f.Shell.Enabled = true;
        f.Ticks(1);
        QCOMPARE(f.Asked, 2);

        // The link's read sequence, then the map read: none until both end.
        f.Link.SequenceRunning = true;
        f.Ticks(6);
        f.Link.SequenceRunning = false;
        f.Session.MapReadStarted();
        f.Ticks(3);
        QCOMPARE(f.Asked, 2);
        f.Session.MapReadEnded(false);
        f.Ticks(1);
        QCOMPARE(f.Asked, 3);

        // The trees were reset: no flag holds a value from the module.
        f.FlagShown = false;
        f.Ticks(10);
        QCOMPARE(f.Asked, 3);

        // No link: nothing is asked.
        f.FlagShown = true;
        f.Link.IsConnected = false;
        f.Ticks(10);
        QCOMPARE(f.Asked, 3);
        QString why;
        QVERIFY2(f.Link.Verify(&why), qPrintable(why));
    }

    void ticksDuringARequestAskNothingMore() {
        TPollFixture f;
        // The write of the request waits with events flowing: ticks come, and
        // the fifth of them is due while the first request is still written.
        f.WhileAsking = [&f] { f.Ticks(5); };
        f.Ticks(6);
        QCOMPARE(f.Asked, 1);
        f.WhileAsking = nullptr;
        f.Ticks(4);
        QCOMPARE(f.Asked, 1);
        f.Ticks(1);
        QCOMPARE(f.Asked, 2);
    }

    void busyLinkIsNotAsked() {
        TPollFixture f;
        f.Link.IsBusy = true;
        f.Ticks(6);
        QCOMPARE(f.Asked, 0);
        f.Link.IsBusy = false;
        f.Ticks(4);
        QCOMPARE(f.Asked, 0);
        f.Ticks(1);
        QCOMPARE(f.Asked, 1);
    }

    void lampsGoOffWhenTheLinkGoes() {
        TPollFixture f;
        TStatusRecorder view;
        f.Diagnostics.SetViews(&view, nullptr);
        f.Diagnostics.Monitor().OnState(0x4F, 0x80, 0x80, 0xF203, 1, 2);
        f.Diagnostics.StatusTick();
        QVERIFY(!LitLamps(view.Shown.last()).isEmpty());
        f.Link.IsConnected = false;
        f.Diagnostics.StatusTick();
        QCOMPARE(LitLamps(view.Shown.last()), QStringList());
        QCOMPARE(view.Shown.last().Signal, 5);
        QCOMPARE(f.Diagnostics.Monitor().Last().MC55iCR, quint8(0x80));
    }
};

QTEST_GUILESS_MAIN(TestStateMonitor)
#include "tst_state_monitor.moc"
