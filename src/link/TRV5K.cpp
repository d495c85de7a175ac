#include "TRV5K.h"

#include "FirmwareVersion.h"
#include "InputReport.h"
#include "ModuleRequests.h"
#include "ResponseDispatch.h"
#include "SendGate.h"

#include <QTimer>

namespace {
constexpr int SequenceWatchdogMs = 5000;
constexpr int FramedReportsBeforeForcedSend = 2;
constexpr std::size_t TemplateHeaderBytes = 16;
constexpr std::size_t TemplateCountAt = 1;
} // namespace

using namespace ModuleRequests;

TRV5K::TRV5K(THidLayer* hidLayer, QObject* parent) : QObject(parent), Hid(hidLayer) {
    Creating = true;
    BusyFlag = false;
    connect(Hid, &THidLayer::DevicesChanged, this, &TRV5K::OnDevicesChanged);
    connect(Hid, &THidLayer::DeviceUnplugged, this, &TRV5K::OnDeviceUnplugged);
    Creating = false;

    Gate = new TSendGate(this);
    Watchdog = new QTimer(this);
    Watchdog->setSingleShot(true);
    Watchdog->setInterval(SequenceWatchdogMs);
    Watchdog->setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% early
    connect(Watchdog, &QTimer::timeout, this, &TRV5K::OnWatchdog);
    PendingLimit = new QTimer(this);
    PendingLimit->setSingleShot(true);
    PendingLimit->setInterval(TSendGate::BusyLimitMs);
    connect(PendingLimit, &QTimer::timeout, this, [this] {
        PendingForced = true;
        WritePending(true);
    });
    // Every change the gate looks at may let a queued step out.
    connect(Gate, &TSendGate::Woken, this, [this] { WritePending(PendingForced); });

    // The HID layer may have raised its first notice before this link existed;
    // look once when the event loop runs so a module present at start is found.
    QTimer::singleShot(0, this, &TRV5K::OnDevicesChanged);
}

TRV5K::~TRV5K() {
    if (Device != 0) {
        Watchdog->stop();
        Hid->SetInputHandler(Device, nullptr);
        Hid->ReleaseDevice(Device);
    }
}

void TRV5K::SetClosing() {
    IsClosing = true;
    Watchdog->stop();
    PendingLimit->stop();
    Pending.reset();
    Gate->Close();
}

// --- discovery and connection ---------------------------------------------

void TRV5K::OnDevicesChanged() {
    if (Creating || Device != 0)
        return;
    Hid->EnumerateDevices([this](quint16 vendorId, quint16 productId, int position) {
        // One module at a time: further matching devices are left alone.
        if (Device == 0 && vendorId == VendorId && productId == ProductId) {
            Device = Hid->AcquireDevice(position);
            if (Device != 0) {
                DoConnect();
                Hid->SetInputHandler(
                    Device, [this](quint8, const QByteArray& data) { ProcessInputReport(data); });
            }
        }
        return true;
    });
}

void TRV5K::OnDeviceUnplugged(HidDeviceId device, quint16 vendorId, quint16 productId) {
    // Only the module this link holds; another module with the same ids
    // going away must not take the held one down with it.
    if (device == 0 || device != Device || vendorId != VendorId || productId != ProductId)
        return;
    DoDisconnect();
    Device = 0;
    Hid->ReleaseDevice(device);
}

void TRV5K::DoConnect() {
    IsConnected = true;
    JustConnected = true;
    NothingNew = false;
    const THidDeviceStrings strings = Hid->ReadDeviceStrings(Device);
    Serial = strings.SerialNumber.toLocal8Bit().trimmed();
    Product = strings.Product.toLocal8Bit();
    Firmware = FirmwareVersionFromName(Product);
    emit OnConnect();
}

void TRV5K::DoDisconnect() {
    IsConnected = false;
    MonitoringFlag = false;
    ModuleErrorFlag = false;
    BusyFlag = false;
    Serial.clear();
    Product.clear();
    Firmware = 0;
    Pending.reset();
    Gate->Wake();
    emit OnDisconnect();
}

// --- sending ----------------------------------------------------------------

void TRV5K::SendModuleCommand(const tduomenys& command) {
    if (IsRecording) {
        tduomenys record(ArraySize, 0);
        CopyInto(record, command, 0);
        record[0] |= 0x80; // a recorded write reads back as the module's report
        Template.insert(Template.end(), record.begin(), record.end());
        ++Template[TemplateCountAt];
        return;
    }
    if (!IsConnected)
        return;
    ReportsSeen = 0;
    Gate->WaitUntil([this] { return !MayWrite() || GateOpen(true); }, TSendGate::BusyLimitMs);
    WriteAndPause(FramedReport(command));
}

void TRV5K::SendRawReport(const tduomenys& array) {
    if (!IsConnected)
        return;
    Gate->WaitUntil([this] { return !MayWrite() || GateOpen(false); }, TSendGate::BusyLimitMs);
    WriteAndPause(RawReport(array));
}

bool TRV5K::GateOpen(bool framed) const {
    if (Gate->Pausing())
        return false;
    // A module that keeps reporting busy still gets a framed command after
    // two further reports.
    return !BusyFlag || (framed && ReportsSeen >= FramedReportsBeforeForcedSend);
}

void TRV5K::Write(const QByteArray& report) {
    BusyFlag = true;
    Hid->WriteOutputReport(Device, report);
    Gate->StartPause();
}

void TRV5K::WriteAndPause(const QByteArray& report) {
    // The busy limit may have run out behind another writer's pause.
    Gate->WaitUntil([this] { return !MayWrite() || !Gate->Pausing(); });
    if (!MayWrite())
        return;
    Write(report);
    // This write's own pause: queued sequence steps may restart the gate's
    // pause meanwhile, and the caller need not wait for those.
    Gate->WaitUntil([this] { return !MayWrite(); }, TSendGate::PauseMs);
}

void TRV5K::QueueReport(const QByteArray& report, bool framed) {
    Pending = TPendingReport{report, framed};
    PendingForced = false;
    if (framed)
        ReportsSeen = 0;
    PendingLimit->start();
    WritePending();
}

void TRV5K::WritePending(bool limitReached) {
    if (!Pending)
        return;
    if (!MayWrite()) {
        Pending.reset();
        PendingLimit->stop();
        return;
    }
    if (Gate->Pausing() || !(limitReached || GateOpen(Pending->Framed)))
        return;
    const QByteArray report = Pending->Report;
    Pending.reset();
    PendingLimit->stop();
    PendingForced = false;
    Write(report);
}

void TRV5K::SendMemoryCommand(const tduomenys& arguments) {
    if (!IsConnected)
        return;
    SendRawReport(MemoryArray(arguments));
}

// --- requests -----------------------------------------------------------------
// Every request is dropped while no module is connected, but framed ones are
// still recorded in template mode.

void TRV5K::SetPhoneNumber(quint8 slot, quint8 flags, const QByteArray& number) {
    SendModuleCommand(ModuleRequests::SetPhoneNumber(slot, flags, number));
}
void TRV5K::SetSMSPSTNCR(quint32 value) {
    SendModuleCommand(ModuleRequests::SetSMSPSTNCR(value));
}
void TRV5K::SelectVoicePage(quint16 page, quint16 pageCount) {
    SendModuleCommand(ModuleRequests::SelectVoicePage(page, pageCount));
}
void TRV5K::WriteVoiceChunk(quint8 chunkIndex, const tduomenys& data) {
    SendModuleCommand(ModuleRequests::WriteVoiceChunk(chunkIndex, data));
}
void TRV5K::SetPhoneNumberAdditionalCR(quint8 slot, quint8 flags) {
    SendModuleCommand(ModuleRequests::SetPhoneNumberAdditionalCR(slot, flags));
}
void TRV5K::EndBatch() {
    SendModuleCommand(ModuleRequests::EndBatch());
}
void TRV5K::SendUSBPassword(const QByteArray& password) {
    SendModuleCommand(USBPassword(password));
}
void TRV5K::ReadSMSPhrase(quint8 phraseNumber) {
    SendModuleCommand(ModuleRequests::ReadSMSPhrase(phraseNumber));
}
void TRV5K::GetMemoryInfo() {
    SendModuleCommand(ModuleRequests::GetMemoryInfo());
}
void TRV5K::SendPageCRC(quint16 page, quint8 check) {
    SendModuleCommand(ModuleRequests::SendPageCRC(page, check));
}
void TRV5K::ReadParametersMap(quint8 block) {
    SendModuleCommand(ModuleRequests::ReadParametersMap(block));
}

void TRV5K::ReadMapPage(quint8 page) {
    SendMemoryCommand(MemoryRequest(CodeMapPage, page));
}
void TRV5K::GetWriteProg(quint8 index) {
    SendMemoryCommand(MemoryRequest(CodeWriteProg, index));
}
void TRV5K::GetFNandNN(quint8 a, quint8 b) {
    SendMemoryCommand(MemoryRequest(CodeFnAndNn, a, b));
}
void TRV5K::GetGrPgr(quint16 number) {
    SendMemoryCommand(ModuleRequests::GetGrPgr(number));
}
void TRV5K::SetFN_NN(quint8 fn, quint8 nn) {
    SendMemoryCommand(MemoryRequest(CodeSetFnNn, fn, nn));
}
void TRV5K::RestoreRV5KDefaults() {
    SendMemoryCommand(RestoreDefaults());
}
void TRV5K::ResetCar() {
    SendMemoryCommand(MemoryRequest(CodeSetFnNn, FnResetCar, 0x02));
}
void TRV5K::SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) {
    SendMemoryCommand(ModuleRequests::SetPIN(p1, p2, p3, p4));
}
void TRV5K::SetCar(quint8 a, quint8 b) {
    SendMemoryCommand(MemoryRequest(CodeSetCar, a, b));
}
void TRV5K::GetZoneStatus() {
    SendRawReport(ModuleRequests::GetZoneStatus());
}

// --- input reports ------------------------------------------------------------

void TRV5K::ProcessInputReport(const QByteArray& data) {
    using namespace InputReport;
    try {
        const TKind kind = KindOf(data);
        if (HasStatusByte(data)) {
            const TStatus status = DecodeStatus(ByteAt(data, StatusByteIndex));
            BusyFlag = status.Busy;
            // Replies carry their reply code in the status byte's place; its
            // low bits would read as "monitoring" and "locked" and raise a
            // password box for a module that is not locked. Only the busy bit
            // (clear in every reply code) is taken from them.
            if (kind != TKind::CanMemory && kind != TKind::ZoneStatus) {
                ModuleErrorFlag = status.ModuleError;
                MonitoringFlag = status.Monitoring;
                LockedFlag = status.Locked;
            }
        }
        switch (kind) {
        case TKind::Status: {
            if (MonitoringFlag) {
                const TStateBlock state = DecodeStateBlock(data);
                emit OnState(state.MC55iFlags, state.MC55iCR, state.MC55iSR, state.TCPSR,
                             state.OutBufMessCount, state.SentCounter);
                if (HasReceiver(&TRV5K::OnUsart) && state.UsartToggle != LastUsartToggle) {
                    LastUsartToggle = state.UsartToggle;
                    emit OnUsart(state.UsartText, state.OutGoing);
                }
            }
            const quint8 toggle = DecodeStatus(ByteAt(data, StatusByteIndex)).ResponseToggle;
            NothingNew = toggle == LastResponseToggle && !JustConnected;
            if (toggle != LastResponseToggle) {
                LastResponseToggle = toggle;
                // The first report after connecting only tells the toggle's value.
                if (!JustConnected)
                    DispatchResponse(*this, ResponseBlock(data));
            }
            break;
        }
        case TKind::CanMemory:
            HandleCanMemoryReply(data);
            break;
        case TKind::ZoneStatus:
            emit OnZoneStatus(ZoneStatusValue(data));
            break;
        case TKind::Other:
            break;
        }
        JustConnected = false;
        ++ReportsSeen;
    } catch (...) {
        // A receiver's failure costs only the rest of this report.
    }
    Gate->Wake();
}

void TRV5K::HandleCanMemoryReply(const QByteArray& data) {
    const InputReport::TMemoryReply reply = InputReport::DecodeMemoryReply(data);
    if (reply.Code == CodeMapPage) {
        // An error reply too: its index 0x65 tells the map reader the list ended.
        if (HasReceiver(&TRV5K::OnRV5KFNMemoryMap)) {
            emit OnRV5KFNMemoryMap(reply.PageIndex, reply.Data);
            SequenceAnswer(CodeMapPage, reply.PageIndex);
        }
    }
    if (reply.IsError)
        return;
    switch (reply.Code) {
    case CodeFnAndNn:
        emit OnFNandNN(reply.Data[0], reply.Data[1]);
        break;
    case CodeWriteProg:
        emit OnWriteProg(reply.Data);
        SequenceAnswer(CodeWriteProg, 0);
        break;
    case CodeProgCount:
        emit OnReadProgCnt(quint16(reply.Data[0] << 8 | reply.Data[1]));
        SequenceAnswer(CodeProgCount, 0);
        break;
    case CodeGrPgr:
        emit OnReadProg(reply.Data);
        break;
    default:
        break;
    }
}

// --- read sequence ------------------------------------------------------------

void TRV5K::Nuskaitymas() {
    const TReadSequence::Request first = Sequence.Start();
    Watchdog->start();
    SendSequenceStep(first.Code, first.Index);
}

void TRV5K::ResetFlags() {
    Sequence.Reset();
}

void TRV5K::SequenceAnswer(quint8 code, quint8 index) {
    const TReadSequence::Next next = Sequence.Answer(code, index);
    if (next.StopWatchdog)
        Watchdog->stop();
    if (next.RestartWatchdog)
        Watchdog->start();
    // The next step goes out when the gate opens, without waiting here: the
    // report that carried this answer is processed to its end first, and the
    // steps do not pile up as nested waits.
    if (next.Send)
        QueueReport(RawReport(MemoryArray(MemoryRequest(next.Send->Code, next.Send->Index))),
                    false);
    if (next.EndBatch) {
        if (IsRecording)
            SendModuleCommand(ModuleRequests::EndBatch());
        else
            QueueReport(FramedReport(ModuleRequests::EndBatch()), true);
    }
}

void TRV5K::SendSequenceStep(quint8 code, quint8 index) {
    SendMemoryCommand(MemoryRequest(code, index));
}

void TRV5K::OnWatchdog() {
    const TReadSequence::Next next = Sequence.WatchdogFired();
    Watchdog->stop();
    if (next.EndBatch)
        EndBatch();
}

// --- template mode ------------------------------------------------------------

void TRV5K::StartTemplate() {
    Template.assign(TemplateHeaderBytes, 0);
    Template[0] = 4;
    Template[1] = 0;
    Template[2] = ArraySize;
    IsRecording = true;
}

void TRV5K::StopTemplate() {
    IsRecording = false;
    Template.clear();
}

void TRV5K::ReplayResponse(const tduomenys& block) {
    try {
        DispatchResponse(*this, block);
    } catch (...) {
    }
}
