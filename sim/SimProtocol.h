#pragma once
// The RV5K module's report layouts, seen from the module's side: where the
// bytes of the requests it takes and of the reports it sends sit. Positions
// count data bytes (after the report id of an output report).

#include <QtGlobal>

namespace SimWire {

// Sizes.
constexpr int kInputReportSize = 64;  // data bytes of every input report
constexpr int kOutputReportSize = 65; // report id and 64 data bytes
constexpr int kOutputDataPos = 1;     // data byte 0 of an output report

// Data bytes 0 and 1 tell the kinds apart.
constexpr int kKindPos = 0;
constexpr int kSubKindPos = 1;
constexpr quint8 kStatusKind = 0x20; // status report; also the framed request
constexpr quint8 kFramedSubKind = 0x00;
constexpr quint8 kCanMemoryKind = 0x10;
constexpr quint8 kCanReplyMark = 0x64; // "d": data byte 1 of a CAN memory reply
constexpr quint8 kRawKind = 0x40;
constexpr quint8 kZoneStatusCode = 0x25;
constexpr quint8 kZoneReplyMark = 0x64;

// Status byte (data byte 2 of a status report).
constexpr int kStatusPos = 2;
constexpr quint8 kBusyBit = 0x80;
constexpr quint8 kModuleErrorBit = 0x40;
constexpr quint8 kMonitoringBit = 0x20;
constexpr quint8 kLockedBit = 0x10;
constexpr quint8 kToggleMask = 0x03;

// Response block of a status report: block byte k is data byte k + 2.
constexpr int kResponseCodePos = 3;
constexpr int kResponsePayloadPos = 4;
constexpr int kMaxResponsePayload = kInputReportSize - kResponsePayloadPos; // 60

// State block of a status report with the monitoring bit.
constexpr int kModemFlagsPos = 3;
constexpr int kModemControlPos = 4;
constexpr int kModemStatusPos = 5;
constexpr int kTcpStatusPos = 6; // 16 bits, high byte first
constexpr int kOutBufCountPos = 8;
constexpr int kSentCounterPos = 9;
constexpr int kUsartControlPos = 10;
constexpr int kUsartLengthPos = 11;
constexpr int kUsartTextPos = 12;
constexpr int kMaxUsartText = kInputReportSize - kUsartTextPos; // 52
constexpr quint8 kUsartToggleMask = 0x03;
constexpr quint8 kUsartFromModemBit = 0x40;

// CAN memory reply.
constexpr int kReplyCodePos = 2;
constexpr int kReplyDataPos = 3;
constexpr int kReplyDataSize = 8;
constexpr int kReplyIndexPos = 11;
constexpr quint8 kErrorReplyMark = 0x65; // "e"

// Zone status reply: a 32-bit value, high byte first.
constexpr int kZoneValuePos = 3;

// Framed request: the command array follows the two kind bytes.
constexpr int kCommandPos = 2;
constexpr int kCommandSize = kInputReportSize - kCommandPos; // 62 bytes reach the module

// CAN memory request: argument array length, then its first ten bytes.
constexpr int kArgLengthPos = 1;
constexpr int kArgsPos = 2;
constexpr int kArgsSize = 10;

// Framed request codes.
constexpr quint8 kSetPhoneNumber = 0x0B;
constexpr quint8 kSetSmsPstnCr = 0x0C;
constexpr quint8 kSetPhoneNumberAdditionalCr = 0x16;
constexpr quint8 kEndBatch = 0x41;
constexpr quint8 kSendUsbPassword = 0x42;
constexpr quint8 kReadSmsPhrase = 0x8D;
constexpr quint8 kGetMemoryInfo = 0x91;
constexpr quint8 kSendPageCrc = 0x92;
constexpr quint8 kReadParametersMap = 0x9F;
// A setting is reported under the code of its write request with this bit set.
constexpr quint8 kReportedBit = 0x80;

// CAN memory request (and reply) codes.
constexpr quint8 kGetFnAndNn = 0x38;  // "8"
constexpr quint8 kReadMapPage = 0x39; // "9"
constexpr quint8 kSetPin = 0x3A;
constexpr quint8 kGetWriteProg = 0x3B;  // ";"
constexpr quint8 kReadProgCount = 0x3C; // "<"
constexpr quint8 kGetGrPgr = 0x3D;      // "="
constexpr quint8 kSetFnNn = 0x14;
constexpr quint8 kSetCar = 0x50;

// Function numbers the module itself acts on.
constexpr quint8 kFnEmpty = 0x00;
constexpr quint8 kFnSkip = 0xFF;
constexpr quint8 kFnPinFirst = 0x01; // four PIN digits, 0x01..0x04
constexpr int kPinDigits = 4;
constexpr quint8 kFnCarGroup = 0x06;
constexpr quint8 kFnCarSubgroup = 0x07;
constexpr quint8 kNnNotSet = 0xFF;
constexpr quint8 kFnRestoreDefaults = 0x99;
constexpr quint8 kNnRestoreDefaults = 0x01;
constexpr quint8 kFnResetCar = 0x59;
constexpr quint8 kNnResetCar = 0x02;

// Memory geometry.
constexpr int kMapSlots = 128;
constexpr int kFnPageSlots = 8;
constexpr int kLastFnPage = 15;
constexpr int kWriteProgPageBytes = 6;
constexpr int kWriteProgMaxBytes = 255; // the total travels in one byte
constexpr int kProgramsPerReply = 4;
constexpr int kMaxPrograms = 0xFFFF;
constexpr int kParametersBlockSlots = 32;

// Text fields of requests and responses.
constexpr int kPhoneNumberWidth = 15;
constexpr int kPasswordWidth = 16;
constexpr int kPhraseUnits = 24; // UTF-16 code units of an SMS phrase

// Response codes whose first payload byte is a slot or index, so the module
// holds one block per index.
constexpr bool IsIndexedResponse(quint8 code) {
    switch (code) {
    case 0x8B:
    case 0x8D:
    case 0x8E:
    case 0x90:
    case 0x96:
    case 0x97:
    case 0x99:
    case 0x9F:
        return true;
    default:
        return false;
    }
}

} // namespace SimWire
