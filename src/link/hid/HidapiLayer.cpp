#include "HidapiLayer.h"

#ifndef Q_OS_LINUX
#error "THidapiLayer is the Linux HID backend"
#endif

#include "HidReadWorker.h"
#include "HidStringRules.h"
#include "UdevWatch.h"

#include <QThread>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr quint16 OurVendorId = 0x4B52;
constexpr quint16 ModuleProductId = 0x4737;
constexpr quint16 BaseProductId = 0x4846;

// hidraw does not expose string descriptor 0, so the device's language list
// is taken to be US English, the one nearly every device declares.
const QList<quint16> AssumedLanguageIds{0x0409};

// hid_init and hid_exit are process-wide; the layer may exist more than once.
int HidapiUsers = 0;

bool IsOurDevice(quint16 vendorId, quint16 productId) {
    return vendorId == OurVendorId && (productId == ModuleProductId || productId == BaseProductId);
}

QString DeviceString(hid_device* handle, int (*get)(hid_device*, wchar_t*, size_t)) {
    // Zeroed and one longer than offered: hidapi may fill the buffer without
    // a terminator.
    wchar_t buffer[THidStringRules::MaxLength + 2] = {};
    if (get(handle, buffer, THidStringRules::MaxLength + 1) != 0)
        return {};
    return THidStringRules::FromWide(buffer);
}
} // namespace

THidapiLayer::THidapiLayer(QObject* parent) : THidLayer(parent) {
    if (HidapiUsers++ == 0)
        hid_init();
    Watch = new TUdevWatch(this);
    connect(Watch, &TUdevWatch::HidrawChanged, this, &THidapiLayer::OnNodesChanged);
}

THidapiLayer::~THidapiLayer() {
    delete Watch;
    for (Acquired& device : Devices) {
        StopReader(device);
        hid_close(device.Reader);
        hid_close(device.Writer);
    }
    Devices.clear();
    if (--HidapiUsers == 0)
        hid_exit();
}

void THidapiLayer::EnumerateDevices(const EnumCallback& callback) {
    QList<Listed> listed;
    hid_device_info* all = hid_enumerate(0, 0);
    for (const hid_device_info* info = all; info; info = info->next)
        if (info->path)
            listed.append({QByteArray(info->path), info->vendor_id, info->product_id});
    hid_free_enumeration(all);
    Snapshot = listed;
    if (!callback)
        return;
    // Iterates a copy: the callback may enumerate again.
    for (int i = 0; i < listed.size(); ++i)
        if (!callback(listed[i].VendorId, listed[i].ProductId, i))
            return;
}

HidDeviceId THidapiLayer::AcquireDevice(int position) {
    if (position < 0 || position >= Snapshot.size())
        return 0;
    const Listed listed = Snapshot[position];
    if (PathHeld(listed.Path))
        return 0;
    hid_device* writer = hid_open_path(listed.Path.constData());
    hid_device* reader = writer ? hid_open_path(listed.Path.constData()) : nullptr;
    if (!reader) {
        if (writer)
            hid_close(writer);
        NoteOpenFailure(listed);
        return 0;
    }
    Acquired device;
    device.Path = listed.Path;
    device.VendorId = listed.VendorId;
    device.ProductId = listed.ProductId;
    device.Writer = writer;
    device.Reader = reader;
    struct stat node {};
    if (::stat(listed.Path.constData(), &node) == 0)
        device.Node = node.st_rdev;
    // Never reused, so reports still queued for an earlier acquisition of
    // the same device find no handler.
    const HidDeviceId id = NextId++;
    Devices.insert(id, device);
    return id;
}

void THidapiLayer::ReleaseDevice(HidDeviceId device) {
    if (!Devices.contains(device))
        return;
    SetInputHandler(device, nullptr);
    const auto it = Devices.find(device);
    if (it == Devices.end())
        return;
    StopReader(*it);
    const Acquired released = *it;
    Devices.erase(it);
    hid_close(released.Reader);
    hid_close(released.Writer);
}

THidDeviceStrings THidapiLayer::ReadDeviceStrings(HidDeviceId device) {
    const auto it = Devices.constFind(device);
    if (it == Devices.constEnd() || it->Vanished)
        return {};
    THidDeviceStrings strings;
    strings.Product = DeviceString(it->Writer, hid_get_product_string);
    strings.SerialNumber = THidStringRules::SerialNumber(
        DeviceString(it->Writer, hid_get_serial_number_string), AssumedLanguageIds);
    return strings;
}

quint16 THidapiLayer::VendorIdOf(HidDeviceId device) const {
    const auto it = Devices.constFind(device);
    return it == Devices.constEnd() ? 0 : it->VendorId;
}

quint16 THidapiLayer::ProductIdOf(HidDeviceId device) const {
    const auto it = Devices.constFind(device);
    return it == Devices.constEnd() ? 0 : it->ProductId;
}

bool THidapiLayer::InstallationsPending() const {
    return Watch && Watch->InstallationsPending();
}

void THidapiLayer::StartReading(HidDeviceId device) {
    const auto it = Devices.find(device);
    if (it == Devices.end() || it->Vanished || it->Thread)
        return;
    auto* thread = new QThread;
    thread->setObjectName(QStringLiteral("HID reader"));
    auto* worker = new THidReadWorker(it->Reader);
    worker->moveToThread(thread);
    connect(thread, &QThread::started, worker, &THidReadWorker::Run);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    // Queued to the UI thread, which keeps the reader's order.
    connect(
        worker, &THidReadWorker::Report, this,
        [this, device](const QByteArray& data) { DeliverInput(device, 0, data); },
        Qt::QueuedConnection);
    connect(
        worker, &THidReadWorker::Failed, this, [this, device] { OnReaderFailed(device); },
        Qt::QueuedConnection);
    it->Thread = thread;
    it->Worker = worker;
    thread->start();
}

void THidapiLayer::StopReading(HidDeviceId device) {
    const auto it = Devices.find(device);
    if (it != Devices.end())
        StopReader(*it);
}

void THidapiLayer::WriteReport(HidDeviceId device, const QByteArray& report) {
    const auto it = Devices.constFind(device);
    if (it == Devices.constEnd() || it->Vanished || report.isEmpty())
        return;
    // The report id leads; hidraw drops an id of 0 before the wire.
    hid_write(it->Writer, reinterpret_cast<const unsigned char*>(report.constData()),
              static_cast<size_t>(report.size()));
}

void THidapiLayer::StopReader(Acquired& device) {
    if (!device.Thread)
        return;
    device.Worker->Stop();
    device.Thread->quit();
    device.Thread->wait(); // the worker is deleted as the thread finishes
    delete device.Thread;
    device.Thread = nullptr;
    device.Worker = nullptr;
}

void THidapiLayer::OnReaderFailed(HidDeviceId device) {
    const auto it = Devices.constFind(device);
    if (it == Devices.constEnd() || it->Vanished)
        return;
    NoticeUnplug(device);
    emit DevicesChanged();
}

void THidapiLayer::OnNodesChanged() {
    QList<HidDeviceId> gone;
    for (auto it = Devices.cbegin(); it != Devices.cend(); ++it)
        if (!it->Vanished && NodeGone(*it))
            gone.append(it.key());
    for (const HidDeviceId device : std::as_const(gone))
        NoticeUnplug(device);
    emit DevicesChanged();
}

void THidapiLayer::NoticeUnplug(HidDeviceId device) {
    const auto it = Devices.find(device);
    if (it == Devices.end() || it->Vanished)
        return;
    StopReader(*it);
    it->Vanished = true;
    const quint16 vendorId = it->VendorId;
    const quint16 productId = it->ProductId;
    // The receiver may release the device, so nothing of it is used after this.
    emit DeviceUnplugged(device, vendorId, productId);
}

void THidapiLayer::NoteOpenFailure(const Listed& listed) {
    if (!IsOurDevice(listed.VendorId, listed.ProductId))
        return;
    // hidapi does not keep errno; ask again whether the rights are missing.
    if (::access(listed.Path.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return;
    if (PermissionReported.contains(listed.Path))
        return;
    PermissionReported.insert(listed.Path);
    // Raised from the event loop: a receiver showing a message box must not
    // run inside the enumeration that tried the device.
    const QString path = QString::fromLocal8Bit(listed.Path);
    QMetaObject::invokeMethod(
        this,
        [this, path, listed] { emit PermissionDenied(path, listed.VendorId, listed.ProductId); },
        Qt::QueuedConnection);
}

bool THidapiLayer::PathHeld(const QByteArray& path) const {
    for (const Acquired& device : Devices)
        if (!device.Vanished && device.Path == path)
            return true;
    return false;
}

bool THidapiLayer::NodeGone(const Acquired& device) {
    struct stat node {};
    if (::stat(device.Path.constData(), &node) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    // The same name may already belong to a device plugged in since.
    return device.Node != 0 && node.st_rdev != device.Node;
}
