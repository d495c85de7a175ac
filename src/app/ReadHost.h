#pragma once
// What the connect read needs of the main window: the active link, the
// window's boxes and waits, the progress window and the settings panel.

#include <QByteArray>

class IModuleOperations;

class IReadHost {
public:
    virtual ~IReadHost() = default;

    virtual int ActiveLink() const = 0;
    virtual int LinkBusy() const = 0;
    virtual IModuleOperations* ActiveLinkObject() const = 0;
    virtual bool ReadOnConnectChecked() const = 0;
    // The module link waits for its USB password.
    virtual bool ModuleLocked() const = 0;
    // The module has reported its state since it connected.
    virtual bool ModuleStatusKnown() const = 0;
    virtual bool LanguagesAreLoaded() const = 0;
    // False when the user cancelled.
    virtual bool AskUsbPassword(QByteArray* password) = 0;
    virtual void SendUsbPassword(const QByteArray& password) = 0;
    virtual void WaitWithEvents(int milliseconds) = 0;
    virtual void WaitForInstallations() = 0;

    virtual void EnableWindow() = 0;
    virtual void ShowSettingsPanel(bool visible) = 0;
    virtual bool ProgressShowing() const = 0;
    virtual void ShowProgress(int messageNumber) = 0;
    virtual void HideProgress() = 0;

    // The read of the function map is still being taken apart.
    virtual bool MapBeingRead() const = 0;
    virtual void ClearReadError() = 0;
    // Either link's last read failed, or taking the map apart did.
    virtual bool ReadFailed() const = 0;
    virtual void ResetReadFlags() = 0;
    virtual void ShowReadFailed() = 0;
    virtual void ReadSucceeded() = 0;
};
