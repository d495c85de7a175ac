#include "UdevWatch.h"

#ifndef Q_OS_LINUX
#error "TUdevWatch is part of the Linux HID backend"
#endif

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <cstring>
#include <libudev.h>

namespace {
const char* const UdevControlSocket = "/run/udev/control";
const char* const HidrawSubsystem = "hidraw";

bool IsNodeChange(const char* action) {
    return action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0 ||
                      std::strcmp(action, "change") == 0);
}
} // namespace

TUdevWatch::TUdevWatch(QObject* parent)
    : TUdevWatch(UdevRunning(), QStringLiteral("/dev"), parent) {}

TUdevWatch::TUdevWatch(bool useNetlink, const QString& deviceDirectory, QObject* parent)
    : QObject(parent), DeviceDirectory(deviceDirectory) {
    Udev = udev_new();
    if (Udev)
        Queue = udev_queue_new(Udev);
    if (!useNetlink || !OpenNetlink())
        WatchDirectory();
}

TUdevWatch::~TUdevWatch() {
    delete Notifier;
    if (Monitor)
        udev_monitor_unref(Monitor);
    if (Queue)
        udev_queue_unref(Queue);
    if (Udev)
        udev_unref(Udev);
}

bool TUdevWatch::UdevRunning() {
    // libudev itself treats a missing control socket as "no udev" and then
    // delivers nothing on the udev group.
    return QFileInfo::exists(QString::fromLatin1(UdevControlSocket));
}

bool TUdevWatch::InstallationsPending() const {
    // 1 empty, 0 busy, negative when the state cannot be read.
    return Queue && udev_queue_get_queue_is_empty(Queue) == 0;
}

bool TUdevWatch::OpenNetlink() {
    if (!Udev)
        return false;
    // The udev group, not the kernel's: its events come after the rules have
    // set the node's rights, so an open right after an "add" can succeed.
    Monitor = udev_monitor_new_from_netlink(Udev, "udev");
    if (Monitor &&
        udev_monitor_filter_add_match_subsystem_devtype(Monitor, HidrawSubsystem, nullptr) >= 0 &&
        udev_monitor_enable_receiving(Monitor) >= 0) {
        const int fd = udev_monitor_get_fd(Monitor);
        if (fd >= 0) {
            Notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            connect(Notifier, &QSocketNotifier::activated, this, &TUdevWatch::OnNetlinkReadable);
            return true;
        }
    }
    if (Monitor)
        udev_monitor_unref(Monitor);
    Monitor = nullptr;
    return false;
}

void TUdevWatch::WatchDirectory() {
    if (!QFileInfo(DeviceDirectory).isDir())
        return;
    KnownNodes = HidrawNodes();
    DirectoryWatch = new QFileSystemWatcher(this);
    DirectoryWatch->addPath(DeviceDirectory);
    connect(DirectoryWatch, &QFileSystemWatcher::directoryChanged, this,
            &TUdevWatch::OnDirectoryChanged);
}

void TUdevWatch::OnNetlinkReadable() {
    bool changed = false;
    // The socket is non-blocking: drain everything queued, then notify once.
    while (udev_device* device = udev_monitor_receive_device(Monitor)) {
        if (IsNodeChange(udev_device_get_action(device)))
            changed = true;
        udev_device_unref(device);
    }
    if (changed)
        emit HidrawChanged();
}

void TUdevWatch::OnDirectoryChanged() {
    // Any node of the directory triggers this; only hidraw nodes matter.
    QStringList nodes = HidrawNodes();
    if (nodes == KnownNodes)
        return;
    KnownNodes = std::move(nodes);
    emit HidrawChanged();
}

QStringList TUdevWatch::HidrawNodes() const {
    QStringList nodes =
        QDir(DeviceDirectory)
            .entryList({QStringLiteral("hidraw*")},
                       QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    return nodes;
}
