// The automatic engine start block as the module reports it, on any bytes
// (shorter or longer than the block). Promises: every choice the decoder
// gives is an item of its list; a weekday's time is given only when it is a
// time of day; the enable flags are the first byte's low four bits.

#include "FuzzCheck.h"
#include "engine/AutoStartBlock.h"

namespace {
void CheckItem(const std::optional<int>& item, const AutoStartBlock::TList& list,
               const char* promise) {
    if (item)
        FUZZ_CHECK(*item >= 0 && *item < list.Count, promise);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace AutoStartBlock;
    const tduomenys block(data, data + size);
    const TDecoded decoded = Decode(block);
    for (int section = 0; section < SectionCount; ++section) {
        CheckItem(decoded.RunTime[section], RunTimeList, "run time is an item of its list");
        const bool bit = size > EnableFlagsAt && (data[EnableFlagsAt] >> section & 1) != 0;
        FUZZ_CHECK(decoded.Enabled[section] == bit, "enable flags are the first byte's bits");
    }
    CheckItem(decoded.Period, PeriodList, "period is an item of its list");
    CheckItem(decoded.Temperature, TemperatureList, "temperature is an item of its list");
    CheckItem(decoded.Voltage, VoltageList, "voltage is an item of its list");
    for (const TWeekday& day : decoded.Weekdays)
        if (day.Valid)
            FUZZ_CHECK(day.Hour >= 0 && day.Hour <= 23 && day.Minute >= 0 && day.Minute <= 59,
                       "a checked weekday holds a time of day");
    return 0;
}
