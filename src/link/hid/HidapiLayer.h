#pragma once
// The Linux HID backend: hidapi over hidraw for the devices, libudev for the
// notices of devices coming and going and for the installation state.

#include "HidLayer.h"

#include <QList>
#include <QSet>
#include <hidapi.h>
#include <sys/types.h>

class QThread;
class THidReadWorker;
class TUdevWatch;

class THidapiLayer : public THidLayer {
    Q_OBJECT
public:
    explicit THidapiLayer(QObject* parent = nullptr);
    ~THidapiLayer() override;

    // Lists what hidapi gives: on hidraw a device shows once per interface
    // (and once per top-level usage).
    void EnumerateDevices(const EnumCallback& callback) override;
    // Opens the listed path; a path already acquired by this program is
    // refused. A module or base whose node denies access raises
    // PermissionDenied, once per path per run, from the event loop.
    HidDeviceId AcquireDevice(int position) override;
    void ReleaseDevice(HidDeviceId device) override;
    THidDeviceStrings ReadDeviceStrings(HidDeviceId device) override;
    quint16 VendorIdOf(HidDeviceId device) const override;
    quint16 ProductIdOf(HidDeviceId device) const override;
    bool InstallationsPending() const override;

protected:
    void StartReading(HidDeviceId device) override;
    void StopReading(HidDeviceId device) override;
    void WriteReport(HidDeviceId device, const QByteArray& report) override;

private:
    struct Listed {
        QByteArray Path;
        quint16 VendorId = 0;
        quint16 ProductId = 0;
    };
    struct Acquired {
        QByteArray Path;
        quint16 VendorId = 0;
        quint16 ProductId = 0;
        dev_t Node = 0; // the node's device number when opened, 0 if unknown
        // hidapi is not safe for one handle on two threads, so each side has
        // its own: the writer for the UI thread, the reader for the reader thread.
        hid_device* Writer = nullptr;
        hid_device* Reader = nullptr;
        QThread* Thread = nullptr;
        THidReadWorker* Worker = nullptr;
        bool Vanished = false; // unplug notice given; kept until released
    };

    void StopReader(Acquired& device);
    void OnReaderFailed(HidDeviceId device);
    void OnNodesChanged();
    void NoticeUnplug(HidDeviceId device);
    void NoteOpenFailure(const Listed& listed);
    bool PathHeld(const QByteArray& path) const;
    static bool NodeGone(const Acquired& device);

    QList<Listed> Snapshot; // the list of the last enumeration
    QHash<HidDeviceId, Acquired> Devices;
    QSet<QByteArray> PermissionReported;
    TUdevWatch* Watch = nullptr;
    HidDeviceId NextId = 1;
};
