// The simulated radio base: its profiles, and how it answers at the report
// level (addressing, the common address, busy phases, failed relays).

#include "link/hid/SimHidBus.h"
#include "sim/SimBaseProfile.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRadioModule.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QString SourceFile(const QString& relative) {
    return qEnvironmentVariable("RV5K_SOURCE_DIR") + QLatin1Char('/') + relative;
}

QByteArray Relay(const QByteArray& payloadHex) {
    const QByteArray payload = QByteArray::fromHex(payloadHex);
    QByteArray report(25, '\0');
    report[1] = 0x12;
    report[2] = char(payload.size());
    report.replace(3, payload.size(), payload);
    return report;
}

QByteArray Setting(const QByteArray& hex) {
    QByteArray report(25, '\0');
    const QByteArray bytes = QByteArray::fromHex(hex);
    report.replace(1, bytes.size(), bytes);
    return report;
}
} // namespace

class TstSimBase : public QObject {
    Q_OBJECT
private slots:
    void demoProfileHasThreeModules() {
        QString error;
        const auto setup = TSimSetup::LoadFile(SourceFile("data/sim/base-demo.json"), &error);
        QVERIFY2(setup, qPrintable(error));
        QVERIFY(setup->Base);
        QCOMPARE(setup->Base->Modules.size(), 3);
        int tooOld = 0;
        for (const TSimRadioModuleProfile& m : setup->Base->Modules) {
            tooOld += m.Major * 100 + m.Minor <= 602;
            QVERIFY(!m.Memory.Map.empty());
        }
        QCOMPARE(tooOld, 1);
        QVERIFY(setup->UsbModule);
        QVERIFY(!setup->UsbModulePlugged);
    }

    void moduleProfileStillLoads() {
        QString error;
        const auto setup = TSimSetup::LoadFile(SourceFile("data/sim/demo.json"), &error);
        QVERIFY2(setup, qPrintable(error));
        QVERIFY(!setup->Base);
        QVERIFY(setup->UsbModule);
    }

    void damagedProfilesAreRefused_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown key")
            << QByteArray(R"({"base": {"bussyMs": 3}})") << "base: unknown key \"bussyMs\"";
        QTest::newRow("serial over 24 bits")
            << QByteArray(R"({"base": {"modules": [{"radioSerial": 16777216}]}})")
            << "base.modules[0].radioSerial: 16777216 is not within 0 to 16777215";
        QTest::newRow("module map damaged")
            << QByteArray(R"({"base": {"modules": [{"module": {"map": [[1, 300]]}}]}})")
            << "base.modules[0].module: map[0][1]: 300 is over 255";
        QTest::newRow("fault list")
            << QByteArray(R"({"base": {"faults": {"relayFailTo": [0]}}})")
            << "base.faults.relayFailTo[0]: 0 is not within 1 to 1000000000";
        QTest::newRow("not an object") << QByteArray("[]") << "the profile must be a JSON object";
    }
    void damagedProfilesAreRefused() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        QString got;
        QVERIFY(!TSimSetup::FromJson(json, &got));
        QCOMPARE(got, error);
    }

    // With the common address every module in range answers a ping, in
    // profile order; addressed, only the chosen one answers anything.
    void commonAddressAndAddressing() {
        TSimBaseProfile profile;
        for (quint32 serial : {11u, 22u, 33u}) {
            TSimRadioModuleProfile m;
            m.RadioSerial = serial;
            profile.Modules.append(m);
        }
        profile.Modules[2].InRange = false;
        TSimHidBus bus;
        TSimRadioBase base(profile);
        QList<QByteArray> reports;
        connect(&base, &TVirtualHidDevice::InputReport, this,
                [&](const QByteArray& r) { reports.append(r); });
        base.HostListening(true);
        base.OutputReport(Setting("010601"));
        base.OutputReport(Relay("30"));
        QTRY_COMPARE(reports.size(), 3);
        QCOMPARE(quint8(reports[0][0]), 0x80); // busy while relaying
        QCOMPARE(quint8(reports[1][1]), 0x30);
        QCOMPARE(quint8(reports[1][2]), 11);
        QCOMPARE(quint8(reports[2][2]), 22);
        QCOMPARE(quint8(reports[2][10]), 0x64);
        reports.clear();
        base.OutputReport(Setting("01010016000000")); // 22 * 256
        base.OutputReport(Setting("010600"));
        base.OutputReport(Relay("30"));
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(quint8(reports[1][2]), 22);
        reports.clear();
        base.OutputReport(Relay("1412AA"));
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(reports[1].mid(1, 2).toHex(), QByteArray("3f14"));
    }

    void failedAndLostRelays() {
        TSimBaseProfile profile;
        TSimRadioModuleProfile m;
        m.RadioSerial = 5;
        profile.Modules.append(m);
        profile.RelayFailTo = {1};
        profile.DropReplyTo = {2};
        TSimRadioBase base(profile);
        QList<QByteArray> reports;
        connect(&base, &TVirtualHidDevice::InputReport, this,
                [&](const QByteArray& r) { reports.append(r); });
        base.HostListening(true);
        base.OutputReport(Setting("010601"));
        for (int i = 0; i < 3; ++i)
            base.OutputReport(Relay("30"));
        QTRY_COMPARE(reports.size(), 6);
        QCOMPARE(quint8(reports[1][0]), 0x40); // relay 1 not carried out
        QCOMPARE(quint8(reports[3][0]), 0x00); // relay 2: idle, its reply lost
        QCOMPARE(quint8(reports[3][1]), 0x00);
        QCOMPARE(quint8(reports[5][1]), 0x30); // relay 3 answered
    }
};

QTEST_GUILESS_MAIN(TstSimBase)
#include "tst_sim_base.moc"
