#pragma once
// Reads the input reports of one open hidapi device on the reader thread, in
// arrival order, until it is stopped or the device fails.

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <hidapi.h>

class THidReadWorker : public QObject {
    Q_OBJECT
public:
    // The handle is the reader's own: hidapi keeps per-handle error state, so
    // no other thread may use it while the worker runs.
    explicit THidReadWorker(hid_device* handle, QObject* parent = nullptr);

    // Safe from any thread; the loop ends within one poll interval.
    void Stop() { StopRequested.store(true); }

public slots:
    void Run();

signals:
    // The report's bytes as the device sent them (no report id byte for
    // unnumbered reports).
    void Report(const QByteArray& data);
    // The read failed; on hidraw this means the device has gone.
    void Failed();

private:
    hid_device* Handle;
    std::atomic<bool> StopRequested{false};
};
