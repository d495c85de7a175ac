#include "UhidDevice.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <unistd.h>

namespace {
const char* const UhidPath = "/dev/uhid";

bool WriteEvent(int fd, const uhid_event& event) {
    return ::write(fd, &event, sizeof(event)) == static_cast<ssize_t>(sizeof(event));
}

void CopyText(__u8* target, size_t size, const QByteArray& text) {
    std::memcpy(target, text.constData(), std::min(size - 1, static_cast<size_t>(text.size())));
}
} // namespace

bool TUhidDevice::Available() {
    return ::access(UhidPath, R_OK | W_OK) == 0;
}

QByteArray TUhidDevice::Descriptor64() {
    static const unsigned char descriptor[] = {
        0x06, 0x00, 0xFF, // Usage Page (vendor defined 0xFF00)
        0x09, 0x01,       // Usage (1)
        0xA1, 0x01,       // Collection (Application)
        0x15, 0x00,       //   Logical Minimum (0)
        0x26, 0xFF, 0x00, //   Logical Maximum (255)
        0x75, 0x08,       //   Report Size (8)
        0x95, 0x40,       //   Report Count (64)
        0x09, 0x01,       //   Usage (1)
        0x81, 0x02,       //   Input (Data, Variable, Absolute)
        0x95, 0x40,       //   Report Count (64)
        0x09, 0x01,       //   Usage (1)
        0x91, 0x02,       //   Output (Data, Variable, Absolute)
        0xC0,             // End Collection
    };
    return QByteArray(reinterpret_cast<const char*>(descriptor), sizeof(descriptor));
}

TUhidDevice::TUhidDevice(QObject* parent) : QObject(parent) {
    Fd = ::open(UhidPath, O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0)
        return;
    Notifier = new QSocketNotifier(Fd, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &TUhidDevice::OnReadable);
}

TUhidDevice::~TUhidDevice() {
    Destroy();
    delete Notifier;
    if (Fd >= 0)
        ::close(Fd);
}

bool TUhidDevice::Create(const QByteArray& name, const QByteArray& serial, quint16 vendorId,
                         quint16 productId, const QByteArray& descriptor) {
    if (Fd < 0 || Created || descriptor.size() > HID_MAX_DESCRIPTOR_SIZE)
        return false;
    uhid_event event{};
    event.type = UHID_CREATE2;
    uhid_create2_req& create = event.u.create2;
    CopyText(create.name, sizeof(create.name), name);
    CopyText(create.phys, sizeof(create.phys), "rv5k-test");
    CopyText(create.uniq, sizeof(create.uniq), serial);
    create.rd_size = static_cast<__u16>(descriptor.size());
    // hidapi takes a USB device's strings from its USB parent, which a uhid
    // device lacks; over Bluetooth it reads the HID name and uniq instead.
    create.bus = BUS_BLUETOOTH;
    create.vendor = vendorId;
    create.product = productId;
    std::memcpy(create.rd_data, descriptor.constData(), static_cast<size_t>(descriptor.size()));
    Created = WriteEvent(Fd, event);
    return Created;
}

bool TUhidDevice::SendInput(const QByteArray& data) {
    if (!Created || data.size() > UHID_DATA_MAX)
        return false;
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<__u16>(data.size());
    std::memcpy(event.u.input2.data, data.constData(), static_cast<size_t>(data.size()));
    return WriteEvent(Fd, event);
}

void TUhidDevice::Destroy() {
    if (!Created)
        return;
    Created = false;
    uhid_event event{};
    event.type = UHID_DESTROY;
    WriteEvent(Fd, event);
}

void TUhidDevice::OnReadable() {
    uhid_event event{};
    while (::read(Fd, &event, sizeof(event)) > 0) {
        if (event.type == UHID_OUTPUT)
            emit Output(QByteArray(reinterpret_cast<const char*>(event.u.output.data),
                                   std::min<int>(event.u.output.size, UHID_DATA_MAX)));
        // Start, stop, open and close need no answer.
    }
}
