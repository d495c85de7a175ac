// The base link against the simulated radio base, at the report level.

#include "BaseFixture.h"
#include "SideBySideMain.h"

#include <QElapsedTimer>

class TstBaseLink : public QObject {
    Q_OBJECT
private slots:
    void pingFrameAndTraceLine() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        f.Link.Ping();
        QCOMPARE(f.Base->Frames().size(), 1);
        QCOMPARE(f.Base->Frames()[0].toHex(), Frame("120130").toHex());
        QString expected = QStringLiteral("S -> 12 01 30 ");
        for (int i = 0; i < 21; ++i)
            expected += QStringLiteral("00 ");
        expected += QStringLiteral(" R = 0");
        QCOMPARE(f.Link.Trace().value(0), expected);
        QVERIFY(f.Link.Trace().value(0).contains(QStringLiteral("00  R = 0")));
    }

    void commandFrames_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("SetBaseSerNum 197121*256") << 0 << Frame("01010001020300");
        QTest::newRow("UseCommonAddress true") << 1 << Frame("010601");
        QTest::newRow("UseCommonAddress false") << 2 << Frame("010600");
        QTest::newRow("GetFNandNN") << 3 << Frame("1203382007");
        QTest::newRow("SetFN_NN") << 4 << Frame("1203142105");
        QTest::newRow("RestoreRV5KDefaults") << 5 << Frame("1203149901");
        QTest::newRow("ResetCar") << 6 << Frame("1203145902");
        QTest::newRow("SetPIN") << 7 << Frame("12053A01020304");
        QTest::newRow("SetCar") << 8 << Frame("1203500C03");
        QTest::newRow("GetGrPgr") << 9 << Frame("12033D0104");
        QTest::newRow("GetWriteProg") << 10 << Frame("12023B02");
        QTest::newRow("GetZoneStatus") << 11 << Frame("120131");
        QTest::newRow("IjungiSkaityma") << 12 << Frame("0104");
        QTest::newRow("FillCANBuf") << 13 << Frame("04020A0B");
        QTest::newRow("SetCanDataBuffer with length") << 14 << Frame("1803020A0B");
        QTest::newRow("SendCANDataBuffer") << 15 << Frame("15");
        QTest::newRow("SendCANDataBuffer indexed") << 16 << Frame("1903");
        QTest::newRow("IjungiOSCRezima") << 17 << Frame("1705");
    }
    void commandFrames() {
        QFETCH(int, op);
        QFETCH(QByteArray, frame);
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.Modules[0].InRange = false; // no replies, so nothing is resent meanwhile
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        THFLatcher& l = f.Link;
        switch (op) {
        case 0:
            l.SetBaseSerNum(197121LL * 256);
            break;
        case 1:
            l.UseCommonAddress(true);
            break;
        case 2:
            l.UseCommonAddress(false);
            break;
        case 3:
            l.GetFNandNN(0x20, 7);
            break;
        case 4:
            l.SetFN_NN(0x21, 5);
            break;
        case 5:
            l.RestoreRV5KDefaults();
            break;
        case 6:
            l.ResetCar();
            break;
        case 7:
            l.SetPIN(1, 2, 3, 4);
            break;
        case 8:
            l.SetCar(12, 3);
            break;
        case 9:
            l.GetGrPgr(0x0104);
            break;
        case 10:
            l.GetWriteProg(2);
            break;
        case 11:
            l.GetZoneStatus();
            break;
        case 12:
            l.IjungiSkaityma();
            break;
        case 13:
            l.FillCANBuf(2, {0x0A, 0x0B});
            break;
        case 14:
            l.SetCanDataBuffer(3, {0x0A, 0x0B}, true);
            break;
        case 15:
            l.SendCANDataBuffer(3, false);
            break;
        case 16:
            l.SendCANDataBuffer(3, true);
            break;
        case 17:
            l.IjungiOSCRezima(5);
            break;
        }
        QCOMPARE(f.Base->Frames().value(0).toHex(), frame.toHex());
        QCOMPARE(f.Base->Frames().size(), 1);
    }

    void nothingIsSentWithoutABase() {
        TBaseFixture f;
        f.Link.SetFN_NN(0x20, 1);
        f.Link.Nuskaitymas();
        QVERIFY(!f.Link.SetPending());
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QVERIFY(f.Link.Trace().isEmpty());
    }

    // The relay loop sends again at once a relay the base reports as failed,
    // up to three sends in all.
    void failedRelaysAreSentAgain_data() {
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<bool>("always");
        QTest::addColumn<int>("sends");
        QTest::newRow("every send fails") << QList<int>{} << true << 3;
        QTest::newRow("first fails, second carried out") << QList<int>{1} << false << 2;
        QTest::newRow("none fails") << QList<int>{} << false << 1;
    }
    void failedRelaysAreSentAgain() {
        QFETCH(QList<int>, failing);
        QFETCH(bool, always);
        QFETCH(int, sends);
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.BusyMs = 60; // longer than the pacing, so the outcome is waited for
        profile.RelayFailTo = failing;
        profile.RelayAlwaysFails = always;
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Address(197121);
        f.Link.SetFN_NN(0x12, 9);
        QCOMPARE(f.Base->Relays().size(), sends);
        QCOMPARE(f.Link.Trace().filter(QStringLiteral("S -> 12 03 14 12 09")).size(), sends);
    }

    // A request that gets no reply is resent three times, 300 ms apart.
    void unansweredRequestIsResentThreeTimes() {
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.Modules[0].InRange = false;
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        QElapsedTimer clock;
        clock.start();
        f.Link.GetFNandNN(0x10, 0);
        QTRY_COMPARE_WITH_TIMEOUT(f.Base->Relays().size(), 4, 2000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 900, qPrintable(QString::number(elapsed)));
        QTest::qWait(500);
        QCOMPARE(f.Base->Relays().size(), 4);
        QCOMPARE(f.Link.ResendCount(), 0);
        const QStringList sent = f.Link.Trace().filter(QStringLiteral("S -> "));
        QCOMPARE(sent.size(), 4);
        QVERIFY(sent[3].endsWith(QStringLiteral(" R = 3")));
    }

    void replyEndsTheResends() {
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.DropReplyTo = {1};
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy values(&f.Link, &THFLatcher::OnFNandNN);
        f.Link.GetFNandNN(0x13, 0);
        QVERIFY(values.wait(1000));
        QCOMPARE(values[0][0].toInt(), 0x13);
        QCOMPARE(values[0][1].toInt(), 3);
        QTest::qWait(700);
        QCOMPARE(f.Base->Relays().size(), 2);
        QCOMPARE(values.size(), 1);
        QCOMPARE(f.Link.ResendCount(), 0);
        // The reply's trace line, then an empty line.
        const int at =
            f.Link.Trace().indexOf(QStringLiteral("R -> 00 38 13 03 00 00 00 00 00 00 64 "
                                                  "00 00  R = 1"));
        QVERIFY2(at >= 0, qPrintable(f.Link.Trace().join('|')));
        QCOMPARE(f.Link.Trace().value(at + 1), QString());
    }

    void replyEvents() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy zones(&f.Link, &THFLatcher::OnZoneStatus);
        QSignalSpy programs(&f.Link, &THFLatcher::OnReadProg);
        QSignalSpy writeProg(&f.Link, &THFLatcher::OnWriteProg);
        QSignalSpy data(&f.Link, &THFLatcher::OnData);
        f.Link.GetZoneStatus();
        QVERIFY(zones.wait(500) || !zones.isEmpty());
        QCOMPARE(zones[0][0].toUInt(), 0x00030105u);
        f.Link.GetGrPgr(1);
        QVERIFY(programs.wait(500) || !programs.isEmpty());
        QCOMPARE(programs[0][0].value<tduomenys>(), (tduomenys{3, 2, 5, 1, 7, 2, 8, 1}));
        f.Link.GetWriteProg(0);
        QVERIFY(writeProg.wait(500) || !writeProg.isEmpty());
        QCOMPARE(writeProg[0][0].value<tduomenys>(), (tduomenys{0, 6, 0, 1, 2, 4, 5, 7}));
        f.Link.Ping();
        QVERIFY(data.wait(500) || !data.isEmpty());
        const tduomenys ping = data[0][0].value<tduomenys>();
        QCOMPARE(ping.size(), size_t(20));
        QCOMPARE(ping[0], 0x30);
        QCOMPARE(ping[1] + ping[2] * 256 + ping[3] * 65536, 197121);
        QCOMPARE(ping[5], 6);
        QCOMPARE(ping[6], 12);
        QCOMPARE(ping[9], 0x64);
    }

    void setPendingUntilAcknowledged_data() {
        QTest::addColumn<bool>("acknowledges");
        QTest::newRow("acknowledged") << true;
        QTest::newRow("never acknowledged") << false;
    }
    void setPendingUntilAcknowledged() {
        QFETCH(bool, acknowledges);
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.Modules[0].AcknowledgeSets = acknowledges;
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Address(197121);
        f.Link.SetFN_NN(0x15, 0x44);
        QTest::qWait(50);
        QCOMPARE(f.Link.SetPending(), !acknowledges);
        QCOMPARE(f.Base->Module(0).Map()[5].second, 0x44);
        f.Link.ResetFlags();
        QVERIFY(!f.Link.SetPending());
    }

    void readSequenceOfATwentyByteMap() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy pages(&f.Link, &THFLatcher::OnHFRV5KFNMap);
        QSignalSpy counts(&f.Link, &THFLatcher::OnReadProgCnt);
        bool ranDuringRead = false;
        connect(&f.Link, &THFLatcher::OnHFRV5KFNMap, this,
                [&] { ranDuringRead = f.Link.VykstaNuskaitymas(); });
        f.Link.Nuskaitymas();
        QTRY_VERIFY_WITH_TIMEOUT(!f.Link.VykstaNuskaitymas(), 3000);
        QVERIFY(ranDuringRead);
        QVERIFY(!f.Link.KlaidaNuskaitant());
        const QList<QByteArray> relays = f.Base->Relays();
        QCOMPARE(relays.size(), 6);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(relays[i].toHex(), QByteArray::fromHex("3E0" + QByteArray::number(i)).toHex());
        QCOMPARE(relays[4].toHex(), QByteArray("3b00"));
        QCOMPARE(relays[5].toHex(), QByteArray("3c00"));
        QCOMPARE(pages.size(), 4);
        QCOMPARE(pages[3][0].toInt(), 20);
        QCOMPARE(pages[3][1].toInt(), 3);
        QCOMPARE(pages[3][2].value<tduomenys>(), (tduomenys{0x22, 0x23, 0, 0, 0, 0}));
        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts[0][0].toInt(), 5);
    }

    void programCountOutsideTheSequence() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy counts(&f.Link, &THFLatcher::OnReadProgCnt);
        f.Link.SendRVCommand({0x3C, 0x00}, 2, true);
        QVERIFY(counts.wait(500) || !counts.isEmpty());
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QVERIFY(!f.Link.KlaidaNuskaitant());
        QCOMPARE(f.Base->Relays().size(), 1);
    }

    void readFailsWhenTheModuleStopsAnswering() {
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy pages(&f.Link, &THFLatcher::OnHFRV5KFNMap);
        f.Base->Module(0).SetInRange(false);
        f.Link.Nuskaitymas();
        QTRY_VERIFY_WITH_TIMEOUT(f.Link.KlaidaNuskaitant(), 6000);
        QVERIFY(!f.Link.VykstaNuskaitymas());
        // Back in range, the next read succeeds.
        f.Base->Module(0).SetInRange(true);
        f.Link.Nuskaitymas();
        QVERIFY(!f.Link.KlaidaNuskaitant());
        QTRY_VERIFY_WITH_TIMEOUT(!f.Link.VykstaNuskaitymas(), 3000);
        QVERIFY(!f.Link.KlaidaNuskaitant());
        QCOMPARE(pages.size(), 4);
    }

    void baseUnpluggedDuringARead() {
        TSimBaseProfile profile;
        profile.Modules = {RadioModule(197121, 6, 12)};
        profile.UnplugAfterRelays = 2;
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Address(197121);
        QSignalSpy pages(&f.Link, &THFLatcher::OnHFRV5KFNMap);
        QSignalSpy gone(&f.Link, &THFLatcher::OnDisconnect);
        f.Link.Nuskaitymas();
        QTRY_VERIFY_WITH_TIMEOUT(!gone.isEmpty(), 2000);
        QVERIFY(!f.Link.Connected());
        f.Link.SetFN_NN(0x10, 1); // dropped without a base
        QTRY_VERIFY_WITH_TIMEOUT(f.Link.KlaidaNuskaitant(), 6000);
        QVERIFY(f.Connect());
        f.Address(197121);
        f.Link.Nuskaitymas();
        QTRY_VERIFY_WITH_TIMEOUT(!f.Link.VykstaNuskaitymas(), 3000);
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    // A base that stays busy: the frame waits 3000 ms and is dropped.
    void busyBaseDropsFrames() {
        TSimBaseProfile profile;
        profile.StayBusy = true;
        TBaseFixture f(profile);
        QVERIFY(f.Connect());
        f.Link.Ping(); // taken; from now on the base reports busy
        QVERIFY(f.Link.Busy());
        QElapsedTimer clock;
        clock.start();
        f.Link.Ping();
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 2900 && elapsed < 4000, qPrintable(QString::number(elapsed)));
        QCOMPARE(f.Base->Frames().size(), 1);
    }

    void cardDataAndInputState() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        QSignalSpy cards(&f.Link, &THFLatcher::OnCardDataArrived);
        QSignalSpy inputs(&f.Link, &THFLatcher::OnInputStateArrived);
        f.Base->SendCardData(0x0504030201LL, true);
        QVERIFY(cards.wait(500) || !cards.isEmpty());
        QCOMPARE(cards[0][0].toLongLong(), 21542142465LL);
        QCOMPARE(cards[0][1].toBool(), true);
        QVERIFY(f.Link.CardToggle());
        f.Base->SendInputState(3, 4, 5, 6, 7);
        QVERIFY(inputs.wait(500) || !inputs.isEmpty());
        QCOMPARE(inputs[0][0].toInt(), 0x0C);
        QCOMPARE(inputs[0][1].toInt(), 3);
        QCOMPARE(inputs[0][5].toInt(), 7);
        QCOMPARE(cards.size(), 1); // an input-state report carries no card toggle
    }

    void holdsOneBaseAndReconnectsOnDeviceChanges() {
        TBaseFixture f;
        QVERIFY(f.Connect());
        TSimRadioBase second(TSimBaseProfile{});
        QSignalSpy connects(&f.Link, &THFLatcher::OnConnect);
        QSignalSpy disconnects(&f.Link, &THFLatcher::OnDisconnect);
        f.Bus.Plug(&second);
        QTRY_COMPARE(connects.size(), 1);
        f.Link.Ping();
        QCOMPARE(f.Base->Frames().size(), 1);
        QCOMPARE(second.Frames().size(), 0);
        f.Bus.Unplug(&second); // not the held one
        QTest::qWait(20);
        QVERIFY(f.Link.Connected());
        QCOMPARE(disconnects.size(), 0);
        f.Bus.Plug(&second);
        f.Bus.Unplug(f.Base.get()); // the held one: the other takes over
        QTRY_VERIFY(f.Link.Connected() && disconnects.size() == 1);
        f.Link.Ping();
        QCOMPARE(second.Frames().size(), 1);
        f.Bus.Unplug(&second);
    }

    void getlistasHandsOverTheTrace() {
        TBaseFixture f;
        f.Link.ListasAdd(QStringLiteral("NT - OnFNanNN"));
        QStringList copy{QStringLiteral("old")};
        f.Link.getlistas(copy);
        QCOMPARE(copy, QStringList{QStringLiteral("NT - OnFNanNN")});
        QVERIFY(f.Link.Trace().isEmpty());
        f.Link.ListasAdd(QStringLiteral("x"));
        f.Link.ClearListas();
        QVERIFY(f.Link.Trace().isEmpty());
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TstBaseLink)
#include "tst_base_link.moc"
