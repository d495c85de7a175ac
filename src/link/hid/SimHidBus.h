#pragma once
// The simulated HID backend: an in-process bus whose virtual devices are
// plugged in and pulled out at run time.

#include "HidLayer.h"

#include <QList>
#include <QPointer>

class TVirtualHidDevice;

class TSimHidBus : public THidLayer {
    Q_OBJECT
public:
    explicit TSimHidBus(QObject* parent = nullptr);
    ~TSimHidBus() override;

    // The bus does not own the devices.
    void Plug(TVirtualHidDevice* device);
    void Unplug(TVirtualHidDevice* device);
    bool IsPlugged(const TVirtualHidDevice* device) const;
    QList<TVirtualHidDevice*> Devices() const;

    void EnumerateDevices(const EnumCallback& callback) override;
    HidDeviceId AcquireDevice(int position) override;
    void ReleaseDevice(HidDeviceId device) override;
    THidDeviceStrings ReadDeviceStrings(HidDeviceId device) override;
    quint16 VendorIdOf(HidDeviceId device) const override;
    quint16 ProductIdOf(HidDeviceId device) const override;

protected:
    void StartReading(HidDeviceId device) override;
    void StopReading(HidDeviceId device) override;
    void WriteReport(HidDeviceId device, const QByteArray& report) override;

private:
    struct Slot {
        QPointer<TVirtualHidDevice> Device;
        HidDeviceId Id = 0; // non-zero while acquired
        quint16 VendorId = 0;
        quint16 ProductId = 0;
    };
    Slot* FindById(HidDeviceId id);
    const Slot* FindById(HidDeviceId id) const;
    void OnDeviceInput(TVirtualHidDevice* device, const QByteArray& data);

    QList<Slot> Slots;
    QList<Slot> Snapshot; // the list of the last enumeration
    HidDeviceId NextId = 1;
};
