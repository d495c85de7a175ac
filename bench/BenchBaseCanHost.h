#pragma once
// The main window's part as the CAN settings see it, on the base link alone,
// with the module already chosen: no boxes, progress, re-read or ping.
#include "base/THFLatcher.h"
#include "cansettings/CanSettingsHost.h"

#include <QEventLoop>
#include <QTimer>

struct TBenchBaseCanHost : ICanSettingsHost {
    explicit TBenchBaseCanHost(THidLayer* bus) : Link(bus) {}
    THFLatcher Link;
    QTimer Limit;
    int PingRestarts = 0;
    int ActiveLink() const override { return Link.Connected() ? 2 : 0; }
    IModuleOperations* ActiveLinkObject() const override {
        return Link.Connected() ? const_cast<THFLatcher*>(&Link) : nullptr;
    }
    int LinkBusy() const override { return Link.VykstaNuskaitymas() ? 2 : 0; }
    IModuleOperations* ModuleLinkObject() const override { return nullptr; }
    IModuleOperations* BaseLinkObject() const override { return const_cast<THFLatcher*>(&Link); }
    void WaitWithEvents(int ms) override {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QTimer* TimeOutTimer() const override { return const_cast<QTimer*>(&Limit); }
    QString Message(int) const override { return {}; }
    int ShowMessageBox(const QString&, int, int) override { return 0; }
    void ShowProgress(int) override {}
    void HideProgress() override {}
    void SetWindowEnabled(bool) override {}
    void StartReRead() override {}
    bool Recording() const override { return false; }
    bool BaseSetPending() const override { return Link.SetPending(); }
    void BaseTrace(const QString& line) override { Link.ListasAdd(line); }
    void ClearBaseTrace() override { Link.ClearListas(); }
    void StartBasePing() override { ++PingRestarts; }
};
