#pragma once
// Where the bytes of the radio base's input reports sit, and the values they
// carry. Positions count data bytes (after the report id).

#include "link/Bytes.h"

#include <QByteArray>
#include <QtGlobal>

namespace BaseReport {

constexpr int StatusPos = 0;
constexpr quint8 BusyBit = 0x80;
constexpr quint8 RelayFailedBit = 0x40;
constexpr quint8 CardToggleBit = 0x02;
constexpr quint8 InputStateStatus = 0x0C;
constexpr int InputStateBytes = 6;

constexpr int ReplyCodePos = 1;
constexpr int ReplyDataPos = 2;
constexpr int ReplyDataSize = 8;
constexpr int EndMarkPos = 10;
constexpr quint8 EndMark = 0x64; // "d"
constexpr quint8 FirstReplyCode = 0x30;
constexpr int ReplyEventBytes = 20; // OnData: data bytes 1 to 20

constexpr quint8 ReplyAcknowledge = 0x3F; // "?", then the acknowledged request code
constexpr int AcknowledgedCodePos = 2;
constexpr int MapCountPos = 2;
constexpr int MapIndexPos = 3;
constexpr int MapDataPos = 4;
constexpr int MapPageBytes = 6;
constexpr int CardNumberPos = 1;
constexpr int CardNumberBytes = 5;
constexpr int CardFlagsPos = 6;
constexpr quint8 LowBatteryBit = 0x80;
constexpr int ZoneStatusPos = 3;

inline quint8 ByteAt(const QByteArray& data, int pos) {
    return pos >= 0 && pos < data.size() ? quint8(data[pos]) : 0;
}

struct TStatus {
    bool Busy = false;
    bool RelayFailed = false;
    bool CardToggle = false;
};
TStatus DecodeStatus(const QByteArray& data);

inline quint8 ReplyCode(const QByteArray& data) {
    return ByteAt(data, ReplyCodePos);
}
inline bool HasEndMark(const QByteArray& data) {
    return ByteAt(data, EndMarkPos) == EndMark;
}
bool IsInputState(const QByteArray& data);
bool IsSetAcknowledge(const QByteArray& data);

// count bytes from pos; missing bytes read as 0.
tduomenys Bytes(const QByteArray& data, int pos, int count);
qint64 CardNumber(const QByteArray& data);
bool LowBattery(const QByteArray& data);
quint32 ZoneStatus(const QByteArray& data);
quint16 ProgramCount(const QByteArray& data);

} // namespace BaseReport
