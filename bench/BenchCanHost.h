#pragma once
// The main window's part as the CAN settings see it, on one module link,
// with no boxes, progress or re-read: what the benchmarks need.
#include "cansettings/CanSettingsHost.h"
#include "link/TRV5K.h"

#include <QEventLoop>
#include <QTimer>

struct TBenchCanHost : ICanSettingsHost {
    explicit TBenchCanHost(THidLayer* bus) : Link(bus) {}
    TRV5K Link;
    QTimer Limit;
    int ActiveLink() const override { return Link.Connected() ? 1 : 0; }
    IModuleOperations* ActiveLinkObject() const override {
        return Link.Connected() ? const_cast<TRV5K*>(&Link) : nullptr;
    }
    int LinkBusy() const override { return Link.VykstaNuskaitymas() ? 1 : 0; }
    IModuleOperations* ModuleLinkObject() const override { return const_cast<TRV5K*>(&Link); }
    IModuleOperations* BaseLinkObject() const override { return nullptr; }
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
    bool BaseSetPending() const override { return false; }
    void BaseTrace(const QString&) override {}
    void ClearBaseTrace() override {}
    void StartBasePing() override {}
};
