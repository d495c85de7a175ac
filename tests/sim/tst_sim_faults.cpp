// The timing and the injected faults of the simulated module: latency, lost
// answers, a module stuck busy, one that unplugs itself, line noise.

#include "SimModuleFixture.h"

using namespace SimTest;

class TstSimFaults : public QObject {
    Q_OBJECT
private slots:
    void latencyShowsBusy();
    void dropAnswerTo();
    void stayBusy();
    void unplugAfterReports();
    void garbageEvery();
    void ignoreSetFn();
};

void TstSimFaults::latencyShowsBusy() {
    TSimProfile profile = TestProfile();
    profile.LatencyMs = 100;
    profile.StatusIntervalMs = 10;
    Fixture f(profile);
    f.Module.OutputReport(CanMemory(Bytes({0x39, 1})));
    f.Module.OutputReport(Framed(Bytes({0x9F, 0})));
    QVERIFY(f.Module.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!f.Module.Busy(), 2000);

    const QList<QByteArray> r = f.All();
    qsizetype reply = -1;
    qsizetype block = -1;
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (reply < 0 && At(r[i], 0) == 0x10)
            reply = i;
        if (block < 0 && IsStatus(r[i]) && At(r[i], 3) == 0x9F)
            block = i;
    }
    QVERIFY(reply > 1);         // at least one status report while it waited
    QVERIFY(block > reply + 1); // in order, each after its own wait
    for (qsizetype i = 1; i < block; ++i)
        if (i != reply)
            QVERIFY2(At(r[i], 2) & 0x80, qPrintable(QString::number(i)));
    QCOMPARE(At(r[block], 2) & 0x80, 0); // the last answer ends the busy spell
}

void TstSimFaults::dropAnswerTo() {
    TSimProfile profile = TestProfile();
    profile.DropAnswerTo = {2, 4};
    Fixture f(profile);
    QVERIFY(f.Ask(Bytes({0x00, 0x77})).isEmpty());         // 1: no request, still counted
    QVERIFY(f.Ask(CanMemory(Bytes({0x39, 0}))).isEmpty()); // 2: dropped
    QCOMPARE(f.Ask(CanMemory(Bytes({0x39, 1}))).size(), 1);
    f.Ask(CanMemory(Bytes({0x14, 0x30, 9}))); // 4: carried out, has no answer anyway
    QCOMPARE(f.Module.Map()[8].second, quint8(9));
    QCOMPARE(f.Ask(ZoneStatusRequest()).size(), 1);
    QCOMPARE(f.Module.ReceivedReports().size(), 5);
    QCOMPARE(f.Module.RequestsSeen(), 4);
}

// A refused FN keeps its value; its neighbours and the PIN are still written.
void TstSimFaults::ignoreSetFn() {
    TSimProfile profile = TestProfile();
    const quint8 refused = profile.Map[8].first;
    const quint8 before = profile.Map[8].second;
    profile.IgnoreSetFn = {refused};
    Fixture f(profile);
    f.Ask(CanMemory(Bytes({0x14, refused, quint8(before + 1)})));
    f.Ask(CanMemory(Bytes({0x14, profile.Map[9].first, 0x77})));
    QCOMPARE(f.Module.Map()[8].second, before);
    QCOMPARE(f.Module.Map()[9].second, quint8(0x77));
}

void TstSimFaults::stayBusy() {
    TSimProfile profile = TestProfile();
    profile.StayBusy = true;
    profile.StatusIntervalMs = 10;
    Fixture f(profile);
    QVERIFY(f.Ask(CanMemory(Bytes({0x39, 0}))).isEmpty());
    QVERIFY(f.Ask(Framed(Bytes({0x9F, 0}))).isEmpty());
    QVERIFY(f.Ask(ZoneStatusRequest()).isEmpty());
    QTRY_VERIFY(f.Reports.size() >= 5);
    for (const QByteArray& r : f.All()) {
        QVERIFY(IsStatus(r));
        QCOMPARE(At(r, 2), quint8(0x80));
    }
    QCOMPARE(f.Module.RequestsSeen(), 3);
}

void TstSimFaults::unplugAfterReports() {
    TSimProfile profile = TestProfile();
    profile.UnplugAfterReports = 3;
    profile.StatusIntervalMs = 10;
    Fixture f(profile);
    QTRY_COMPARE(f.Unplugs.size(), 1);
    QTest::qWait(50);
    QCOMPARE(f.Reports.size(), 3);
    QCOMPARE(f.Unplugs.size(), 1);
    QVERIFY(f.Ask(CanMemory(Bytes({0x39, 0}))).isEmpty()); // off the bus: silent
}

void TstSimFaults::garbageEvery() {
    TSimProfile profile = TestProfile();
    profile.GarbageEvery = 3;
    profile.StatusIntervalMs = 5;
    profile.SentOnConnect = {{0x84, Bytes({1})}, {0x85, Bytes({2})}, {0x86, Bytes({3})}};
    Fixture f(profile);
    Fixture same(profile);
    QTRY_VERIFY(f.Reports.size() >= 30 && same.Reports.size() >= 30);
    const QList<QByteArray> r = f.All();
    QList<int> codes;
    for (int i = 0; i < 30; ++i) {
        if ((i + 1) % 3 == 0) {
            QVERIFY(r[i].size() <= 64);
            if (!r[i].isEmpty())
                QVERIFY(At(r[i], 0) != 0x20 && At(r[i], 0) != 0x10 && At(r[i], 0) != 0x40);
            QCOMPARE(r[i], same.Report(i)); // the same noise every run
        } else {
            QVERIFY(IsStatus(r[i]));
            if (At(r[i], 3) != 0)
                codes.append(At(r[i], 3));
        }
    }
    QCOMPARE(codes, (QList<int>{0x84, 0x85, 0x86})); // the noise lost nothing
    // Different lengths: the noise is not one fixed report.
    QVERIFY(r[2].size() != r[5].size() || r[5].size() != r[8].size());
}

QTEST_MAIN(TstSimFaults)
#include "tst_sim_faults.moc"
