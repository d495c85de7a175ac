#pragma once
// A simulated radio base station on the simulated HID bus, with modules in its
// radio range. It takes 25-byte frames: the address settings, and relay frames
// that it carries to the modules. While the common address is set every module
// in range answers; otherwise only the addressed one. Each relay keeps the base
// busy for BusyMs: a busy report at once, then the outcome (the modules'
// replies, one report each, or an idle report when none answers, or a report
// that the relay failed).

#include "SimBaseProfile.h"
#include "link/hid/VirtualHidDevice.h"

#include <QList>
#include <memory>

class TSimRadioModule;

class TSimRadioBase : public TVirtualHidDevice {
    Q_OBJECT
public:
    explicit TSimRadioBase(const TSimBaseProfile& profile, QObject* parent = nullptr);
    ~TSimRadioBase() override;

    quint16 VendorId() const override;
    quint16 ProductId() const override;
    QString ProductString() const override { return Settings.ProductString; }
    QString SerialNumberString() const override { return Settings.SerialNumber; }
    void OutputReport(const QByteArray& report) override;
    void HostListening(bool listening) override;

    TSimBaseProfile& Profile() { return Settings; }
    int ModuleCount() const { return int(Modules.size()); }
    TSimRadioModule& Module(int index) { return *Modules[size_t(index)]; }
    bool CommonAddress() const { return Common; }
    quint64 Address() const { return AddressValue; }
    bool Busy() const { return RelayRunning || Settings.StayBusy; }

    // Every frame received (the 24 bytes after the report id), and the relayed
    // payloads alone, in order.
    QList<QByteArray> Frames() const { return ReceivedFrames; }
    QList<QByteArray> Relays() const { return RelayedPayloads; }
    void ClearRecords();

    // Reports the base sends of its own.
    void SendCardData(qint64 number, bool lowBattery);
    void SendInputState(quint8 nr, quint8 impA, quint8 impB, quint8 sal1, quint8 sal2);

private:
    void StartNextRelay();
    void FinishRelay();
    void Send(QByteArray report, quint8 status);
    quint8 CardBits() const;

    TSimBaseProfile Settings;
    std::vector<std::unique_ptr<TSimRadioModule>> Modules;
    QList<QByteArray> ReceivedFrames;
    QList<QByteArray> RelayedPayloads;
    QList<QByteArray> Queue; // relays taken while busy with another
    QByteArray Current;
    int RelayNumber = 0;
    bool RelayRunning = false;
    bool Listening = false;
    bool Common = false;
    quint64 AddressValue = 0;
    bool CardToggle = false;
};
