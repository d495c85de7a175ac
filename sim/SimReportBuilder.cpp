#include "SimReportBuilder.h"

#include "SimProtocol.h"

using namespace SimWire;

namespace {

QByteArray EmptyReport() {
    return QByteArray(kInputReportSize, '\0');
}

void Put(QByteArray& report, int pos, quint8 value) {
    report[pos] = char(value);
}

void PutBytes(QByteArray& report, int pos, const QByteArray& bytes, int maxCount) {
    const int count = int(qMin<qsizetype>(bytes.size(), maxCount));
    for (int i = 0; i < count; ++i)
        report[pos + i] = bytes[i];
}

} // namespace

QByteArray TSimReportBuilder::StatusReport(quint8 statusByte, const TSimStateBlock* state,
                                           const TSimResponseBlock* response) {
    QByteArray report = EmptyReport();
    Put(report, kKindPos, kStatusKind);
    Put(report, kSubKindPos, kFramedSubKind);
    Put(report, kStatusPos, statusByte);
    if (state) {
        Put(report, kModemFlagsPos, state->Modem.MC55iFlags);
        Put(report, kModemControlPos, state->Modem.MC55iCR);
        Put(report, kModemStatusPos, state->Modem.MC55iSR);
        Put(report, kTcpStatusPos, quint8(state->Modem.TCPSR >> 8));
        Put(report, kTcpStatusPos + 1, quint8(state->Modem.TCPSR));
        Put(report, kOutBufCountPos, state->Modem.OutBufMessCount);
        Put(report, kSentCounterPos, state->Modem.SentCounter);
        const quint8 control = (state->UsartToggle & kUsartToggleMask) |
                               (state->UsartFromModem ? kUsartFromModemBit : 0);
        Put(report, kUsartControlPos, control);
        const int length = int(qMin<qsizetype>(state->UsartText.size(), kMaxUsartText));
        Put(report, kUsartLengthPos, quint8(length));
        PutBytes(report, kUsartTextPos, state->UsartText, length);
    }
    if (response) {
        Put(report, kResponseCodePos, response->Code);
        // The rest of the block is the payload: the state bytes it covers are
        // cleared, not left showing through.
        for (int i = kResponsePayloadPos; i < kInputReportSize; ++i)
            report[i] = '\0';
        PutBytes(report, kResponsePayloadPos, response->Payload, kMaxResponsePayload);
    }
    return report;
}

QByteArray TSimReportBuilder::CanMemoryReply(quint8 code, const QByteArray& data, quint8 index) {
    QByteArray report = EmptyReport();
    Put(report, kKindPos, kCanMemoryKind);
    Put(report, kSubKindPos, kCanReplyMark);
    Put(report, kReplyCodePos, code);
    PutBytes(report, kReplyDataPos, data, kReplyDataSize);
    Put(report, kReplyIndexPos, index);
    return report;
}

QByteArray TSimReportBuilder::CanMemoryError(quint8 code) {
    return CanMemoryReply(code, {}, kErrorReplyMark);
}

QByteArray TSimReportBuilder::ZoneStatusReply(quint32 value) {
    QByteArray report = EmptyReport();
    Put(report, kKindPos, kRawKind);
    Put(report, kSubKindPos, kZoneStatusCode);
    Put(report, kStatusPos, kZoneReplyMark);
    for (int i = 0; i < 4; ++i)
        Put(report, kZoneValuePos + i, quint8(value >> (24 - 8 * i)));
    return report;
}

QByteArray TSimReportBuilder::Garbage(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, kInputReportSize);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray report(length(random), '\0');
    for (char& c : report)
        c = char(byte(random));
    if (!report.isEmpty()) {
        // A first byte of a real kind could make the noise pass for a reply.
        const quint8 first = quint8(report[kKindPos]);
        if (first == kStatusKind || first == kCanMemoryKind || first == kRawKind)
            report[kKindPos] = char(first ^ 0x01);
    }
    return report;
}
