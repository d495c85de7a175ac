#include "Session.h"

#include "BaseSelection.h"
#include "ConnectRead.h"
#include "base/THFLatcher.h"
#include "link/FirmwareVersion.h"
#include "link/TRV5K.h"
#include "link/hid/HidLayer.h"

#include <utility>

TSession::TSession(THidLayer* hidLayer, IShell& shell, QObject* parent)
    : QObject(parent), Ui(shell), Usb(std::make_unique<TRV5K>(hidLayer)),
      Base(std::make_unique<THFLatcher>(hidLayer)), Module(Usb.get()), Hid(hidLayer) {
    Selector = std::make_unique<TBaseSelection>(Base.get(), *this, shell);
    CreateReader();
    connect(Usb.get(), &TRV5K::OnConnect, this, &TSession::UsbConnected);
    connect(Usb.get(), &TRV5K::OnDisconnect, this, &TSession::UsbDisconnected);
    connect(Base.get(), &THFLatcher::OnConnect, this, &TSession::BaseConnected);
    connect(Base.get(), &THFLatcher::OnDisconnect, this, &TSession::BaseDisconnected);

    TBaseSelection* selection = Selector.get();
    connect(selection, &TBaseSelection::ScanButtonVisible, this, &TSession::ScanButtonVisible);
    connect(selection, &TBaseSelection::ScanningVisible, this, &TSession::ScanningVisible);
    connect(selection, &TBaseSelection::PingTimeOutVisible, this, &TSession::PingTimeOutVisible);
    connect(selection, &TBaseSelection::TooOldVisible, this, &TSession::TooOldVisible);
    connect(selection, &TBaseSelection::ConnectionText, this, &TSession::StatusText);
    connect(selection, &TBaseSelection::BaseLost, this,
            [this] { emit StatusText(NoModuleText()); });
    connect(selection, &TBaseSelection::ModuleChosen, this, &TSession::BaseModuleChosen);
    connect(selection, &TBaseSelection::ScanStarted, this, &TSession::CheckActiveLink);
    connect(selection, &TBaseSelection::PingTimedOutNow, this, &TSession::CheckActiveLink);
    connect(selection, &TBaseSelection::PingAnsweredAgain, this, &TSession::PingAnsweredAgain);
}

TSession::TSession(ILink& link, IShell& shell, QObject* parent)
    : QObject(parent), Ui(shell), Module(&link) {
    CreateReader();
}

TSession::~TSession() {
    // The selection and the reader refer to the session and the links.
    Read.reset();
    Selector.reset();
}

void TSession::CreateReader() {
    Read = std::make_unique<TConnectRead>(*this, Ui);
    connect(Read.get(), &TConnectRead::Succeeded, this, &TSession::ReadSucceeded);
}

int TSession::ActiveLink() const {
    if (Module->Connected())
        return 1;
    if (Selector && Selector->BaseActive())
        return 2;
    return 0;
}

ILink* TSession::Active() const {
    switch (ActiveLink()) {
    case 1:
        return Module;
    case 2:
        return Base.get();
    default:
        return nullptr;
    }
}

int TSession::LinkBusy() const {
    const int active = ActiveLink();
    if (active == 2 && Base->VykstaNuskaitymas())
        return 2;
    if (active == 1 && Module->VykstaNuskaitymas())
        return 1;
    return 0;
}

void TSession::MapReadStarted() {
    MapRead = true;
}

void TSession::MapReadEnded(bool failed) {
    MapRead = false;
    if (failed)
        MapReadFailed = true;
}

bool TSession::SequenceRunning() const {
    return Module->VykstaNuskaitymas() || (Base && Base->VykstaNuskaitymas());
}

bool TSession::ReadFailed() const {
    return Module->KlaidaNuskaitant() || MapReadFailed || (Base && Base->KlaidaNuskaitant());
}

void TSession::ResetFlags() {
    Module->ResetFlags();
    if (Base)
        Base->ResetFlags();
}

bool TSession::InstallationsPending() const {
    return Hid && Hid->InstallationsPending();
}

void TSession::WaitForInstallations() {
    Ui.WaitUntil([this] { return IsClosing || !InstallationsPending(); }, InstallationPollMs);
}

void TSession::WaitWithEvents(int milliseconds) {
    if (Recording() || IsClosing)
        return;
    Ui.Wait(milliseconds);
}

void TSession::StartConnectRead() {
    emit ReadRequested();
    Read->Start();
}

void TSession::ReadNow() {
    emit ReadRequested();
    Read->Start(true);
}

void TSession::SetClosing() {
    IsClosing = true;
    Read->Halt();
    if (Selector)
        Selector->Stop();
    Module->SetClosing();
    if (Base)
        Base->SetClosing();
    emit ClosingStarted();
}

QString TSession::NoModuleText() const {
    return Ui.Message(NoModuleMessage);
}

void TSession::SetModuleState(TModuleState state, int firmware) {
    State = state;
    StateFirmware = firmware;
    emit ModuleStateChanged(state, firmware);
}

QString TSession::StateText() const {
    switch (State) {
    case TModuleState::Connected:
        return Ui.Message(ConnectedMessage);
    case TModuleState::Reading:
        return Ui.Message(ReadingMessage);
    case TModuleState::Read:
        return Ui.Message(ReadMessage);
    case TModuleState::ReadFailed:
        return Ui.Message(ReadFailedMessage);
    case TModuleState::Locked:
        return Ui.Message(LockedMessage);
    case TModuleState::None:
    case TModuleState::TooOld:
        break;
    }
    return {};
}

QString TSession::TooOldText() const {
    if (State != TModuleState::TooOld)
        return {};
    return Ui.Message(TooOldMessage)
        .replace(QStringLiteral("%1"), FirmwareVersionText(StateFirmware))
        .replace(QStringLiteral("%2"), FirmwareVersionText(MinimumFirmware));
}

void TSession::UsbConnected() {
    emit PingTimeOutVisible(false);
    emit StatusText(QString::fromLocal8Bit(Usb->ProductName()) + QStringLiteral(" SN:") +
                    QString::fromLocal8Bit(Usb->SerialNumber()));
    // Whatever the pages showed belongs to another module now.
    emit ShownModuleGone();
    emit UsbModuleConnected();
    if (Usb->FirmwareVersion() < MinimumFirmware) {
        // Too old to be read: it stays connected, only the label tells.
        emit TooOldVisible(true);
        SetModuleState(TModuleState::TooOld, Usb->FirmwareVersion());
        CheckActiveLink();
        return;
    }
    emit TooOldVisible(false);
    SetModuleState(TModuleState::Connected);
    StartConnectRead();
    Selector->ForgetModule();
    emit ScanButtonVisible(false);
    CheckActiveLink();
}

void TSession::UsbDisconnected() {
    emit StatusText(NoModuleText());
    SetModuleState(TModuleState::None);
    emit ShownModuleGone();
    emit UsbModuleDisconnected();
    if (Base->Connected())
        emit ScanButtonVisible(true);
    CheckActiveLink();
}

void TSession::BaseConnected() {
    CheckActiveLink();
}

void TSession::BaseDisconnected() {
    CheckActiveLink();
}

void TSession::BaseModuleChosen(bool accepted) {
    // A module taken or refused: either way the pages showed another one.
    emit ShownModuleGone();
    SetModuleState(accepted ? TModuleState::Connected : TModuleState::TooOld,
                   accepted ? 0 : Selector->ChosenModule().Version());
    CheckActiveLink();
}

void TSession::PingAnsweredAgain() {
    CheckActiveLink();
    // Its settings were cleared when it went out of reach: read them again.
    if (ActiveLink() == 2)
        StartConnectRead();
}

void TSession::CheckActiveLink() {
    const int now = ActiveLink();
    const int before = std::exchange(LastActive, now);
    if (before == 0 || before == now)
        return;
    if (now == 0)
        SetModuleState(TModuleState::None);
    emit ActiveLinkLost();
    emit ShownModuleGone();
}
