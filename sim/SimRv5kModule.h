#pragma once
// A simulated RV5K module on the simulated HID bus. It answers at the report
// level as the real module does: status reports with the busy, error,
// monitoring and locked bits and the response toggle, response blocks,
// CAN memory replies and zone status replies.

#include "SimProfile.h"
#include "link/hid/VirtualHidDevice.h"

class TSimRv5kModule : public TVirtualHidDevice {
    Q_OBJECT
public:
    explicit TSimRv5kModule(const TSimProfile& profile, QObject* parent = nullptr);
    ~TSimRv5kModule() override;

    quint16 VendorId() const override { return 0x4B52; }
    quint16 ProductId() const override { return 0x4737; }
    QString ProductString() const override;
    QString SerialNumberString() const override;
    void OutputReport(const QByteArray& report) override;
    void HostListening(bool listening) override;

    // The module's state, for tests and the demo.
    const TSimProfile& Profile() const;
    std::vector<std::pair<quint8, quint8>> Map() const;
    bool Locked() const;
    void SetMonitoring(bool on);
    // Places a response block in the next status report (new toggle).
    void QueueResponse(const TSimResponseBlock& block);
    // Every output report received, in order (for tests).
    QList<QByteArray> ReceivedReports() const;
    int RequestsSeen() const;

private:
    struct Impl;
    Impl* d;
};
