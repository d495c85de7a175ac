#pragma once
// Decoding of the modem traffic that the module copies into its status
// reports: received SMS ("+CMGR:" with a hexadecimal PDU), sent SMS (the
// binary SMS-SUBMIT PDU that follows "AT+CMGS" and the modem's prompt), and
// the data frames sent ("AT#SSENDEXT" / "AT^SISW", the prompt, then the frame)
// and received ("^SISR:" / "#SRECV:") over TCP.
//
// Each decoder is a pure function: one line in, the text shown under it out.
// A decoder that finds a malformed field (a non-hexadecimal PDU digit, a field
// past the end of the line) gives no text at all; TModemDecoder keeps the
// state that spans lines (a send armed by its command and prompt).

#include <QByteArray>
#include <QString>
#include <optional>

namespace ModemDecode {

// Written before every decoded field group.
inline constexpr char Separator = '\t';
inline constexpr char LineBreak[] = "\r\n";

// Marks of the lines the decoders look for.
inline constexpr char ReceivedSmsMark[] = "+CMGR:";
inline constexpr char SmsSendCommand[] = "AT+CMGS";
inline constexpr char PromptMark[] = ">";
inline constexpr char TcpSendCommands[2][12] = {"AT#SSENDEXT", "AT^SISW"};
inline constexpr char TcpSendPrompts[2][6] = {">", "^SISW"};
inline constexpr char ReceivedFrameMarks[2][8] = {"^SISR:", "#SRECV:"};

// The address type of an international number.
inline constexpr int InternationalNumber = 145;

// Data coding schemes of a sent SMS.
inline constexpr int Gsm7Bit = 0;
inline constexpr int EightBit = 4;
inline constexpr int Ucs2 = 8;

// Frame layout of the TCP engine (byte offsets; multi-byte fields little-endian).
namespace Frame {
inline constexpr int ProtAt = 0;
inline constexpr int VerAt = 1;
inline constexpr int BiAt = 2;    // 4 bytes
inline constexpr int SnAt = 6;    // 4 bytes; the decimal shows the low 3 only
inline constexpr int LenAt = 12;  // 4 bytes
inline constexpr int SqidAt = 20; // 2 bytes
inline constexpr int CsAt = 22;
inline constexpr int CmdAt = 23; // 2 bytes
inline constexpr int DataAt = 25;
inline constexpr int MinimumSize = DataAt;
} // namespace Frame

// Each decoder: std::nullopt for a malformed line, else the decoded text.

// A "+CMGR:" line (the text after the third split, "0,,24 " and the like
// dropped): the sender and the first octet of the received PDU.
std::optional<QString> ReceivedSms(const QByteArray& pdu);
// The binary SMS-SUBMIT PDU sent after the prompt.
std::optional<QString> SentSms(const QByteArray& pdu);
// The binary frame sent after the prompt.
std::optional<QString> SentFrame(const QByteArray& frame);
// The frame of a "^SISR:" or "#SRECV:" line, its head already dropped; a
// frame shorter than Frame::MinimumSize decodes to an empty text.
std::optional<QString> ReceivedFrame(const QByteArray& frame);

// GSM 7-bit packing: count characters from the bytes, starting skipBits into
// the first byte, least significant bits first; stops early at the end.
QByteArray Unpack7Bit(const QByteArray& bytes, int count, int skipBits = 0);

// Drops what comes up to the first ':', then up to the next blank, twice:
// "+CMGR: 0,,24 0791..." leaves "0791...".
QByteArray AfterHead(const QByteArray& line);

} // namespace ModemDecode

// The decoder state kept from line to line for the whole run.
class TModemDecoder {
public:
    // The decoded text for a line whose line ends are already normalised
    // (empty when there is nothing to decode or the line is malformed);
    // advances the armed sends.
    QString Decode(const QByteArray& line);

    bool SmsSendArmed() const { return SmsArmed; }
    bool SmsPromptSeen() const { return SmsPrompt; }
    bool TcpSendArmed() const { return TcpArmed; }
    bool TcpPromptSeen() const { return TcpPrompt; }

private:
    bool SmsArmed = false;
    bool SmsPrompt = false;
    bool TcpArmed = false;
    bool TcpPrompt = false;
};
