#include "EchoSocket.h"

#include <array>

#ifdef Q_OS_LINUX
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// ICMP echo header: type, code, checksum, identifier, sequence, then data.
constexpr quint8 EchoRequestType = 8;
constexpr quint8 EchoReplyType = 0;
constexpr int TypeByte = 0;
constexpr int ChecksumByte = 2;
constexpr int SequenceByte = 6;
constexpr int HeaderSize = 8;
constexpr char Payload[] = "RV5K-LDR";

quint16 Checksum(const quint8* bytes, int size) {
    quint32 sum = 0;
    for (int i = 0; i + 1 < size; i += 2)
        sum += quint32(bytes[i]) << 8 | bytes[i + 1];
    if (size % 2)
        sum += quint32(bytes[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffff) + (sum >> 16);
    return quint16(~sum);
}
} // namespace

TEchoSocket::~TEchoSocket() {
    if (Socket >= 0)
        ::close(int(Socket));
}

bool TEchoSocket::Open() {
    if (Socket >= 0)
        return true;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0)
        return false;
    Socket = fd;
    return true;
}

bool TEchoSocket::Send(quint32 ipv4, quint16 sequence) {
    if (Socket < 0)
        return false;
    std::array<quint8, HeaderSize + sizeof(Payload) - 1> packet{};
    packet[TypeByte] = EchoRequestType;
    packet[SequenceByte] = quint8(sequence >> 8);
    packet[SequenceByte + 1] = quint8(sequence);
    for (std::size_t i = 0; i + 1 < sizeof(Payload); ++i)
        packet[HeaderSize + i] = quint8(Payload[i]);
    const quint16 sum = Checksum(packet.data(), int(packet.size()));
    packet[ChecksumByte] = quint8(sum >> 8);
    packet[ChecksumByte + 1] = quint8(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ipv4);
    const ssize_t sent = ::sendto(int(Socket), packet.data(), packet.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == ssize_t(packet.size());
}

TEchoSocket::TReply TEchoSocket::Read(quint16 sequence) {
    if (Socket < 0)
        return TReply::Error;
    std::array<quint8, 512> answer{};
    for (;;) {
        const ssize_t got = ::recv(int(Socket), answer.data(), answer.size(), 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            // EAGAIN: nothing (more) to read. Anything else is the system
            // telling that the host or network cannot be reached.
            return errno == EAGAIN || errno == EWOULDBLOCK ? TReply::None : TReply::Error;
        }
        if (got >= HeaderSize && answer[TypeByte] == EchoReplyType &&
            (quint16(answer[SequenceByte]) << 8 | answer[SequenceByte + 1]) == sequence)
            return TReply::Echo;
    }
}

#else

TEchoSocket::~TEchoSocket() = default;

bool TEchoSocket::Open() {
    return false;
}

bool TEchoSocket::Send(quint32, quint16) {
    return false;
}

TEchoSocket::TReply TEchoSocket::Read(quint16) {
    return TReply::Error;
}

#endif
