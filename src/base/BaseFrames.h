#pragma once
// The frames the tool sends to the radio base and the module requests it
// relays. A frame is 24 bytes, zero-filled, the base command first; the output
// report is the report id 0x00 followed by the frame.

#include "link/Bytes.h"

#include <QByteArray>
#include <QtGlobal>

namespace BaseFrames {

constexpr int FrameSize = 24;
constexpr int ReportSize = FrameSize + 1;
constexpr quint8 ReportId = 0x00;
constexpr int CanBufferBytes = 20;
constexpr int MaxRelayPayload = 22;

// Base commands (frame byte 0).
constexpr quint8 CmdSettings = 0x01; // byte 1 selects the setting
constexpr quint8 SetSerial = 0x01;
constexpr quint8 ReadingOn = 0x04;
constexpr quint8 ReadingOff = 0x05;
constexpr quint8 CommonAddress = 0x06;
constexpr quint8 CmdFillCanBuf = 0x04;
constexpr quint8 CmdSendCanBuf = 0x05;
constexpr quint8 CmdResetCheckSum = 0x08;
constexpr quint8 CmdCheckCheckSum = 0x09;
constexpr quint8 CmdCanDataBuffer = 0x14;
constexpr quint8 CmdCanDataBufferWithLength = 0x18;
constexpr quint8 CmdSendCanDataBuffer = 0x15;
constexpr quint8 CmdSendCanDataBufferIndexed = 0x19;
constexpr quint8 CmdOscMode = 0x17;
constexpr quint8 CmdRelay = 0x12;
constexpr int SerialBytes = 5; // the low five bytes of the value, least significant first

// Relayed request codes.
constexpr quint8 ReqPing = 0x30;       // "0"
constexpr quint8 ReqZoneStatus = 0x31; // "1"
constexpr quint8 ReqFnAndNn = 0x38;    // "8"
constexpr quint8 ReqSetPin = 0x3A;     // ":"
constexpr quint8 ReqWriteProg = 0x3B;  // ";"
constexpr quint8 ReqProgCount = 0x3C;  // "<"
constexpr quint8 ReqGrPgr = 0x3D;      // "="
constexpr quint8 ReqMapPage = 0x3E;    // ">"
constexpr quint8 ReqSetFnNn = 0x14;
constexpr quint8 ReqSetCar = 0x50; // "P"
constexpr quint8 FnRestoreDefaults = 0x99;
constexpr quint8 NnRestoreDefaults = 0x01;
constexpr quint8 FnResetCar = 0x59;
constexpr quint8 NnResetCar = 0x02;

QByteArray SetBaseSerNum(quint64 value);
QByteArray UseCommonAddress(bool on);
QByteArray IjungiSkaityma();
QByteArray IsjungiSkaityma();
QByteArray FillCANBuf(quint8 n, const tduomenys& data);
QByteArray SendCANBuf(quint8 n);
QByteArray ResetCheckSumm();
QByteArray CheckCheckSum();
QByteArray SetCanDataBuffer(quint8 n, const tduomenys& data, bool withLength);
QByteArray SendCANDataBuffer(quint8 n, bool indexed);
QByteArray IjungiOSCRezima(quint8 v);
// The relay frame: 0x12, the length, the payload (cut to 22 bytes).
QByteArray RelayFrame(const tduomenys& payload);
// The output report of a frame.
QByteArray OutputReport(const QByteArray& frame);

// Relayed request payloads.
tduomenys Request(quint8 code);
tduomenys Request(quint8 code, quint8 a);
tduomenys Request(quint8 code, quint8 a, quint8 b);
tduomenys SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4);
tduomenys GetGrPgr(quint16 address);

// Trace lines.
QByteArray SentLine(const QByteArray& frame, int resendCount);
QByteArray ReceivedLine(const QByteArray& data, int resendCount);

} // namespace BaseFrames
