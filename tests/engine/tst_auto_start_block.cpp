// The automatic engine start block decoded: each list's boundaries, the
// temperature in two's complement, the weekday times, a short block.

#include "engine/AutoStartBlock.h"

#include <QtTest>

using namespace AutoStartBlock;

namespace {
tduomenys Block(std::initializer_list<std::pair<std::size_t, quint8>> bytes) {
    tduomenys block(BlockSize, 0);
    for (const auto& [at, value] : bytes)
        block[at] = value;
    return block;
}
} // namespace

class TestAutoStartBlock : public QObject {
    Q_OBJECT
private slots:
    void listBoundaries_data() {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("item"); // -1: none, the list stays as it was
        QTest::newRow("run time 4 min") << int(PeriodicRunTimeAt) << 4 << -1;
        QTest::newRow("run time 5 min") << int(PeriodicRunTimeAt) << 5 << 0;
        QTest::newRow("run time 45 min") << int(ClockRunTimeAt) << 45 << 40;
        QTest::newRow("run time 46 min") << int(ClockRunTimeAt) << 46 << -1;
        QTest::newRow("period 1 h") << int(PeriodAt) << 1 << -1;
        QTest::newRow("period 2 h") << int(PeriodAt) << 2 << 0;
        QTest::newRow("period 24 h") << int(PeriodAt) << 24 << 22;
        QTest::newRow("period 25 h") << int(PeriodAt) << 25 << -1;
        QTest::newRow("+3 degrees") << int(TemperatureAt) << 3 << -1;
        QTest::newRow("0 degrees") << int(TemperatureAt) << 0 << 0;
        QTest::newRow("-1 degree") << int(TemperatureAt) << 0xFF << 1;
        QTest::newRow("-25 degrees") << int(TemperatureAt) << 256 - 25 << 25;
        QTest::newRow("-26 degrees") << int(TemperatureAt) << 256 - 26 << -1;
        QTest::newRow("voltage 99") << int(VoltageAt) << 99 << -1;
        QTest::newRow("voltage 100") << int(VoltageAt) << 100 << 0;
        QTest::newRow("voltage 125") << int(VoltageAt) << 125 << 25;
        QTest::newRow("voltage 126") << int(VoltageAt) << 126 << -1;
    }
    void listBoundaries() {
        QFETCH(int, at);
        QFETCH(int, byte);
        QFETCH(int, item);
        const TDecoded decoded = Decode(Block({{std::size_t(at), quint8(byte)}}));
        std::optional<int> found;
        switch (std::size_t(at)) {
        case PeriodicRunTimeAt:
            found = decoded.RunTime[Periodic];
            break;
        case ClockRunTimeAt:
            found = decoded.RunTime[AlarmClock];
            break;
        case PeriodAt:
            found = decoded.Period;
            break;
        case TemperatureAt:
            found = decoded.Temperature;
            break;
        case VoltageAt:
            found = decoded.Voltage;
            break;
        }
        QCOMPARE(found.value_or(-1), item);
    }

    void itemTexts() {
        QCOMPARE(Items(RunTimeList).first(), QStringLiteral("5"));
        QCOMPARE(Items(RunTimeList).last(), QStringLiteral("45"));
        QCOMPARE(Items(PeriodList).size(), 23);
        QCOMPARE(TemperatureItems().mid(0, 3), (QStringList{"0", "-1", "-2"}));
        QCOMPARE(TemperatureItems().last(), QStringLiteral("-25"));
        const QStringList volts = VoltageItems();
        QCOMPARE(volts.size(), 26);
        QCOMPARE(volts.mid(0, 2), (QStringList{"10", "10,1"}));
        QCOMPARE(volts[10], QStringLiteral("11"));
        QCOMPARE(volts.last(), QStringLiteral("12,5"));
    }

    void weekdays_data() {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("valid");
        QTest::newRow("23:59") << 23 << 59 << true;
        QTest::newRow("00:00") << 0 << 0 << true;
        QTest::newRow("hour 24") << 24 << 0 << false;
        QTest::newRow("minute 60") << 12 << 60 << false;
        QTest::newRow("0xFF") << 0xFF << 0xFF << false;
    }
    void weekdays() {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(bool, valid);
        // Sunday, the last of the seven.
        const std::size_t at = FirstWeekdayAt + 2 * 6;
        const TDecoded decoded = Decode(Block({{at, quint8(hour)}, {at + 1, quint8(minute)}}));
        const TWeekday& sunday = decoded.Weekdays[6];
        QCOMPARE(sunday.Valid, valid);
        if (valid) {
            QCOMPARE(sunday.Hour, hour);
            QCOMPARE(sunday.Minute, minute);
        }
    }

    void enableFlags() {
        const TDecoded decoded = Decode(Block({{EnableFlagsAt, 0xF5}}));
        QCOMPARE(decoded.Enabled, (std::array<bool, 4>{true, false, true, false}));
    }

    // A block short of its 48 bytes reads the missing ones as 0: nothing
    // crashes, and what is there is taken.
    void shortBlock() {
        const TDecoded empty = Decode({});
        QVERIFY(!empty.Enabled[Periodic]);
        QVERIFY(!empty.Period);
        QCOMPARE(empty.Temperature.value_or(-1), 0);
        const TDecoded some = Decode({0x01, 0, 0, 0, 10, 3});
        QVERIFY(some.Enabled[Periodic]);
        QCOMPARE(some.RunTime[Periodic].value_or(-1), 5);
        QCOMPARE(some.Period.value_or(-1), 1);
        QVERIFY(some.Weekdays[0].Valid); // 00:00 from the missing bytes
    }
};

QTEST_GUILESS_MAIN(TestAutoStartBlock)
#include "tst_auto_start_block.moc"
