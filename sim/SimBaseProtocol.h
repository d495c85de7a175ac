#pragma once
// The radio base's report layouts, seen from the base's side. Positions count
// data bytes (after the report id of an output report).

#include <QtGlobal>

namespace SimBaseWire {

constexpr quint16 kVendorId = 0x4B52;
constexpr quint16 kProductId = 0x4846;

constexpr int kOutputReportSize = 25; // report id and the 24-byte frame
constexpr int kFrameSize = 24;
constexpr int kInputReportSize = 24;

// Frames from the host: byte 0 the base command.
constexpr quint8 kSettings = 0x01; // byte 1 says which setting
constexpr quint8 kSetSerial = 0x01;
constexpr int kSerialPos = 2; // five bytes, least significant first
constexpr int kSerialBytes = 5;
constexpr quint8 kCommonAddress = 0x06;
constexpr int kCommonAddressPos = 2;
constexpr quint8 kRelay = 0x12;
constexpr int kRelayLengthPos = 1;
constexpr int kRelayPayloadPos = 2;
constexpr int kMaxRelayPayload = 22;

// Input reports to the host.
constexpr int kStatusPos = 0;
constexpr quint8 kBusyBit = 0x80;
constexpr quint8 kRelayFailedBit = 0x40;
constexpr quint8 kCardToggleBit = 0x02;
constexpr quint8 kInputStateStatus = 0x0C;
constexpr int kReplyCodePos = 1;
constexpr int kReplyDataPos = 2; // eight bytes
constexpr int kReplyDataSize = 8;
constexpr int kEndMarkPos = 10;
constexpr quint8 kEndMark = 0x64; // "d"

// Card data: a 40-bit number from data byte 1, least significant first.
constexpr int kCardNumberPos = 1;
constexpr int kCardNumberBytes = 5;
constexpr int kCardFlagsPos = 6;
constexpr quint8 kLowBatteryBit = 0x80;

// Relayed module requests and their replies.
constexpr quint8 kPing = 0x30;
constexpr int kPingSerialPos = 2; // 24 bits, least significant first
constexpr int kPingMajorPos = 6;
constexpr int kPingMinorPos = 7;
constexpr quint8 kZoneStatus = 0x31;
constexpr int kZoneStatusPos = 3;
constexpr quint8 kGetFnAndNn = 0x38;
constexpr quint8 kSetPin = 0x3A;
constexpr quint8 kGetWriteProg = 0x3B;
constexpr quint8 kReadProgCount = 0x3C;
constexpr quint8 kGetGrPgr = 0x3D;
constexpr quint8 kReadMapPage = 0x3E;
constexpr int kMapCountPos = 2;
constexpr int kMapIndexPos = 3;
constexpr int kMapDataPos = 4;
constexpr int kMapPageBytes = 6;
constexpr quint8 kSetFnNn = 0x14;
constexpr quint8 kSetCar = 0x50;
constexpr quint8 kAcknowledge = 0x3F; // "?", followed by the acknowledged code

} // namespace SimBaseWire
