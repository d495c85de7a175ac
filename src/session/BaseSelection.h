#pragma once
// Finding a module through the radio base and choosing it: the scan of
// "Scan for another base", the ping that finds modules and then watches the
// chosen one, the list of modules found, the version check, the addressing of
// the chosen module and the ping time-out. The window parts (the "Select base"
// list, the labels) are the shell's; this object tells it what to show.

#include "base/THFBase.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QTimer;
class IShell;
class THFLatcher;
class TSession;

class TBaseSelection : public QObject {
    Q_OBJECT
public:
    static constexpr int ScanPingMs = 1000;
    static constexpr int ReplyPingMs = 200;
    static constexpr int KeepAliveMs = 10000;
    static constexpr int PingTimeOutMs = 3000;
    static constexpr int SelectDelayMs = 1;
    static constexpr int RepliesPerScan = 6; // the scan ends with the sixth reply
    static constexpr int OldestRefusedVersion = 602;
    static constexpr int AddressDelayMs = 20;
    static constexpr int SerialShift = 256; // the base takes the serial number times 256
    // A scan without any reply for this long (ten scan pings) is told to the user.
    static constexpr int NothingFoundMs = 10000;
    static constexpr int NothingFoundMessage = 102;

    TBaseSelection(THFLatcher* link, TSession& session, IShell& shell, QObject* parent = nullptr);

    // "Scan for another base".
    void Scan();
    // A module over USB took over: forget the module chosen through the base.
    void ForgetModule();
    // The end of a read cycle through the base: the keep-alive starts over.
    void RestartPing();
    // The program is closing: no ping goes out any more.
    void Stop();
    // The base link carries module operations.
    bool BaseActive() const;

    const QList<THFBase>& BaseList() const { return Found; }
    int ReplyCount() const { return Replies; }
    bool ModuleSelected() const { return Selected; }
    bool SelectionPending() const { return Pending; }
    bool PingTimedOut() const { return TimedOut; }
    // The module taken through the base (the last one chosen).
    const THFBase& ChosenModule() const { return Chosen; }
    QTimer* RV5KPingTimer() const { return PingTimer; }
    QTimer* RV5KTimeOutTimer() const { return TimeOutTimer; }
    QTimer* BaseSelectTimer() const { return SelectTimer; }
    QTimer* NothingFoundTimer() const { return NothingFoundLimit; }

signals:
    void ScanButtonVisible(bool visible);
    void ScanningVisible(bool visible); // "Scaning for bases..."
    void PingTimeOutVisible(bool visible);
    void TooOldVisible(bool visible); // "Please connect TLX2 module..."
    void ConnectionText(const QString& text);
    // The base went while it was the link in use: the settings go away.
    void BaseLost();
    // A new scan has begun: no module is chosen any more.
    void ScanStarted();
    // The scan's choice has been made: the module is taken (accepted) or
    // refused as too old.
    void ModuleChosen(bool accepted);
    // The chosen module missed its ping, or answered again after that.
    void PingTimedOutNow();
    void PingAnsweredAgain();
    // No module has answered a scan for NothingFoundMs: the window tells the
    // user what to check. Once per scan, which goes on pinging.
    void NothingFound();

private:
    void BaseConnected();
    void BaseDisconnected();
    void PingTick();
    void PingReply(const std::vector<quint8>& data);
    void PingTimeOut();
    void Select();

    THFLatcher* Link;
    TSession& Session;
    IShell& Shell;
    QTimer* PingTimer;
    QTimer* TimeOutTimer;
    QTimer* SelectTimer;
    QTimer* NothingFoundLimit;
    QList<THFBase> Found;
    THFBase Chosen;
    int Replies = 0;
    bool Selected = false;
    bool Pending = false;
    bool TimedOut = false;
};
