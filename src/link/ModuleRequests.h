#pragma once
// The bytes of every request the module link sends: the command arrays of
// the framed requests, the argument arrays of the CAN memory requests, the
// raw zone status request, and the output reports that carry them.

#include "Bytes.h"

#include <QByteArray>

namespace ModuleRequests {

constexpr int ArraySize = 63;  // command, argument and raw arrays
constexpr int ReportSize = 65; // report id and 64 data bytes

constexpr quint8 FramedChannel = 0x20;
constexpr quint8 MemoryChannel = 0x10;
constexpr int MemoryArgumentBytes = 10; // argument bytes a CAN memory report carries

// Framed request codes.
constexpr quint8 CodeSetPhoneNumber = 0x0B;
constexpr quint8 CodeSetSMSPSTNCR = 0x0C;
constexpr quint8 CodeSelectVoicePage = 0x11;
constexpr quint8 CodeWriteVoiceChunk = 0x12;
constexpr quint8 CodeSetPhoneNumberAdditionalCR = 0x16;
constexpr quint8 CodeEndBatch = 0x41;
constexpr quint8 CodeUSBPassword = 0x42;
constexpr quint8 CodeReadSMSPhrase = 0x8D;
constexpr quint8 CodeGetMemoryInfo = 0x91;
constexpr quint8 CodeSendPageCRC = 0x92;
constexpr quint8 CodeReadParametersMap = 0x9F;
// CAN memory request codes.
constexpr quint8 CodeSetFnNn = 0x14;
constexpr quint8 CodeFnAndNn = 0x38;
constexpr quint8 CodeMapPage = 0x39;
constexpr quint8 CodeSetPin = 0x3A;
constexpr quint8 CodeWriteProg = 0x3B;
constexpr quint8 CodeProgCount = 0x3C;
constexpr quint8 CodeGrPgr = 0x3D;
constexpr quint8 CodeSetCar = 0x50;
// FN numbers the set request uses for module commands.
constexpr quint8 FnRestoreDefaults = 0x99;
constexpr quint8 FnResetCar = 0x59;

constexpr int PhoneNumberWidth = 15;
constexpr int PasswordWidth = 16;
constexpr int VoiceChunkMax = 59;

// Output reports.
QByteArray FramedReport(const tduomenys& command);
QByteArray RawReport(const tduomenys& array);
// The raw array that wraps a CAN memory argument array.
tduomenys MemoryArray(const tduomenys& arguments);

// Framed command arrays.
tduomenys SetPhoneNumber(quint8 slot, quint8 flags, const QByteArray& number);
tduomenys SetSMSPSTNCR(quint32 value);
tduomenys SelectVoicePage(quint16 page, quint16 pageCount);
tduomenys WriteVoiceChunk(quint8 chunkIndex, const tduomenys& data);
tduomenys SetPhoneNumberAdditionalCR(quint8 slot, quint8 flags);
tduomenys EndBatch();
tduomenys USBPassword(const QByteArray& password);
tduomenys ReadSMSPhrase(quint8 phraseNumber);
tduomenys GetMemoryInfo();
tduomenys SendPageCRC(quint16 page, quint8 check);
tduomenys ReadParametersMap(quint8 block);

// CAN memory argument arrays.
tduomenys MemoryRequest(quint8 code, quint8 a = 0, quint8 b = 0); // code, index / two bytes
tduomenys GetGrPgr(quint16 number);
tduomenys SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4);
tduomenys RestoreDefaults(); // the one 3-byte array

// Raw array.
tduomenys GetZoneStatus();

} // namespace ModuleRequests
