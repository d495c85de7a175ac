#include "SimRadioModule.h"

#include "SimBaseProtocol.h"
#include "SimProtocol.h"

using namespace SimBaseWire;

namespace {
constexpr int kAddressShift = 8; // the host addresses a module by its serial times 256
constexpr int kMapSlots = 128;

quint8 ByteAt(const QByteArray& bytes, int pos) {
    return pos >= 0 && pos < bytes.size() ? quint8(bytes[pos]) : 0;
}
} // namespace

TSimRadioModule::TSimRadioModule(const TSimRadioModuleProfile& profile)
    : Settings(profile), Memory(profile.Memory) {}

bool TSimRadioModule::Addressed(quint64 address) const {
    return (address >> kAddressShift) == Settings.RadioSerial;
}

QByteArray TSimRadioModule::Reply(quint8 code) const {
    QByteArray reply(kInputReportSize, '\0');
    reply[kReplyCodePos] = char(code);
    reply[kEndMarkPos] = char(kEndMark);
    return reply;
}

std::optional<QByteArray> TSimRadioModule::Request(const QByteArray& payload) {
    const quint8 code = ByteAt(payload, 0);
    switch (code) {
    case kPing: {
        QByteArray reply = Reply(kPing);
        for (int i = 0; i < 3; ++i)
            reply[kPingSerialPos + i] = char(Settings.RadioSerial >> (8 * i));
        reply[kPingMajorPos] = char(Settings.Major);
        reply[kPingMinorPos] = char(Settings.Minor);
        return reply;
    }
    case kZoneStatus: {
        const quint32 zones = Settings.Memory.ZoneStatus;
        QByteArray reply = Reply(kZoneStatus);
        reply[kZoneStatusPos] = char(zones);
        reply[kZoneStatusPos + 1] = char(zones >> 8);
        reply[kZoneStatusPos + 2] = char(((zones >> 16) & 0x0F) << 4);
        return reply;
    }
    case kReadMapPage:
        return MapPage(ByteAt(payload, 1));
    case kSetFnNn: {
        Memory.CanMemoryRequest(payload.left(3));
        if (!Settings.AcknowledgeSets)
            return std::nullopt;
        QByteArray reply(kInputReportSize, '\0');
        reply[kReplyCodePos] = char(kAcknowledge);
        reply[kReplyDataPos] = char(kSetFnNn);
        return reply;
    }
    case kSetPin:
    case kSetCar:
        Memory.CanMemoryRequest(payload);
        return std::nullopt;
    case kGetFnAndNn:
    case kGetWriteProg:
    case kReadProgCount:
    case kGetGrPgr:
        return FromMemory(payload);
    default:
        return std::nullopt;
    }
}

// The module answers as it would over USB; the base passes on the reply's
// eight data bytes. An error reply does not travel over the radio.
std::optional<QByteArray> TSimRadioModule::FromMemory(const QByteArray& payload) {
    const std::optional<QByteArray> usbReply = Memory.CanMemoryRequest(payload);
    if (!usbReply || ByteAt(*usbReply, SimWire::kReplyIndexPos) == SimWire::kErrorReplyMark)
        return std::nullopt;
    QByteArray reply = Reply(ByteAt(payload, 0));
    for (int i = 0; i < kReplyDataSize; ++i)
        reply[kReplyDataPos + i] = char(ByteAt(*usbReply, SimWire::kReplyDataPos + i));
    return reply;
}

QByteArray TSimRadioModule::MapPage(quint8 page) const {
    const TSimModuleMemory::FnMap& map = Memory.Map();
    const int count = qMin(int(map.size()), kMapSlots);
    QByteArray reply = Reply(kReadMapPage);
    reply[kMapCountPos] = char(count);
    reply[kMapIndexPos] = char(page);
    for (int i = 0; i < kMapPageBytes; ++i) {
        const int slot = page * kMapPageBytes + i;
        reply[kMapDataPos + i] = char(slot < count ? map[size_t(slot)].first : 0);
    }
    return reply;
}
