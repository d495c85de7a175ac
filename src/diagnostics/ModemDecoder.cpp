#include "ModemDecoder.h"

#include "link/Bytes.h"

namespace ModemDecode {

namespace {

// SMS-SUBMIT PDU (bytes): what the decoder reads of it.
namespace Submit {
constexpr int FirstOctetAt = 1;
constexpr int DestinationLengthAt = 3; // in digits
constexpr int DestinationTypeAt = 4;
constexpr int DestinationAt = 5;
// After the destination at b: PID at b, DCS at b + 1, VP at b + 2, UDL at b + 3.
constexpr int DcsAfter = 1;
constexpr int UdlAfter = 3;
constexpr int UserDataAfter = 4;
// The concatenation header (UDHL 5, IEI 0, IEDL 3, reference, count, part).
constexpr int SidAfter = 7;
constexpr int PartCountAfter = 8;
constexpr int CurrentPartAfter = 9;
constexpr int HeaderedDataAfter = 10;
constexpr int HeaderOctets = HeaderedDataAfter - UserDataAfter;
constexpr quint8 HeaderPresentBit = 0x40;
} // namespace Submit

quint8 At(const QByteArray& bytes, qsizetype index) {
    return quint8(bytes[index]);
}

QString Hex(quint32 value, int digits) {
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

quint32 LittleEndian(const QByteArray& bytes, int at, int count) {
    quint32 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | At(bytes, at + i);
    return value;
}

// 8-bit text as shown: one character per byte.
QString Text8(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

// Zero bytes read as "." so that no NUL reaches the log box.
QString Dotted(const QByteArray& bytes) {
    QByteArray copy = bytes;
    copy.replace('\0', '.');
    return Text8(copy);
}

// Two hexadecimal characters of the PDU text as a number; none when the pair
// lies past the end or is not hexadecimal.
std::optional<int> HexPair(const QByteArray& pdu, qsizetype at) {
    if (at < 0 || at + 2 > pdu.size())
        return std::nullopt;
    try {
        return int(HexToInt(pdu.mid(at, 2)));
    } catch (const THexError&) {
        return std::nullopt;
    }
}

bool IsHexText(const QByteArray& text) {
    try {
        HexToInt(text);
        return true;
    } catch (const THexError&) {
        return false;
    }
}

bool ContainsAny(const QByteArray& line, const auto& marks) {
    for (const char* mark : marks)
        if (line.contains(mark))
            return true;
    return false;
}

} // namespace

QByteArray AfterHead(const QByteArray& line) {
    QByteArray rest = line;
    SplitHead(rest, ":");
    SplitHead(rest, " ");
    SplitHead(rest, " ");
    return rest;
}

std::optional<QString> ReceivedSms(const QByteArray& pdu) {
    // Positions in hexadecimal characters: the SMSC length, the SMSC, then
    // the first octet, the sender's length in digits, its type, its digits.
    const std::optional<int> smscLength = HexPair(pdu, 0);
    if (!smscLength)
        return std::nullopt;
    const qsizetype firstOctetAt = 2 * qsizetype(*smscLength + 1);
    const std::optional<int> firstOctet = HexPair(pdu, firstOctetAt);
    const std::optional<int> digits = HexPair(pdu, firstOctetAt + 2);
    const std::optional<int> type = HexPair(pdu, firstOctetAt + 4);
    if (!firstOctet || !digits || !type)
        return std::nullopt;
    // An odd count is padded with a filler character to whole octets.
    const qsizetype characters = *digits + (*digits % 2);
    const qsizetype numberAt = firstOctetAt + 6;
    if (numberAt + characters > pdu.size())
        return std::nullopt;
    QByteArray number = pdu.mid(numberAt, characters);
    if (!IsHexText(number))
        return std::nullopt;
    for (qsizetype i = 0; i + 1 < number.size(); i += 2)
        std::swap(number[i], number[i + 1]);
    number.truncate(*digits);
    QString text;
    text += QLatin1Char(Separator) + QStringLiteral("S.NR=");
    if (*type == InternationalNumber)
        text += QLatin1Char('+');
    text += Text8(number) + QStringLiteral("  F.OC=") + Text8(pdu.mid(firstOctetAt, 2));
    return text;
}

QByteArray Unpack7Bit(const QByteArray& bytes, int count, int skipBits) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const qsizetype bit = qsizetype(skipBits) + 7 * qsizetype(i);
        const qsizetype byte = bit / 8;
        const int shift = int(bit % 8);
        // The septet may reach into the next byte.
        const qsizetype lastByte = (bit + 6) / 8;
        if (lastByte >= bytes.size())
            break;
        quint32 window = At(bytes, byte);
        if (lastByte != byte)
            window |= quint32(At(bytes, lastByte)) << 8;
        text.append(char((window >> shift) & 0x7F));
    }
    return text;
}

std::optional<QString> SentSms(const QByteArray& r) {
    using namespace Submit;
    if (r.size() <= DestinationTypeAt)
        return std::nullopt;
    const int digits = At(r, DestinationLengthAt);
    const int b = DestinationAt + (digits + 1) / 2;
    if (b + UdlAfter >= r.size())
        return std::nullopt;
    QString number;
    for (int i = 0; i < digits; ++i) {
        const quint8 octet = At(r, DestinationAt + i / 2);
        number += QString::number(i % 2 == 0 ? octet & 0x0F : octet >> 4);
    }
    const int dcs = At(r, b + DcsAfter);
    const int udl = At(r, b + UdlAfter);
    QString text;
    text += QLatin1Char(Separator) + QStringLiteral("P.NR=");
    if (At(r, DestinationTypeAt) == InternationalNumber)
        text += QLatin1Char('+');
    text += number + QStringLiteral("  DCS=") + QString::number(dcs) + QStringLiteral("  DLEN=") +
            QString::number(udl) + QLatin1String(LineBreak);

    const bool header = At(r, FirstOctetAt) & HeaderPresentBit;
    int dataAt = b + UserDataAfter;
    if (header) {
        if (b + CurrentPartAfter >= r.size())
            return std::nullopt;
        text += QLatin1Char(Separator) + QStringLiteral("SID=") +
                QString::number(At(r, b + SidAfter)) + QStringLiteral(" PARTCNT=") +
                QString::number(At(r, b + PartCountAfter)) + QStringLiteral(" CURRPART=") +
                QString::number(At(r, b + CurrentPartAfter)) + QLatin1String(LineBreak);
        dataAt = b + HeaderedDataAfter;
    }
    // UDL counts the header too: in octets for 8-bit and UCS-2 data, in
    // septets for 7-bit data, where the header is padded to a whole septet.
    const QByteArray data = r.mid(dataAt);
    QString message;
    switch (dcs) {
    case Gsm7Bit: {
        const int headerSeptets = header ? (HeaderOctets * 8 + 6) / 7 : 0;
        const int fillBits = header ? headerSeptets * 7 - HeaderOctets * 8 : 0;
        message = Text8(Unpack7Bit(data, qMax(0, udl - headerSeptets), fillBits));
        break;
    }
    case EightBit:
        message = Text8(data.left(qMax(0, udl - (header ? HeaderOctets : 0))));
        break;
    case Ucs2:
        message =
            UCS2BEToWide(FromQByteArray(data.left(qMax(0, udl - (header ? HeaderOctets : 0)))));
        break;
    default:
        break;
    }
    message.remove(QChar(u'\0'));
    text += QLatin1Char(Separator) + QStringLiteral("D=") + message;
    return text;
}

std::optional<QString> SentFrame(const QByteArray& r) {
    using namespace Frame;
    if (r.size() < MinimumSize)
        return std::nullopt;
    QString text;
    text += QLatin1Char(Separator) + QStringLiteral("PROT=") + Dotted(r.mid(ProtAt, 1)) +
            QStringLiteral(" VER=") + QString::number(At(r, VerAt)) + QStringLiteral(" SN=0x") +
            Hex(LittleEndian(r, SnAt, 4), 8) + QStringLiteral(" (") +
            QString::number(LittleEndian(r, SnAt, 3)) + QLatin1Char(')') + QLatin1String(LineBreak);
    text += QLatin1Char(Separator) + QStringLiteral("BI=0x") + Hex(LittleEndian(r, BiAt, 4), 8) +
            QStringLiteral(" SQID=0x") + Hex(LittleEndian(r, SqidAt, 2), 2) +
            QStringLiteral(" LEN=0x") + Hex(LittleEndian(r, LenAt, 4), 2) +
            QLatin1String(LineBreak);
    text += QLatin1Char(Separator) + QStringLiteral("CS=0x") + Hex(At(r, CsAt), 2) +
            QStringLiteral(" CMD=0x") + Hex(LittleEndian(r, CmdAt, 2), 2) +
            QLatin1String(LineBreak);
    text += QLatin1Char(Separator) + QStringLiteral("D=") + Dotted(r.mid(DataAt));
    return text;
}

std::optional<QString> ReceivedFrame(const QByteArray& r) {
    using namespace Frame;
    if (r.size() < MinimumSize)
        return QString();
    QString text;
    text += QLatin1Char(Separator) + QStringLiteral("PROT=") + Dotted(r.mid(ProtAt, 1)) +
            QStringLiteral(" VER=") + QString::number(At(r, VerAt)) + QStringLiteral(" SQID=0x") +
            Hex(LittleEndian(r, SqidAt, 2), 2) + QStringLiteral(" LEN=0x") +
            Hex(LittleEndian(r, LenAt, 4), 2) + QLatin1String(LineBreak);
    text += QLatin1Char(Separator) + QStringLiteral("CS=0x") + Hex(At(r, CsAt), 2) +
            QStringLiteral(" CMD=0x") + Hex(LittleEndian(r, CmdAt, 2), 2) +
            QLatin1String(LineBreak);
    text += QLatin1Char(Separator) + QStringLiteral("D=") + Dotted(r.mid(DataAt));
    return text;
}

} // namespace ModemDecode

QString TModemDecoder::Decode(const QByteArray& line) {
    using namespace ModemDecode;
    // The steps run in a fixed order on one working copy; those that drop a
    // head leave the later steps looking at what remains. The last decoder
    // that gives a text wins; a malformed field anywhere leaves no text.
    QByteArray work = line;
    QString decoded;
    bool malformed = false;
    const auto take = [&](const std::optional<QString>& text) {
        if (!text)
            malformed = true;
        else if (!text->isEmpty())
            decoded = *text;
    };

    if (work.contains(ReceivedSmsMark)) {
        work = AfterHead(work);
        take(ReceivedSms(work));
    }
    if (SmsArmed && SmsPrompt) {
        SmsArmed = SmsPrompt = false;
        take(SentSms(work));
    }
    if (SmsArmed && work.contains(PromptMark))
        SmsPrompt = true;
    if (work.contains(SmsSendCommand))
        SmsArmed = true;

    if (TcpArmed && TcpPrompt) {
        TcpArmed = TcpPrompt = false;
        take(SentFrame(work));
    }
    if (TcpArmed && ContainsAny(work, TcpSendPrompts))
        TcpPrompt = true;
    if (ContainsAny(work, TcpSendCommands))
        TcpArmed = true;

    if (ContainsAny(work, ReceivedFrameMarks)) {
        work = AfterHead(work);
        take(ReceivedFrame(work));
    }
    return malformed ? QString() : decoded;
}
