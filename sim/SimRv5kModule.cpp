#include "SimRv5kModule.h"

#include "SimModuleMemory.h"
#include "SimProtocol.h"
#include "SimReportBuilder.h"
#include "SimUsartPlayer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <random>

using namespace SimWire;

namespace {

// How long the tool must have asked nothing before the module tells news of
// its own (the periodic blocks).
constexpr int kQuietBeforeNewsMs = 1000;

enum class TRequestKind { Framed, CanMemory, ZoneStatus };

struct TRequest {
    TRequestKind Kind = TRequestKind::Framed;
    QByteArray Bytes; // the command array or the CAN memory arguments
    int Number = 0;   // 1-based count of output reports received
};

// Tells the request kinds apart by their first data bytes; other output
// reports are not requests the module knows.
std::optional<TRequest> Classify(const QByteArray& report, int number) {
    QByteArray data = report.mid(kOutputDataPos);
    data.resize(kInputReportSize, '\0');
    const quint8 kind = quint8(data[kKindPos]);
    const quint8 subKind = quint8(data[kSubKindPos]);
    if (kind == kStatusKind && subKind == kFramedSubKind)
        return TRequest{TRequestKind::Framed, data.mid(kCommandPos, kCommandSize), number};
    if (kind == kCanMemoryKind)
        return TRequest{TRequestKind::CanMemory, data.mid(kArgsPos, kArgsSize), number};
    if (kind == kRawKind && subKind == kZoneStatusCode)
        return TRequest{TRequestKind::ZoneStatus, {}, number};
    return std::nullopt;
}

} // namespace

struct TSimRv5kModule::Impl {
    Impl(TSimRv5kModule* owner, const TSimProfile& profile)
        : Q(owner), Profile(profile), Memory(profile), Usart(profile.UsartScript),
          Random(profile.GarbageSeed), Locked(profile.StartLocked && !profile.Password.isEmpty()),
          Monitoring(profile.Monitoring), Modem(profile.ModemState) {}

    bool IsBusy() const { return Profile.StayBusy || !Queue.isEmpty(); }
    quint8 StatusByte() const;
    void Execute(const TRequest& request);
    void AnswerNext();
    void SendStatus();
    void Send(const QByteArray& report);
    bool SendOne(const QByteArray& report);
    void GoOffBus();

    TSimRv5kModule* Q;
    TSimProfile Profile;
    TSimModuleMemory Memory;
    TSimUsartPlayer Usart;
    std::mt19937 Random;
    QTimer StatusTimer;
    QTimer AnswerTimer;

    bool Listening = false;
    bool Locked = false;
    bool Monitoring = false;
    TSimModemState Modem;     // what the state block reports now
    bool Gone = false;        // pulled itself off the bus
    bool UnplugFired = false; // the unplug fault strikes once
    quint8 Toggle = 0;
    QList<TSimResponseBlock> Pending; // blocks for the next status reports
    int StatusReports = 0;            // status reports since the host listens
    QElapsedTimer SinceRequest;       // since the tool last wrote a report
    qsizetype NextPeriodic = 0;
    QList<TRequest> Queue; // requests waiting out the latency
    QList<QByteArray> Received;
    int RequestsSeen = 0;
    int ReportsSent = 0;
};

quint8 TSimRv5kModule::Impl::StatusByte() const {
    quint8 status = Toggle & kToggleMask;
    if (IsBusy())
        status |= kBusyBit;
    if (Profile.ModuleError)
        status |= kModuleErrorBit;
    if (Monitoring)
        status |= kMonitoringBit;
    if (Locked)
        status |= kLockedBit;
    return status;
}

void TSimRv5kModule::Impl::Execute(const TRequest& request) {
    // A dropped answer is lost on the way: the request itself is carried out.
    const bool answer = !Profile.DropAnswerTo.contains(request.Number);
    bool news = false;
    if (Locked) {
        // A locked module hears nothing but its password.
        if (request.Kind == TRequestKind::Framed && Memory.PasswordMatches(request.Bytes)) {
            Locked = false;
            news = true;
        }
    } else {
        switch (request.Kind) {
        case TRequestKind::Framed:
            if (auto block = Memory.FramedRequest(request.Bytes); block && answer) {
                Pending.append(*block);
                news = true;
            }
            break;
        case TRequestKind::CanMemory:
            if (auto reply = Memory.CanMemoryRequest(request.Bytes); reply && answer)
                Send(*reply);
            break;
        case TRequestKind::ZoneStatus:
            if (answer)
                Send(Memory.ZoneStatusReply());
            break;
        }
    }
    // The end of a busy spell is news as well.
    if (news || (Profile.LatencyMs > 0 && Queue.isEmpty()))
        SendStatus();
}

void TSimRv5kModule::Impl::AnswerNext() {
    if (Queue.isEmpty())
        return;
    const TRequest request = Queue.takeFirst();
    if (!Queue.isEmpty())
        AnswerTimer.start(Profile.LatencyMs);
    Execute(request);
}

void TSimRv5kModule::Impl::SendStatus() {
    if (!Listening || Gone)
        return;
    // Its own news waits while the tool is busy with it: a block that came in
    // the middle of a read would end that read.
    const bool toolQuiet = !SinceRequest.isValid() || SinceRequest.elapsed() >= kQuietBeforeNewsMs;
    if (!Locked && Profile.PeriodicEveryReports > 0 && !Profile.PeriodicBlocks.isEmpty() &&
        ++StatusReports % Profile.PeriodicEveryReports == 0 && toolQuiet) {
        Pending.append(Profile.PeriodicBlocks[NextPeriodic]);
        NextPeriodic = (NextPeriodic + 1) % Profile.PeriodicBlocks.size();
    }
    std::optional<TSimResponseBlock> response;
    if (!Locked && !Pending.isEmpty()) {
        response = Pending.takeFirst();
        Toggle = (Toggle + 1) & kToggleMask;
    }
    std::optional<TSimStateBlock> state;
    if (Monitoring) {
        Usart.NextReport(Modem);
        state = TSimStateBlock{Modem, Usart.Toggle(), Usart.FromModem(), Usart.Text()};
    }
    Send(TSimReportBuilder::StatusReport(StatusByte(), state ? &*state : nullptr,
                                         response ? &*response : nullptr));
}

void TSimRv5kModule::Impl::Send(const QByteArray& report) {
    if (Gone)
        return;
    // Noise takes the n-th place; the real report follows it, so nothing is lost.
    if (Profile.GarbageEvery > 0 && (ReportsSent + 1) % Profile.GarbageEvery == 0)
        if (!SendOne(TSimReportBuilder::Garbage(Random)))
            return;
    SendOne(report);
}

bool TSimRv5kModule::Impl::SendOne(const QByteArray& report) {
    ++ReportsSent;
    emit Q->InputReport(report);
    if (Profile.UnplugAfterReports && !UnplugFired && ReportsSent >= *Profile.UnplugAfterReports) {
        GoOffBus();
        return false;
    }
    return true;
}

void TSimRv5kModule::Impl::GoOffBus() {
    UnplugFired = true;
    Gone = true;
    StatusTimer.stop();
    AnswerTimer.stop();
    Queue.clear();
    Pending.clear();
    emit Q->UnplugRequested();
}

TSimRv5kModule::TSimRv5kModule(const TSimProfile& profile, QObject* parent)
    : TVirtualHidDevice(parent), d(new Impl(this, profile)) {
    d->StatusTimer.setInterval(qMax(1, profile.StatusIntervalMs));
    connect(&d->StatusTimer, &QTimer::timeout, this, [this] { d->SendStatus(); });
    d->AnswerTimer.setSingleShot(true);
    connect(&d->AnswerTimer, &QTimer::timeout, this, [this] { d->AnswerNext(); });
}

TSimRv5kModule::~TSimRv5kModule() {
    delete d;
}

QString TSimRv5kModule::ProductString() const {
    return d->Profile.ProductString;
}

QString TSimRv5kModule::SerialNumberString() const {
    return d->Profile.SerialNumber;
}

void TSimRv5kModule::OutputReport(const QByteArray& report) {
    d->Received.append(report);
    d->SinceRequest.start();
    const std::optional<TRequest> request = Classify(report, int(d->Received.size()));
    if (!request)
        return;
    ++d->RequestsSeen;
    if (d->Profile.StayBusy || d->Gone)
        return;
    if (d->Profile.LatencyMs <= 0) {
        d->Execute(*request);
        return;
    }
    d->Queue.append(*request);
    if (!d->AnswerTimer.isActive())
        d->AnswerTimer.start(d->Profile.LatencyMs);
}

void TSimRv5kModule::HostListening(bool listening) {
    if (listening == d->Listening)
        return;
    d->Listening = listening;
    d->Pending.clear();
    if (!listening) {
        d->StatusTimer.stop();
        return;
    }
    d->Gone = false; // plugged in again after pulling itself off
    // The first report only shows the host the current toggle; what the
    // module tells on connecting follows one block per report.
    d->SendStatus();
    if (d->Gone)
        return;
    d->Pending = d->Profile.SentOnConnect;
    d->StatusReports = 0;
    d->NextPeriodic = 0;
    d->StatusTimer.start();
}

const TSimProfile& TSimRv5kModule::Profile() const {
    return d->Profile;
}

std::vector<std::pair<quint8, quint8>> TSimRv5kModule::Map() const {
    return d->Memory.Map();
}

bool TSimRv5kModule::Locked() const {
    return d->Locked;
}

bool TSimRv5kModule::Busy() const {
    return d->IsBusy();
}

void TSimRv5kModule::SetMonitoring(bool on) {
    if (d->Monitoring == on)
        return;
    d->Monitoring = on;
    d->SendStatus();
}

void TSimRv5kModule::SetModemState(const TSimModemState& state) {
    d->Modem = state;
}

TSimModemState TSimRv5kModule::ModemState() const {
    return d->Modem;
}

void TSimRv5kModule::QueueResponse(const TSimResponseBlock& block) {
    d->Pending.append(block);
}

QList<QByteArray> TSimRv5kModule::ReceivedReports() const {
    return d->Received;
}

int TSimRv5kModule::RequestsSeen() const {
    return d->RequestsSeen;
}

int TSimRv5kModule::InputReportsSent() const {
    return d->ReportsSent;
}
