#pragma once
// A module link on the simulated bus with a simulated module, and the main
// window's side of the CAN settings as the tests need it: the active link,
// waits that keep events flowing, answered message boxes.

#include "cansettings/CanSettingsHost.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

inline TSimProfile DemoProfile() {
    QString error;
    const auto profile = TSimProfile::LoadFile(
        qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/demo.json", &error);
    if (!profile)
        qFatal("%s", qPrintable(error));
    return *profile;
}

struct TSimHost : ICanSettingsHost {
    explicit TSimHost(const TSimProfile& profile)
        : Module(std::make_unique<TSimRv5kModule>(profile)) {
        Limit.setSingleShot(true);
        Limit.setInterval(1000);
    }

    TSimHidBus Bus;
    std::unique_ptr<TSimRv5kModule> Module;
    TRV5K Link{&Bus};
    QTimer Limit;
    QStringList Boxes; // texts of the message boxes shown
    int BoxAnswer = 6;
    int ReReads = 0;
    bool Enabled = true;
    int ProgressShown = 0;

    bool Connect() {
        QSignalSpy connected(&Link, &TRV5K::OnConnect);
        Bus.Plug(Module.get());
        if (!connected.wait(2000))
            return false;
        QTest::qWait(80); // the first status report sets the toggle
        return true;
    }
    // Output reports of the CAN memory channel with the given request code.
    QList<QByteArray> Requests(quint8 code) const {
        QList<QByteArray> found;
        for (const QByteArray& report : Module->ReceivedReports())
            if (report.size() > 3 && quint8(report[1]) == 0x10 && quint8(report[3]) == code)
                found << report;
        return found;
    }

    int ActiveLink() const override { return Link.Connected() ? 1 : 0; }
    IModuleOperations* ActiveLinkObject() const override {
        return Link.Connected() ? const_cast<TRV5K*>(&Link) : nullptr;
    }
    int LinkBusy() const override { return ActiveLink() == 1 && Link.VykstaNuskaitymas(); }
    IModuleOperations* ModuleLinkObject() const override { return const_cast<TRV5K*>(&Link); }
    IModuleOperations* BaseLinkObject() const override { return nullptr; }
    void WaitWithEvents(int ms) override {
        if (Link.TemplateFlag())
            return;
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QTimer* TimeOutTimer() const override { return const_cast<QTimer*>(&Limit); }
    QString MessagePrefix = QStringLiteral("M"); // a change of language changes it
    QString Message(int number) const override { return MessagePrefix + QString::number(number); }
    int ShowMessageBox(const QString& text, int, int) override {
        Boxes << text;
        return BoxAnswer;
    }
    void ShowProgress(int) override { ++ProgressShown; }
    void HideProgress() override { Enabled = true; }
    void SetWindowEnabled(bool enabled) override { Enabled = enabled; }
    void StartReRead() override { ++ReReads; }
    bool Recording() const override { return Link.TemplateFlag(); }
    bool BaseSetPending() const override { return false; }
    void BaseTrace(const QString&) override {}
    void ClearBaseTrace() override {}
    void StartBasePing() override {}
};
