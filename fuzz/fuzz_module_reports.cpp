// Input report sequences of the module through the link's own decoding and
// dispatch (TRV5K::ProcessInputReport), with a read sequence running and a
// receiver on every event. Promises: nothing crashes or leaks, no event
// carries more bytes than an input report holds, and no text more than the
// report that carried it.

#include "FuzzCheck.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"

namespace {
constexpr int ReportBytes = 64; // data bytes of the module's input report

struct TChecker {
    QByteArray Report; // the report being processed

    void Bytes(const tduomenys& payload) const {
        FUZZ_CHECK(payload.size() <= std::size_t(ReportBytes),
                   "an event carries no more than one report holds");
    }
    void Text(const QByteArray& text) const {
        FUZZ_CHECK(text.size() <= Report.size(), "a text comes from the report's own bytes");
    }
    void Wide(const QString& text) const {
        FUZZ_CHECK(text.size() * 2 <= ReportBytes, "a wide text fits one report");
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureFuzzApplication();
    TSimHidBus bus;
    TRV5K link(&bus);
    TChecker check;
    const auto text = [&check](const QByteArray& t) { check.Text(t); };
    const auto bytes = [&check](const tduomenys& b) { check.Bytes(b); };
    const auto indexedText = [&check](auto, auto, const QByteArray& t) { check.Text(t); };
    const auto indexedBytes = [&check](quint8, const tduomenys& b) { check.Bytes(b); };
    const auto none = [](auto...) {};

    QObject::connect(&link, &TRV5K::OnUsart,
                     [&check](const QByteArray& t, bool) { check.Text(t); });
    QObject::connect(&link, &TRV5K::OnState, none);
    QObject::connect(&link, &TRV5K::OnZoneStatus, none);
    for (auto signal :
         {&TRV5K::OnConnectionString, &TRV5K::OnAPN, &TRV5K::OnUserName, &TRV5K::OnPassword,
          &TRV5K::OnConnectionString2, &TRV5K::OnConnectionString3, &TRV5K::OnUSBPassword,
          &TRV5K::OnReserveAccount, &TRV5K::OnTLXOwnerName, &TRV5K::OnModemData, &TRV5K::OnSIMpin})
        QObject::connect(&link, signal, text);
    for (auto signal :
         {&TRV5K::OnTCPCR, &TRV5K::OnRV5KCR, &TRV5K::OnSMSPSTNCR, &TRV5K::OnRV5KFlags})
        QObject::connect(&link, signal, none);
    QObject::connect(&link, &TRV5K::OnTCPServerPort, none);
    QObject::connect(&link, &TRV5K::OnHeartBeatEventId, none);
    QObject::connect(&link, &TRV5K::OnAlarmSettings, none);
    QObject::connect(&link, &TRV5K::OnPhoneNumber, indexedText);
    QObject::connect(&link, &TRV5K::OnPhoneNumberAdditionalCR, indexedText);
    QObject::connect(&link, &TRV5K::OnAES128Key,
                     [&check](quint8, const QByteArray& t) { check.Text(t); });
    QObject::connect(&link, &TRV5K::OnAdditionalSMSText,
                     [&check](qint32, const QByteArray& t) { check.Text(t); });
    QObject::connect(&link, &TRV5K::OnSMSPhrase,
                     [&check](quint8, quint8, const QString& t) { check.Wide(t); });
    QObject::connect(&link, &TRV5K::OnHelpMessage, indexedBytes);
    QObject::connect(&link, &TRV5K::OnParametersMap, indexedBytes);
    QObject::connect(&link, &TRV5K::OnRV5KFNMemoryMap, indexedBytes);
    for (auto signal : {&TRV5K::OnMemoryData, &TRV5K::OnPageRCRArrived,
                        &TRV5K::OnAutoStartParameters, &TRV5K::OnWriteProg, &TRV5K::OnReadProg})
        QObject::connect(&link, signal, bytes);
    QObject::connect(&link, &TRV5K::OnFNandNN, none);
    QObject::connect(&link, &TRV5K::OnReadProgCnt, none);

    // The read sequence runs, so its answers are taken too; with no module
    // on the bus its requests go nowhere.
    link.Nuskaitymas();
    ForEachReport(data, size, ReportBytes, [&](const QByteArray& report) {
        check.Report = report;
        link.ProcessInputReport(report);
    });
    return 0;
}
