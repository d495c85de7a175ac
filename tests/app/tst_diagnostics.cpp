// The "Log" page of the service mode in the main window, against the
// simulated module (and base) at the protocol's own pace: the lamps follow the
// state blocks and go off without a link, the zone status is polled only
// between reads and while the window is enabled and shows as the flags' live
// state, the modem's lines reach the log box with their decoded entries,
// "Lock" loses what comes meanwhile, and "Save log..." and "Copy" hand the
// lines on.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "ZoneStatusPolls.h"
#include "app/DiagnosticsFeature.h"
#include "app/WindowShell.h"
#include "diagnostics/view/ModemLogPanel.h"
#include "diagnostics/view/StatusGroup.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRv5kModule.h"
#include "ui/Lamp.h"

#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QtTest>

namespace {
// Writes Settings.ini with the service code before the windows open.
void ServiceCode(TAppFixture& app) {
    QFile file(app.Dir.filePath(QStringLiteral("Settings.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nCode=50713\n");
}

TSimProfile Monitoring(QList<TSimUsartLine> usart = {}) {
    TSimProfile profile = DemoProfile();
    profile.SentOnConnect.clear();
    profile.PeriodicBlocks.clear();
    profile.Monitoring = true;
    profile.UsartScript = std::move(usart);
    return profile;
}

QList<bool> LitOf(const QList<TLamp*>& lamps) {
    QList<bool> lit;
    for (const TLamp* lamp : lamps)
        lit << TStatusGroup::Lit(lamp);
    return lit;
}

bool AllOff(const TStatusGroup* group) {
    for (const TLamp* lamp : group->AllLamps())
        if (TStatusGroup::Lit(lamp))
            return false;
    return true;
}

// The requests of a read: the map pages and program values (CAN memory
// channel) and the read's closing framed request.
bool IsReadRequest(const QByteArray& report) {
    return report.size() > 3 && quint8(report[1]) == 0x10;
}

int ZoneRequests(const TSimRv5kModule& module) {
    int count = 0;
    for (const QByteArray& report : module.ReceivedReports())
        count += IsZoneStatusPoll(report);
    return count;
}

// Positions of the reads' first and last requests: reads are the runs of
// CAN memory requests that start with a map page (code 0x39, page 0).
QList<std::pair<int, int>> Reads(const QList<QByteArray>& reports) {
    QList<std::pair<int, int>> reads;
    for (int i = 0; i < reports.size(); ++i) {
        if (!IsReadRequest(reports[i]))
            continue;
        const bool start = quint8(reports[i][3]) == 0x39 && quint8(reports[i][4]) == 0;
        if (start || reads.isEmpty())
            reads.append({i, i});
        else
            reads.last().second = i;
    }
    return reads;
}

TDiagnosticsFeature* Feature(const TAppFixture& app) {
    return app.Form()->DiagnosticsFeature();
}
} // namespace

class TestDiagnostics : public QObject {
    Q_OBJECT
private slots:
    void lampsFollowTheStateBlocks() {
        TSimProfile profile = Monitoring();
        profile.ModemState = {0x4F, 0x80, 0x00, 0xF203, 2, 9};
        TSimRv5kModule module(profile);
        TAppFixture app;
        ServiceCode(app);
        app.Open();
        TStatusGroup* group = Feature(app)->StatusGroup();
        app.Bus().Plug(&module);

        // TCPSR 0xF203: Connecting, Connected, Sending; the full bar.
        QTRY_COMPARE(LitOf(group->TcpLamps()), (QList<bool>{true, true, true, false}));
        QCOMPARE(group->SignalBar()->value(), 5);
        // MC55iCR 0x80: only the request of "Read Data" (the seventh row).
        QCOMPARE(LitOf(group->RequestLamps()),
                 (QList<bool>{false, false, false, false, false, false, true, false}));
        QCOMPARE(LitOf(group->ProcessLamps()), QList<bool>(8, false));
        // 0x4F: all but "Opening conn" and "TCP Sending".
        QCOMPARE(LitOf(group->FlagLamps()),
                 (QList<bool>{true, true, true, true, false, true, false}));
        QCOMPARE(group->OutBufCount()->text(), QStringLiteral("2"));
        QCOMPARE(group->SentCount()->text(), QStringLiteral("9"));
        // The link's flags: monitoring, no error.
        QTRY_VERIFY(TStatusGroup::Lit(group->LinkLamps()[1]));
        QVERIFY(!TStatusGroup::Lit(group->LinkLamps()[2]));

        // The next state blocks move them.
        module.SetModemState({0x40, 0x00, 0x24, 0x3022, 0, 10});
        QTRY_COMPARE(LitOf(group->TcpLamps()), (QList<bool>{false, true, false, true}));
        QCOMPARE(group->SignalBar()->value(), 3);
        QCOMPARE(LitOf(group->RequestLamps()), QList<bool>(8, false));
        QCOMPARE(LitOf(group->ProcessLamps()),
                 (QList<bool>{false, false, false, true, true, false, false, false}));
        QCOMPARE(group->SentCount()->text(), QStringLiteral("10"));

        // Gone, no base: every lamp off at the next tick; the bar and the
        // counters keep what they show.
        QVERIFY(app.WaitForRead());
        QElapsedTimer clock;
        clock.start();
        app.Bus().Unplug(&module);
        QTRY_VERIFY_WITH_TIMEOUT(AllOff(group), 2000);
        qInfo("all lamps off %lld ms after the module went", clock.elapsed());
        QCOMPARE(group->SignalBar()->value(), 3);
        QCOMPARE(group->SentCount()->text(), QStringLiteral("10"));
        QTest::qWait(300);
        QVERIFY(AllOff(group));
    }

    void zoneStatusPolledBetweenReads() {
        TSimProfile profile = DemoProfile();
        profile.ZoneStatus = 0xFFFFFFFF;
        TSimRv5kModule module(profile);
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());

        // About once a second; the answer shows as the flags' live state.
        QTRY_VERIFY_WITH_TIMEOUT(ZoneRequests(module) >= 2, 5000);
        const TTreeLookup tree = app.Settings();
        const auto anyLive = [&tree] {
            bool live = false;
            tree.Model->Tree().ForEach([&live](TParamNode& node) {
                live = live || (node.Data.IsFlag && node.Data.LiveState);
            });
            return live;
        };
        QTRY_VERIFY_WITH_TIMEOUT(anyLive(), 3000);

        // Never while the window is disabled.
        app.Form()->Shell().SetWindowEnabled(false);
        const int before = ZoneRequests(module);
        QTest::qWait(2500);
        QCOMPARE(ZoneRequests(module), before);
        app.Form()->Shell().SetWindowEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(ZoneRequests(module) > before, 3000);

        // A second read: no poll in the middle of either read.
        app.Ui().ReadAgainButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(Reads(module.ReceivedReports()).size() == 2, 5000);
        QVERIFY(app.WaitForRead());
        const int afterRead = ZoneRequests(module);
        QTRY_VERIFY_WITH_TIMEOUT(ZoneRequests(module) > afterRead, 5000);
        const QList<QByteArray> reports = module.ReceivedReports();
        const QList<std::pair<int, int>> reads = Reads(reports);
        QCOMPARE(reads.size(), 2);
        for (const auto& [first, last] : reads)
            for (int i = first; i <= last; ++i)
                QVERIFY2(!IsZoneStatusPoll(reports[i]),
                         qPrintable(QStringLiteral("zone status asked for at %1, within the "
                                                   "read from %2 to %3")
                                        .arg(i)
                                        .arg(first)
                                        .arg(last)));
    }

    void zoneStatusThroughTheBase() {
        TAppFixture app;
        QVERIFY(app.OpenReadThroughBase(DemoBaseProfile()));
        TSimRadioBase& base = app.Base();
        base.ClearRecords();
        QTRY_VERIFY_WITH_TIMEOUT(base.Relays().contains(ZoneStatusRelay()), 5000);
    }

    void modemLinesInTheLog() {
        // 7-bit SMS-SUBMIT to +37060000000, "Alarm: door open".
        const QByteArray sms =
            QByteArray::fromHex("0011000B917360000000F00000AA10417658DED681C8EFB71CF48697DD1A");
        TSimProfile profile = Monitoring({{false, "OK\r\n"},
                                          {true, "AT+CMGS=28\r"},
                                          {false, "\r\n> "},
                                          {true, sms},
                                          {false, "\r\nOK\r\n"}});
        profile.ModemState = {0x4F, 0x10, 0x10, 0xF203, 0, 0};
        TSimRv5kModule module(profile);
        TAppFixture app;
        ServiceCode(app);
        app.Open();
        TModemLogPanel* log = Feature(app)->LogPanel();
        // The log fills whichever page is shown.
        QCOMPARE(app.Ui().PageControl1->currentWidget(), app.Ui().TabCar);
        app.Bus().Plug(&module);
        QTRY_VERIFY_WITH_TIMEOUT(log->Lines().filter(QStringLiteral("\tD=")).size() >= 1, 10000);

        const QStringList lines = log->Lines();
        const qsizetype smsAt =
            lines.indexOf(QRegularExpression(QStringLiteral(".* >> \\.\\x{11}.*")));
        QVERIFY(smsAt > 0);
        QCOMPARE(lines.mid(smsAt + 1, 2),
                 (QStringList{"\tP.NR=+37060000000  DCS=0  DLEN=16", "\tD=Alarm: door open"}));
        // The command and the prompt give no decoded entry.
        QVERIFY(lines[smsAt - 1].endsWith(QLatin1String(" <<  > ")));
        QVERIFY(lines[smsAt - 2].endsWith(QLatin1String(" >> AT+CMGS=28")));
        // "OK" and CR LF: one incoming entry; the next line is a new entry.
        const qsizetype okAt = lines.indexOf(QRegularExpression(QStringLiteral(".* << OK $")));
        QVERIFY(okAt >= 0);
        QVERIFY(okAt + 1 == lines.size() || !lines[okAt + 1].startsWith(QLatin1Char('\t')));

        // With the registers: outgoing lines quote them, incoming keep the time.
        log->RegistersBox()->setChecked(true);
        const qsizetype count = lines.size();
        QTRY_VERIFY_WITH_TIMEOUT(log->Lines().mid(count).contains(QStringLiteral(">>AT+CMGS=28")),
                                 10000);
        const QStringList more = log->Lines().mid(count);
        QCOMPARE(more[more.indexOf(QStringLiteral(">>AT+CMGS=28")) - 1],
                 QStringLiteral("MC55iCR:10 MC55iSR10 MC55iFlags4F TCPSRF203"));
        QVERIFY(!more.filter(QStringLiteral(" << OK ")).isEmpty());
    }

    void lockLosesTheLinesMeanwhile() {
        QList<TSimUsartLine> script;
        for (int i = 1; i <= 150; ++i)
            script.append(
                {false, QStringLiteral("L%1\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1()});
        TSimRv5kModule module(Monitoring(script));
        TAppFixture app;
        ServiceCode(app);
        app.Open();
        TModemLogPanel* log = Feature(app)->LogPanel();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        QTRY_VERIFY_WITH_TIMEOUT(log->Lines().size() >= 2, 10000);
        const auto number = [](const QString& line) {
            return QRegularExpression(QStringLiteral("L(\\d+) $")).match(line).captured(1).toInt();
        };

        log->LockBox()->click();
        const QStringList atLock = log->Lines();
        QTest::qWait(1500);
        QCOMPARE(log->Lines(), atLock);
        log->LockBox()->click();
        QTRY_VERIFY_WITH_TIMEOUT(log->Lines().size() > atLock.size(), 5000);
        const QStringList after = log->Lines();
        // The first line after "Lock" comes from the module after it was
        // cleared: the ones in between are gone for good.
        const int lastBefore = number(atLock.last());
        const int firstAfter = number(after[atLock.size()]);
        QVERIFY2(firstAfter > lastBefore + 2,
                 qPrintable(QStringLiteral("L%1 then L%2").arg(lastBefore).arg(firstAfter)));
        for (int i = lastBefore + 1; i < firstAfter; ++i)
            QVERIFY(log->Lines()
                        .filter(QStringLiteral("L%1").arg(i, 3, 10, QLatin1Char('0')))
                        .isEmpty());
    }

    void noLogOutsideTheServiceMode() {
        TSimRv5kModule module(Monitoring({{false, "OK\r\n"}}));
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        QTest::qWait(500);
        QVERIFY(Feature(app)->LogPanel()->Lines().isEmpty());
    }

    void saveAndCopy() {
        TSimRv5kModule module(Monitoring({{false, "\r\nOK\r\n"}, {true, "AT\r"}}));
        TAppFixture app;
        ServiceCode(app);
        app.Open();
        TModemLogPanel* log = Feature(app)->LogPanel();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead()); // the window is enabled again
        QTRY_VERIFY_WITH_TIMEOUT(log->Lines().size() >= 3, 10000);
        log->LockBox()->click();

        // "Save log...": the whole box as UTF-8, one line each.
        const QString path = app.Dir.filePath(QStringLiteral("saved log.txt"));
        QString suggested;
        log->SetPathChooser([&](const QString& proposal) {
            suggested = proposal;
            return path;
        });
        log->SaveButton()->click();
        QVERIFY(QFileInfo(suggested).fileName().startsWith(QLatin1String("rv5k-log-")));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), log->Lines().join('\n') + '\n');

        // "Copy": the lines the selection touches, whole.
        QTextCursor cursor(log->LogBox()->document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
        cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
        log->LogBox()->setTextCursor(cursor);
        log->CopyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), log->Lines().mid(1, 2).join('\n'));

        // A file that cannot be written: the error box names it.
        QString box;
        const auto seen = WhenMessageBox(
            [&box](QMessageBox* shown) {
                box = shown->text();
                shown->accept();
            },
            8000);
        log->SetPathChooser([&](const QString&) { return app.Dir.filePath("missing/log.txt"); });
        log->SaveButton()->click();
        QTRY_VERIFY(*seen);
        QVERIFY(box.startsWith(QLatin1String("The log could not be saved.")));
        QVERIFY(box.contains(QLatin1String("log.txt")));

        log->ClearButton()->click();
        QVERIFY(log->Lines().isEmpty());
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
