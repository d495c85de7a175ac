#include "ConnectRead.h"

#include "ReadHost.h"
#include "link/ModuleOperations.h"

#include <QTimer>

namespace {
constexpr int ModuleLink = 1;
constexpr int BaseLink = 2;
constexpr int ReadingMessage = 41;
} // namespace

TConnectRead::TConnectRead(IReadHost& host, QObject* parent)
    : QObject(parent), Host(host), StartTimer(new QTimer(this)), Watcher(new QTimer(this)) {
    StartTimer->setSingleShot(true);
    StartTimer->setInterval(StartDelayMs);
    connect(StartTimer, &QTimer::timeout, this, &TConnectRead::Run);
    Watcher->setInterval(WatchIntervalMs);
    connect(Watcher, &QTimer::timeout, this, &TConnectRead::Watch);
}

void TConnectRead::Start() {
    if (Halted)
        return;
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
    Host.ClearReadError();
    const int link = Host.ActiveLink();
    const bool readOnConnect = Host.ReadOnConnectChecked();

    if (link == ModuleLink && readOnConnect && !Host.ModuleStatusKnown() && StatusPollsLeft > 0) {
        // The module's first report, which tells whether it is locked, may
        // still be on its way: a read sent to a locked module goes unanswered.
        --StatusPollsLeft;
        StartTimer->start(StatusPollMs);
        return;
    }
    if (link == ModuleLink && readOnConnect) {
        if (Host.ModuleLocked()) {
            // The password box waits for the messages of the language file.
            if (Host.LanguagesAreLoaded()) {
                QByteArray password;
                if (!Host.AskUsbPassword(&password)) {
                    Host.ShowSettingsPanel(false);
                    Host.EnableWindow();
                    return;
                }
                Host.SendUsbPassword(password);
                Host.WaitWithEvents(PasswordWaitMs);
            }
            // Ask again until the module reports itself unlocked.
            Start();
        } else {
            Host.WaitForInstallations();
            // The module may have gone during the wait.
            if (IModuleOperations* operations = Host.ActiveLinkObject())
                StartRead(*operations);
        }
    } else if (link == BaseLink && readOnConnect) {
        if (IModuleOperations* operations = Host.ActiveLinkObject())
            StartRead(*operations);
    }
    // The watcher may have put the progress window up meanwhile; the window
    // stays disabled under it until it hides.
    if (!Host.ProgressShowing())
        Host.EnableWindow();
}

void TConnectRead::StartRead(IModuleOperations& operations) {
    if (Halted)
        return;
    // The watcher goes first: the link's sends keep events flowing while they
    // wait, and the read may go on for its whole length before the call returns.
    Watcher->start();
    operations.Nuskaitymas();
}

void TConnectRead::Watch() {
    if (Host.LinkBusy() != 0 || Host.MapBeingRead()) {
        if (!Host.ProgressShowing())
            Host.ShowProgress(ReadingMessage);
        return;
    }
    Watcher->stop();
    // A module that went away in the middle has not been read either.
    if (Host.ReadFailed() || Host.ActiveLink() == 0) {
        Host.ResetReadFlags();
        Host.ShowSettingsPanel(false);
        Host.HideProgress();
        Host.ShowReadFailed();
        return;
    }
    Host.HideProgress();
    Host.ShowSettingsPanel(true);
    Host.ReadSucceeded();
}
