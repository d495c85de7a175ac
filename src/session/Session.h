#pragma once
// The session: the one owner of the two links and of the choice of a module
// through the radio base. It answers which link carries the module's
// operations now (ActiveLink), whether that link's read runs (LinkBusy),
// holds the flags of the read of the function map, resets both links' read
// flags, waits (at once while a template is recorded or once closing began),
// and reads a module's settings when it connects. It tells the window what to
// show through its signals and the shell; whenever the module the window shows
// changes or goes, it says so (ShownModuleGone), so that no page keeps showing
// a module that is no longer the one the settings would be written to.

#include "Shell.h"
#include "link/Link.h"

#include <QObject>
#include <QString>
#include <memory>

class THFLatcher;
class THidLayer;
class TBaseSelection;
class TConnectRead;
class TRV5K;

// What the window says the module is doing, beside its name.
enum class TModuleState {
    None,       // no module is reachable
    Connected,  // a module is reachable; nothing is being read
    Reading,    // its settings are being read
    Read,       // its settings are shown
    ReadFailed, // the last read failed
    Locked,     // it waits for its USB password
    TooOld,     // its firmware is too old to be read
};

class TSession : public QObject {
    Q_OBJECT
public:
    static constexpr int MinimumFirmware = 603;
    static constexpr int NoModuleMessage = 26;
    // The status line's words for the module's state.
    static constexpr int ConnectedMessage = 103;
    static constexpr int ReadingMessage = 104;
    static constexpr int ReadMessage = 105;
    static constexpr int ReadFailedMessage = 106;
    static constexpr int LockedMessage = 107;
    static constexpr int TooOldMessage = 108; // %1 the version found, %2 the version needed
    static constexpr int InstallationPollMs = 100;

    // The real links on the HID layer (which the caller owns and keeps).
    TSession(THidLayer* hidLayer, IShell& shell, QObject* parent = nullptr);
    // One link given from outside serves as the module link; there is no base.
    TSession(ILink& link, IShell& shell, QObject* parent = nullptr);
    ~TSession() override;

    // 1: the module over USB, 2: a module through the base, 0: none.
    int ActiveLink() const;
    // The link that carries module operations now; none for 0.
    ILink* Active() const;
    // Non-zero while the active link's own read sequence runs.
    int LinkBusy() const;
    // The module link, connected or not: some settings go only to it.
    ILink& ModuleLink() const { return *Module; }
    // The real links and the base selection; none in a session on a given link.
    TRV5K* UsbLink() const { return Usb.get(); }
    THFLatcher* BaseLink() const { return Base.get(); }
    TBaseSelection* Selection() const { return Selector.get(); }
    TConnectRead& Reader() const { return *Read; }
    IShell& Shell() const { return Ui; }

    // The read of the function map (the map cycle keeps them up to date).
    bool ReadingMap() const { return MapRead; }
    bool ReadError() const { return MapReadFailed; }
    void MapReadStarted();
    void MapReadEnded(bool failed);
    void ClearReadError() { MapReadFailed = false; }
    // Either link's own read sequence runs.
    bool SequenceRunning() const;
    // Either link's last read sequence failed, or the read of the map did.
    bool ReadFailed() const;
    // Both links back to idle.
    void ResetFlags();
    // Device installations are still pending (a read waits for them).
    bool InstallationsPending() const;
    // Waits, with events flowing, until none is pending (or closing began).
    void WaitForInstallations();

    // A template is being recorded: framed requests are kept, not sent.
    bool Recording() const { return Module->Recording(); }
    // Keeps events flowing for the interval; at once while recording or closing.
    void WaitWithEvents(int milliseconds);

    // "Read MQR-CAN settings on connect".
    bool ReadOnConnect() const { return ReadOnConnectChecked; }
    void SetReadOnConnect(bool on) { ReadOnConnectChecked = on; }
    // Reads the module's settings a moment later, as on connect.
    void StartConnectRead();
    // The installer asked for a read: it goes on whatever the box says.
    void ReadNow();

    // From now on nothing is written, every wait ends and no read starts.
    void SetClosing();
    bool Closing() const { return IsClosing; }

signals:
    // The connection-state label of the status bar.
    void StatusText(const QString& text);
    // "Please connect TLX2 module...": the module found is too old to be read.
    void TooOldVisible(bool visible);
    void ScanButtonVisible(bool visible);
    void ScanningVisible(bool visible);
    void PingTimeOutVisible(bool visible);
    // The pages no longer show the module the settings would go to: clear
    // them and hide the settings panel.
    void ShownModuleGone();
    // The link that carried the module's operations is no longer the one:
    // whatever was being read through it has ended.
    void ActiveLinkLost();
    // The module over USB has connected or gone (the pages of its own kind
    // follow it).
    void UsbModuleConnected();
    void UsbModuleDisconnected();
    // A read of the settings has been asked for (it starts a moment later).
    void ReadRequested();
    // A read of the settings ended well and the panel shows them.
    void ReadSucceeded();
    // What the module is doing now; firmware: the version a too-old module
    // reports (as 602 for v6.02), else 0.
    void ModuleStateChanged(TModuleState state, int firmware);
    // Closing began: a question or list still open ends now, unanswered.
    void ClosingStarted();

private:
    void CreateReader();
    void UsbConnected();
    void UsbDisconnected();
    void BaseConnected();
    void BaseDisconnected();
    void BaseModuleChosen(bool accepted);
    void PingTimedOut();
    void PingAnsweredAgain();
    // Compares the active link with the last one seen and tells when it went.
    void CheckActiveLink();

public:
    // The state as the connect read and the links see it (the connect read
    // reports reading, read, failed and locked).
    void SetModuleState(TModuleState state, int firmware = 0);
    TModuleState ModuleState() const { return State; }
    // What the status line says of the state; empty for none and too old.
    QString StateText() const;
    // Why a module too old to be read is not read, with both versions; empty
    // unless the state is TooOld.
    QString TooOldText() const;

private:
    QString NoModuleText() const;

    IShell& Ui;
    std::unique_ptr<TRV5K> Usb;
    std::unique_ptr<THFLatcher> Base;
    ILink* Module;
    std::unique_ptr<TBaseSelection> Selector;
    std::unique_ptr<TConnectRead> Read;
    THidLayer* Hid = nullptr;
    int LastActive = 0;
    TModuleState State = TModuleState::None;
    int StateFirmware = 0;
    bool MapRead = false;
    bool MapReadFailed = false;
    bool ReadOnConnectChecked = true;
    bool IsClosing = false;
};
