#include "Diagnostics.h"

#include "base/THFLatcher.h"
#include "link/TRV5K.h"
#include "session/Session.h"

#include <QScopedValueRollback>

TDiagnostics::TDiagnostics(TSession& session, std::function<bool()> flagShown, QObject* parent)
    : QObject(parent), Session(session), FlagShown(std::move(flagShown)), Log(State.Last()) {
    if (TRV5K* link = session.UsbLink()) {
        connect(link, &TRV5K::OnState, this, &TDiagnostics::OnState);
        connect(link, &TRV5K::OnUsart, this,
                [this](const QByteArray& output, bool outGoing) { Log.OnUsart(output, outGoing); });
    }
}

void TDiagnostics::SetViews(IStatusView* status, IModemLogView* log) {
    StatusView = status;
    Log.SetView(log);
    ShowLamps();
}

void TDiagnostics::OnState(quint8 MC55iFlags, quint8 MC55iCR, quint8 MC55iSR, quint16 TCPSR,
                           quint8 OutBufMessCount, quint8 SentCounter) {
    State.OnState(MC55iFlags, MC55iCR, MC55iSR, TCPSR, OutBufMessCount, SentCounter);
    ShowLamps();
}

void TDiagnostics::ShowLamps() {
    if (StatusView)
        StatusView->ShowLamps(State.Lamps());
}

bool TDiagnostics::ExchangeBusy() const {
    // The device still carries the previous request, or a relay (a ping
    // through the base) waits for its outcome: the poll would wait behind it
    // inside this tick.
    const ILink* link = Session.Active();
    const THFLatcher* base = Session.BaseLink();
    return Polling || (link && link->Busy()) || (base && base->Relaying());
}

void TDiagnostics::StatusTick() {
    TLinkFlags flags;
    if (const TRV5K* module = Session.UsbLink())
        flags = {module->Busy(), module->Monitoring(), module->ModuleError()};
    State.Tick(flags, Session.ActiveLink() != 0);
    ShowLamps();

    ILink* link = Session.Active();
    TPollConditions conditions;
    conditions.LinkActive = link != nullptr;
    conditions.LinkBusy = Session.LinkBusy() != 0;
    conditions.ReadingMap = Session.ReadingMap();
    conditions.FlagShown = FlagShown && FlagShown();
    conditions.WindowEnabled = Session.Shell().WindowEnabled();
    conditions.ExchangeBusy = ExchangeBusy();
    if (!ZonePoll.Tick(conditions) || !link)
        return;
    // Writing waits for the device with events flowing; ticks that come
    // meanwhile must not start a second request.
    const QScopedValueRollback polling(Polling, true);
    link->GetZoneStatus();
}
