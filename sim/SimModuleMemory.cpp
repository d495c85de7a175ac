#include "SimModuleMemory.h"

#include "SimProtocol.h"
#include "SimReportBuilder.h"

using namespace SimWire;

namespace {

quint8 ByteAt(const QByteArray& bytes, int pos) {
    return pos >= 0 && pos < bytes.size() ? quint8(bytes[pos]) : 0;
}

TSimModuleMemory::FnMap Clipped(TSimModuleMemory::FnMap map) {
    if (map.size() > size_t(kMapSlots))
        map.resize(kMapSlots);
    return map;
}

QByteArray TrailingBlanksRemoved(QByteArray text) {
    while (!text.isEmpty() && text.endsWith(' '))
        text.chop(1);
    return text;
}

} // namespace

TSimModuleMemory::TSimModuleMemory(const TSimProfile& profile)
    : Slots(Clipped(profile.Map)), Defaults(Clipped(profile.Defaults)),
      WriteProgram(profile.WriteProgram.left(kWriteProgMaxBytes)), Programs(profile.Programs),
      HeldBlocks(profile.Responses), ZoneStatus(profile.ZoneStatus), Password(profile.Password),
      RefusedFns(profile.IgnoreSetFn) {
    // Without factory defaults of its own the module returns to where it started.
    if (Defaults.empty())
        Defaults = Slots;
    if (Programs.size() > size_t(kMaxPrograms))
        Programs.resize(kMaxPrograms);
}

std::optional<QByteArray> TSimModuleMemory::CanMemoryRequest(const QByteArray& args) {
    const quint8 code = ByteAt(args, 0);
    const quint8 a = ByteAt(args, 1);
    const quint8 b = ByteAt(args, 2);
    switch (code) {
    case kReadMapPage:
        if (a > kLastFnPage)
            return TSimReportBuilder::CanMemoryError(code);
        return TSimReportBuilder::CanMemoryReply(code, ReadMapPage(a), a);
    case kGetWriteProg:
        // Page t/6 exists even when it carries no bytes: the host asks for
        // total div 6 + 1 pages.
        if (a * kWriteProgPageBytes > WriteProgram.size())
            return TSimReportBuilder::CanMemoryError(code);
        return TSimReportBuilder::CanMemoryReply(code, WriteProgPage(a));
    case kReadProgCount:
        return TSimReportBuilder::CanMemoryReply(code, ProgramCount());
    case kGetFnAndNn:
        if (a == kFnEmpty || a == kFnSkip || FindSlot(a) < 0)
            return TSimReportBuilder::CanMemoryError(code);
        return TSimReportBuilder::CanMemoryReply(code, FnValue(a));
    case kGetGrPgr:
        return TSimReportBuilder::CanMemoryReply(code, ProgramsFrom(a << 8 | b));
    case kSetFnNn:
        SetFnNn(a, b);
        return std::nullopt;
    case kSetPin:
        for (int i = 0; i < kPinDigits; ++i)
            SetFn(quint8(kFnPinFirst + i), ByteAt(args, 1 + i));
        return std::nullopt;
    case kSetCar:
        SetFn(kFnCarGroup, a);
        SetFn(kFnCarSubgroup, b);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<TSimResponseBlock> TSimModuleMemory::FramedRequest(const QByteArray& command) {
    const quint8 code = ByteAt(command, 0);
    const quint8 index = ByteAt(command, 1);
    switch (code) {
    case kSetPhoneNumber: // slot, flags, number
        Hold({quint8(code | kReportedBit), command.mid(1, 2 + kPhoneNumberWidth)});
        return std::nullopt;
    case kSetSmsPstnCr: // 32-bit value
        Hold({quint8(code | kReportedBit), command.mid(1, 4)});
        return std::nullopt;
    case kSetPhoneNumberAdditionalCr: // slot, flags
        Hold({quint8(code | kReportedBit), command.mid(1, 2)});
        return std::nullopt;
    case kReadSmsPhrase:
        return SmsPhrase(index);
    case kReadParametersMap:
        return ParametersMap(index);
    case kGetMemoryInfo:
        if (const auto held = Held(code, index))
            return held;
        return TSimResponseBlock{code, {}};
    case kSendPageCrc:
        if (const auto held = Held(code, index))
            return held;
        // Page and check byte as they came: the page passed its check.
        return TSimResponseBlock{code, command.mid(1, 3)};
    default:
        // Other reports that the module holds are answered when asked for.
        if (code & kReportedBit)
            return Held(code, index);
        return std::nullopt;
    }
}

QByteArray TSimModuleMemory::ZoneStatusReply() const {
    return TSimReportBuilder::ZoneStatusReply(ZoneStatus);
}

bool TSimModuleMemory::PasswordMatches(const QByteArray& command) const {
    if (ByteAt(command, 0) != kSendUsbPassword)
        return false;
    QByteArray sent = command.mid(1, kPasswordWidth);
    // The field is blank-padded; zero bytes beyond a short array are padding too.
    while (!sent.isEmpty() && (sent.endsWith(' ') || sent.endsWith('\0')))
        sent.chop(1);
    return !Password.isEmpty() && sent == TrailingBlanksRemoved(Password.left(kPasswordWidth));
}

quint8 TSimModuleMemory::SlotFn(int slot) const {
    return slot >= 0 && slot < int(Slots.size()) ? Slots[size_t(slot)].first : kFnEmpty;
}

quint8 TSimModuleMemory::SlotNn(int slot) const {
    return slot >= 0 && slot < int(Slots.size()) ? Slots[size_t(slot)].second : 0;
}

int TSimModuleMemory::FindSlot(quint8 fn) const {
    for (size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].first == fn)
            return int(i);
    return -1;
}

void TSimModuleMemory::SetFn(quint8 fn, quint8 nn) {
    if (fn == kFnEmpty || fn == kFnSkip)
        return;
    if (const int slot = FindSlot(fn); slot >= 0)
        Slots[size_t(slot)].second = nn;
}

QByteArray TSimModuleMemory::ReadMapPage(quint8 page) const {
    QByteArray data;
    for (int i = 0; i < kFnPageSlots; ++i)
        data.append(char(SlotFn(page * kFnPageSlots + i)));
    return data;
}

QByteArray TSimModuleMemory::WriteProgPage(quint8 page) const {
    const int total = int(WriteProgram.size());
    const int start = page * kWriteProgPageBytes;
    const int count = start + kWriteProgPageBytes < total ? kWriteProgPageBytes : total - start;
    QByteArray data;
    data.append(char(page));
    data.append(char(total));
    data.append(WriteProgram.mid(start, count));
    return data;
}

QByteArray TSimModuleMemory::ProgramCount() const {
    const int count = int(Programs.size());
    QByteArray data;
    data.append(char(count >> 8));
    data.append(char(count));
    return data;
}

QByteArray TSimModuleMemory::FnValue(quint8 fn) const {
    QByteArray data;
    data.append(char(fn));
    data.append(char(SlotNn(FindSlot(fn))));
    return data;
}

QByteArray TSimModuleMemory::ProgramsFrom(int position) const {
    QByteArray data;
    for (int i = 0; i < kProgramsPerReply; ++i) {
        const size_t at = size_t(position + i);
        const auto pair =
            at < Programs.size() ? Programs[at] : std::pair<quint8, quint8>{0xFF, 0xFF};
        data.append(char(pair.first));
        data.append(char(pair.second));
    }
    return data;
}

void TSimModuleMemory::SetFnNn(quint8 fn, quint8 nn) {
    if (RefusedFns.contains(fn))
        return;
    if (fn == kFnRestoreDefaults && nn == kNnRestoreDefaults) {
        Slots = Defaults;
    } else if (fn == kFnResetCar && nn == kNnResetCar) {
        SetFn(kFnCarGroup, kNnNotSet);
        SetFn(kFnCarSubgroup, kNnNotSet);
    } else {
        SetFn(fn, nn);
    }
}

void TSimModuleMemory::Hold(const TSimResponseBlock& block) {
    for (TSimResponseBlock& held : HeldBlocks) {
        if (held.Code != block.Code)
            continue;
        if (IsIndexedResponse(block.Code) && ByteAt(held.Payload, 0) != ByteAt(block.Payload, 0))
            continue;
        held = block;
        return;
    }
    HeldBlocks.append(block);
}

std::optional<TSimResponseBlock> TSimModuleMemory::Held(quint8 code, quint8 index) const {
    for (const TSimResponseBlock& held : HeldBlocks)
        if (held.Code == code && (!IsIndexedResponse(code) || ByteAt(held.Payload, 0) == index))
            return held;
    return std::nullopt;
}

TSimResponseBlock TSimModuleMemory::SmsPhrase(quint8 number) const {
    QByteArray text;
    if (const auto held = Held(kReadSmsPhrase, number))
        text = held->Payload.mid(1, 2 * kPhraseUnits);
    text.truncate(text.size() & ~qsizetype(1)); // whole code units only
    while (text.size() < 2 * kPhraseUnits)
        text.append('\0').append(' '); // U+0020, high byte first
    return {kReadSmsPhrase, char(number) + text};
}

TSimResponseBlock TSimModuleMemory::ParametersMap(quint8 block) const {
    QByteArray payload;
    payload.append(char(block));
    for (int i = 0; i < kParametersBlockSlots; ++i)
        payload.append(char(SlotNn(block * kParametersBlockSlots + i)));
    return {kReadParametersMap, payload};
}
