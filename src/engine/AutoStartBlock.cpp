#include "AutoStartBlock.h"

#include <QStringList>

namespace AutoStartBlock {
namespace {
quint8 At(const tduomenys& block, std::size_t pos) {
    return pos < block.size() ? block[pos] : 0;
}

// Item of a list whose item i stands for First + i, or none.
std::optional<int> Item(const TList& list, int value) {
    const int index = value - list.First;
    if (index >= 0 && index < list.Count)
        return index;
    return std::nullopt;
}
} // namespace

TDecoded Decode(const tduomenys& block) {
    TDecoded decoded;
    const quint8 flags = At(block, EnableFlagsAt);
    for (int section = 0; section < SectionCount; ++section)
        decoded.Enabled[std::size_t(section)] = (flags >> section) & 1;
    const std::size_t runTimes[SectionCount] = {PeriodicRunTimeAt, TemperatureRunTimeAt,
                                                BatteryRunTimeAt, ClockRunTimeAt};
    for (int section = 0; section < SectionCount; ++section)
        decoded.RunTime[std::size_t(section)] =
            Item(RunTimeList, At(block, runTimes[std::size_t(section)]));
    decoded.Period = Item(PeriodList, At(block, PeriodAt));
    // The byte holds the temperature in two's complement; its negation
    // modulo 256 is the item (0 gives item 0, -1 item 1, +3 item 253: none).
    const int negated = (256 - At(block, TemperatureAt)) % 256;
    if (negated < TemperatureList.Count)
        decoded.Temperature = negated;
    decoded.Voltage = Item(VoltageList, At(block, VoltageAt));
    for (int day = 0; day < WeekdayCount; ++day) {
        const int hour = At(block, FirstWeekdayAt + 2 * std::size_t(day));
        const int minute = At(block, FirstWeekdayAt + 2 * std::size_t(day) + 1);
        TWeekday& weekday = decoded.Weekdays[std::size_t(day)];
        weekday.Valid = hour <= 23 && minute <= 59;
        if (weekday.Valid) {
            weekday.Hour = hour;
            weekday.Minute = minute;
        }
    }
    return decoded;
}

QStringList Items(const TList& list) {
    QStringList items;
    for (int i = 0; i < list.Count; ++i)
        items << QString::number(list.First + i);
    return items;
}

QStringList TemperatureItems() {
    QStringList items;
    for (int i = 0; i < TemperatureList.Count; ++i)
        items << QString::number(-i);
    return items;
}

QStringList VoltageItems() {
    // Whole volts without ",0"; the separator is always a comma.
    QStringList items;
    for (int i = 0; i < VoltageList.Count; ++i) {
        const int tenths = VoltageList.First + i;
        items << (tenths % 10 == 0 ? QString::number(tenths / 10)
                                   : QStringLiteral("%1,%2").arg(tenths / 10).arg(tenths % 10));
    }
    return items;
}
} // namespace AutoStartBlock
