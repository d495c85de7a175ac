#include "BaseReport.h"

#include "BaseFrames.h"

namespace BaseReport {

TStatus DecodeStatus(const QByteArray& data) {
    const quint8 status = ByteAt(data, StatusPos);
    return {(status & BusyBit) != 0, (status & RelayFailedBit) != 0, (status & CardToggleBit) != 0};
}

bool IsInputState(const QByteArray& data) {
    return ByteAt(data, StatusPos) == InputStateStatus && ByteAt(data, 1) != 0;
}

bool IsSetAcknowledge(const QByteArray& data) {
    return ReplyCode(data) == ReplyAcknowledge &&
           ByteAt(data, AcknowledgedCodePos) == BaseFrames::ReqSetFnNn;
}

tduomenys Bytes(const QByteArray& data, int pos, int count) {
    tduomenys bytes(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        bytes[size_t(i)] = ByteAt(data, pos + i);
    return bytes;
}

qint64 CardNumber(const QByteArray& data) {
    qint64 number = 0;
    for (int i = 0; i < CardNumberBytes; ++i)
        number |= qint64(ByteAt(data, CardNumberPos + i)) << (8 * i);
    return number;
}

bool LowBattery(const QByteArray& data) {
    return (ByteAt(data, CardFlagsPos) & LowBatteryBit) != 0;
}

quint32 ZoneStatus(const QByteArray& data) {
    return quint32(ByteAt(data, ZoneStatusPos)) + quint32(ByteAt(data, ZoneStatusPos + 1)) * 256 +
           quint32(ByteAt(data, ZoneStatusPos + 2) >> 4) * 65536;
}

quint16 ProgramCount(const QByteArray& data) {
    return quint16(ByteAt(data, ReplyDataPos) * 256 + ByteAt(data, ReplyDataPos + 1));
}

} // namespace BaseReport
