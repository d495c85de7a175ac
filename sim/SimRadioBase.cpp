#include "SimRadioBase.h"

#include "SimBaseProtocol.h"
#include "SimRadioModule.h"

#include <QTimer>

using namespace SimBaseWire;

namespace {
quint8 ByteAt(const QByteArray& bytes, int pos) {
    return pos >= 0 && pos < bytes.size() ? quint8(bytes[pos]) : 0;
}
} // namespace

TSimRadioBase::TSimRadioBase(const TSimBaseProfile& profile, QObject* parent)
    : TVirtualHidDevice(parent), Settings(profile) {
    for (const TSimRadioModuleProfile& module : Settings.Modules)
        Modules.push_back(std::make_unique<TSimRadioModule>(module));
}

TSimRadioBase::~TSimRadioBase() = default;

quint16 TSimRadioBase::VendorId() const {
    return kVendorId;
}
quint16 TSimRadioBase::ProductId() const {
    return kProductId;
}

void TSimRadioBase::HostListening(bool listening) {
    Listening = listening;
}

void TSimRadioBase::ClearRecords() {
    ReceivedFrames.clear();
    RelayedPayloads.clear();
}

void TSimRadioBase::OutputReport(const QByteArray& report) {
    const QByteArray frame = report.mid(1, kFrameSize);
    ReceivedFrames.append(frame);
    const quint8 command = ByteAt(frame, 0);
    if (Settings.StayBusy) {
        Send({}, kBusyBit);
        return;
    }
    if (command == kSettings && ByteAt(frame, 1) == kSetSerial) {
        AddressValue = 0;
        for (int i = 0; i < kSerialBytes; ++i)
            AddressValue |= quint64(ByteAt(frame, kSerialPos + i)) << (8 * i);
    } else if (command == kSettings && ByteAt(frame, 1) == kCommonAddress) {
        Common = ByteAt(frame, kCommonAddressPos) != 0;
    } else if (command == kRelay) {
        const int length = qMin<int>(ByteAt(frame, kRelayLengthPos), kMaxRelayPayload);
        Queue.append(frame.mid(kRelayPayloadPos, length));
        if (!RelayRunning)
            StartNextRelay();
    }
}

void TSimRadioBase::StartNextRelay() {
    if (Queue.isEmpty())
        return;
    Current = Queue.takeFirst();
    RelayedPayloads.append(Current);
    ++RelayNumber;
    RelayRunning = true;
    Send({}, kBusyBit); // the frame is taken; the radio is busy with it
    QTimer::singleShot(Settings.BusyMs, this, &TSimRadioBase::FinishRelay);
}

void TSimRadioBase::FinishRelay() {
    RelayRunning = false;
    const int number = RelayNumber;
    if (Settings.RelayAlwaysFails || Settings.RelayFailTo.contains(number)) {
        Send({}, kRelayFailedBit);
    } else {
        QList<QByteArray> replies;
        for (const auto& module : Modules) {
            if (!module->InRange() || !(Common || module->Addressed(AddressValue)))
                continue;
            if (const std::optional<QByteArray> reply = module->Request(Current))
                replies.append(*reply);
        }
        if (Settings.DropReplyTo.contains(number))
            replies.clear();
        if (replies.isEmpty())
            Send({}, 0);
        for (const QByteArray& reply : replies)
            Send(reply, 0);
    }
    if (Settings.UnplugAfterRelays && number >= *Settings.UnplugAfterRelays) {
        Settings.UnplugAfterRelays.reset();
        emit UnplugRequested();
        return;
    }
    StartNextRelay();
}

quint8 TSimRadioBase::CardBits() const {
    return CardToggle ? kCardToggleBit : 0;
}

void TSimRadioBase::Send(QByteArray report, quint8 status) {
    if (!Listening)
        return;
    report.resize(kInputReportSize, '\0');
    report[kStatusPos] = char(status | CardBits());
    emit InputReport(report);
}

void TSimRadioBase::SendCardData(qint64 number, bool lowBattery) {
    CardToggle = !CardToggle;
    QByteArray report(kInputReportSize, '\0');
    for (int i = 0; i < kCardNumberBytes; ++i)
        report[kCardNumberPos + i] = char(number >> (8 * i));
    report[kCardFlagsPos] = char(lowBattery ? kLowBatteryBit : 0);
    Send(report, 0);
}

void TSimRadioBase::SendInputState(quint8 nr, quint8 impA, quint8 impB, quint8 sal1, quint8 sal2) {
    if (!Listening)
        return;
    QByteArray report(kInputReportSize, '\0');
    report[0] = char(kInputStateStatus);
    report[1] = char(nr);
    report[2] = char(impA);
    report[3] = char(impB);
    report[4] = char(sal1);
    report[5] = char(sal2);
    emit InputReport(report);
}
