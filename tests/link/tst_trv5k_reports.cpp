// Connection, status bits, the response toggle, the send gate and the
// decoding of every kind of input report.
#include "LinkFixture.h"
#include "SideBySideMain.h"
#include "link/SendGate.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {
// A response block as it travels in a status report: data bytes 0 and 1,
// then the block (status byte with the toggle, code, payload).
QByteArray StatusWithBlock(quint8 status, const QByteArray& blockFromCode) {
    return QByteArray("\x20\x00", 2) + char(status) + blockFromCode;
}

QString Describe(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<tduomenys>())
        return QString::fromLatin1(ToQByteArray(v.value<tduomenys>()).toHex(' '));
    if (v.metaType() == QMetaType::fromType<quint8>())
        return QString::number(v.value<quint8>());
    if (v.metaType() == QMetaType::fromType<QByteArray>())
        return QString::fromLatin1(v.toByteArray().toHex(' '));
    return v.toString();
}
QStringList Describe(const QList<QVariant>& args) {
    QStringList out;
    for (const QVariant& v : args)
        out << Describe(v);
    return out;
}
QString Hex(const QByteArray& text) {
    return QString::fromLatin1(text.toHex(' '));
}
QString Hex(const tduomenys& bytes) {
    return Hex(ToQByteArray(bytes));
}
} // namespace

class TestReports : public QObject {
    Q_OBJECT
private slots:
    void connectReadsStringsAndFirmware() {
        TSimHidBus bus;
        TScriptedDevice module(QStringLiteral("RV5K CAN v6.05"), QStringLiteral("  AB12  "));
        TScriptedDevice other(QStringLiteral("Mouse"), QStringLiteral("1"), 0x046D, 0xC077);
        bus.Plug(&other);
        bus.Plug(&module); // present before the link exists
        TRV5K link(&bus);
        QSignalSpy connected(&link, &TRV5K::OnConnect);
        QSignalSpy disconnected(&link, &TRV5K::OnDisconnect);
        QTRY_COMPARE(connected.size(), 1);
        QVERIFY(link.Connected());
        QCOMPARE(link.ProductName(), QByteArray("RV5K CAN v6.05"));
        QCOMPARE(link.SerialNumber(), QByteArray("AB12"));
        QCOMPARE(link.FirmwareVersion(), 605);
        QVERIFY(module.Listening);
        QVERIFY(!other.Listening);

        // A second module while one is held is left alone; other devices change nothing.
        TScriptedDevice second;
        bus.Plug(&second);
        bus.Unplug(&other);
        TLinkFixture::Settle(20);
        QCOMPARE(connected.size(), 1);
        QVERIFY(!second.Listening);
        QVERIFY(disconnected.isEmpty());
        bus.Unplug(&second); // not the held one
        TLinkFixture::Settle(20);
        QVERIFY(disconnected.isEmpty());
        QVERIFY(link.Connected());

        bus.Unplug(&module);
        QCOMPARE(disconnected.size(), 1);
        QVERIFY(!link.Connected());
        QVERIFY(link.ProductName().isEmpty());
        QVERIFY(link.SerialNumber().isEmpty());
        QCOMPARE(link.FirmwareVersion(), 0);

        bus.Plug(&module); // plugged in again: connected again
        QTRY_COMPARE(connected.size(), 2);
    }

    void toggleDispatchesOnlyOnChange() {
        TLinkFixture f;
        QSignalSpy flags(&f.Link, &TRV5K::OnRV5KFlags);
        // The first report after connecting never dispatches, whatever its toggle.
        QSignalSpy connected(&f.Link, &TRV5K::OnConnect);
        f.Bus.Plug(&f.Module);
        QVERIFY(connected.wait(1000));
        f.Module.Send(StatusWithBlock(0x02, QByteArray::fromHex("9E00000001")));
        TLinkFixture::Settle();
        QVERIFY(flags.isEmpty());
        // 0, 1, 2, 1 after a first 2: three changes, three responses.
        for (quint8 toggle : {0, 1, 1, 2, 1})
            f.Module.Send(StatusWithBlock(toggle, QByteArray::fromHex("9E00000002")));
        QTRY_COMPARE(flags.size(), 4);
        TLinkFixture::Settle();
        QCOMPARE(flags.size(), 4);
        QCOMPARE(flags[0][0].value<quint32>(), 2u);
    }

    void monitoringReportRaisesStateThenResponse() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QList<QString> order;
        connect(&f.Link, &TRV5K::OnState, this,
                [&](quint8 fl, quint8 cr, quint8 sr, quint16 tcp, quint8 out, quint8 sent) {
                    order << QStringLiteral("state %1 %2 %3 %4 %5 %6")
                                 .arg(fl)
                                 .arg(cr)
                                 .arg(sr)
                                 .arg(tcp)
                                 .arg(out)
                                 .arg(sent);
                });
        connect(&f.Link, &TRV5K::OnAPN, this,
                [&](const QByteArray& apn) { order << "apn " + Hex(apn); });
        // Status 0x21: monitoring, toggle 1. Byte 3 is both MC55iFlags and the code.
        f.Module.Send(StatusWithBlock(0x21, QByteArray::fromHex("81 05 06 0102 07 08 00 00")));
        QTRY_COMPARE(order.size(), 2);
        QCOMPARE(order[0], QStringLiteral("state 129 5 6 258 7 8"));
        QVERIFY(order[1].startsWith("apn 05 06 01 02 07 08"));
        QVERIFY(f.Link.Monitoring());
    }

    void usartLinesFollowTheirToggle() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy usart(&f.Link, &TRV5K::OnUsart);
        QSignalSpy state(&f.Link, &TRV5K::OnState);
        const auto line = [&](quint8 control, const QByteArray& text, int declaredLength) {
            QByteArray block = QByteArray(7, '\0') + char(control) + char(declaredLength) + text;
            f.Module.Send(StatusWithBlock(0x20, block));
        };
        line(0x01, "AT+CSQ", 6);              // to the modem
        line(0x01, "AT+CSQ", 6);              // same toggle: nothing new
        line(0x42, "OK", 2);                  // from the modem
        line(0x43, QByteArray(60, 'x'), 200); // a length past the report is cut
        QTRY_COMPARE(state.size(), 4);
        QCOMPARE(usart.size(), 3);
        QCOMPARE(usart[0][0].toByteArray(), QByteArray("AT+CSQ"));
        QCOMPARE(usart[0][1].toBool(), true);
        QCOMPARE(usart[1][0].toByteArray(), QByteArray("OK"));
        QCOMPARE(usart[1][1].toBool(), false);
        QCOMPARE(usart[2][0].toByteArray(), QByteArray(64 - 12, 'x'));
    }

    void busyModuleGetsFramedCommandAfterTwoReportsButNoRawReport() {
        TLinkFixture f;
        f.Module.AutoStatus = false;
        QVERIFY(f.Connect(0x80));
        QVERIFY(f.Link.Busy());
        // The script runs from timers while the send waits in the main flow.
        QList<int> writtenBefore;
        const auto busyReportAt = [&](int ms) {
            QTimer::singleShot(ms, &f.Module, [&] {
                writtenBefore << int(f.Module.Received.size());
                f.Module.Status(0x80);
            });
        };
        busyReportAt(30);
        busyReportAt(60);
        f.Link.EndBatch();
        QCOMPARE(writtenBefore, (QList<int>{0, 0}));
        QCOMPARE(f.Module.Received.size(), 1);
        QCOMPARE(f.Last(), Report("00200041"));

        writtenBefore.clear();
        for (int ms = 10; ms <= 50; ms += 10)
            busyReportAt(ms);
        QTimer::singleShot(100, &f.Module, [&] {
            writtenBefore << int(f.Module.Received.size());
            f.Module.Status(0x00); // busy clears: the raw report goes out
        });
        f.Link.GetZoneStatus();
        QCOMPARE(writtenBefore, (QList<int>{1, 1, 1, 1, 1, 1}));
        QCOMPARE(f.Module.Received.size(), 2);
        QCOMPARE(f.Last(), Report("004025"));
    }

    void aModuleStuckInBusyDoesNotHoldASenderForEver() {
        TLinkFixture f;
        f.Module.AutoStatus = false;
        QVERIFY(f.Connect(0x80));
        QElapsedTimer clock;
        clock.start();
        f.Link.SetFN_NN(1, 2);
        QVERIFY(clock.elapsed() >= TSendGate::BusyLimitMs);
        QCOMPARE(f.Last(), Report("00103F140102"));
    }

    void waitsEndWhenTheModuleGoesOrTheToolCloses() {
        TLinkFixture f;
        f.Module.AutoStatus = false;
        QVERIFY(f.Connect(0x80));
        QTimer::singleShot(20, &f.Bus, [&] { f.Bus.Unplug(&f.Module); });
        f.Link.GetZoneStatus();
        QVERIFY(f.Module.Received.isEmpty());
        QVERIFY(!f.Link.Connected());

        TLinkFixture g;
        g.Module.AutoStatus = false;
        QVERIFY(g.Connect(0x80));
        QTimer::singleShot(20, &g.Link, [&] { g.Link.SetClosing(); });
        g.Link.SetFN_NN(1, 1);
        QVERIFY(g.Module.Received.isEmpty());
    }

    void writesAreSpacedByThePause() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QElapsedTimer clock;
        QList<qint64> at;
        connect(&f.Module, &TScriptedDevice::Wrote, this, [&] { at << clock.elapsed(); });
        clock.start();
        f.Link.SetFN_NN(1, 1);
        f.Link.SetFN_NN(1, 2);
        f.Link.EndBatch();
        QCOMPARE(at.size(), 3);
        QVERIFY(at[1] - at[0] >= TSendGate::PauseMs);
        QVERIFY(at[2] - at[1] >= TSendGate::PauseMs);
    }

    void flagsComeFromByteTwoOfStatusReports() {
        TLinkFixture f;
        QVERIFY(f.Connect(0xD0)); // busy, error, locked
        QVERIFY(f.Link.Busy());
        QVERIFY(f.Link.ModuleError());
        QVERIFY(f.Link.Locked());
        QVERIFY(!f.Link.Monitoring());
        f.Module.Status(0x10);
        QTRY_VERIFY(!f.Link.Busy());
        QVERIFY(!f.Link.ModuleError());
        // A reply's code stands where the status byte does: "=" is 0x3D and
        // "d" 0x64, but neither makes the module monitoring or unlocks it.
        f.Module.Status(0x90); // busy and locked
        QTRY_VERIFY(f.Link.Busy());
        f.Module.MemoryReply(0x3D, QByteArray(8, '\0'), 0);
        QTRY_VERIFY(!f.Link.Busy());
        QVERIFY(f.Link.Locked());
        QVERIFY(!f.Link.Monitoring());
        f.Module.Status(0x00);
        QTRY_VERIFY(!f.Link.Locked());
        f.Module.Send(QByteArray::fromHex("402564 00000001"));
        TLinkFixture::Settle();
        QVERIFY(!f.Link.Locked());
        QVERIFY(!f.Link.Monitoring());
        QVERIFY(!f.Link.ModuleError());
    }

    void garbageReportsAreHarmless() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy zone(&f.Link, &TRV5K::OnZoneStatus);
        f.Module.SendExact(QByteArray());
        f.Module.SendExact(QByteArray("\x20", 1));
        f.Module.SendExact(QByteArray("\x10\x64", 2));
        f.Module.SendExact(QByteArray("\x40\x25\x64\x01", 4)); // short zone reply
        f.Module.SendExact(QByteArray::fromHex("20 00 23 ff ff ff ff ff ff ff ff ff"));
        f.Module.SendExact(QByteArray(200, char(0xFF)));
        QTRY_COMPARE(zone.size(), 1);
        QCOMPARE(zone[0][0].value<quint32>(), 0x01000000u);
        f.Link.SetFN_NN(1, 2); // still working
        QCOMPARE(f.Last(), Report("00103F140102"));
    }

    void canMemoryAndZoneReplies() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy fnnn(&f.Link, &TRV5K::OnFNandNN);
        QSignalSpy readProg(&f.Link, &TRV5K::OnReadProg);
        QSignalSpy writeProg(&f.Link, &TRV5K::OnWriteProg);
        QSignalSpy count(&f.Link, &TRV5K::OnReadProgCnt);
        QSignalSpy page(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        QSignalSpy zone(&f.Link, &TRV5K::OnZoneStatus);
        f.Module.MemoryReply(0x38, QByteArray::fromHex("3006"), 0);
        f.Module.MemoryReply(0x38, QByteArray::fromHex("3006"), 0x65); // error: nothing
        f.Module.MemoryReply(0x3D, QByteArray::fromHex("0c03 0d01 ffff 0000"), 0);
        f.Module.MemoryReply(0x3B, QByteArray::fromHex("0014 0102030405 06"), 0);
        f.Module.MemoryReply(0x3C, QByteArray::fromHex("0109"), 0);
        f.Module.MemoryReply(0x39, QByteArray::fromHex("0102030405060708"), 0x83);
        f.Module.MemoryReply(0x39, QByteArray::fromHex("1112131415161718"), 0x65);
        f.Module.Send(QByteArray::fromHex("402564 01020304"));
        QTRY_COMPARE(zone.size(), 1);
        QCOMPARE(fnnn.size(), 1);
        QCOMPARE(fnnn[0][0].value<quint8>(), quint8(0x30));
        QCOMPARE(fnnn[0][1].value<quint8>(), quint8(0x06));
        QCOMPARE(Hex(readProg[0][0].value<tduomenys>()),
                 Hex(QByteArray::fromHex("0c030d01ffff0000")));
        QCOMPARE(Hex(writeProg[0][0].value<tduomenys>()),
                 Hex(QByteArray::fromHex("0014010203040506")));
        QCOMPARE(count[0][0].value<quint16>(), quint16(0x0109));
        QCOMPARE(page.size(), 2);
        QCOMPARE(page[0][0].value<quint8>(), quint8(3));
        QCOMPARE(page[1][0].value<quint8>(), quint8(0x65)); // an error reply still tells its index
        QCOMPARE(zone[0][0].value<quint32>(), 0x01020304u);
    }

    void responseDecoding_data() {
        QTest::addColumn<QByteArray>("block"); // from the code on
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QStringList>("args");
        const auto text = [](const char* s) {
            return QString::fromLatin1(QByteArray(s).toHex(' '));
        };
        QTest::newRow("0x87 password trimmed")
            << (QByteArray("\x87") + "abcd" + QByteArray(12, ' '))
            << QByteArray(SIGNAL(OnUSBPassword(QByteArray))) << QStringList{text("abcd")};
        QTest::newRow("0x81 zero bytes stay")
            << (QByteArray("\x81") + QByteArray("a\0b", 3) + QByteArray(47, ' '))
            << QByteArray(SIGNAL(OnAPN(QByteArray))) << QStringList{"61 00 62"};
        QTest::newRow("0x82 blanks only")
            << (QByteArray("\x82") + QByteArray(32, ' '))
            << QByteArray(SIGNAL(OnUserName(QByteArray))) << QStringList{""};
        QTest::newRow("0x84 BE32")
            << QByteArray::fromHex("8401020304") << QByteArray(SIGNAL(OnTCPCR(quint32)))
            << QStringList{QString::number(0x01020304)};
        QTest::newRow("0x8B phone")
            << (QByteArray::fromHex("8B0243") + "37060000000" + QByteArray(4, ' '))
            << QByteArray(SIGNAL(OnPhoneNumber(quint8, quint8, QByteArray)))
            << QStringList{"2", "67", text("37060000000")};
        QTest::newRow("0x8D phrase")
            << (QByteArray::fromHex("8D0F00410042") + QByteArray::fromHex("0020").repeated(22))
            << QByteArray(SIGNAL(OnSMSPhrase(quint8, quint8, QString)))
            << QStringList{"1", "15", "AB"};
        QTest::newRow("0x99 phrase")
            << QByteArray::fromHex("99030410")
            << QByteArray(SIGNAL(OnSMSPhrase(quint8, quint8, QString)))
            << QStringList{"2", "3", QString(QChar(0x0410)) + QString(23, QChar(0))};
        QTest::newRow("0x8E help untrimmed")
            << (QByteArray::fromHex("8E05") + "hi  ")
            << QByteArray(SIGNAL(OnHelpMessage(quint8, tduomenys)))
            << QStringList{"5", QString::fromLatin1(
                                    (QByteArray("hi  ") + QByteArray(43, '\0')).toHex(' '))};
        QTest::newRow("0x8F BE16")
            << QByteArray::fromHex("8F1F90") << QByteArray(SIGNAL(OnTCPServerPort(quint16)))
            << QStringList{"8080"};
        QTest::newRow("0x90 indexed text")
            << (QByteArray::fromHex("9007") + "Hello" + QByteArray(45, ' '))
            << QByteArray(SIGNAL(OnAdditionalSMSText(qint32, QByteArray)))
            << QStringList{"7", text("Hello")};
        QTest::newRow("0x96 no number")
            << QByteArray::fromHex("960481")
            << QByteArray(SIGNAL(OnPhoneNumberAdditionalCR(quint8, quint8, QByteArray)))
            << QStringList{"4", "129", ""};
        QTest::newRow("0x97 key") << (QByteArray::fromHex("9701") + "0123456789ABCDEF")
                                  << QByteArray(SIGNAL(OnAES128Key(quint8, QByteArray)))
                                  << QStringList{"1", text("0123456789ABCDEF")};
        QTest::newRow("0x98 two BE32")
            << QByteArray::fromHex("98000000010000000A")
            << QByteArray(SIGNAL(OnAlarmSettings(quint32, quint32))) << QStringList{"1", "10"};
        QTest::newRow("0x9F map page")
            << (QByteArray::fromHex("9F02") + QByteArray(32, '\x07'))
            << QByteArray(SIGNAL(OnParametersMap(quint8, tduomenys)))
            << QStringList{"2", QString::fromLatin1(QByteArray(32, '\x07').toHex(' '))};
        QTest::newRow("0xA1 auto start")
            << (QByteArray::fromHex("A1") + QByteArray(48, '\x05'))
            << QByteArray(SIGNAL(OnAutoStartParameters(tduomenys)))
            << QStringList{QString::fromLatin1(QByteArray(48, '\x05').toHex(' '))};
    }
    void responseDecoding() {
        QFETCH(QByteArray, block);
        QFETCH(QByteArray, signal);
        QFETCH(QStringList, args);
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy spy(&f.Link, signal.constData());
        QVERIFY(spy.isValid());
        f.Module.Send(StatusWithBlock(0x01, block));
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(Describe(spy[0]), args);
        // Answers outside a read sequence mark the last read as suspect.
        QVERIFY(f.Link.KlaidaNuskaitant());
    }

    void memoryBlocksCarryTheWholeBlockAndStayOutOfTheSequence() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy memory(&f.Link, &TRV5K::OnMemoryData);
        f.Module.Send(StatusWithBlock(0x01, QByteArray::fromHex("91AABB")));
        QTRY_COMPARE(memory.size(), 1);
        const tduomenys block = memory[0][0].value<tduomenys>();
        QCOMPARE(block.size(), std::size_t(62));
        QCOMPARE(block[0], std::uint8_t(0x01));
        QCOMPARE(block[1], std::uint8_t(0x91));
        QCOMPARE(block[2], std::uint8_t(0xAA));
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    void unknownCodesAndEventsWithoutReceiversDoNothing() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy page(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        f.Link.Nuskaitymas();
        QTRY_COMPARE(f.Module.Received.size(), 1);
        f.Module.Send(StatusWithBlock(0x01, QByteArray::fromHex("9A01")));
        f.Module.Send(StatusWithBlock(0x02, QByteArray::fromHex("A0")));
        f.Module.Send(StatusWithBlock(0x03, QByteArray::fromHex("87"))); // no receiver
        TLinkFixture::Settle(20);
        QVERIFY(f.Link.VykstaNuskaitymas());
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    void aFailingReceiverCostsOnlyThatReport() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        int calls = 0;
        connect(&f.Link, &TRV5K::OnRV5KFlags, this, [&](quint32) {
            ++calls;
            throw std::runtime_error("receiver failed");
        });
        QSignalSpy zone(&f.Link, &TRV5K::OnZoneStatus);
        f.Module.Send(StatusWithBlock(0x01, QByteArray::fromHex("9E00000001")));
        f.Module.Send(QByteArray::fromHex("402564 00000009"));
        QTRY_COMPARE(zone.size(), 1);
        QCOMPARE(calls, 1);
        QVERIFY(!f.Link.KlaidaNuskaitant()); // the answer never reached the sequence
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestReports)
#include "tst_trv5k_reports.moc"
