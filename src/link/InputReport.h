#pragma once
// Taking an input report of the module apart. Positions count data bytes (the
// bytes after the report id); a byte a short report lacks reads as 0.

#include "Bytes.h"

#include <QByteArray>

namespace InputReport {

constexpr int StatusByteIndex = 2;

struct TStatus {
    bool Busy = false;
    bool ModuleError = false;
    bool Monitoring = false;
    bool Locked = false;
    quint8 ResponseToggle = 0;
};

enum class TKind { Status, CanMemory, ZoneStatus, Other };

struct TStateBlock {
    quint8 MC55iFlags = 0;
    quint8 MC55iCR = 0;
    quint8 MC55iSR = 0;
    quint16 TCPSR = 0;
    quint8 OutBufMessCount = 0;
    quint8 SentCounter = 0;
    quint8 UsartToggle = 0;
    bool OutGoing = false;
    QByteArray UsartText; // cut to the bytes the report holds
};

struct TMemoryReply {
    quint8 Code = 0;
    tduomenys Data; // the 8 reply bytes
    bool IsError = false;
    quint8 PageIndex = 0; // low 7 bits of the index byte
};

quint8 ByteAt(const QByteArray& data, int index);
bool HasStatusByte(const QByteArray& data);
TStatus DecodeStatus(quint8 statusByte);
TKind KindOf(const QByteArray& data);
TStateBlock DecodeStateBlock(const QByteArray& data);
// The response block: the status byte, the code, then the payload.
tduomenys ResponseBlock(const QByteArray& data);
TMemoryReply DecodeMemoryReply(const QByteArray& data);
quint32 ZoneStatusValue(const QByteArray& data);

} // namespace InputReport
