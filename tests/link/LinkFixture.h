#pragma once
// A module link on a simulated bus with a scripted module plugged in and
// connected, its first status report (which only sets the toggle) already sent.

#include "ScriptedDevice.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

struct TLinkFixture {
    TSimHidBus Bus;
    TScriptedDevice Module;
    TRV5K Link{&Bus};

    bool Connect(quint8 firstStatus = 0x00) {
        QSignalSpy connected(&Link, &TRV5K::OnConnect);
        Bus.Plug(&Module);
        if (!connected.wait(1000) && connected.isEmpty())
            return false;
        Module.Status(firstStatus);
        return Settle();
    }
    // Lets queued reports and sends run.
    static bool Settle(int ms = 5) {
        QTest::qWait(ms);
        return true;
    }
    // The output report written last, or an empty array.
    QByteArray Last() const {
        return Module.Received.isEmpty() ? QByteArray() : Module.Received.last();
    }
};

// A 65-byte output report from its leading bytes, the rest zero.
inline QByteArray Report(const QByteArray& hexHead) {
    QByteArray report = QByteArray::fromHex(hexHead);
    report.resize(65, '\0');
    return report;
}
