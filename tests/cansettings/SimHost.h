#pragma once
// A module link on the simulated bus with a simulated module, the session on
// that link and a headless shell: the CAN settings against the module at the
// protocol's own pace. The read that follows a Save is only asked for here
// ("Read MQR-CAN settings on connect" cleared), so tests see what Save wrote.

#include "SimProfiles.h"
#include "TestShell.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "session/ConnectRead.h"
#include "session/Session.h"
#include "sim/SimRv5kModule.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

struct TSimHost {
    explicit TSimHost(const TSimProfile& profile)
        : Module(std::make_unique<TSimRv5kModule>(profile)) {
        Session.SetReadOnConnect(false);
        QObject::connect(&Session, &TSession::ReadRequested, [this] { ++ReReads; });
    }

    TSimHidBus Bus;
    std::unique_ptr<TSimRv5kModule> Module;
    TRV5K Link{&Bus};
    TTestShell Shell;
    TSession Session{Link, Shell};
    int ReReads = 0; // reads asked for (a Save asks for one when it is through)

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
};
