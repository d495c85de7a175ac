#include "SimHidBus.h"

#include "VirtualHidDevice.h"

#include <QTimer>

TSimHidBus::TSimHidBus(QObject* parent) : THidLayer(parent) {}

TSimHidBus::~TSimHidBus() {
    for (const Slot& slot : std::as_const(Slots))
        if (slot.Device)
            disconnect(slot.Device, nullptr, this, nullptr);
}

void TSimHidBus::Plug(TVirtualHidDevice* device) {
    if (!device || IsPlugged(device))
        return;
    Slots.append(Slot{device, 0, device->VendorId(), device->ProductId()});
    // Input reports cross the bus through the event queue, as from a reader thread.
    connect(
        device, &TVirtualHidDevice::InputReport, this,
        [this, device](const QByteArray& data) { OnDeviceInput(device, data); },
        Qt::QueuedConnection);
    connect(
        device, &TVirtualHidDevice::UnplugRequested, this, [this, device] { Unplug(device); },
        Qt::QueuedConnection);
    QTimer::singleShot(0, this, &THidLayer::DevicesChanged);
}

void TSimHidBus::Unplug(TVirtualHidDevice* device) {
    for (qsizetype i = 0; i < Slots.size(); ++i) {
        if (Slots[i].Device != device)
            continue;
        const Slot slot = Slots.takeAt(i);
        disconnect(device, nullptr, this, nullptr);
        if (slot.Id != 0) {
            ForgetHandler(slot.Id);
            device->HostListening(false);
            emit DeviceUnplugged(slot.Id, slot.VendorId, slot.ProductId);
        }
        emit DevicesChanged();
        return;
    }
}

bool TSimHidBus::IsPlugged(const TVirtualHidDevice* device) const {
    for (const Slot& slot : Slots)
        if (slot.Device == device)
            return true;
    return false;
}

QList<TVirtualHidDevice*> TSimHidBus::Devices() const {
    QList<TVirtualHidDevice*> devices;
    for (const Slot& slot : Slots)
        if (slot.Device)
            devices.append(slot.Device);
    return devices;
}

void TSimHidBus::EnumerateDevices(const EnumCallback& callback) {
    Snapshot = Slots;
    for (int i = 0; i < Snapshot.size(); ++i)
        if (!callback(Snapshot[i].VendorId, Snapshot[i].ProductId, i))
            return;
}

HidDeviceId TSimHidBus::AcquireDevice(int position) {
    if (position < 0 || position >= Snapshot.size())
        return 0;
    for (Slot& slot : Slots) {
        if (slot.Device != Snapshot[position].Device)
            continue;
        if (slot.Id != 0 || !slot.Device)
            return 0; // exclusive
        slot.Id = NextId++;
        return slot.Id;
    }
    return 0;
}

void TSimHidBus::ReleaseDevice(HidDeviceId device) {
    Slot* slot = FindById(device);
    if (!slot)
        return;
    SetInputHandler(device, nullptr);
    slot->Id = 0;
}

THidDeviceStrings TSimHidBus::ReadDeviceStrings(HidDeviceId device) {
    const Slot* slot = FindById(device);
    if (!slot || !slot->Device)
        return {};
    return {slot->Device->ProductString().left(253), slot->Device->SerialNumberString().left(253)};
}

quint16 TSimHidBus::VendorIdOf(HidDeviceId device) const {
    const Slot* slot = FindById(device);
    return slot ? slot->VendorId : 0;
}

quint16 TSimHidBus::ProductIdOf(HidDeviceId device) const {
    const Slot* slot = FindById(device);
    return slot ? slot->ProductId : 0;
}

void TSimHidBus::StartReading(HidDeviceId device) {
    if (Slot* slot = FindById(device); slot && slot->Device)
        slot->Device->HostListening(true);
}

void TSimHidBus::StopReading(HidDeviceId device) {
    if (Slot* slot = FindById(device); slot && slot->Device)
        slot->Device->HostListening(false);
}

void TSimHidBus::WriteReport(HidDeviceId device, const QByteArray& report) {
    if (Slot* slot = FindById(device); slot && slot->Device)
        slot->Device->OutputReport(report);
}

TSimHidBus::Slot* TSimHidBus::FindById(HidDeviceId id) {
    if (id == 0)
        return nullptr;
    for (Slot& slot : Slots)
        if (slot.Id == id)
            return &slot;
    return nullptr;
}

const TSimHidBus::Slot* TSimHidBus::FindById(HidDeviceId id) const {
    return const_cast<TSimHidBus*>(this)->FindById(id);
}

void TSimHidBus::OnDeviceInput(TVirtualHidDevice* device, const QByteArray& data) {
    for (const Slot& slot : std::as_const(Slots))
        if (slot.Device == device && slot.Id != 0)
            DeliverInput(slot.Id, 0, data);
}
