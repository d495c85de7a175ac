#pragma once
// What the CAN settings need of the main window: the active link and the
// links themselves, waits, message boxes, the progress window, the re-read,
// and the base link's pieces (its trace, its ping, its write gate) that come
// with the base link.

#include <QString>

class IModuleOperations;
class QTimer;

class ICanSettingsHost {
public:
    virtual ~ICanSettingsHost() = default;

    // 1: the module over USB, 2: a module through the base, 0: none.
    virtual int ActiveLink() const = 0;
    virtual IModuleOperations* ActiveLinkObject() const = 0;
    virtual int LinkBusy() const = 0;
    // The USB link, connected or not (it drops requests while absent).
    virtual IModuleOperations* ModuleLinkObject() const = 0;
    // The base link, once there is one.
    virtual IModuleOperations* BaseLinkObject() const = 0;
    virtual void WaitWithEvents(int milliseconds) = 0;
    // The main window's one-shot one-second limit.
    virtual QTimer* TimeOutTimer() const = 0;

    virtual QString Message(int number) const = 0;
    virtual int ShowMessageBox(const QString& text, int kind, int buttons) = 0;
    virtual void ShowProgress(int messageNumber) = 0;
    virtual void HideProgress() = 0;
    virtual void SetWindowEnabled(bool enabled) = 0;
    // Reads every setting again, as on connect.
    virtual void StartReRead() = 0;
    // A template is being recorded (the link's template mode).
    virtual bool Recording() const = 0;

    // The base link's side.
    virtual bool BaseSetPending() const = 0;
    virtual void BaseTrace(const QString& line) = 0;
    virtual void ClearBaseTrace() = 0;
    virtual void StartBasePing() = 0;
};
