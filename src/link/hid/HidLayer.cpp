#include "HidLayer.h"

#include "HidTrace.h"

#include <QTimer>

THidLayer::THidLayer(QObject* parent) : QObject(parent) {
    // Devices present at start-up are found through this first notice.
    QTimer::singleShot(0, this, &THidLayer::DevicesChanged);
}

THidLayer::~THidLayer() = default;

void THidLayer::SetInputHandler(HidDeviceId device, InputHandler handler) {
    if (device == 0)
        return;
    if (handler) {
        const bool wasReading = Handlers.contains(device);
        Handlers.insert(device, std::move(handler));
        if (!wasReading)
            StartReading(device);
    } else if (Handlers.remove(device) > 0) {
        StopReading(device);
    }
}

void THidLayer::WriteOutputReport(HidDeviceId device, const QByteArray& report) {
    if (device == 0)
        return;
    THidTrace::Record(THidTrace::Out, VendorIdOf(device), ProductIdOf(device), report);
    WriteReport(device, report);
}

void THidLayer::DeliverInput(HidDeviceId device, quint8 reportId, const QByteArray& data) {
    const auto it = Handlers.constFind(device);
    if (it == Handlers.constEnd())
        return;
    THidTrace::Record(THidTrace::In, VendorIdOf(device), ProductIdOf(device), data);
    // A copy: the handler may clear itself while it runs.
    const InputHandler handler = it.value();
    handler(reportId, data);
}

void THidLayer::ForgetHandler(HidDeviceId device) {
    Handlers.remove(device);
}
