// Simulator profiles: any bytes give either a profile within the documented
// limits or a non-blank reason, never both and never neither.

#include "FuzzCheck.h"
#include "sim/SimBaseProfile.h"

namespace {
void CheckModule(const TSimProfile& module) {
    FUZZ_CHECK(module.Map.size() <= 128 && module.Defaults.size() <= 128,
               "at most 128 slots in the map and the defaults");
    FUZZ_CHECK(module.WriteProgram.size() <= 255, "at most 255 write-program bytes");
    FUZZ_CHECK(module.Password.size() <= 16, "a password of at most 16 characters");
    FUZZ_CHECK(!module.StartLocked || !module.Password.isEmpty(),
               "only a module with a password starts locked");
    for (const TSimResponseBlock& block : module.Responses)
        FUZZ_CHECK(block.Payload.size() <= 60, "a response payload fits a report");
    FUZZ_CHECK(module.LatencyMs >= 0 && module.LatencyMs <= 60000, "latency within its range");
    FUZZ_CHECK(module.StatusIntervalMs >= 1 && module.StatusIntervalMs <= 60000,
               "status interval within its range");
    FUZZ_CHECK(module.GarbageEvery >= 0, "garbage period is not negative");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<TSimSetup> setup = TSimSetup::FromJson(json, &error);
    FUZZ_CHECK(setup.has_value() != !error.trimmed().isEmpty(),
               "a profile or a reason, never both and never neither");
    if (!setup)
        return 0;
    if (setup->UsbModule)
        CheckModule(*setup->UsbModule);
    if (setup->Base) {
        FUZZ_CHECK(setup->Base->BusyMs >= 0, "base busy time is not negative");
        for (const TSimRadioModuleProfile& module : setup->Base->Modules) {
            FUZZ_CHECK(module.RadioSerial <= 0xFFFFFF, "a radio serial of 24 bits");
            CheckModule(module.Memory);
        }
    }
    return 0;
}
