// The read sequence: its steps on the wire, its ending, its watchdog.
#include "LinkFixture.h"
#include "SideBySideMain.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {
QByteArray Step(quint8 code, quint8 index) {
    return Report(QByteArray("00103F") + QByteArray(1, char(code)).toHex() +
                  QByteArray(1, char(index)).toHex());
}
} // namespace

class TestSequence : public QObject {
    Q_OBJECT
private:
    // Answers every step of the sequence like a well-behaved module.
    static void AnswerSteps(TLinkFixture& f) {
        QObject::connect(
            &f.Module, &TScriptedDevice::Wrote, &f.Module, [&f](const QByteArray& report) {
                if (quint8(report[1]) != 0x10)
                    return;
                const quint8 code = quint8(report[3]);
                const quint8 index = quint8(report[4]);
                if (code == 0x39)
                    f.Module.MemoryReply(0x39, QByteArray(8, char(0x20 + index)), index);
                else if (code == 0x3B)
                    f.Module.MemoryReply(0x3B, QByteArray::fromHex("0004 01020304"), 0);
                else if (code == 0x3C)
                    f.Module.MemoryReply(0x3C, QByteArray::fromHex("0009"), 0);
            });
    }

private slots:
    void fullReadAsksEveryPageThenProgramDataAndEnds() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        AnswerSteps(f);
        f.Link.Nuskaitymas();
        QVERIFY(f.Link.VykstaNuskaitymas()); // the steps go on from the event loop
        QTRY_COMPARE(f.Module.Received.size(), 19);
        for (int page = 0; page < 16; ++page)
            QCOMPARE(f.Module.Received[page], Step(0x39, page));
        QCOMPARE(f.Module.Received[16], Step(0x3B, 0));
        QCOMPARE(f.Module.Received[17], Step(0x3C, 0));
        QCOMPARE(f.Module.Received[18], Report("00200041"));
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QVERIFY(!f.Link.KlaidaNuskaitant());
        QCOMPARE(pages.size(), 16);
        TLinkFixture::Settle(30);
        QCOMPARE(f.Module.Received.size(), 19);
    }

    void errorReplyToAPageMovesOnToTheNextStep() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        f.Link.Nuskaitymas();
        f.Module.MemoryReply(0x39, QByteArray(8, '\0'), 0x65);
        QTRY_COMPARE(f.Module.Received.size(), 2);
        QCOMPARE(f.Module.Received[1], Step(0x3B, 0));
    }

    void pageFifteenMovesOnAndProgramCountEnds() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        f.Link.Nuskaitymas();
        f.Module.MemoryReply(0x39, QByteArray(8, '\0'), 15);
        QTRY_COMPARE(f.Module.Received.size(), 2);
        QCOMPARE(f.Module.Received[1], Step(0x3B, 0));
        f.Module.MemoryReply(0x3C, QByteArray(8, '\0'), 0);
        QTRY_COMPARE(f.Module.Received.size(), 3);
        QCOMPARE(f.Module.Received[2], Report("00200041"));
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    void pagesWithoutReceiverDoNotDriveTheSequence() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        f.Link.Nuskaitymas();
        f.Module.MemoryReply(0x39, QByteArray(8, '\0'), 0);
        TLinkFixture::Settle(30);
        QCOMPARE(f.Module.Received.size(), 1);
        // The write-program and count answers drive it even without receivers.
        f.Module.MemoryReply(0x3B, QByteArray(8, '\0'), 0);
        QTRY_COMPARE(f.Module.Received.size(), 2);
        QCOMPARE(f.Module.Received[1], Step(0x3C, 0));
    }

    void responseDuringTheSequenceEndsItAsFailed() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        QSignalSpy apn(&f.Link, &TRV5K::OnAPN);
        f.Link.Nuskaitymas();
        f.Module.Send(QByteArray::fromHex("200001 81") + "internet");
        QTRY_COMPARE(apn.size(), 1);
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QVERIFY(f.Link.KlaidaNuskaitant());
        // Later answers no longer move it.
        f.Module.MemoryReply(0x39, QByteArray(8, '\0'), 0);
        TLinkFixture::Settle(30);
        QCOMPARE(f.Module.Received.size(), 1);
        f.Link.ResetFlags();
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    void watchdogEndsAStalledSequence() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        QElapsedTimer clock;
        clock.start();
        f.Link.Nuskaitymas();
        f.Module.MemoryReply(0x39, QByteArray(8, '\0'), 0); // restarts the watchdog
        QTRY_COMPARE(f.Module.Received.size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(f.Link.KlaidaNuskaitant(), 7000);
        QVERIFY2(clock.elapsed() >= 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!f.Link.VykstaNuskaitymas());
        QCOMPARE(f.Module.Received.size(), 3);
        QCOMPARE(f.Module.Received[2], Report("00200041"));
    }

    void unplugDuringTheSequenceEndsByTheWatchdog() {
        TLinkFixture f;
        QVERIFY(f.Connect());
        QSignalSpy pages(&f.Link, &TRV5K::OnRV5KFNMemoryMap);
        f.Link.Nuskaitymas();
        f.Bus.Unplug(&f.Module);
        QVERIFY(f.Link.VykstaNuskaitymas()); // a disconnect leaves the sequence alone
        QTRY_VERIFY_WITH_TIMEOUT(f.Link.KlaidaNuskaitant(), 7000);
        QCOMPARE(f.Module.Received.size(), 1);
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestSequence)
#include "tst_trv5k_sequence.moc"
