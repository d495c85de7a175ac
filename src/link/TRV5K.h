#pragma once
// The module link: the RV5K module over USB HID. Finds and connects the
// module, gates every write on the module's busy bit and a 20 ms pause, turns
// input reports into typed events, runs the read sequence of the function
// list with its watchdog, and records framed commands in template mode.

#include "Bytes.h"
#include "Link.h"
#include "ReadSequence.h"
#include "hid/HidLayer.h"

#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QString>
#include <optional>

class QTimer;
class TSendGate;

class TRV5K : public QObject, public ILink {
    Q_OBJECT
public:
    static constexpr quint16 VendorId = 0x4B52;
    static constexpr quint16 ProductId = 0x4737;

    // The HID layer is shared with the base link and outlives the link.
    explicit TRV5K(THidLayer* hidLayer, QObject* parent = nullptr);
    ~TRV5K() override;

    // Connection (values are empty or 0 while disconnected).
    bool Connected() const override { return IsConnected; }
    QByteArray ProductName() const { return Product; }
    QByteArray SerialNumber() const { return Serial; }
    qint32 FirmwareVersion() const { return Firmware; }

    // Status flags of the last input report.
    bool Busy() const override { return BusyFlag; }
    bool ModuleError() const { return ModuleErrorFlag; }
    bool Monitoring() const { return MonitoringFlag; }
    bool Locked() const override { return LockedFlag; }
    // A report has come since the module connected, so the flags above are
    // the module's own and not what a previous connection left; and the last
    // status report brought no new response, so the module has told what it
    // had to tell on connecting (a block of its own that came in the middle
    // of a read would end that read as failed).
    bool StatusKnown() const override { return IsConnected && !JustConnected && NothingNew; }

    // Once set, nothing more is written and every wait ends.
    void SetClosing() override;
    bool Closing() const override { return IsClosing; }

    // Framed, raw and CAN memory channels.
    void SendModuleCommand(const tduomenys& command);
    void SendRawReport(const tduomenys& array);
    void SendMemoryCommand(const tduomenys& arguments);
    void ProcessInputReport(const QByteArray& data);

    // Framed requests.
    void SetPhoneNumber(quint8 slot, quint8 flags, const QByteArray& number);
    void SetSMSPSTNCR(quint32 value);
    void SelectVoicePage(quint16 page, quint16 pageCount);
    void WriteVoiceChunk(quint8 chunkIndex, const tduomenys& data);
    void SetPhoneNumberAdditionalCR(quint8 slot, quint8 flags);
    void EndBatch();
    void SendUSBPassword(const QByteArray& password) override;
    void ReadSMSPhrase(quint8 phraseNumber);
    void GetMemoryInfo();
    void SendPageCRC(quint16 page, quint8 check);
    void ReadParametersMap(quint8 block);

    // CAN memory requests and the raw request (the shared operations).
    void ReadMapPage(quint8 page);
    void GetWriteProg(quint8 index) override;
    void GetFNandNN(quint8 a, quint8 b) override;
    void GetGrPgr(quint16 number) override;
    void SetFN_NN(quint8 fn, quint8 nn) override;
    void RestoreRV5KDefaults() override;
    void ResetCar() override;
    void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) override;
    void SetCar(quint8 a, quint8 b) override;
    void GetZoneStatus() override;

    // Read sequence.
    void Nuskaitymas() override;
    void ResetFlags() override;
    bool VykstaNuskaitymas() const override { return Sequence.Running(); }
    bool KlaidaNuskaitant() const override { return Sequence.Failed(); }

    // The module takes every setting as it comes; it keeps no trace.
    bool WaitUntilWritable(int) override { return MayWrite(); }
    void ReadCycleEnded() override {}
    void Trace(const QString&) override {}
    void ClearTrace() override {}

    // Template mode.
    bool TemplateFlag() const { return IsRecording; }
    bool Recording() const override { return IsRecording; }
    void StartTemplate();
    void StopTemplate();
    tduomenys GetTemplate() const { return Template; }
    void ReplayResponse(const tduomenys& block);

    // Whether an event has a receiver; answers of events without one are dropped.
    template <typename Signal> bool HasReceiver(Signal signal) const {
        return isSignalConnected(QMetaMethod::fromSignal(signal));
    }
    // Hands an answer to the read sequence, as the response table and the CAN
    // memory replies do.
    void SequenceAnswer(quint8 code, quint8 index);

signals:
    void OnConnect();
    void OnDisconnect();
    void OnState(quint8 MC55iFlags, quint8 MC55iCR, quint8 MC55iSR, quint16 TCPSR,
                 quint8 OutBufMessCount, quint8 SentCounter);
    void OnUsart(const QByteArray& Output, bool OutGoing);
    void OnZoneStatus(quint32 Data);

    void OnConnectionString(const QByteArray& Output);
    void OnAPN(const QByteArray& Output);
    void OnUserName(const QByteArray& Output);
    void OnPassword(const QByteArray& Output);
    void OnTCPCR(quint32 Data);
    void OnConnectionString2(const QByteArray& Output);
    void OnConnectionString3(const QByteArray& Output);
    void OnUSBPassword(const QByteArray& Output);
    void OnReserveAccount(const QByteArray& Output);
    void OnTLXOwnerName(const QByteArray& Output);
    void OnRV5KCR(quint32 Data);
    void OnPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& Number);
    void OnSMSPSTNCR(quint32 Data);
    void OnSMSPhrase(quint8 Idx, quint8 Nr, const QString& Phrase);
    void OnHelpMessage(quint8 Idx, const tduomenys& Data);
    void OnTCPServerPort(quint16 Data);
    void OnAdditionalSMSText(qint32 Idx, const QByteArray& s);
    void OnMemoryData(const tduomenys& Data);
    void OnPageRCRArrived(const tduomenys& Data);
    void OnModemData(const QByteArray& Output);
    void OnSIMpin(const QByteArray& Output);
    void OnHeartBeatEventId(quint16 Data);
    void OnPhoneNumberAdditionalCR(quint8 Idx, quint8 CR, const QByteArray& Number);
    void OnAES128Key(quint8 Idx, const QByteArray& phrase);
    void OnAlarmSettings(quint32 CR1, quint32 CR2);
    void OnRV5KFlags(quint32 Data);
    void OnParametersMap(quint8 Idx, const tduomenys& Data);
    void OnAutoStartParameters(const tduomenys& Data);
    // Published for completeness; no report raises them.
    void OnDX31Phrase(quint8 Idx, quint8 Nr, const QString& Phrase);
    void OnSMSBackupPhoneNumber(quint8 Idx, quint8 CR, const QByteArray& Number);

    void OnRV5KFNMemoryMap(quint8 Idx, const tduomenys& Data);
    void OnFNandNN(quint8 B1, quint8 B2);
    void OnWriteProg(const tduomenys& Data);
    void OnReadProgCnt(quint16 Data);
    void OnReadProg(const tduomenys& Data);

private:
    void OnDevicesChanged();
    void OnDeviceUnplugged(HidDeviceId device, quint16 vendorId, quint16 productId);
    void DoConnect();
    void DoDisconnect();
    void HandleCanMemoryReply(const QByteArray& data);
    void SendSequenceStep(quint8 code, quint8 index);
    bool GateOpen(bool framed) const;
    void Write(const QByteArray& report);
    void WriteAndPause(const QByteArray& report);
    void QueueReport(const QByteArray& report, bool framed);
    void WritePending(bool limitReached = false);
    void OnWatchdog();
    bool MayWrite() const { return IsConnected && !IsClosing; }

    THidLayer* Hid;
    TSendGate* Gate;
    QTimer* Watchdog;
    QTimer* PendingLimit; // a queued report goes out after this even to a busy module
    HidDeviceId Device = 0;

    bool IsConnected = false;
    bool Creating = false;
    bool IsClosing = false;
    QByteArray Product;
    QByteArray Serial;
    qint32 Firmware = 0;

    bool BusyFlag = false;
    bool ModuleErrorFlag = false;
    bool MonitoringFlag = false;
    bool LockedFlag = false;
    quint8 LastResponseToggle = 0;
    quint8 LastUsartToggle = 0;
    bool JustConnected = false;
    bool NothingNew = false; // the last status report's toggle had not changed
    quint8 ReportsSeen = 0;

    TReadSequence Sequence;
    // The sequence's next report, waiting for the gate.
    struct TPendingReport {
        QByteArray Report;
        bool Framed;
    };
    std::optional<TPendingReport> Pending;
    bool PendingForced = false;
    bool IsRecording = false;
    tduomenys Template;
};
