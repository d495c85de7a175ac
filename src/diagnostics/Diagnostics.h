#pragma once
// The diagnostics of the service mode on the session: the state monitor fed
// by the module link's state blocks, the modem traffic log fed by its USART
// lines, and the status timer's tick (the link lamps, the lamps off without a
// link, and the zone status poll that shows the live flag states in the
// settings tree). The window gives the timer and the views.

#include "ModemLog.h"
#include "StateMonitor.h"
#include "ZoneStatusPoll.h"

#include <QObject>
#include <functional>

class TSession;

// The "Status" group.
class IStatusView {
public:
    virtual ~IStatusView() = default;
    virtual void ShowLamps(const TStatusLamps& lamps) = 0;
};

class TDiagnostics : public QObject {
    Q_OBJECT
public:
    // flagShown tells whether a flag of the settings tree holds a value read
    // from the module (no poll before that).
    TDiagnostics(TSession& session, std::function<bool()> flagShown, QObject* parent = nullptr);

    void SetViews(IStatusView* status, IModemLogView* log);
    void SetServiceMode(bool on) { Log.SetServiceMode(on); }

    // One tick of the 200 ms status timer.
    void StatusTick();

    TStateMonitor& Monitor() { return State; }
    TModemLog& ModemLog() { return Log; }
    const TZoneStatusPoll& Poll() const { return ZonePoll; }

private:
    void OnState(quint8 MC55iFlags, quint8 MC55iCR, quint8 MC55iSR, quint16 TCPSR,
                 quint8 OutBufMessCount, quint8 SentCounter);
    void ShowLamps();
    bool ExchangeBusy() const;

    TSession& Session;
    std::function<bool()> FlagShown;
    TStateMonitor State;
    TModemLog Log;
    TZoneStatusPoll ZonePoll;
    IStatusView* StatusView = nullptr;
    bool Polling = false; // a zone status request is being written
};
