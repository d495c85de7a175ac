#include "THFLatcher.h"

#include "BaseFrames.h"
#include "BaseReport.h"
#include "link/SendGate.h"

#include <QScopeGuard>
#include <QTimer>

using namespace BaseFrames;

namespace {
// A base that keeps reporting busy after taking a relay does not hold the
// sender for ever.
constexpr int OutcomeLimitMs = THFLatcher::BusyLimitMs;

QTimer* PreciseTimer(QObject* parent, int ms, bool singleShot) {
    auto* timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(ms);
    timer->setSingleShot(singleShot);
    return timer;
}
} // namespace

THFLatcher::THFLatcher(THidLayer* hidLayer, QObject* parent)
    : QObject(parent), Hid(hidLayer), Gate(new TSendGate(this)),
      PacingTimer(PreciseTimer(this, PacingMs, true)),
      ResendTimer(PreciseTimer(this, ResendMs, false)),
      ReadWatchdog(PreciseTimer(this, ReadWatchdogMs, true)),
      StepTimer(PreciseTimer(this, 0, true)) {
    connect(Hid, &THidLayer::DevicesChanged, this, &THFLatcher::OnDevicesChanged);
    connect(Hid, &THidLayer::DeviceUnplugged, this, &THFLatcher::OnDeviceUnplugged);
    connect(PacingTimer, &QTimer::timeout, Gate, &TSendGate::Wake);
    connect(ResendTimer, &QTimer::timeout, this, &THFLatcher::OnResendTimer);
    connect(ReadWatchdog, &QTimer::timeout, this, &THFLatcher::OnReadWatchdog);
    connect(StepTimer, &QTimer::timeout, this, &THFLatcher::SendQueuedStep);
    // Look once when the event loop runs, so that a base present at start is
    // found after the receivers have been bound.
    QTimer::singleShot(0, this, &THFLatcher::OnDevicesChanged);
}

THFLatcher::~THFLatcher() {
    if (Device != 0) {
        Hid->SetInputHandler(Device, nullptr);
        Hid->ReleaseDevice(Device);
    }
}

// --- discovery and connection ---------------------------------------------------

void THFLatcher::OnDevicesChanged() {
    if (IsClosing)
        return;
    if (Device != 0) {
        // Every device change tells the receivers again that the base is there.
        emit OnConnect();
        return;
    }
    Hid->EnumerateDevices([this](quint16 vendorId, quint16 productId, int position) {
        // One base at a time: a second one plugged in is left alone.
        if (Device == 0 && vendorId == VendorId && productId == ProductId) {
            Device = Hid->AcquireDevice(position);
            if (Device != 0) {
                IsConnected = true;
                // A new device has reported nothing yet.
                BusyFlag = false;
                RelayFailedFlag = false;
                emit OnConnect();
                if (Device != 0)
                    Hid->SetInputHandler(Device, [this](quint8, const QByteArray& data) {
                        ProcessInputReport(data);
                    });
            }
        }
        return true;
    });
}

void THFLatcher::OnDeviceUnplugged(HidDeviceId device, quint16 vendorId, quint16 productId) {
    if (device == 0 || device != Device || vendorId != VendorId || productId != ProductId)
        return;
    IsConnected = false;
    Gate->Wake();
    emit OnDisconnect();
    Device = 0;
    Hid->ReleaseDevice(device);
}

// --- writing ------------------------------------------------------------------------

bool THFLatcher::WriteFrame(const QByteArray& frame) {
    if (!MayWrite())
        return false;
    const bool free = Gate->WaitUntil(
        [this] { return !MayWrite() || (!BusyFlag && !PacingTimer->isActive()); }, BusyLimitMs);
    if (!MayWrite() || !free)
        return false; // dropped: the base stayed busy
    Hid->WriteOutputReport(Device, OutputReport(frame));
    PacingTimer->start(PacingMs);
    Gate->WaitUntil([this] { return !MayWrite() || !PacingTimer->isActive(); });
    return true;
}

bool THFLatcher::WaitUntilWritable(int limitMs) {
    if (!SetPendingFlag)
        return MayWrite();
    Gate->WaitUntil([this] { return !SetPendingFlag || !MayWrite(); }, limitMs);
    return !SetPendingFlag && MayWrite();
}

void THFLatcher::SetClosing() {
    IsClosing = true;
    ResendTimer->stop();
    ReadWatchdog->stop();
    StepTimer->stop();
    QueuedStep.reset();
    Gate->Close();
}

void THFLatcher::SetBaseSerNum(quint64 value) {
    WriteFrame(BaseFrames::SetBaseSerNum(value));
}
void THFLatcher::UseCommonAddress(bool on) {
    WriteFrame(BaseFrames::UseCommonAddress(on));
}
void THFLatcher::IjungiSkaityma() {
    WriteFrame(BaseFrames::IjungiSkaityma());
}
void THFLatcher::IsjungiSkaityma() {
    WriteFrame(BaseFrames::IsjungiSkaityma());
}
void THFLatcher::FillCANBuf(quint8 n, const tduomenys& data) {
    WriteFrame(BaseFrames::FillCANBuf(n, data));
}
void THFLatcher::SendCANBuf(quint8 n) {
    WriteFrame(BaseFrames::SendCANBuf(n));
}
void THFLatcher::ResetCheckSumm() {
    WriteFrame(BaseFrames::ResetCheckSumm());
}
void THFLatcher::CheckCheckSum() {
    WriteFrame(BaseFrames::CheckCheckSum());
}
void THFLatcher::SetCanDataBuffer(quint8 n, const tduomenys& data, bool withLength) {
    WriteFrame(BaseFrames::SetCanDataBuffer(n, data, withLength));
}
void THFLatcher::SendCANDataBuffer(quint8 n, bool indexed) {
    WriteFrame(BaseFrames::SendCANDataBuffer(n, indexed));
}
void THFLatcher::IjungiOSCRezima(quint8 v) {
    WriteFrame(BaseFrames::IjungiOSCRezima(v));
}

// --- relaying -----------------------------------------------------------------------

void THFLatcher::SendRVCommand(const tduomenys& payload, int length, bool expectReply) {
    if (!MayWrite())
        return;
    const tduomenys request(payload.begin(),
                            payload.begin() + qBound(0, length, int(payload.size())));
    const QByteArray frame = RelayFrame(request);
    ResendTimer->stop();
    ++RelayDepth;
    // A sequence step that came due meanwhile goes out once this relay is through.
    const auto done = qScopeGuard([this] {
        if (--RelayDepth == 0 && QueuedStep && !IsClosing)
            StepTimer->start();
    });
    for (int pass = 0; pass < RelayPasses; ++pass) {
        LastRequest = request;
        if (expectReply)
            ResendTimer->start();
        TraceLines.append(QString::fromLatin1(SentLine(frame, Resends)));
        if (!WriteFrame(frame))
            return; // dropped or gone; the resend timer may try again
        Gate->WaitUntil([this] { return RelayFailedFlag || !BusyFlag || !MayWrite(); },
                        OutcomeLimitMs);
        if (IsClosing || !(expectReply && (RelayFailedFlag || !IsConnected)))
            return;
    }
}

void THFLatcher::OnResendTimer() {
    ResendTimer->stop();
    if (IsClosing)
        return;
    if (Resends >= MaxResends) {
        Resends = 0;
        return;
    }
    ++Resends;
    const tduomenys request = LastRequest;
    SendRVCommand(request, int(request.size()), true);
}

void THFLatcher::ReplyArrived() {
    ResendTimer->stop();
    Resends = 0;
}

void THFLatcher::Ping() {
    Relay(Request(ReqPing), false);
}
void THFLatcher::GetZoneStatus() {
    Relay(Request(ReqZoneStatus), false);
}
void THFLatcher::GetFNandNN(quint8 a, quint8 b) {
    Relay(Request(ReqFnAndNn, a, b), true);
}
void THFLatcher::SetFN_NN(quint8 fn, quint8 nn) {
    if (!IsConnected)
        return;
    SetPendingFlag = true;
    Relay(Request(ReqSetFnNn, fn, nn), true);
}
void THFLatcher::RestoreRV5KDefaults() {
    if (!IsConnected)
        return;
    SetPendingFlag = true;
    Relay(Request(ReqSetFnNn, FnRestoreDefaults, NnRestoreDefaults), true);
}
void THFLatcher::ResetCar() {
    Relay(Request(ReqSetFnNn, FnResetCar, NnResetCar), true);
}
void THFLatcher::SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) {
    Relay(BaseFrames::SetPIN(p1, p2, p3, p4), true);
}
void THFLatcher::SetCar(quint8 a, quint8 b) {
    Relay(Request(ReqSetCar, a, b), true);
}
void THFLatcher::GetGrPgr(quint16 number) {
    Relay(BaseFrames::GetGrPgr(number), true);
}
void THFLatcher::GetWriteProg(quint8 index) {
    Relay(Request(ReqWriteProg, index), true);
}

// --- read sequence --------------------------------------------------------------------

void THFLatcher::Nuskaitymas() {
    if (!MayWrite())
        return;
    const TBaseReadSequence::TRequest first = Sequence.Start();
    ReadWatchdog->start();
    Relay(Request(first.Code, first.Index), true);
}

void THFLatcher::ResetFlags() {
    Sequence.Reset();
    SetPendingFlag = false;
    // A watchdog left running would mark the next read failed.
    ReadWatchdog->stop();
    StepTimer->stop();
    QueuedStep.reset();
}

void THFLatcher::SequenceStep(quint8 code, quint8 index) {
    const TBaseReadSequence::TNext next = Sequence.Step(code, index);
    if (next.Finished)
        ReadWatchdog->stop();
    if (next.Send) {
        ReadWatchdog->start();
        QueuedStep = Request(next.Send->Code, next.Send->Index);
        StepTimer->start();
    }
}

void THFLatcher::SendQueuedStep() {
    // Never inside another relay's wait: it goes out when that one is through.
    if (!QueuedStep || RelayDepth > 0)
        return;
    const tduomenys request = *QueuedStep;
    QueuedStep.reset();
    Relay(request, true);
}

void THFLatcher::OnReadWatchdog() {
    ReadWatchdog->stop();
    Sequence.WatchdogFired();
}

void THFLatcher::getlistas(QStringList& list) {
    list = TraceLines;
    TraceLines.clear();
}

// --- input reports ----------------------------------------------------------------------

void THFLatcher::ProcessInputReport(const QByteArray& data) {
    using namespace BaseReport;
    // The flags that senders wait on first, before any receiver runs.
    const TStatus status = DecodeStatus(data);
    BusyFlag = status.Busy;
    RelayFailedFlag = status.RelayFailed;
    if (IsSetAcknowledge(data))
        SetPendingFlag = false;
    Gate->Wake();
    try {
        const bool inputState = IsInputState(data);
        if (inputState)
            emit OnInputStateArrived(ByteAt(data, 0), ByteAt(data, 1), ByteAt(data, 2),
                                     ByteAt(data, 3), ByteAt(data, 4), ByteAt(data, 5));
        // The fixed status byte of an input-state report has no room for the
        // card toggle; read as one it would raise a card that never came.
        if (!inputState && status.CardToggle != CardToggleFlag) {
            ReplyArrived();
            CardToggleFlag = status.CardToggle;
            emit OnCardDataArrived(CardNumber(data), LowBattery(data));
        }
        if (ReplyCode(data) >= FirstReplyCode) {
            TraceLines.append(QString::fromLatin1(ReceivedLine(data, Resends)));
            TraceLines.append(QString());
        }
        DispatchReply(data);
    } catch (...) {
        // A receiver's failure costs only the rest of this report.
    }
    Gate->Wake();
}

void THFLatcher::DispatchReply(const QByteArray& data) {
    using namespace BaseReport;
    const quint8 code = ReplyCode(data);
    if (code == ReqPing) {
        ReplyArrived();
        emit OnData(Bytes(data, ReplyCodePos, ReplyEventBytes));
        return;
    }
    if (IsSetAcknowledge(data)) {
        ReplyArrived();
        SetPendingFlag = false;
        return;
    }
    if (!HasEndMark(data))
        return;
    switch (code) {
    case ReqZoneStatus:
        ReplyArrived();
        emit OnZoneStatus(ZoneStatus(data));
        break;
    case ReqFnAndNn:
        ReplyArrived();
        emit OnFNandNN(ByteAt(data, ReplyDataPos), ByteAt(data, ReplyDataPos + 1));
        break;
    case ReqGrPgr:
        ReplyArrived();
        emit OnReadProg(Bytes(data, ReplyDataPos, ReplyDataSize));
        break;
    case ReqWriteProg:
        ReplyArrived();
        emit OnWriteProg(Bytes(data, ReplyDataPos, ReplyDataSize));
        SequenceStep(code, 0);
        break;
    case ReqProgCount:
        ReplyArrived();
        emit OnReadProgCnt(ProgramCount(data));
        SequenceStep(code, 0);
        break;
    case ReqMapPage: {
        ReplyArrived();
        const quint8 count = ByteAt(data, MapCountPos);
        const quint8 index = ByteAt(data, MapIndexPos);
        // Without a receiver the page is lost, and so is the rest of the map.
        if (HasReceiver(&THFLatcher::OnHFRV5KFNMap)) {
            emit OnHFRV5KFNMap(count, index, Bytes(data, MapDataPos, MapPageBytes));
            SequenceStep(code, TBaseReadSequence::MapPageStep(index, count));
        }
        break;
    }
    default:
        break;
    }
}
