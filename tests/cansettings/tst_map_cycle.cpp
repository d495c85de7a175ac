// The map cycle against the simulated module: the FN list, the three stages
// with their early start, the watchdog, unplugging, and the write of the map.
#include "ScriptedLink.h"
#include "ScriptedModule.h"
#include "SideBySideMain.h"
#include "SimHost.h"
#include "cansettings/MapCycle.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {
struct TCycleFixture {
    explicit TCycleFixture(const TSimProfile& profile = DemoProfile()) : Host(profile) {
        TRV5K* link = &Host.Link;
        QObject::connect(link, &TRV5K::OnRV5KFNMemoryMap, &Cycle, &TMapCycle::StoreFnPage);
        QObject::connect(link, &TRV5K::OnFNandNN, &Cycle, &TMapCycle::OnFNandNN);
        QObject::connect(link, &TRV5K::OnWriteProg, &Cycle, &TMapCycle::OnWriteProg);
        QObject::connect(link, &TRV5K::OnReadProgCnt, &Cycle, &TMapCycle::OnReadProgCnt);
        QObject::connect(link, &TRV5K::OnReadProg, &Cycle, &TMapCycle::OnReadProg);
        QObject::connect(&Cycle, &TMapCycle::ApplyRequested, &Cycle, [this] { ++Applied; });
    }
    // Starts the module's read and waits until the link and the cycle are idle.
    bool Read(int timeoutMs = 10000) {
        Host.Session.ClearReadError();
        Host.Link.Nuskaitymas();
        QElapsedTimer clock;
        clock.start();
        do
            QTest::qWait(5);
        while ((Host.Link.VykstaNuskaitymas() || Cycle.ReadingMap()) &&
               clock.elapsed() < timeoutMs);
        return !Host.Link.VykstaNuskaitymas() && !Cycle.ReadingMap();
    }
    TSimHost Host;
    TFnMemoryMap Map;
    TMapCycle Cycle{Host.Session, Map};
    int Applied = 0;
};

// The map cycle on a scripted link: each request of the cycle is answered at
// once, as the script says.
struct TScriptedCycle {
    TTestShell Shell;
    TScriptedLink Link;
    TSession Session{Link, Shell};
    TFnMemoryMap Map;
    TMapCycle Cycle{Session, Map};
};

} // namespace

class TestMapCycle : public QObject {
    Q_OBJECT
private slots:
    void readsTheWholeMap() {
        const TSimProfile profile = DemoProfile();
        TCycleFixture f(profile);
        // A stale NN of the last read is what GetFNandNN carries.
        f.Map[0].NN = 0x77;
        QVERIFY(f.Host.Connect());
        QVERIFY(f.Read());
        QVERIFY(!f.Cycle.ReadError());
        QVERIFY(!f.Host.Link.KlaidaNuskaitant());
        QCOMPARE(f.Applied, 1);
        for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
            const auto expected = std::size_t(slot) < profile.Map.size()
                                      ? profile.Map[std::size_t(slot)]
                                      : std::pair<quint8, quint8>{0, 0};
            QCOMPARE(f.Map[slot].FN, expected.first);
            if (TFnMemoryMap::InUse(expected.first))
                QCOMPARE(f.Map[slot].NN, expected.second);
        }
        // One value request per function in use, none for 0 or 0xFF.
        const QList<QByteArray> values = f.Host.Requests(0x38);
        QStringList asked;
        for (const QByteArray& request : values)
            asked << QString::number(quint8(request[4]), 16);
        // Values asked before the write-program count was known are asked
        // again: stage 2 starts over once stage 1 is through.
        QStringList expected;
        for (const auto& [fn, nn] : profile.Map)
            if (TFnMemoryMap::InUse(fn))
                expected << QString::number(fn, 16);
        QVERIFY2(asked.size() <= expected.size() + 3, qPrintable(asked.join(' ')));
        QCOMPARE(asked.mid(asked.size() - expected.size()), expected);
        for (const QByteArray& request : values)
            QVERIFY(TFnMemoryMap::InUse(quint8(request[4])));
        QCOMPARE(quint8(values.first()[4]), profile.Map[0].first);
        QCOMPARE(quint8(values.first()[5]), quint8(0x77)); // the NN held so far

        QCOMPARE(f.Cycle.WriteProgBytes,
                 std::vector<quint8>(profile.WriteProgram.begin(), profile.WriteProgram.end()));
        QCOMPARE(f.Cycle.WriteProgPages, int(profile.WriteProgram.size()) / 6 + 1);
        QVERIFY(f.Cycle.WriteProgRead && f.Cycle.ProgListRead);
        QCOMPARE(f.Cycle.GrPgrList, profile.Programs);
        QCOMPARE(f.Host.Requests(0x3D).size(), int(profile.Programs.size() + 3) / 4);

        // A second read asks for write-program pages from the start again and
        // ends with the same lists (not doubled).
        QVERIFY(f.Read());
        QVERIFY(!f.Cycle.ReadError());
        QCOMPARE(f.Cycle.GrPgrList, profile.Programs);
        QCOMPARE(f.Cycle.WriteProgBytes.size(), std::size_t(profile.WriteProgram.size()));
    }

    void aDroppedAnswerEndsTheReadThroughTheWatchdog() {
        TSimProfile profile = DemoProfile();
        // Past the module's own sequence (16 pages, write program, count, end).
        profile.DropAnswerTo = {30};
        TCycleFixture f(profile);
        QVERIFY(f.Host.Connect());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(f.Read());
        QVERIFY(f.Cycle.ReadError());
        QVERIFY(!f.Cycle.ReadingMap());
        QVERIFY(clock.elapsed() >= TMapCycle::WatchdogMs);
        QVERIFY(!f.Cycle.NuskTimer()->isActive());
        QCOMPARE(f.Applied, 0);
        // The next read works.
        QVERIFY(f.Read());
        QVERIFY(!f.Cycle.ReadError());
        QCOMPARE(f.Applied, 1);
    }

    void unpluggingDuringTheReadEndsIt() {
        TCycleFixture f;
        QVERIFY(f.Host.Connect());
        f.Host.Link.Nuskaitymas();
        QTRY_VERIFY_WITH_TIMEOUT(f.Cycle.ReadingMap(), 3000);
        QTest::qWait(60);
        f.Host.Bus.Unplug(f.Host.Module.get());
        QTRY_VERIFY_WITH_TIMEOUT(!f.Cycle.ReadingMap(), 5000);
        QVERIFY(f.Cycle.ReadError());
        QCOMPARE(f.Applied, 0);
        // Plugged in again, it reads.
        QSignalSpy connected(&f.Host.Link, &TRV5K::OnConnect);
        f.Host.Bus.Plug(f.Host.Module.get());
        QVERIFY(connected.wait(2000));
        QTest::qWait(80);
        QVERIFY(f.Read());
        QVERIFY(!f.Cycle.ReadError());
        QCOMPARE(f.Applied, 1);
    }

    void writesOnlyTheSettingsRange() {
        TSimProfile profile;
        profile.Map = {{0x01, 1}, {0x05, 7}, {0x0F, 1}, {0x10, 2}, {0xFF, 9},
                       {0x00, 0}, {0x30, 6}, {0xFE, 3}, {0x11, 0}};
        TCycleFixture f(profile);
        QVERIFY(f.Host.Connect());
        QVERIFY(f.Read());
        f.Map.SetMapValue(0x30, 0x02);
        f.Map.SetMapValue(0x05, 0x09);
        QVERIFY(f.Cycle.WriteMemoryMap());
        QTest::qWait(30);
        QList<quint8> written;
        for (const QByteArray& request : f.Host.Requests(0x14))
            written << quint8(request[4]);
        QCOMPARE(written, QList<quint8>({0x10, 0x30, 0xFE, 0x11}));
        QCOMPARE(f.Host.Module->Map()[6].second, quint8(0x02));
        QCOMPARE(f.Host.Module->Map()[1].second, quint8(7));
    }

    // The stage rules, each request of the cycle answered at once.
    void stageRules() {
        TScriptedCycle f;
        TMapCycle& cycle = f.Cycle;
        int applied = 0;
        connect(&cycle, &TMapCycle::ApplyRequested, this, [&] { ++applied; });
        const tduomenys page0{0x10, 0xFF, 0x20, 0x20, 0, 0, 0, 0};
        cycle.StoreFnPage(0, page0);
        cycle.StoreFnPage(3, {0x30, 0, 0, 0, 0, 0, 0, 0});
        QVERIFY(!cycle.ReadingMap()); // page 3 is not the end of the list
        QCOMPARE(f.Map[24].FN, quint8(0x30));
        cycle.StoreFnPage(TMapCycle::ErrorPageIndex, {1, 2, 3, 4, 5, 6, 7, 8});
        QVERIFY(cycle.ReadingMap()); // the error reply ends it; its data is dropped
        QVERIFY(cycle.NuskTimer()->isActive());

        // The module's own sequence still runs: its write-program answer does
        // not re-arm the step, but the watchdog keeps guarding the read; its
        // program count re-arms.
        f.Link.SequenceRunning = true;
        cycle.NuskTimer()->stop();
        cycle.OnWriteProg({0, 14, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6});
        QVERIFY(!cycle.NuskTimer()->isActive());
        QVERIFY(cycle.NuskaitymoKlaidosTimer()->isActive());
        QCOMPARE(cycle.WriteProgPages, 3);
        cycle.OnReadProgCnt(9);
        QCOMPARE(cycle.GrPgrRequests, 3);
        QVERIFY(cycle.NuskTimer()->isActive());
        f.Link.SequenceRunning = false;

        // Stage 1 from page 0; a page beyond the total adds nothing.
        f.Link.Expect("GetWriteProg 00", [&] {
            cycle.OnWriteProg({0, 14, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6});
        });
        f.Link.Expect("GetWriteProg 01", [&] {
            cycle.OnWriteProg({1, 14, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6});
        });
        f.Link.Expect("GetWriteProg 02", [&] {
            cycle.OnWriteProg({2, 14, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6});
            cycle.OnWriteProg({5, 14, 0xD1, 0xD2});
        });
        // Stage 2: 0xFF and empty slots are never asked; a value for an FN
        // held by two slots lands in both, so the second asks with it.
        f.Link.Expect("GetFNandNN 10 00", [&] { cycle.OnFNandNN(0x10, 4); });
        f.Link.Expect("GetFNandNN 20 00", [&] { cycle.OnFNandNN(0x20, 9); });
        f.Link.Expect("GetFNandNN 20 09", [&] { cycle.OnFNandNN(0x20, 9); });
        f.Link.Expect("GetFNandNN 30 00", [&] { cycle.OnFNandNN(0x30, 1); });
        // Stage 3: a count of 9 gives positions 0, 4 and 8; GR 0 and 0xFF add
        // nothing.
        f.Link.Expect("GetGrPgr 0000", [&] { cycle.OnReadProg({3, 1, 0, 5, 0xFF, 1, 4, 2}); });
        f.Link.Expect("GetGrPgr 0004", [&] { cycle.OnReadProg({5, 1, 5, 2, 5, 3, 6, 1}); });
        f.Link.Expect("GetGrPgr 0008", [&] {
            QCOMPARE(applied, 0);
            cycle.OnReadProg({7, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        });
        QTRY_COMPARE(applied, 1);
        QString why;
        QVERIFY2(f.Link.Verify(&why), qPrintable(why));
        QCOMPARE(cycle.WriteProgBytes.size(), std::size_t(14));
        QCOMPARE(cycle.WriteProgBytes.back(), quint8(0xC2));
        QVERIFY(cycle.WriteProgRead);
        QCOMPARE(f.Map[2].NN, quint8(9));
        QCOMPARE(f.Map[3].NN, quint8(9));
        QVERIFY(!cycle.ReadingMap() && !cycle.ReadError() && cycle.ProgListRead);
        QCOMPARE(cycle.GrPgrList, (std::vector<std::pair<quint8, quint8>>{
                                      {3, 1}, {4, 2}, {5, 1}, {5, 2}, {5, 3}, {6, 1}, {7, 1}}));
        // The link is told the read has ended (the base restarts its ping).
        QCOMPARE(f.Link.ReadCycleEnds, 1);
    }

    void lateWriteProgramTakesOverAndRestartsValues() {
        TScriptedCycle f;
        TMapCycle& cycle = f.Cycle;
        // No page count yet: values first. The module's late answer to page 0
        // comes instead of the value, and stage 1 takes over at ReadPos 1.
        f.Link.Expect("GetFNandNN 10 00", [&] { cycle.OnWriteProg({0, 20, 1, 2, 3, 4, 5, 6}); });
        f.Link.Expect("GetWriteProg 01", [&] { cycle.OnWriteProg({1, 20, 1, 2, 3, 4, 5, 6}); });
        f.Link.Expect("GetWriteProg 02", [&] { cycle.OnWriteProg({2, 20, 1, 2, 3, 4, 5, 6}); });
        f.Link.Expect("GetWriteProg 03", [&] { cycle.OnWriteProg({3, 20, 1, 2, 0, 0, 0, 0}); });
        // Values from the first slot again; then the link goes: the read fails.
        f.Link.Expect("GetFNandNN 10 00", [&] {
            f.Link.IsConnected = false;
            cycle.OnFNandNN(0x10, 1);
        });
        cycle.StoreFnPage(0, {0x10, 0x11, 0x12, 0, 0, 0, 0, 0});
        cycle.StoreFnPage(15, {0, 0, 0, 0, 0, 0, 0, 0});
        QTRY_VERIFY(!cycle.ReadingMap());
        QVERIFY(cycle.ReadError());
        QString why;
        QVERIFY2(f.Link.Verify(&why), qPrintable(why));
        QCOMPARE(cycle.WriteProgBytes.size(), std::size_t(20));
        QCOMPARE(f.Link.ReadCycleEnds, 0);
    }

    // The module's own sequence ends without its program count (the module
    // went, or the sequence's watchdog gave up): the read does not stay open.
    void aSequenceThatEndsEarlyEndsTheRead() {
        TScriptedCycle f;
        TMapCycle& cycle = f.Cycle;
        cycle.StoreFnPage(15, {0x10, 0, 0, 0, 0, 0, 0, 0});
        cycle.NuskTimer()->stop();
        f.Link.SequenceRunning = true;
        cycle.OnWriteProg({0, 6, 1, 2, 3, 4, 5, 6});
        f.Link.SequenceRunning = false;
        f.Link.SequenceFailed = true;
        QTRY_VERIFY_WITH_TIMEOUT(!cycle.ReadingMap(), TMapCycle::WatchdogMs * 3);
        QVERIFY(cycle.ReadError());
    }

    // The session says the link is gone: the read ends at once, as failed.
    void aLostLinkEndsTheReadAtOnce() {
        TScriptedCycle f;
        f.Link.Expect("GetFNandNN 10 00");
        f.Cycle.StoreFnPage(15, {0x10, 0, 0, 0, 0, 0, 0, 0});
        QTRY_VERIFY(f.Cycle.NuskaitymoKlaidosTimer()->isActive());
        emit f.Session.ActiveLinkLost();
        QVERIFY(!f.Cycle.ReadingMap());
        QVERIFY(f.Cycle.ReadError());
        QVERIFY(!f.Cycle.NuskaitymoKlaidosTimer()->isActive());
        QVERIFY(!f.Cycle.NuskTimer()->isActive());
    }

    // The scripted module the presenter tests rely on reads as the simulated
    // module does: the same slots, values, write program and programs.
    void scriptedModuleReadsAsTheSimulatedModule() {
        const TSimProfile profile = DemoProfile();
        TScriptedCycle f;
        TScriptedModule module(f.Link, f.Cycle, profile);
        int applied = 0;
        connect(&f.Cycle, &TMapCycle::ApplyRequested, this, [&] { ++applied; });
        f.Link.Nuskaitymas();
        QTRY_COMPARE(applied, 1);
        QVERIFY(!f.Cycle.ReadError());
        for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
            const auto expected = std::size_t(slot) < profile.Map.size()
                                      ? profile.Map[std::size_t(slot)]
                                      : std::pair<quint8, quint8>{0, 0};
            QCOMPARE(f.Map[slot].FN, expected.first);
            if (TFnMemoryMap::InUse(expected.first))
                QCOMPARE(f.Map[slot].NN, expected.second);
        }
        QCOMPARE(f.Cycle.WriteProgBytes,
                 std::vector<quint8>(profile.WriteProgram.begin(), profile.WriteProgram.end()));
        QCOMPARE(f.Cycle.GrPgrList, profile.Programs);
        QString why;
        QVERIFY2(f.Link.Verify(&why), qPrintable(why));
    }

    void mapValuesAndBits() {
        TFnMemoryMap map;
        map[0] = {0x30, 0x06};
        map[1] = {0x30, 0x00};
        map.SetMapBits(0x30, 0x04, false);
        QCOMPARE(map[0].NN, quint8(0x02));
        map.SetMapBits(0x30, 0x01, true);
        QCOMPARE(map[0].NN, quint8(0x03));
        QCOMPARE(map[1].NN, quint8(0x00)); // only the first slot
        map.SetMapValue(0x31, 5);          // no slot: no change
        map.SetMapValue(0x30, 9);
        QCOMPARE(map[0].NN, quint8(9));
        QCOMPARE(map[1].NN, quint8(0));
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestMapCycle)
#include "tst_map_cycle.moc"
