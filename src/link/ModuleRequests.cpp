#include "ModuleRequests.h"

#include <algorithm>

namespace ModuleRequests {

namespace {
constexpr int FramedCommandOffset = 3; // report id, channel, 0x00
constexpr int FramedCommandBytes = ReportSize - FramedCommandOffset;
constexpr int RawArrayOffset = 1;        // after the report id
constexpr int MemoryArgumentsOffset = 2; // after channel and length

tduomenys Command(quint8 code) {
    tduomenys command(ArraySize, 0);
    command[0] = code;
    return command;
}

void PutText(tduomenys& array, std::size_t at, const QByteArray& text, int width) {
    const QByteArray field = PadText(text, width);
    for (int i = 0; i < width && at + std::size_t(i) < array.size(); ++i)
        array[at + std::size_t(i)] = std::uint8_t(field[i]);
}
} // namespace

QByteArray FramedReport(const tduomenys& command) {
    QByteArray report(ReportSize, '\0');
    report[1] = char(FramedChannel);
    report[2] = 0;
    // The last array byte never fits; no request uses it.
    for (int i = 0; i < FramedCommandBytes && std::size_t(i) < command.size(); ++i)
        report[FramedCommandOffset + i] = char(command[std::size_t(i)]);
    return report;
}

QByteArray RawReport(const tduomenys& array) {
    QByteArray report(ReportSize, '\0');
    for (int i = 0; i < ArraySize && std::size_t(i) < array.size(); ++i)
        report[RawArrayOffset + i] = char(array[std::size_t(i)]);
    return report;
}

tduomenys MemoryArray(const tduomenys& arguments) {
    tduomenys array(ArraySize, 0);
    array[0] = MemoryChannel;
    // The array's size, not the count of meaningful bytes.
    array[1] = std::uint8_t(arguments.size());
    CopyBytes(array, arguments, MemoryArgumentsOffset, MemoryArgumentBytes, 0);
    return array;
}

tduomenys SetPhoneNumber(quint8 slot, quint8 flags, const QByteArray& number) {
    tduomenys command = Command(CodeSetPhoneNumber);
    command[1] = slot;
    command[2] = flags;
    PutText(command, 3, number, PhoneNumberWidth);
    return command;
}

tduomenys SetSMSPSTNCR(quint32 value) {
    tduomenys command = Command(CodeSetSMSPSTNCR);
    command[1] = std::uint8_t(value >> 24);
    command[2] = std::uint8_t(value >> 16);
    command[3] = std::uint8_t(value >> 8);
    command[4] = std::uint8_t(value);
    return command;
}

tduomenys SelectVoicePage(quint16 page, quint16 pageCount) {
    tduomenys command = Command(CodeSelectVoicePage);
    command[1] = std::uint8_t(page);
    command[2] = std::uint8_t(page >> 8);
    command[3] = std::uint8_t(pageCount);
    command[4] = std::uint8_t(pageCount >> 8);
    return command;
}

tduomenys WriteVoiceChunk(quint8 chunkIndex, const tduomenys& data) {
    tduomenys command = Command(CodeWriteVoiceChunk);
    const std::size_t length = std::min<std::size_t>(data.size(), VoiceChunkMax);
    command[1] = chunkIndex;
    command[2] = std::uint8_t(length);
    CopyBytes(command, data, 3, length, 0);
    return command;
}

tduomenys SetPhoneNumberAdditionalCR(quint8 slot, quint8 flags) {
    tduomenys command = Command(CodeSetPhoneNumberAdditionalCR);
    command[1] = slot;
    command[2] = flags;
    return command;
}

tduomenys EndBatch() {
    return Command(CodeEndBatch);
}

tduomenys USBPassword(const QByteArray& password) {
    tduomenys command = Command(CodeUSBPassword);
    PutText(command, 1, password, PasswordWidth);
    return command;
}

tduomenys ReadSMSPhrase(quint8 phraseNumber) {
    tduomenys command = Command(CodeReadSMSPhrase);
    command[1] = phraseNumber;
    return command;
}

tduomenys GetMemoryInfo() {
    return Command(CodeGetMemoryInfo);
}

tduomenys SendPageCRC(quint16 page, quint8 check) {
    tduomenys command = Command(CodeSendPageCRC);
    command[1] = std::uint8_t(page);
    command[2] = std::uint8_t(page >> 8);
    command[3] = check;
    return command;
}

tduomenys ReadParametersMap(quint8 block) {
    tduomenys command = Command(CodeReadParametersMap);
    command[1] = block;
    return command;
}

tduomenys MemoryRequest(quint8 code, quint8 a, quint8 b) {
    tduomenys arguments = Command(code);
    arguments[1] = a;
    arguments[2] = b;
    return arguments;
}

tduomenys GetGrPgr(quint16 number) {
    return MemoryRequest(CodeGrPgr, std::uint8_t(number >> 8), std::uint8_t(number));
}

tduomenys SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) {
    tduomenys arguments = Command(CodeSetPin);
    arguments[1] = p1;
    arguments[2] = p2;
    arguments[3] = p3;
    arguments[4] = p4;
    return arguments;
}

tduomenys RestoreDefaults() {
    return {CodeSetFnNn, FnRestoreDefaults, 0x01};
}

tduomenys GetZoneStatus() {
    tduomenys array(ArraySize, 0);
    array[0] = 0x40;
    array[1] = 0x25;
    return array;
}

} // namespace ModuleRequests
