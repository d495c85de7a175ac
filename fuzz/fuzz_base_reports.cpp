// Input report sequences of the radio base through the base link's own
// decoding and dispatch (THFLatcher::ProcessInputReport), with a receiver on
// every event. Promises: nothing crashes or leaks, no event carries more
// bytes than a base report holds, and a card number fits its five bytes.

#include "FuzzCheck.h"
#include "base/THFLatcher.h"
#include "link/hid/SimHidBus.h"

namespace {
constexpr int ReportBytes = 24; // data bytes of the base's input report
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureFuzzApplication();
    TSimHidBus bus;
    THFLatcher link(&bus);
    const auto bytes = [](const tduomenys& payload) {
        FUZZ_CHECK(payload.size() <= std::size_t(ReportBytes),
                   "an event carries no more than one report holds");
    };
    const auto none = [](auto...) {};
    for (auto signal : {&THFLatcher::OnData, &THFLatcher::OnReadProg, &THFLatcher::OnWriteProg})
        QObject::connect(&link, signal, bytes);
    QObject::connect(&link, &THFLatcher::OnHFRV5KFNMap,
                     [&bytes](quint8, quint8, const tduomenys& page) { bytes(page); });
    QObject::connect(&link, &THFLatcher::OnFNandNN, none);
    QObject::connect(&link, &THFLatcher::OnReadProgCnt, none);
    QObject::connect(&link, &THFLatcher::OnZoneStatus, none);
    QObject::connect(&link, &THFLatcher::OnInputStateArrived, none);
    QObject::connect(&link, &THFLatcher::OnCardDataArrived, [](qint64 number, bool) {
        FUZZ_CHECK(number >= 0 && number < (qint64(1) << 40), "a card number of five bytes");
    });
    ForEachReport(data, size, ReportBytes,
                  [&link](const QByteArray& report) { link.ProcessInputReport(report); });
    QStringList trace;
    link.getlistas(trace);
    return 0;
}
