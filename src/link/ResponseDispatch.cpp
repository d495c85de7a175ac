#include "ResponseDispatch.h"

#include "TRV5K.h"

#include <optional>

namespace {
constexpr std::size_t CodeAt = 1;
constexpr std::size_t PayloadAt = 2;
constexpr std::size_t WideTextAt = 3;
constexpr std::size_t WideTextUnits = 24;

quint8 At(const tduomenys& block, std::size_t index) {
    return index < block.size() ? block[index] : 0;
}

// n bytes from the payload on, without trailing blanks.
QByteArray Text(const tduomenys& block, std::size_t length) {
    QByteArray text;
    for (std::size_t i = PayloadAt; i < PayloadAt + length && i < block.size(); ++i)
        text.append(char(block[i]));
    return TrimTrailingBlanks(text);
}

QString WideText(const tduomenys& block) {
    tduomenys units(WideTextUnits * 2, 0);
    CopyBytes(units, block, 0, units.size(), WideTextAt);
    QString text = UCS2BEToWide(units);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

quint32 BE32(const tduomenys& block, std::size_t at) {
    return quint32(At(block, at)) << 24 | quint32(At(block, at + 1)) << 16 |
           quint32(At(block, at + 2)) << 8 | quint32(At(block, at + 3));
}

quint16 BE16(const tduomenys& block, std::size_t at) {
    return quint16(At(block, at) << 8 | At(block, at + 1));
}

tduomenys Bytes(const tduomenys& block, std::size_t count, std::size_t at) {
    tduomenys bytes(count, 0);
    CopyBytes(bytes, block, 0, count, at);
    return bytes;
}

// Raises the event when it has a receiver. Returns whether it was raised,
// since only then the answer reaches the read sequence.
template <typename Signal, typename... Args>
bool Raise(TRV5K& link, Signal signal, Args&&... args) {
    if (!link.HasReceiver(signal))
        return false;
    (link.*signal)(std::forward<Args>(args)...);
    return true;
}
} // namespace

void DispatchResponse(TRV5K& link, const tduomenys& block) {
    const quint8 code = At(block, CodeAt);
    std::optional<quint8> sequenceIndex; // set when the answer goes on to the sequence
    const auto raised = [&](bool wasRaised, quint8 index = 0) {
        if (wasRaised)
            sequenceIndex = index;
    };

    switch (code) {
    case 0x80:
        raised(Raise(link, &TRV5K::OnConnectionString, Text(block, 50)));
        break;
    case 0x81:
        raised(Raise(link, &TRV5K::OnAPN, Text(block, 50)));
        break;
    case 0x82:
        raised(Raise(link, &TRV5K::OnUserName, Text(block, 32)));
        break;
    case 0x83:
        raised(Raise(link, &TRV5K::OnPassword, Text(block, 32)));
        break;
    case 0x84:
        raised(Raise(link, &TRV5K::OnTCPCR, BE32(block, PayloadAt)));
        break;
    case 0x85:
        raised(Raise(link, &TRV5K::OnConnectionString2, Text(block, 50)));
        break;
    case 0x86:
        raised(Raise(link, &TRV5K::OnConnectionString3, Text(block, 50)));
        break;
    case 0x87:
        raised(Raise(link, &TRV5K::OnUSBPassword, Text(block, 16)));
        break;
    case 0x88:
        raised(Raise(link, &TRV5K::OnReserveAccount, Text(block, 4)));
        break;
    case 0x89:
        raised(Raise(link, &TRV5K::OnTLXOwnerName, Text(block, 16)));
        break;
    case 0x8A:
        raised(Raise(link, &TRV5K::OnRV5KCR, BE32(block, PayloadAt)));
        break;
    case 0x8B: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnPhoneNumber, idx, At(block, 3), Text(block, 17).mid(2)), idx);
        break;
    }
    case 0x8C:
        raised(Raise(link, &TRV5K::OnSMSPSTNCR, BE32(block, PayloadAt)));
        break;
    case 0x8D:
    case 0x99: {
        const quint8 nr = At(block, 2);
        const quint8 idx = code == 0x8D ? 1 : 2;
        raised(Raise(link, &TRV5K::OnSMSPhrase, idx, nr, WideText(block)), nr);
        break;
    }
    case 0x8E: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnHelpMessage, idx, Bytes(block, 47, 3)), idx);
        break;
    }
    case 0x8F:
        raised(Raise(link, &TRV5K::OnTCPServerPort, BE16(block, PayloadAt)));
        break;
    case 0x90: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnAdditionalSMSText, qint32(idx), Text(block, 51).mid(1)), idx);
        break;
    }
    // The whole block, for the memory tools; never part of the read sequence.
    case 0x91:
        Raise(link, &TRV5K::OnMemoryData, block);
        break;
    case 0x92:
        Raise(link, &TRV5K::OnPageRCRArrived, block);
        break;
    case 0x93:
        raised(Raise(link, &TRV5K::OnModemData, Text(block, 43)));
        break;
    case 0x94:
        raised(Raise(link, &TRV5K::OnSIMpin, Text(block, 8)));
        break;
    case 0x95:
        raised(Raise(link, &TRV5K::OnHeartBeatEventId, BE16(block, PayloadAt)));
        break;
    case 0x96: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnPhoneNumberAdditionalCR, idx, At(block, 3), QByteArray()),
               idx);
        break;
    }
    case 0x97: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnAES128Key, idx, Text(block, 17).mid(1)), idx);
        break;
    }
    case 0x98:
        raised(Raise(link, &TRV5K::OnAlarmSettings, BE32(block, 2), BE32(block, 6)));
        break;
    case 0x9E:
        raised(Raise(link, &TRV5K::OnRV5KFlags, BE32(block, PayloadAt)));
        break;
    case 0x9F: {
        const quint8 idx = At(block, 2);
        raised(Raise(link, &TRV5K::OnParametersMap, idx, Bytes(block, 32, 3)), idx);
        break;
    }
    case 0xA1:
        raised(Raise(link, &TRV5K::OnAutoStartParameters, Bytes(block, 48, 2)));
        break;
    default:
        break;
    }

    if (sequenceIndex)
        link.SequenceAnswer(code, *sequenceIndex);
}
