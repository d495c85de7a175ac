#pragma once
// The base link: the radio base station over USB HID. It holds one base,
// writes 24-byte frames through a gate that waits for the base to be free and
// paces the writes, relays module requests with resends, turns the base's
// input reports into typed events and runs the read sequence of the function
// map, the write-program page and the program count. It offers the module
// operations under the same names as the module link.

#include "BaseReadSequence.h"
#include "link/Bytes.h"
#include "link/Link.h"
#include "link/hid/HidLayer.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QStringList>
#include <optional>

class QTimer;
class TSendGate;

class THFLatcher : public QObject, public ILink {
    Q_OBJECT
public:
    static constexpr quint16 VendorId = 0x4B52;
    static constexpr quint16 ProductId = 0x4846;
    static constexpr int BusyLimitMs = 3000; // a frame waiting this long for the base is dropped
    static constexpr int PacingMs = 40;      // after every write
    static constexpr int ResendMs = 300;
    static constexpr int MaxResends = 3;
    static constexpr int RelayPasses = 3; // sends of a relay the base reports as failed
    static constexpr int ReadWatchdogMs = 5000;

    // The HID layer is shared with the module link and outlives the link.
    explicit THFLatcher(THidLayer* hidLayer, QObject* parent = nullptr);
    ~THFLatcher() override;

    bool Connected() const override { return IsConnected; }
    // Status of the last input report.
    bool Busy() const override { return BusyFlag; }
    bool RelayFailed() const { return RelayFailedFlag; }
    bool CardToggle() const { return CardToggleFlag; }
    // A set request is relayed and not yet acknowledged.
    bool SetPending() const { return SetPendingFlag; }
    int ResendCount() const { return Resends; }

    // Base commands.
    void SetBaseSerNum(quint64 value);
    void UseCommonAddress(bool on);
    void NustatytiProgramuojamaAdresa() { UseCommonAddress(true); }
    void IjungiSkaityma();
    void IsjungiSkaityma();
    void FillCANBuf(quint8 n, const tduomenys& data);
    void SendCANBuf(quint8 n);
    void ResetCheckSumm();
    void CheckCheckSum();
    void SetCanDataBuffer(quint8 n, const tduomenys& data, bool withLength);
    void SendCANDataBuffer(quint8 n, bool indexed);
    void IjungiOSCRezima(quint8 v);

    // Relays the first length bytes of payload to the module.
    void SendRVCommand(const tduomenys& payload, int length, bool expectReply);
    // A relay is being written or waits for its outcome.
    bool Relaying() const { return RelayDepth > 0; }
    void Ping();

    // Relayed module operations.
    void GetFNandNN(quint8 a, quint8 b) override;
    void SetFN_NN(quint8 fn, quint8 nn) override;
    void GetGrPgr(quint16 number) override;
    void GetWriteProg(quint8 index) override;
    void SetCar(quint8 a, quint8 b) override;
    void ResetCar() override;
    void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) override;
    void RestoreRV5KDefaults() override;
    void GetZoneStatus() override;
    void Nuskaitymas() override;
    void ResetFlags() override;
    bool VykstaNuskaitymas() const override { return Sequence.Running(); }
    bool KlaidaNuskaitant() const override { return Sequence.Failed(); }

    // The module behind the base has no USB password and records nothing.
    bool StatusKnown() const override { return true; }
    bool Locked() const override { return false; }
    void SendUSBPassword(const QByteArray&) override {}
    bool Recording() const override { return false; }
    // A set waits for the base's acknowledgement of the previous one.
    bool WaitUntilWritable(int limitMs) override;
    // The chosen module's keep-alive starts over (KeepAliveDue).
    void ReadCycleEnded() override { emit KeepAliveDue(); }
    void Trace(const QString& line) override { ListasAdd(line); }
    void ClearTrace() override { ClearListas(); }
    void SetClosing() override;
    bool Closing() const override { return IsClosing; }

    // The trace of frames sent and replies received.
    void ClearListas() { TraceLines.clear(); }
    void ListasAdd(const QString& text) { TraceLines.append(text); }
    // Copies the trace into list and empties it.
    void getlistas(QStringList& list);
    const QStringList& Trace() const { return TraceLines; }

    void ProcessInputReport(const QByteArray& data);

    template <typename Signal> bool HasReceiver(Signal signal) const {
        return isSignalConnected(QMetaMethod::fromSignal(signal));
    }

signals:
    void OnConnect();
    void OnDisconnect();
    void OnData(const tduomenys& Data);
    void OnHFRV5KFNMap(quint8 cnt, quint8 Idx, const tduomenys& Data);
    void OnFNandNN(quint8 B1, quint8 B2);
    void OnReadProgCnt(quint16 Data);
    void OnReadProg(const tduomenys& Data);
    void OnWriteProg(const tduomenys& Data);
    void OnZoneStatus(quint32 Data);
    void OnInputStateArrived(quint8 Stat, quint8 Nr, quint8 ImpA, quint8 ImpB, quint8 Sal1,
                             quint8 Sal2);
    void OnCardDataArrived(qint64 Nr, bool BlogaBaterija);
    // A read through the base has ended: the chosen module's ping starts over.
    void KeepAliveDue();

private:
    void OnDevicesChanged();
    void OnDeviceUnplugged(HidDeviceId device, quint16 vendorId, quint16 productId);
    bool WriteFrame(const QByteArray& frame);
    void Relay(const tduomenys& payload, bool expectReply) {
        SendRVCommand(payload, int(payload.size()), expectReply);
    }
    void OnResendTimer();
    void ReplyArrived();
    void DispatchReply(const QByteArray& data);
    void SequenceStep(quint8 code, quint8 index);
    void SendQueuedStep();
    void OnReadWatchdog();
    bool MayWrite() const { return IsConnected && !IsClosing; }

    THidLayer* Hid;
    TSendGate* Gate;
    QTimer* PacingTimer;
    QTimer* ResendTimer;
    QTimer* ReadWatchdog;
    HidDeviceId Device = 0;

    bool IsConnected = false;
    bool IsClosing = false;
    bool BusyFlag = false;
    bool RelayFailedFlag = false;
    bool CardToggleFlag = false;
    bool SetPendingFlag = false;
    tduomenys LastRequest;
    int Resends = 0;
    QStringList TraceLines;
    TBaseReadSequence Sequence;
    // The sequence's next request, sent once the report that asked for it has
    // been handled to its end (so relays never nest inside a report handler).
    std::optional<tduomenys> QueuedStep;
    int RelayDepth = 0;
    QTimer* StepTimer;
};
