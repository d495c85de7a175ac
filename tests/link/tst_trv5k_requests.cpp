// Every request's bytes on the wire, and template recording.
#include "LinkFixture.h"

#include <functional>

using Request = std::function<void(TRV5K&)>;
Q_DECLARE_METATYPE(Request)

class TestRequests : public QObject {
    Q_OBJECT
private slots:
    void wireBytes_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QByteArray>("report");
        // Framed: id, 0x20, 0x00, command bytes.
        QTest::newRow("SetPhoneNumber")
            << Request([](TRV5K& l) { l.SetPhoneNumber(2, 0x43, "37060000000"); })
            << Report("0020000B0243"
                      "3337303630303030303030"
                      "20202020");
        QTest::newRow("SetPhoneNumber long")
            << Request([](TRV5K& l) { l.SetPhoneNumber(1, 0, "1234567890123456789"); })
            << Report("0020000B0100"
                      "313233343536373839303132333435");
        QTest::newRow("SetPhoneNumber empty")
            << Request([](TRV5K& l) { l.SetPhoneNumber(0, 0, ""); })
            << Report("0020000B0000"
                      "202020202020202020202020202020");
        QTest::newRow("SetSMSPSTNCR")
            << Request([](TRV5K& l) { l.SetSMSPSTNCR(0x01020304); }) << Report("0020000C01020304");
        QTest::newRow("SelectVoicePage")
            << Request([](TRV5K& l) { l.SelectVoicePage(0x1234, 0x0506); })
            << Report("002000113412"
                      "0605");
        QTest::newRow("SetPhoneNumberAdditionalCR")
            << Request([](TRV5K& l) { l.SetPhoneNumberAdditionalCR(3, 0x81); })
            << Report("002000160381");
        QTest::newRow("EndBatch") << Request([](TRV5K& l) { l.EndBatch(); }) << Report("00200041");
        QTest::newRow("SendUSBPassword")
            << Request([](TRV5K& l) { l.SendUSBPassword("12345678901234567890"); })
            << Report("00200042"
                      "31323334353637383930313233343536");
        QTest::newRow("SendUSBPassword empty") << Request([](TRV5K& l) { l.SendUSBPassword(""); })
                                               << Report("00200042"
                                                         "20202020202020202020202020202020");
        QTest::newRow("ReadSMSPhrase")
            << Request([](TRV5K& l) { l.ReadSMSPhrase(15); }) << Report("0020008D0F");
        QTest::newRow("GetMemoryInfo")
            << Request([](TRV5K& l) { l.GetMemoryInfo(); }) << Report("00200091");
        QTest::newRow("SendPageCRC") << Request([](TRV5K& l) { l.SendPageCRC(0x0102, 0x7E); })
                                     << Report("00200092"
                                               "02017E");
        QTest::newRow("ReadParametersMap")
            << Request([](TRV5K& l) { l.ReadParametersMap(2); }) << Report("0020009F02");
        // CAN memory: id, 0x10, argument array length, the first 10 argument bytes.
        QTest::newRow("SetFN_NN") << Request([](TRV5K& l) { l.SetFN_NN(5, 7); })
                                  << Report("00103F140507");
        QTest::newRow("ReadMapPage")
            << Request([](TRV5K& l) { l.ReadMapPage(15); }) << Report("00103F390F");
        QTest::newRow("GetWriteProg")
            << Request([](TRV5K& l) { l.GetWriteProg(2); }) << Report("00103F3B02");
        QTest::newRow("GetFNandNN")
            << Request([](TRV5K& l) { l.GetFNandNN(0x30, 0x06); }) << Report("00103F383006");
        QTest::newRow("GetGrPgr") << Request([](TRV5K& l) { l.GetGrPgr(0x0104); })
                                  << Report("00103F3D0104");
        QTest::newRow("RestoreRV5KDefaults")
            << Request([](TRV5K& l) { l.RestoreRV5KDefaults(); }) << Report("001003149901");
        QTest::newRow("ResetCar") << Request([](TRV5K& l) { l.ResetCar(); })
                                  << Report("00103F145902");
        QTest::newRow("SetPIN") << Request([](TRV5K& l) { l.SetPIN(1, 2, 3, 4); })
                                << Report("00103F3A01020304");
        QTest::newRow("SetCar") << Request([](TRV5K& l) { l.SetCar(12, 3); })
                                << Report("00103F500C03");
        QTest::newRow("two-byte array") << Request([](TRV5K& l) {
            l.SendMemoryCommand({0x39, 4});
        }) << Report("0010023904");
        QTest::newRow("arguments past ten dropped") << Request([](TRV5K& l) {
            l.SendMemoryCommand({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        }) << Report("00100C0102030405060708090A");
        // Raw.
        QTest::newRow("GetZoneStatus")
            << Request([](TRV5K& l) { l.GetZoneStatus(); }) << Report("004025");
    }
    void wireBytes() {
        QFETCH(Request, request);
        QFETCH(QByteArray, report);
        TLinkFixture f;
        QVERIFY(f.Connect());
        request(f.Link);
        QCOMPARE(f.Module.Received.size(), 1);
        QCOMPARE(f.Last().toHex(' '), report.toHex(' '));
    }

    void voiceChunkHoldsAtMost59Bytes() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        f.Link.WriteVoiceChunk(7, tduomenys(70, 0xAB));
        const QByteArray report = f.Last();
        QCOMPARE(quint8(report[3]), quint8(0x12));
        QCOMPARE(quint8(report[4]), quint8(7));
        QCOMPARE(quint8(report[5]), quint8(59));
        QCOMPARE(report.mid(6, 59), QByteArray(59, char(0xAB)));
    }

    void nothingIsSentWithoutModuleOrAfterClosing() {
        TLinkFixture f;
        f.Link.SetFN_NN(1, 2);
        f.Link.EndBatch();
        f.Link.GetZoneStatus();
        QVERIFY(f.Connect());
        QVERIFY(f.Module.Received.isEmpty());
        f.Link.SetClosing();
        f.Link.SetFN_NN(1, 2);
        f.Link.SetPhoneNumber(1, 2, "3");
        TLinkFixture::Settle();
        QVERIFY(f.Module.Received.isEmpty());
    }

    void templateRecordsFramedCommandsOnly() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        f.Link.StartTemplate();
        QVERIFY(f.Link.TemplateFlag());
        f.Link.SetPhoneNumber(2, 0x43, "37060000000");
        f.Link.SetFN_NN(5, 7); // CAN memory requests go to the module as usual
        f.Link.SetSMSPSTNCR(0x0A0B0C0D);
        QCOMPARE(f.Module.Received.size(), 1);
        QCOMPARE(f.Last(), Report("00103F140507"));

        const tduomenys buffer = f.Link.GetTemplate();
        QCOMPARE(buffer.size(), std::size_t(16 + 2 * 63));
        QCOMPARE(buffer[0], std::uint8_t(4));
        QCOMPARE(buffer[1], std::uint8_t(2));
        QCOMPARE(buffer[2], std::uint8_t(63));
        QCOMPARE(buffer[16], std::uint8_t(0x8B));
        QCOMPARE(buffer[17], std::uint8_t(2));
        QCOMPARE(buffer[18], std::uint8_t(0x43));
        QCOMPARE(buffer[16 + 63], std::uint8_t(0x8C));

        f.Link.StopTemplate();
        QVERIFY(!f.Link.TemplateFlag());
        QVERIFY(f.Link.GetTemplate().empty());
        f.Link.EndBatch();
        QCOMPARE(f.Last(), Report("00200041"));
    }

    void recordedWriteReplaysAsTheModulesReport() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy phone(&f.Link, &TRV5K::OnPhoneNumber);
        f.Link.StartTemplate();
        f.Link.SetPhoneNumber(2, 0x43, "37060000000");
        const tduomenys buffer = f.Link.GetTemplate();
        // A response block: status byte, then the record (code first).
        tduomenys block(1 + buffer.size() - 16, 0);
        CopyBytes(block, buffer, 1, buffer.size() - 16, 16);
        f.Link.ReplayResponse(block);
        QCOMPARE(phone.size(), 1);
        QCOMPARE(phone[0][0].value<quint8>(), quint8(2));
        QCOMPARE(phone[0][1].value<quint8>(), quint8(0x43));
        QCOMPARE(phone[0][2].toByteArray(), QByteArray("37060000000"));
    }

    void templateCountWraps() {
        TLinkFixture f;
        f.Link.StartTemplate(); // recording needs no module
        for (int i = 0; i < 257; ++i)
            f.Link.EndBatch();
        const tduomenys buffer = f.Link.GetTemplate();
        QCOMPARE(buffer.size(), std::size_t(16 + 257 * 63));
        QCOMPARE(buffer[1], std::uint8_t(1));
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_trv5k_requests.moc"
