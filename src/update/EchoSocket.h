#pragma once
// One ICMP echo request without privileges. On Linux this is a "ping"
// datagram socket, which the kernel lets a user open when the user's group is
// inside net.ipv4.ping_group_range; the kernel fills in the identifier and
// hands the socket only the answers to its own requests. Where no such socket
// exists (other systems, or a range that leaves the user out) Open() fails
// and the caller tests the host another way.

#include <QtGlobal>

class TEchoSocket {
public:
    enum class TReply { None, Echo, Error };

    TEchoSocket() = default;
    ~TEchoSocket();
    TEchoSocket(const TEchoSocket&) = delete;
    TEchoSocket& operator=(const TEchoSocket&) = delete;

    // Whether this system lets the program send an echo request at all.
    bool Open();
    // The descriptor to watch for answers; -1 when not open.
    qintptr Descriptor() const { return Socket; }
    // ipv4 in host byte order.
    bool Send(quint32 ipv4, quint16 sequence);
    // Reads what has arrived: Echo for the answer to this sequence, Error when
    // the system reported the host unreachable, None for anything else.
    TReply Read(quint16 sequence);

private:
    qintptr Socket = -1;
};
