#pragma once
// The communicator's automatic engine start settings as the module reports
// them: one 48-byte block. Decoding gives, for every control of the page,
// either the choice the block asks for or nothing, when the byte lies outside
// what the control can show (the control then keeps what it showed).

#include "link/Bytes.h"

#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

namespace AutoStartBlock {
inline constexpr std::size_t BlockSize = 48;

// Byte offsets in the block.
inline constexpr std::size_t EnableFlagsAt = 0;
inline constexpr std::size_t PeriodicRunTimeAt = 4;
inline constexpr std::size_t PeriodAt = 5;
inline constexpr std::size_t TemperatureRunTimeAt = 8;
inline constexpr std::size_t TemperatureAt = 9;
inline constexpr std::size_t BatteryRunTimeAt = 12;
inline constexpr std::size_t VoltageAt = 13;
inline constexpr std::size_t ClockRunTimeAt = 16;
inline constexpr std::size_t FirstWeekdayAt = 17; // hour; the minute follows; 2 bytes a day

// The four ways a start comes, in the order of the enable flags' bits 0 to 3.
enum TSection { Periodic = 0, Temperature = 1, Battery = 2, AlarmClock = 3, SectionCount = 4 };
inline constexpr int WeekdayCount = 7; // Monday first

// The choice lists: item i stands for First + i (for the temperature: -i).
struct TList {
    int First;
    int Count;
};
inline constexpr TList RunTimeList{5, 41};     // minutes, "5" to "45"
inline constexpr TList PeriodList{2, 23};      // hours, "2" to "24"
inline constexpr TList TemperatureList{0, 26}; // degrees, "0" down to "-25"
inline constexpr TList VoltageList{100, 26};   // tenths of a volt, "10" to "12,5"

struct TWeekday {
    // A valid time checks the day; an invalid one clears it and keeps the
    // time the field showed (no hour and minute then).
    bool Valid = false;
    int Hour = 0;
    int Minute = 0;
};

struct TDecoded {
    std::array<bool, SectionCount> Enabled{};
    // Run-time list item per section.
    std::array<std::optional<int>, SectionCount> RunTime{};
    std::optional<int> Period;
    std::optional<int> Temperature;
    std::optional<int> Voltage;
    std::array<TWeekday, WeekdayCount> Weekdays{};
};

// A block shorter than BlockSize reads its missing bytes as 0.
TDecoded Decode(const tduomenys& block);

// The item texts of each list, as the page shows them.
QStringList Items(const TList& list);
QStringList VoltageItems();
QStringList TemperatureItems();
} // namespace AutoStartBlock
