// The simulated module driven at the report level: what it answers to each
// request, byte for byte, and what it tells by itself.

#include "SimModuleFixture.h"
#include "link/hid/SimHidBus.h"

using namespace SimTest;

class TstSimModule : public QObject {
    Q_OBJECT
private slots:
    void statusReportsOnlyWhileListening();
    void toggleMovesOncePerBlock();
    void canMemoryReplies_data();
    void canMemoryReplies();
    void setRequestsChangeMap_data();
    void setRequestsChangeMap();
    void restoreDefaults();
    void zoneStatus();
    void parametersMapBlocks();
    void smsPhrase();
    void framedSettingsAreHeld();
    void lockedModuleWaitsForPassword();
    void sentOnConnectAfterFirstReport();
    void monitoringStateAndUsart();
    void usartLinesChangeTheModemState();
    void throughTheBus();
};

void TstSimModule::statusReportsOnlyWhileListening() {
    TSimProfile profile = TestProfile();
    profile.StatusIntervalMs = 10;
    Fixture f(profile, false);
    QTest::qWait(50);
    QCOMPARE(f.Reports.size(), 0);

    f.Module.HostListening(true);
    QCOMPARE(f.Reports.size(), 1); // the first one comes at once
    QTRY_VERIFY(f.Reports.size() >= 4);
    for (const QByteArray& r : f.All()) {
        QVERIFY(IsStatus(r));
        QCOMPARE(At(r, 2), quint8(0x00)); // idle, unlocked, not monitoring, toggle 0
    }

    f.Module.HostListening(false);
    const qsizetype stopped = f.Reports.size();
    QTest::qWait(50);
    QCOMPARE(f.Reports.size(), stopped);
}

void TstSimModule::toggleMovesOncePerBlock() {
    TSimProfile profile = TestProfile();
    profile.StatusIntervalMs = 10;
    Fixture f(profile);
    f.Module.QueueResponse({0x8A, Bytes({0x01, 0x02, 0x03, 0x04})});
    f.Module.QueueResponse({0x84, Bytes({0xAA})});
    QTRY_VERIFY(f.Reports.size() >= 5);
    const QList<QByteArray> r = f.All();
    QCOMPARE(At(r[0], 2) & 3, 0);
    QCOMPARE(At(r[1], 2) & 3, 1);
    QCOMPARE(r[1].mid(3, 5), Bytes({0x8A, 0x01, 0x02, 0x03, 0x04}));
    QCOMPARE(At(r[2], 2) & 3, 2);
    QCOMPARE(r[2].mid(3, 3), Bytes({0x84, 0xAA, 0x00}));
    // Without a new block the toggle stays and no code is shown.
    QCOMPARE(At(r[3], 2) & 3, 2);
    QCOMPARE(At(r[3], 3), quint8(0));
    QCOMPARE(At(r[4], 2) & 3, 2);
}

void TstSimModule::canMemoryReplies_data() {
    QTest::addColumn<QByteArray>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("index");
    const int e = 0x65;
    QTest::newRow("page 0") << Bytes({0x39, 0}) << 0x39 << Bytes({1, 2, 3, 4, 5, 6, 7, 0x11}) << 0;
    QTest::newRow("page 1 with skip slot")
        << Bytes({0x39, 1}) << 0x39 << Bytes({0x30, 0x31, 0xFF, 0x30, 0x57, 0x71, 0x72, 0x73}) << 1;
    QTest::newRow("page 4 runs into empty slots")
        << Bytes({0x39, 4}) << 0x39 << Bytes({0x50, 0x51, 0x52, 0x53, 0, 0, 0, 0}) << 4;
    QTest::newRow("page 15 beyond the map") << Bytes({0x39, 15}) << 0x39 << QByteArray(8, 0) << 15;
    QTest::newRow("page 16") << Bytes({0x39, 16}) << 0x39 << QByteArray(8, 0) << e;
    QTest::newRow("write-program page 0")
        << Bytes({0x3B, 0}) << 0x3B << Bytes({0, 12, 0, 1, 2, 3, 4, 5}) << 0;
    QTest::newRow("write-program page 1 ends the data")
        << Bytes({0x3B, 1}) << 0x3B << Bytes({1, 12, 6, 7, 8, 9, 10, 11}) << 0;
    QTest::newRow("write-program page 2 is empty")
        << Bytes({0x3B, 2}) << 0x3B << Bytes({2, 12, 0, 0, 0, 0, 0, 0}) << 0;
    QTest::newRow("write-program page 3") << Bytes({0x3B, 3}) << 0x3B << QByteArray(8, 0) << e;
    QTest::newRow("program count")
        << Bytes({0x3C, 0}) << 0x3C << Bytes({0, 5, 0, 0, 0, 0, 0, 0}) << 0;
    QTest::newRow("FN value, first slot of two")
        << Bytes({0x38, 0x30, 0x99}) << 0x38 << Bytes({0x30, 6, 0, 0, 0, 0, 0, 0}) << 0;
    QTest::newRow("FN not held") << Bytes({0x38, 0x90, 0}) << 0x38 << QByteArray(8, 0) << e;
    QTest::newRow("FN 0 of an empty slot") << Bytes({0x38, 0, 0}) << 0x38 << QByteArray(8, 0) << e;
    QTest::newRow("programs from 0")
        << Bytes({0x3D, 0, 0}) << 0x3D << Bytes({12, 3, 12, 4, 14, 1, 20, 2}) << 0;
    QTest::newRow("position high byte first")
        << Bytes({0x3D, 0, 1}) << 0x3D << Bytes({12, 4, 14, 1, 20, 2, 21, 7}) << 0;
    QTest::newRow("past the end padded")
        << Bytes({0x3D, 0, 4}) << 0x3D << Bytes({21, 7, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) << 0;
    QTest::newRow("position 256") << Bytes({0x3D, 1, 0}) << 0x3D << QByteArray(8, char(0xFF)) << 0;
}

void TstSimModule::canMemoryReplies() {
    QFETCH(QByteArray, args);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    QFETCH(int, index);
    Fixture f;
    const QList<QByteArray> replies = f.Ask(CanMemory(args));
    QCOMPARE(replies.size(), 1);
    const QByteArray& r = replies[0];
    QCOMPARE(r.size(), 64);
    QCOMPARE(r.left(3), Bytes({0x10, 0x64, code}));
    QCOMPARE(r.mid(3, 8), data);
    QCOMPARE(int(At(r, 11)), index);
    QCOMPARE(r.mid(12), QByteArray(52, 0));
}

void TstSimModule::setRequestsChangeMap_data() {
    QTest::addColumn<QByteArray>("args");
    QTest::addColumn<Pairs>("changes"); // slot, new NN
    QTest::newRow("SetFN_NN, first slot only") << Bytes({0x14, 0x30, 9}) << Pairs{{8, 9}};
    QTest::newRow("SetFN_NN of a value parameter") << Bytes({0x14, 0x42, 45}) << Pairs{{18, 45}};
    QTest::newRow("end-of-save marker stored") << Bytes({0x14, 0x11, 1}) << Pairs{{7, 1}};
    QTest::newRow("FN not held") << Bytes({0x14, 0x90, 1}) << Pairs{};
    QTest::newRow("FN 0xFF never set") << Bytes({0x14, 0xFF, 1}) << Pairs{};
    QTest::newRow("ResetCar") << Bytes({0x14, 0x59, 0x02}) << Pairs{{5, 0xFF}, {6, 0xFF}};
    QTest::newRow("SetPIN") << Bytes({0x3A, 9, 8, 7, 6}) << Pairs{{0, 9}, {1, 8}, {2, 7}, {3, 6}};
    QTest::newRow("SetCar") << Bytes({0x50, 20, 2}) << Pairs{{5, 20}, {6, 2}};
}

void TstSimModule::setRequestsChangeMap() {
    QFETCH(QByteArray, args);
    QFETCH(Pairs, changes);
    Fixture f;
    Pairs expected = TestProfile().Map;
    for (const auto& [slot, nn] : changes)
        expected[slot].second = nn;
    QVERIFY(f.Ask(CanMemory(args)).isEmpty()); // set requests have no answer
    QCOMPARE(f.Module.Map(), expected);
    // What a later read shows is the new value.
    if (!changes.empty()) {
        const quint8 fn = expected[changes.front().first].first;
        const QList<QByteArray> reply = f.Ask(CanMemory(Bytes({0x38, fn, 0})));
        QCOMPARE(At(reply.value(0), 4), changes.front().second);
    }
}

void TstSimModule::restoreDefaults() {
    Fixture f;
    f.Ask(CanMemory(Bytes({0x14, 0x30, 9})));
    f.Ask(CanMemory(Bytes({0x14, 0x99, 0x01}), 3));
    QCOMPARE(f.Module.Map(), TestProfile().Defaults);

    // A module without defaults of its own goes back to where it started.
    TSimProfile profile = TestProfile();
    profile.Defaults.clear();
    Fixture g(profile);
    g.Ask(CanMemory(Bytes({0x3A, 9, 9, 9, 9})));
    g.Ask(CanMemory(Bytes({0x14, 0x99, 0x01}), 3));
    QCOMPARE(g.Module.Map(), profile.Map);
}

void TstSimModule::zoneStatus() {
    Fixture f;
    const QList<QByteArray> replies = f.Ask(ZoneStatusRequest());
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies[0].size(), 64);
    QCOMPARE(replies[0].left(7), Bytes({0x40, 0x25, 0x64, 0x12, 0x34, 0x56, 0x78}));
    QCOMPARE(replies[0].mid(7), QByteArray(57, 0));
}

void TstSimModule::parametersMapBlocks() {
    Fixture f;
    QList<QByteArray> r = f.Ask(Framed(Bytes({0x9F, 0})));
    QCOMPARE(r.size(), 1);
    QVERIFY(IsStatus(r[0]));
    QCOMPARE(At(r[0], 2) & 3, 1); // new toggle
    QCOMPARE(At(r[0], 3), quint8(0x9F));
    QCOMPARE(At(r[0], 4), quint8(0)); // Idx
    QByteArray nn;
    for (int i = 0; i < 32; ++i)
        nn.append(char(TestProfile().Map[i].second));
    QCOMPARE(r[0].mid(5, 32), nn);

    r = f.Ask(Framed(Bytes({0x9F, 1})));
    QCOMPARE(At(r[0], 2) & 3, 2);
    QCOMPARE(At(r[0], 4), quint8(1));
    QCOMPARE(r[0].mid(5, 6), Bytes({13, 14, 15, 16, 0, 0})); // slots 32..37
    QCOMPARE(r[0].mid(11, 26), QByteArray(26, 0));
}

void TstSimModule::smsPhrase() {
    TSimProfile profile = TestProfile();
    profile.Responses.append({0x8D, Bytes({15, 0x00, 'A', 0x00, 'B'})});
    Fixture f(profile);
    QByteArray blanks;
    for (int i = 0; i < 24; ++i)
        blanks.append(Bytes({0x00, 0x20}));

    QList<QByteArray> r = f.Ask(Framed(Bytes({0x8D, 15})));
    QCOMPARE(r.size(), 1);
    QCOMPARE(r[0].mid(3, 2), Bytes({0x8D, 15}));
    QCOMPARE(r[0].mid(5, 48), Bytes({0x00, 'A', 0x00, 'B'}) + blanks.left(44));

    r = f.Ask(Framed(Bytes({0x8D, 3}))); // no phrase held: all blanks
    QCOMPARE(r[0].mid(3, 2), Bytes({0x8D, 3}));
    QCOMPARE(r[0].mid(5, 48), blanks);
}

void TstSimModule::framedSettingsAreHeld() {
    TSimProfile profile = TestProfile();
    profile.Responses.append({0x91, Bytes({0x01, 0x00, 0x20, 0x00})});
    Fixture f(profile);
    const QByteArray number = QByteArray("37060000000").leftJustified(15, ' ');
    // The writes themselves are not answered.
    QVERIFY(f.Ask(Framed(Bytes({0x0B, 2, 0x43}) + number)).isEmpty());
    QVERIFY(f.Ask(Framed(Bytes({0x0C, 0x01, 0x02, 0x03, 0x04}))).isEmpty());
    QVERIFY(f.Ask(Framed(Bytes({0x41}))).isEmpty());

    QList<QByteArray> r = f.Ask(Framed(Bytes({0x8B, 2})));
    QCOMPARE(r.value(0).mid(3, 18), Bytes({0x8B, 2, 0x43}) + number);
    r = f.Ask(Framed(Bytes({0x8C})));
    QCOMPARE(r.value(0).mid(3, 5), Bytes({0x8C, 0x01, 0x02, 0x03, 0x04}));
    QVERIFY(f.Ask(Framed(Bytes({0x8B, 3}))).isEmpty()); // no number in slot 3
    r = f.Ask(Framed(Bytes({0x91})));
    QCOMPARE(r.value(0).mid(3, 5), Bytes({0x91, 0x01, 0x00, 0x20, 0x00}));
    r = f.Ask(Framed(Bytes({0x92, 0x10, 0x00, 0x5A})));
    QCOMPARE(At(r.value(0), 3), quint8(0x92));
    QCOMPARE(f.Module.RequestsSeen(), 8);
}

void TstSimModule::lockedModuleWaitsForPassword() {
    TSimProfile profile = TestProfile();
    profile.Password = "1234";
    profile.StartLocked = true;
    Fixture f(profile);
    QVERIFY(f.Module.Locked());
    QCOMPARE(At(f.Last(), 2) & 0x10, 0x10);

    QVERIFY(f.Ask(CanMemory(Bytes({0x39, 0}))).isEmpty());
    QVERIFY(f.Ask(Framed(Bytes({0x9F, 0}))).isEmpty());
    QVERIFY(f.Ask(ZoneStatusRequest()).isEmpty());
    f.Ask(CanMemory(Bytes({0x14, 0x30, 9})));
    QCOMPARE(f.Module.Map(), profile.Map);
    for (const QByteArray& wrong : {QByteArray("1235"), QByteArray("12345"), QByteArray("")})
        QVERIFY2(f.Ask(Framed(Password(wrong))).isEmpty(), wrong.constData());
    QVERIFY(f.Module.Locked());

    const QList<QByteArray> r = f.Ask(Framed(Password("1234")));
    QVERIFY(!f.Module.Locked());
    QCOMPARE(r.size(), 1); // the news comes at once
    QCOMPARE(At(r[0], 2) & 0x10, 0);
    QCOMPARE(f.Ask(CanMemory(Bytes({0x39, 0}))).size(), 1);

    // Without a password the module never locks.
    profile.Password.clear();
    Fixture open(profile);
    QVERIFY(!open.Module.Locked());
    QCOMPARE(At(open.Last(), 2) & 0x10, 0);
}

void TstSimModule::sentOnConnectAfterFirstReport() {
    TSimProfile profile = TestProfile();
    profile.StatusIntervalMs = 10;
    QByteArray autoStart(48, 0);
    autoStart[0] = 0x0F;
    autoStart[4] = 10;
    profile.SentOnConnect = {{0xA1, autoStart}, {0x8A, Bytes({0, 0, 0, 7})}};
    Fixture f(profile);
    QTRY_VERIFY(f.Reports.size() >= 4);
    const QList<QByteArray> r = f.All();
    QCOMPARE(At(r[0], 2) & 3, 0);
    QCOMPARE(At(r[0], 3), quint8(0));
    QCOMPARE(At(r[1], 2) & 3, 1);
    QCOMPARE(r[1].mid(3, 49), Bytes({0xA1}) + autoStart);
    QCOMPARE(At(r[2], 2) & 3, 2);
    QCOMPARE(At(r[2], 3), quint8(0x8A));
    QCOMPARE(At(r[3], 2) & 3, 2);

    // A host that listens again hears them again.
    f.Module.HostListening(false);
    f.Reports.clear();
    f.Module.HostListening(true);
    QTRY_VERIFY(f.Reports.size() >= 2);
    QCOMPARE(At(f.Report(0), 3), quint8(0));
    QCOMPARE(At(f.Report(1), 3), quint8(0xA1));
}

void TstSimModule::monitoringStateAndUsart() {
    TSimProfile profile = TestProfile();
    profile.Monitoring = true;
    profile.StatusIntervalMs = 5;
    profile.ModemState = {0x4F, 0x80, 0x01, 0xF203, 2, 9};
    const QByteArray longLine = QByteArray("AT^SISW=0,60\r").repeated(5); // 65 bytes
    profile.UsartScript = {{true, "AT+CSQ\r"}, {false, "+CSQ: 20,0\r\nOK\r\n"}, {true, longLine}};
    Fixture f(profile);
    QTRY_VERIFY(f.Reports.size() >= 21);
    QList<QPair<int, QByteArray>> lines; // control byte, text
    int lastToggle = 0;
    for (const QByteArray& r : f.All().mid(0, 21)) {
        QCOMPARE(At(r, 2), quint8(0x20));
        QCOMPARE(r.mid(3, 7), Bytes({0x4F, 0x80, 0x01, 0xF2, 0x03, 2, 9}));
        const int control = At(r, 10);
        if ((control & 3) != lastToggle) {
            lastToggle = control & 3;
            lines.append({control, r.mid(12, At(r, 11))});
        }
    }
    QCOMPARE(lines.size(), 6); // one new line every fourth report, from the first
    QCOMPARE(lines[0], qMakePair(0x01, QByteArray("AT+CSQ\r")));
    QCOMPARE(lines[1], qMakePair(0x42, QByteArray("+CSQ: 20,0\r\nOK\r\n")));
    QCOMPARE(lines[2], qMakePair(0x03, longLine.left(52)));
    QCOMPARE(lines[3], qMakePair(0x00, longLine.mid(52)));
    QCOMPARE(lines[4], qMakePair(0x01, QByteArray("AT+CSQ\r"))); // round again

    // A response block lies over the state block. It lasts one report, 5 ms:
    // the reports are searched for it, not only the last one at each look.
    const qsizetype queuedAt = f.Reports.size();
    f.Module.QueueResponse({0x9E, Bytes({0, 0, 0, 5})});
    const auto response = [&f, queuedAt] {
        for (qsizetype i = queuedAt; i < f.Reports.size(); ++i)
            if (At(f.Report(i), 3) == 0x9E)
                return f.Report(i);
        return QByteArray();
    };
    QTRY_VERIFY(!response().isEmpty());
    QCOMPARE(At(response(), 2) & 0x20, 0x20);
    QCOMPARE(response().mid(4, 4), Bytes({0, 0, 0, 5}));

    f.Module.SetMonitoring(false);
    QCOMPARE(At(f.Last(), 2) & 0x20, 0);
    QCOMPARE(f.Last().mid(3), QByteArray(61, 0));
}

void TstSimModule::usartLinesChangeTheModemState() {
    TSimProfile profile = TestProfile();
    profile.Monitoring = true;
    profile.StatusIntervalMs = 5;
    profile.ModemState = {0x4F, 0x00, 0x00, 0x3002, 0, 4};
    TSimModemChange sending;
    sending.MC55iCR = 0x10;
    sending.TCPSR = 0xF203;
    TSimModemChange sent;
    sent.MC55iCR = 0x00;
    sent.SentCounter = 5;
    profile.UsartScript = {
        {true, "AT^SISW=0,30\r", sending}, {false, "^SISW: 0,30,30\r\n"}, {false, "OK\r\n", sent}};
    Fixture f(profile);
    QTRY_VERIFY(f.Reports.size() >= 13);
    // Reports 1 to 4 play the first line, 5 to 8 the second, 9 to 12 the third.
    const QList<QByteArray> reports = f.All();
    for (int i = 0; i < 8; ++i)
        QCOMPARE(reports[i].mid(3, 7), Bytes({0x4F, 0x10, 0x00, 0xF2, 0x03, 0, 4}));
    for (int i = 8; i < 12; ++i)
        QCOMPARE(reports[i].mid(3, 7), Bytes({0x4F, 0x00, 0x00, 0xF2, 0x03, 0, 5}));
    // A state set from outside shows in the next reports; the lines go on
    // changing only what they name.
    f.Module.SetModemState({0x40, 0x01, 0x02, 0x1000, 3, 3});
    QTRY_COMPARE(At(f.Last(), 3), quint8(0x40));
    QCOMPARE(At(f.Last(), 5), quint8(0x02));
    QCOMPARE(At(f.Last(), 8), quint8(3));
}

void TstSimModule::throughTheBus() {
    TSimProfile profile = TestProfile();
    profile.UnplugAfterReports = 2;
    TSimRv5kModule module(profile);
    TSimHidBus bus;
    QSignalSpy unplugged(&bus, &THidLayer::DeviceUnplugged);
    bus.Plug(&module);
    HidDeviceId id = 0;
    bus.EnumerateDevices([&](quint16 vendor, quint16 product, int position) {
        if (vendor == 0x4B52 && product == 0x4737)
            id = bus.AcquireDevice(position);
        return true;
    });
    QVERIFY(id != 0);
    QCOMPARE(bus.ReadDeviceStrings(id).SerialNumber, QStringLiteral("RV5K00000001"));
    QList<QByteArray> received;
    bus.SetInputHandler(id, [&](quint8, const QByteArray& data) {
        received.append(data);
        if (received.size() == 1) // answering from inside the handler, as the host does
            bus.WriteOutputReport(id, CanMemory(Bytes({0x39, 0})));
    });
    QVERIFY(received.isEmpty()); // delivered later, never inside the call
    QTRY_COMPARE(received.size(), 2);
    QVERIFY(IsStatus(received[0]));
    QCOMPARE(received[1].left(3), Bytes({0x10, 0x64, 0x39}));
    QTRY_COMPARE(unplugged.size(), 1);
    QVERIFY(!bus.IsPlugged(&module));
}

QTEST_MAIN(TstSimModule)
#include "tst_sim_module.moc"
