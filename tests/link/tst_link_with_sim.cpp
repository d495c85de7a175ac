// The module link against the simulated module: whole reads, writes that
// change the module, and the faults a real module on a bad cable shows.
#include "SideBySideMain.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
TSimProfile DemoProfile() {
    QString error;
    const auto profile = TSimProfile::LoadFile(
        qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/demo.json", &error);
    if (!profile)
        qFatal("%s", qPrintable(error));
    return *profile;
}

struct TSimFixture {
    explicit TSimFixture(const TSimProfile& profile) : Module(profile) {}
    TSimHidBus Bus;
    TSimRv5kModule Module;
    TRV5K Link{&Bus};
    QList<quint8> Pages;
    QList<tduomenys> PageData;

    bool Connect() {
        QObject::connect(&Link, &TRV5K::OnRV5KFNMemoryMap, &Link,
                         [this](quint8 idx, const tduomenys& data) {
                             Pages << idx;
                             PageData << data;
                         });
        QSignalSpy connected(&Link, &TRV5K::OnConnect);
        Bus.Plug(&Module);
        if (!connected.wait(2000))
            return false;
        QTest::qWait(80); // the first status report sets the toggle
        return true;
    }
    // Starts a read and waits until it has ended one way or the other.
    bool Read(int timeoutMs = 8000) {
        Link.Nuskaitymas();
        QElapsedTimer clock;
        clock.start();
        while (Link.VykstaNuskaitymas() && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return !Link.VykstaNuskaitymas();
    }
    std::uint8_t NnOf(quint8 fn) const {
        for (const auto& [f, n] : Module.Map())
            if (f == fn)
                return n;
        return 0;
    }
};
} // namespace

class TestLinkWithSim : public QObject {
    Q_OBJECT
private slots:
    void readsTheWholeFunctionList() {
        const TSimProfile profile = DemoProfile();
        TSimFixture f(profile);
        QSignalSpy writeProg(&f.Link, &TRV5K::OnWriteProg);
        QSignalSpy count(&f.Link, &TRV5K::OnReadProgCnt);
        QSignalSpy autoStart(&f.Link, &TRV5K::OnAutoStartParameters);
        QVERIFY(f.Connect());
        QCOMPARE(f.Link.FirmwareVersion(), 612);
        QCOMPARE(f.Link.SerialNumber(), QByteArray("RV5K00123456"));
        QVERIFY(f.Read());
        QVERIFY(!f.Link.KlaidaNuskaitant());
        QCOMPARE(f.Pages.size(), 16);
        for (int page = 0; page < 16; ++page) {
            QCOMPARE(f.Pages[page], quint8(page));
            for (int i = 0; i < 8; ++i) {
                const std::size_t slot = std::size_t(page * 8 + i);
                const quint8 expected = slot < profile.Map.size() ? profile.Map[slot].first : 0;
                QCOMPARE(f.PageData[page][std::size_t(i)], expected);
            }
        }
        QCOMPARE(writeProg.size(), 1);
        QCOMPARE(count.size(), 1);
        QCOMPARE(count[0][0].value<quint16>(), quint16(profile.Programs.size()));
        QCOMPARE(autoStart.size(), 1); // the module's block sent when it was opened
        // Ended with EndBatch.
        QTRY_COMPARE(f.Module.ReceivedReports().last().left(4), QByteArray::fromHex("00200041"));
    }

    void writesChangeTheModule() {
        TSimFixture f(DemoProfile());
        QVERIFY(f.Connect());
        QSignalSpy value(&f.Link, &TRV5K::OnFNandNN);
        f.Link.SetFN_NN(0x12, 4);
        f.Link.SetPIN(5, 6, 7, 8);
        f.Link.SetCar(21, 2);
        QTRY_COMPARE(f.NnOf(0x12), std::uint8_t(4));
        QTRY_COMPARE(f.NnOf(0x04), std::uint8_t(8));
        QCOMPARE(f.NnOf(0x06), std::uint8_t(21));
        QCOMPARE(f.NnOf(0x07), std::uint8_t(2));
        f.Link.GetFNandNN(0x12, 0);
        QTRY_COMPARE(value.size(), 1);
        QCOMPARE(value[0][1].value<quint8>(), quint8(4));
        f.Link.ResetCar();
        QTRY_COMPARE(f.NnOf(0x06), std::uint8_t(0xFF));
        f.Link.RestoreRV5KDefaults();
        QTRY_COMPARE(f.NnOf(0x12), std::uint8_t(1));
    }

    void zoneStatusAndMonitoring() {
        TSimProfile profile = DemoProfile();
        profile.Monitoring = true;
        profile.SentOnConnect.clear(); // a response block would overlap the state block
        profile.UsartScript = {{true, "AT+CSQ"}, {false, "+CSQ: 20,0"}};
        TSimFixture f(profile);
        QSignalSpy usart(&f.Link, &TRV5K::OnUsart);
        QSignalSpy state(&f.Link, &TRV5K::OnState);
        QSignalSpy zone(&f.Link, &TRV5K::OnZoneStatus);
        QVERIFY(f.Connect());
        f.Link.GetZoneStatus();
        QTRY_COMPARE(zone.size(), 1);
        QCOMPARE(zone[0][0].value<quint32>(), profile.ZoneStatus);
        QTRY_VERIFY_WITH_TIMEOUT(usart.size() >= 2, 3000);
        QVERIFY(f.Link.Monitoring());
        QVERIFY(!state.isEmpty());
        QCOMPARE(usart[0][0].toByteArray() + usart[1][0].toByteArray(),
                 usart[0][1].toBool() ? QByteArray("AT+CSQ+CSQ: 20,0")
                                      : QByteArray("+CSQ: 20,0AT+CSQ"));
    }

    void lockedModuleOpensWithItsPassword() {
        TSimProfile profile = DemoProfile();
        profile.Password = "1234";
        profile.StartLocked = true;
        TSimFixture f(profile);
        QVERIFY(f.Connect());
        QVERIFY(f.Link.Locked());
        f.Link.SendUSBPassword("4321");
        QTest::qWait(150);
        QVERIFY(f.Link.Locked());
        f.Link.SendUSBPassword("1234");
        QTRY_VERIFY(!f.Link.Locked());
        QVERIFY(f.Read());
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("readFails");
        QTest::newRow("latency") << "latency" << false;
        QTest::newRow("garbage between the answers") << "garbage" << false;
        QTest::newRow("an answer dropped") << "drop" << true;
        QTest::newRow("stuck busy") << "busy" << true;
        QTest::newRow("unplugged mid-read") << "unplug" << true;
    }
    void faults() {
        QFETCH(QString, fault);
        QFETCH(bool, readFails);
        TSimProfile profile = DemoProfile();
        profile.SentOnConnect.clear();
        if (fault == "latency")
            profile.LatencyMs = 15;
        if (fault == "garbage")
            profile.GarbageEvery = 2;
        if (fault == "drop")
            profile.DropAnswerTo = {6};
        if (fault == "busy")
            profile.StayBusy = true;
        if (fault == "unplug")
            profile.UnplugAfterReports = 8;
        TSimFixture f(profile);
        QSignalSpy disconnected(&f.Link, &TRV5K::OnDisconnect);
        QVERIFY(f.Connect());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(f.Read(12000)); // every read ends
        QCOMPARE(f.Link.KlaidaNuskaitant(), readFails);
        if (readFails)
            QVERIFY(clock.elapsed() >= 4900); // by the watchdog
        if (fault == "unplug")
            QCOMPARE(disconnected.size(), 1);
        // The link goes on working after a failed read.
        f.Link.ResetFlags();
        QVERIFY(!f.Link.KlaidaNuskaitant());
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestLinkWithSim)
#include "tst_link_with_sim.moc"
