#include "ConnectRead.h"

#include "Session.h"
#include "Shell.h"

#include <QTimer>

TConnectRead::TConnectRead(TSession& session, IShell& shell, QObject* parent)
    : QObject(parent), Session(session), Shell(shell), StartTimer(new QTimer(this)),
      Watcher(new QTimer(this)) {
    StartTimer->setSingleShot(true);
    StartTimer->setInterval(StartDelayMs);
    connect(StartTimer, &QTimer::timeout, this, &TConnectRead::Run);
    Watcher->setInterval(WatchIntervalMs);
    connect(Watcher, &QTimer::timeout, this, &TConnectRead::Watch);
}

void TConnectRead::Start(bool forced) {
    if (Halted)
        return;
    // A forced read asked for while a read on connect is pending stays forced.
    Forced = forced || (Forced && StartTimer->isActive());
    StatusPollsLeft = StatusPolls;
    StartTimer->start(StartDelayMs);
}

void TConnectRead::Halt() {
    Halted = true;
    StartTimer->stop();
    Watcher->stop();
}

bool TConnectRead::Pending() const {
    return StartTimer->isActive();
}

bool TConnectRead::Watching() const {
    return Watcher->isActive();
}

void TConnectRead::Run() {
    StartTimer->stop();
    if (Halted)
        return;
    Session.ClearReadError();
    ILink* link = Session.Active();
    const bool read = link && (Session.ReadOnConnect() || Forced);

    if (read && !link->StatusKnown() && StatusPollsLeft > 0) {
        // The module's first report, which tells whether it is locked, may
        // still be on its way: a read sent to a locked module goes unanswered.
        --StatusPollsLeft;
        StartTimer->start(StatusPollMs);
        return;
    }
    if (read && link->Locked()) {
        Session.SetModuleState(TModuleState::Locked);
        // The password box waits for the messages of the language file.
        if (Shell.LanguagesLoaded()) {
            QByteArray password;
            if (!Shell.AskUsbPassword(&password)) {
                Forced = false;
                Session.SetModuleState(TModuleState::Locked);
                Shell.ShowSettingsPanel(false);
                Shell.SetWindowEnabled(true);
                return;
            }
            // The module may have gone while the box was open.
            if (ILink* asked = Session.Active()) {
                asked->SendUSBPassword(password);
                Session.WaitWithEvents(PasswordWaitMs);
            }
        }
        // Ask again until the module reports itself unlocked.
        StatusPollsLeft = StatusPolls;
        if (!Halted)
            StartTimer->start(Shell.LanguagesLoaded() ? StartDelayMs : LanguagePollMs);
        return;
    }
    Forced = false;
    if (read) {
        Session.WaitForInstallations();
        // The module may have gone during the wait.
        if (ILink* current = Session.Active())
            StartRead(*current);
    }
    // The watcher may have put the progress window up meanwhile; the window
    // stays disabled under it until it hides.
    if (!Shell.ProgressShowing())
        Shell.SetWindowEnabled(true);
}

void TConnectRead::StartRead(ILink& link) {
    if (Halted)
        return;
    // The watcher goes first: the link's sends keep events flowing while they
    // wait, and the read may go on for its whole length before the call returns.
    Watcher->start();
    Session.SetModuleState(TModuleState::Reading);
    link.Nuskaitymas();
}

void TConnectRead::Watch() {
    if (Halted) {
        Watcher->stop();
        return;
    }
    // A module that went away has not been read, whatever stage the read was in.
    const bool gone = Session.ActiveLink() == 0;
    if (!gone && (Session.LinkBusy() != 0 || Session.ReadingMap())) {
        if (!Shell.ProgressShowing())
            Shell.ShowProgress(ReadingMessage);
        return;
    }
    Watcher->stop();
    if (gone || Session.ReadFailed()) {
        Fail();
        return;
    }
    Shell.HideProgress();
    Shell.ShowSettingsPanel(true);
    Session.SetModuleState(TModuleState::Read);
    emit Succeeded();
}

void TConnectRead::Fail() {
    Session.ResetFlags();
    Session.SetModuleState(Session.ActiveLink() == 0 ? TModuleState::None
                                                     : TModuleState::ReadFailed);
    Shell.ShowSettingsPanel(false);
    Shell.HideProgress();
    Shell.ShowMessageBox(Shell.Message(ReadFailedMessage), Box::Error, Box::Ok);
}
