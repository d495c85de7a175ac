#pragma once
// Tells when hidraw nodes come and go, and whether udev is still installing
// devices. Follows udev's netlink events when udev runs; where it does not (a
// container), watches the device directory for hidraw nodes instead, so that
// plug-ins are still seen. Linux only.

#include <QObject>
#include <QStringList>

struct udev;
struct udev_monitor;
struct udev_queue;
class QFileSystemWatcher;
class QSocketNotifier;

class TUdevWatch : public QObject {
    Q_OBJECT
public:
    explicit TUdevWatch(QObject* parent = nullptr);
    // useNetlink false, or no netlink to be had, watches deviceDirectory.
    TUdevWatch(bool useNetlink, const QString& deviceDirectory, QObject* parent = nullptr);
    ~TUdevWatch() override;

    // Events still queued in udev (devices being set up); false without udev.
    bool InstallationsPending() const;
    bool FollowsNetlink() const { return Monitor != nullptr; }
    static bool UdevRunning();

signals:
    // A hidraw node was added, removed or changed (rights applied after a
    // rule reload); several at once raise one notice.
    void HidrawChanged();

private:
    bool OpenNetlink();
    void WatchDirectory();
    void OnNetlinkReadable();
    void OnDirectoryChanged();
    QStringList HidrawNodes() const;

    udev* Udev = nullptr;
    udev_monitor* Monitor = nullptr;
    udev_queue* Queue = nullptr;
    QSocketNotifier* Notifier = nullptr;
    QFileSystemWatcher* DirectoryWatch = nullptr;
    QString DeviceDirectory;
    QStringList KnownNodes;
};
