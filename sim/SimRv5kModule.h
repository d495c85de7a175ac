#pragma once
// A simulated RV5K module on the simulated HID bus. It answers at the report
// level as the real module does: status reports with the busy, error,
// monitoring and locked bits and the response toggle, response blocks,
// CAN memory replies and zone status replies. While the host listens it sends
// a status report every StatusIntervalMs and one more whenever it has news;
// with LatencyMs each request keeps it busy that long before it answers.

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
    // A request is waiting for its answer, or the module is stuck busy.
    bool Busy() const;
    void SetMonitoring(bool on);
    // The modem state the next state blocks report (the usart script's
    // changes go on applying over it).
    void SetModemState(const TSimModemState& state);
    TSimModemState ModemState() const;
    // Places a response block in the next status report (new toggle).
    void QueueResponse(const TSimResponseBlock& block);
    // Every output report received, in order (for tests).
    QList<QByteArray> ReceivedReports() const;
    // Output reports that were requests of a kind the module knows (framed,
    // CAN memory or zone status), answered or not.
    int RequestsSeen() const;
    // Input reports sent so far, garbage included.
    int InputReportsSent() const;

private:
    struct Impl;
    Impl* d;
};
