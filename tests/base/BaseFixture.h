#pragma once
// A base link on a simulated bus with a simulated radio base plugged in and
// connected.

#include "base/THFLatcher.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRadioModule.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

inline TSimRadioModuleProfile RadioModule(quint32 serial, quint8 major, quint8 minor,
                                          int slotCount = 20) {
    TSimRadioModuleProfile module;
    module.RadioSerial = serial;
    module.Major = major;
    module.Minor = minor;
    for (int i = 0; i < slotCount; ++i)
        module.Memory.Map.push_back({quint8(0x10 + i), quint8(i)});
    module.Memory.WriteProgram = QByteArray::fromHex("000102040507");
    module.Memory.Programs = {{3, 1}, {3, 2}, {5, 1}, {7, 2}, {8, 1}};
    module.Memory.ZoneStatus = 0x00030105;
    return module;
}

struct TBaseFixture {
    TSimHidBus Bus;
    std::unique_ptr<TSimRadioBase> Base;
    THFLatcher Link{&Bus};

    explicit TBaseFixture(TSimBaseProfile profile = {}) {
        if (profile.Modules.isEmpty())
            profile.Modules = {RadioModule(197121, 6, 12)};
        Base = std::make_unique<TSimRadioBase>(profile);
    }
    ~TBaseFixture() {
        if (Bus.IsPlugged(Base.get()))
            Bus.Unplug(Base.get());
    }
    bool Connect() {
        QSignalSpy connected(&Link, &THFLatcher::OnConnect);
        Bus.Plug(Base.get());
        return connected.wait(1000) || !connected.isEmpty();
    }
    // The chosen module addressed alone, as the selection leaves the base.
    void Address(quint32 serial) {
        Link.SetBaseSerNum(quint64(serial) * 256);
        Link.UseCommonAddress(false);
        Base->ClearRecords();
    }
};

inline QByteArray Frame(const QByteArray& hexHead) {
    QByteArray frame = QByteArray::fromHex(hexHead);
    frame.resize(24, '\0');
    return frame;
}
