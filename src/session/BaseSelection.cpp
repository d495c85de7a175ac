#include "BaseSelection.h"

#include "Session.h"
#include "Shell.h"
#include "base/BaseFrames.h"
#include "base/BaseReport.h"
#include "base/THFLatcher.h"

#include <QTimer>
#include <algorithm>

namespace {
// Positions in a ping reply as OnData hands it over (from the reply code).
constexpr size_t PingCodeAt = 0;
constexpr size_t PingSerialAt = 1; // 24 bits, least significant first
constexpr size_t PingMajorAt = 5;
constexpr size_t PingMinorAt = 6;
constexpr size_t PingEndMarkAt = 9;

quint8 At(const std::vector<quint8>& data, size_t pos) {
    return pos < data.size() ? data[pos] : 0;
}
} // namespace

TBaseSelection::TBaseSelection(THFLatcher* link, TSession& session, IShell& shell, QObject* parent)
    : QObject(parent), Link(link), Session(session), Shell(shell), PingTimer(new QTimer(this)),
      TimeOutTimer(new QTimer(this)), SelectTimer(new QTimer(this)),
      NothingFoundLimit(new QTimer(this)) {
    PingTimer->setInterval(ScanPingMs);
    TimeOutTimer->setSingleShot(true);
    TimeOutTimer->setInterval(PingTimeOutMs);
    SelectTimer->setSingleShot(true);
    SelectTimer->setInterval(SelectDelayMs);
    connect(PingTimer, &QTimer::timeout, this, &TBaseSelection::PingTick);
    connect(TimeOutTimer, &QTimer::timeout, this, &TBaseSelection::PingTimeOut);
    connect(SelectTimer, &QTimer::timeout, this, &TBaseSelection::Select);
    NothingFoundLimit->setSingleShot(true);
    NothingFoundLimit->setInterval(NothingFoundMs);
    connect(NothingFoundLimit, &QTimer::timeout, this, [this] {
        if (!Link->Connected() || Selected || Pending || Replies != 0 || Session.Closing())
            return;
        emit NothingFound();
        Shell.ShowMessageBox(Shell.Message(NothingFoundMessage), Box::Warning, Box::Ok);
    });
    connect(Link, &THFLatcher::OnConnect, this, &TBaseSelection::BaseConnected);
    connect(Link, &THFLatcher::OnDisconnect, this, &TBaseSelection::BaseDisconnected);
    connect(Link, &THFLatcher::OnData, this, &TBaseSelection::PingReply);
    connect(Link, &THFLatcher::KeepAliveDue, this, &TBaseSelection::RestartPing);
}

bool TBaseSelection::BaseActive() const {
    return Link->Connected() && Selected && !TimedOut;
}

void TBaseSelection::BaseConnected() {
    if (Session.ActiveLink() != 1)
        emit ScanButtonVisible(true);
}

void TBaseSelection::BaseDisconnected() {
    emit ScanButtonVisible(false);
    if (Session.ActiveLink() == 1)
        return;
    // The module stays chosen: plugged in again, the base carries on with it.
    emit BaseLost();
}

void TBaseSelection::Scan() {
    if (!Link->Connected())
        return;
    PingTimer->stop();
    emit ScanningVisible(true);
    Replies = 0;
    Found.clear();
    Session.ClearReadError();
    Selected = false;
    emit ScanStarted();
    Link->UseCommonAddress(true);
    PingTimer->setInterval(ScanPingMs);
    PingTimer->start();
    NothingFoundLimit->start();
    Link->ClearListas();
}

void TBaseSelection::ForgetModule() {
    Selected = false;
    TimedOut = false;
    PingTimer->stop();
    TimeOutTimer->stop();
    NothingFoundLimit->stop();
}

void TBaseSelection::RestartPing() {
    PingTimer->start();
}

void TBaseSelection::Stop() {
    PingTimer->stop();
    TimeOutTimer->stop();
    SelectTimer->stop();
}

void TBaseSelection::PingTick() {
    // A ping due while another relay still waits for its outcome would nest
    // inside that wait: it is simply skipped, the timer keeps running.
    if (!Link->Connected() || Session.LinkBusy() != 0 || Session.ReadingMap() || Link->Busy() ||
        Link->Relaying() || !Shell.WindowEnabled() || Session.Closing())
        return;
    if (Selected)
        TimeOutTimer->start();
    Link->Ping();
}

void TBaseSelection::PingReply(const std::vector<quint8>& data) {
    if (At(data, PingCodeAt) != BaseFrames::ReqPing ||
        At(data, PingEndMarkAt) != BaseReport::EndMark)
        return;
    TimeOutTimer->stop();
    NothingFoundLimit->stop();
    emit PingTimeOutVisible(false);
    const bool wasTimedOut = TimedOut;
    TimedOut = false;
    PingTimer->stop();
    const qint64 serial = At(data, PingSerialAt) + At(data, PingSerialAt + 1) * 256 +
                          At(data, PingSerialAt + 2) * 65536;
    const THFBase found = THFBase::Make(At(data, PingMajorAt), At(data, PingMinorAt), serial);
    if (!Selected && !Pending) {
        const bool known = std::any_of(Found.begin(), Found.end(),
                                       [&](const THFBase& b) { return b.SameModule(found); });
        if (!known)
            Found.append(found);
        if (Replies < RepliesPerScan - 1) {
            PingTimer->setInterval(ReplyPingMs);
            PingTimer->start();
        } else {
            emit ScanningVisible(false);
            Pending = true;
            SelectTimer->start();
        }
        ++Replies;
        return;
    }
    // The keep-alive of the chosen module.
    PingTimer->start();
    if (wasTimedOut && Selected)
        emit PingAnsweredAgain();
}

void TBaseSelection::PingTimeOut() {
    emit PingTimeOutVisible(true);
    TimedOut = true;
    PingTimer->setInterval(ScanPingMs);
    PingTimer->start();
    emit PingTimedOutNow();
}

void TBaseSelection::Select() {
    SelectTimer->stop();
    if (Found.isEmpty()) {
        Pending = false;
        return;
    }
    int k = 0;
    if (Found.size() >= 2) {
        QStringList rows;
        for (const THFBase& b : Found)
            rows.append(QString::fromLatin1(b.text));
        k = Shell.ChooseModule(rows);
        if (k < 0 || k >= Found.size()) {
            Pending = false;
            return;
        }
    }
    Pending = false;
    const THFBase chosen = Found[k];
    emit ConnectionText(QString::fromLatin1(chosen.text));
    if (chosen.Version() <= OldestRefusedVersion) {
        emit TooOldVisible(true);
        emit ModuleChosen(false);
        return;
    }
    emit TooOldVisible(false);
    Selected = true;
    Chosen = chosen;
    emit ModuleChosen(true);
    Link->SetBaseSerNum(quint64(chosen.serial) * SerialShift);
    Session.WaitWithEvents(AddressDelayMs);
    Link->UseCommonAddress(false);
    PingTimer->stop();
    Session.StartConnectRead();
    PingTimer->setInterval(KeepAliveMs);
    PingTimer->start();
}
