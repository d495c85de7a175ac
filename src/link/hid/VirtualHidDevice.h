#pragma once
// A device on the simulated HID bus. It receives the host's output reports and
// sends input reports (data bytes, without the report id) through
// InputReport; the bus delivers them to the host asynchronously and in order.

#include <QByteArray>
#include <QObject>
#include <QString>

class TVirtualHidDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual quint16 VendorId() const = 0;
    virtual quint16 ProductId() const = 0;
    virtual QString ProductString() const = 0;
    virtual QString SerialNumberString() const = 0;

    // A whole output report from the host, report id first.
    virtual void OutputReport(const QByteArray& report) = 0;
    // The host opened the device for reading (true) or closed it (false).
    virtual void HostListening(bool listening) { Q_UNUSED(listening); }

signals:
    void InputReport(const QByteArray& data);
    // The device asks to be pulled off the bus (an injected fault).
    void UnplugRequested();
};
