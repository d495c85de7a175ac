#pragma once
// The platform HID layer that both links sit on. One object serves the whole
// program; each link acquires its own devices from it. Everything here runs on
// the UI thread: backends that read on other threads hand each input report
// over before calling the handler.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

using HidDeviceId = quint64; // 0 stands for no device

struct THidDeviceStrings {
    QString Product; // UTF-16, at most 253 characters, empty when the device has none
    QString SerialNumber;
};

class THidLayer : public QObject {
    Q_OBJECT
public:
    // Called once per present device with its position in the list; return
    // false to stop enumerating.
    using EnumCallback = std::function<bool(quint16 vendorId, quint16 productId, int position)>;
    // The report id and the data bytes that follow it.
    using InputHandler = std::function<void(quint8 reportId, const QByteArray& data)>;

    explicit THidLayer(QObject* parent = nullptr);
    ~THidLayer() override;

    // Positions refer to the list of the enumeration in progress or the last one.
    virtual void EnumerateDevices(const EnumCallback& callback) = 0;
    // Exclusive use of the device; 0 when it cannot be had.
    virtual HidDeviceId AcquireDevice(int position) = 0;
    // Stops input delivery (no report of this device reaches a handler after
    // this returns) and closes the device.
    virtual void ReleaseDevice(HidDeviceId device) = 0;
    virtual THidDeviceStrings ReadDeviceStrings(HidDeviceId device) = 0;
    // A handler starts the device's reader; none stops it.
    void SetInputHandler(HidDeviceId device, InputHandler handler);
    // The whole report, report id first; the result is not reported.
    void WriteOutputReport(HidDeviceId device, const QByteArray& report);

    // Vendor and product id of an acquired device (for the trace and notices).
    virtual quint16 VendorIdOf(HidDeviceId device) const = 0;
    virtual quint16 ProductIdOf(HidDeviceId device) const = 0;

    // Whether the system is still installing devices (drivers, node rights);
    // polled before the first read after a module connects.
    virtual bool InstallationsPending() const { return false; }

signals:
    // The set of present devices changed; also raised once after creation,
    // when the event loop first runs.
    void DevicesChanged();
    // Raised for every vanished device before DevicesChanged for that change.
    void DeviceUnplugged(HidDeviceId device, quint16 vendorId, quint16 productId);
    // A device could not be opened because the user lacks the rights to it.
    void PermissionDenied(const QString& path, quint16 vendorId, quint16 productId);

protected:
    virtual void StartReading(HidDeviceId device) = 0;
    virtual void StopReading(HidDeviceId device) = 0;
    virtual void WriteReport(HidDeviceId device, const QByteArray& report) = 0;
    // Backends hand every input report here, on the UI thread, in arrival order.
    void DeliverInput(HidDeviceId device, quint8 reportId, const QByteArray& data);
    void ForgetHandler(HidDeviceId device);
    bool HasHandler(HidDeviceId device) const { return Handlers.contains(device); }

private:
    QHash<HidDeviceId, InputHandler> Handlers;
};
