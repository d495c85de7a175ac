#pragma once
// The modem traffic log: every line the module copies from its modem's
// traffic, with its time and direction (or, for an outgoing line with
// "Put Registers into LOG", the module's last register values), and under it
// the decoded SMS or TCP frame when there is one. Lines are added while the
// service mode is on and "Lock" is clear, whichever page the window shows;
// a line that comes while "Lock" is checked is lost, not kept for later.
// Decoding goes on meanwhile, so a send armed before "Lock" is still
// decoded after it.

#include "ModemDecoder.h"
#include "ModemLine.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

// The log box.
class IModemLogView {
public:
    virtual ~IModemLogView() = default;
    // One entry; it may hold line breaks (CR LF) of its own.
    virtual void AppendEntry(const QString& entry) = 0;
};

class TModemLog {
public:
    using TClock = std::function<QDateTime()>;

    // The registers are those the state monitor keeps up to date.
    explicit TModemLog(const TModemRegisters& registers,
                       TClock clock = &QDateTime::currentDateTime);

    void SetView(IModemLogView* view) { View = view; }
    void SetServiceMode(bool on) { ServiceMode = on; }
    void SetLocked(bool on) { Locked = on; }
    void SetPutRegisters(bool on) { PutRegisters = on; }
    bool IsLocked() const { return Locked; }

    // A line of modem traffic (the link's OnUsart); outgoing: sent to the modem.
    void OnUsart(const QByteArray& output, bool outGoing);

    const TModemDecoder& Decoder() const { return Decoding; }

private:
    const TModemRegisters& Registers;
    TClock Clock;
    IModemLogView* View = nullptr;
    TModemDecoder Decoding;
    bool ServiceMode = false;
    bool Locked = false;
    bool PutRegisters = false;
};
