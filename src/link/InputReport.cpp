#include "InputReport.h"

#include <algorithm>

namespace InputReport {

namespace {
constexpr quint8 StatusReportMark = 0x20;
constexpr quint8 MemoryReplyMark = 0x10;
constexpr quint8 MemoryReplyMark2 = 0x64; // "d"
constexpr quint8 ZoneReplyMark = 0x40;
constexpr quint8 ZoneReplyMark2 = 0x25;
constexpr quint8 ZoneReplyMark3 = 0x64;

constexpr quint8 BusyBit = 0x80;
constexpr quint8 ModuleErrorBit = 0x40;
constexpr quint8 MonitoringBit = 0x20;
constexpr quint8 LockedBit = 0x10;
constexpr quint8 ToggleMask = 0x03;

// State block positions.
constexpr int FlagsAt = 3;
constexpr int CrAt = 4;
constexpr int SrAt = 5;
constexpr int TcpsrAt = 6;
constexpr int OutBufAt = 8;
constexpr int SentAt = 9;
constexpr int UsartControlAt = 10;
constexpr int UsartLengthAt = 11;
constexpr int UsartTextAt = 12;
constexpr quint8 UsartIncomingBit = 0x40;

// CAN memory reply positions.
constexpr int ReplyCodeAt = 2;
constexpr int ReplyDataAt = 3;
constexpr int ReplyDataBytes = 8;
constexpr int ReplyIndexAt = 11;
constexpr quint8 ErrorMark = 0x65; // "e"

constexpr int ZoneValueAt = 3;
} // namespace

quint8 ByteAt(const QByteArray& data, int index) {
    return index >= 0 && index < data.size() ? quint8(data[index]) : 0;
}

bool HasStatusByte(const QByteArray& data) {
    return data.size() > StatusByteIndex;
}

TStatus DecodeStatus(quint8 statusByte) {
    TStatus status;
    status.Busy = statusByte & BusyBit;
    status.ModuleError = statusByte & ModuleErrorBit;
    status.Monitoring = statusByte & MonitoringBit;
    status.Locked = statusByte & LockedBit;
    status.ResponseToggle = statusByte & ToggleMask;
    return status;
}

TKind KindOf(const QByteArray& data) {
    const quint8 b0 = ByteAt(data, 0);
    const quint8 b1 = ByteAt(data, 1);
    if (data.isEmpty())
        return TKind::Other;
    if (b0 == StatusReportMark)
        return TKind::Status;
    if (b0 == MemoryReplyMark && b1 == MemoryReplyMark2)
        return TKind::CanMemory;
    if (b0 == ZoneReplyMark && b1 == ZoneReplyMark2 && ByteAt(data, 2) == ZoneReplyMark3)
        return TKind::ZoneStatus;
    return TKind::Other;
}

TStateBlock DecodeStateBlock(const QByteArray& data) {
    TStateBlock block;
    block.MC55iFlags = ByteAt(data, FlagsAt);
    block.MC55iCR = ByteAt(data, CrAt);
    block.MC55iSR = ByteAt(data, SrAt);
    block.TCPSR = quint16(ByteAt(data, TcpsrAt) << 8 | ByteAt(data, TcpsrAt + 1));
    block.OutBufMessCount = ByteAt(data, OutBufAt);
    block.SentCounter = ByteAt(data, SentAt);
    const quint8 control = ByteAt(data, UsartControlAt);
    block.UsartToggle = control & ToggleMask;
    block.OutGoing = !(control & UsartIncomingBit);
    // A length reaching past the report keeps only the bytes the report holds.
    const int length = ByteAt(data, UsartLengthAt);
    const int available = std::max(0, int(data.size()) - UsartTextAt);
    block.UsartText = data.mid(UsartTextAt, std::min(length, available));
    return block;
}

tduomenys ResponseBlock(const QByteArray& data) {
    return FromQByteArray(data.mid(StatusByteIndex));
}

TMemoryReply DecodeMemoryReply(const QByteArray& data) {
    TMemoryReply reply;
    reply.Code = ByteAt(data, ReplyCodeAt);
    reply.Data.resize(ReplyDataBytes);
    for (int i = 0; i < ReplyDataBytes; ++i)
        reply.Data[std::size_t(i)] = ByteAt(data, ReplyDataAt + i);
    const quint8 index = ByteAt(data, ReplyIndexAt);
    reply.IsError = index == ErrorMark;
    reply.PageIndex = index & 0x7F;
    return reply;
}

quint32 ZoneStatusValue(const QByteArray& data) {
    return quint32(ByteAt(data, ZoneValueAt)) << 24 | quint32(ByteAt(data, ZoneValueAt + 1)) << 16 |
           quint32(ByteAt(data, ZoneValueAt + 2)) << 8 | quint32(ByteAt(data, ZoneValueAt + 3));
}

} // namespace InputReport
