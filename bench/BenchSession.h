#pragma once
// A session on one link of the simulated bus with a shell that shows nothing
// and waits on a nested event loop: what the benchmarks of the CAN settings
// need of the program around them.
#include "base/THFLatcher.h"
#include "link/TRV5K.h"
#include "session/Session.h"
#include "session/Shell.h"

#include <QEventLoop>
#include <QTimer>

struct TBenchShell : IShell {
    QString Message(int) const override { return QStringLiteral("-"); }
    bool LanguagesLoaded() const override { return true; }
    int ShowMessageBox(const QString&, int, int) override { return Box::ResultOk; }
    void Wait(int ms) override {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    void WaitUntil(const std::function<bool()>& done, int ms) override {
        while (!done())
            Wait(ms);
    }
    void ShowProgress(int) override {}
    void HideProgress() override {}
    bool ProgressShowing() const override { return false; }
    void SetWindowEnabled(bool) override {}
    bool WindowEnabled() const override { return true; }
    void ShowSettingsPanel(bool) override {}
    bool AskUsbPassword(QByteArray*) override { return false; }
    int ChooseModule(const QStringList&) override { return 0; }
};

// The link is the session's only one; no read follows a Save.
template <typename TLinkType> struct TBenchSession {
    explicit TBenchSession(THidLayer* bus) : Link(bus) { Session.SetReadOnConnect(false); }
    TLinkType Link;
    TBenchShell Shell;
    TSession Session{Link, Shell};
};
using TBenchModuleSession = TBenchSession<TRV5K>;
using TBenchBaseSession = TBenchSession<THFLatcher>;
