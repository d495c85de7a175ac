#pragma once
// The module state monitor: what the lamps, the signal bar and the two
// counters of the "Status" group show. The state block of every status report
// sets the modem and TCP lamps; the status timer sets the link's own three
// lamps and switches every lamp off while no link is active. The last
// register values outlive a disconnect: the traffic log quotes them.

#include "ModemLine.h"

#include <QtGlobal>
#include <array>

namespace StatusLamps {

// A lamp lit by one bit of a register, with its caption and the object name of
// its label (the language file translates captions by name).
struct TBitLamp {
    int Bit;
    const char* Caption;
    const char* Name;
};

// "MC55i Flags", from MC55iFlags, in the order shown.
inline constexpr std::array<TBitLamp, 7> ModemFlags{{
    {6, "Powered Up", "FlagPoweredUp"},
    {0, "Present", "FlagPresent"},
    {2, "Setted Up", "FlagSettedUp"},
    {1, "GSM Attached", "FlagGsmAttached"},
    {4, "Opening conn", "FlagOpeningConn"},
    {3, "Connected", "FlagConnected"},
    {5, "TCP Sending", "FlagTcpSending"},
}};

// "MC55i Control": one row per modem operation; "Request" from MC55iCR and
// "Process" from MC55iSR, the same bit in both.
inline constexpr std::array<TBitLamp, 8> ModemControl{{
    {6, "CheckPresent", "CtlCheckPresent"},
    {0, "Setup", "CtlSetup"},
    {1, "GetFlags", "CtlGetFlags"},
    {5, "Reset", "CtlReset"},
    {2, "Connect", "CtlConnect"},
    {4, "TCP send", "CtlTcpSend"},
    {7, "Read Data", "CtlReadData"},
    {3, "Disconnect", "CtlDisconnect"},
}};

// "TCP Engine", from TCPSR.
inline constexpr std::array<TBitLamp, 4> TcpEngine{{
    {0, "Connecting", "TcpConnecting"},
    {1, "Connected", "TcpConnected"},
    {9, "Sending", "TcpSending"},
    {5, "MessageSent", "TcpMessageSent"},
}};

// TCPSR bits 12 to 15: the signal, shown on a bar of 0 to 5.
inline constexpr int SignalShift = 12;
inline constexpr quint16 SignalMask = 0x0F;
inline constexpr int SignalMaximum = 5;

// "TLX2 Flags": the link's status flags.
struct TFlagLamp {
    const char* Caption;
    const char* Name;
};
enum TLinkLamp { Busy = 0, Monitoring = 1, Error = 2, LinkLampCount = 3 };
inline constexpr std::array<TFlagLamp, LinkLampCount> LinkFlags{{
    {"Busy", "LinkBusy"},
    {"Monitoring", "LinkMonitoring"},
    {"Error", "LinkError"},
}};

} // namespace StatusLamps

// Everything the "Status" group shows.
struct TStatusLamps {
    std::array<bool, StatusLamps::ModemFlags.size()> Flags{};
    std::array<bool, StatusLamps::ModemControl.size()> Request{};
    std::array<bool, StatusLamps::ModemControl.size()> Process{};
    std::array<bool, StatusLamps::TcpEngine.size()> Tcp{};
    std::array<bool, StatusLamps::LinkLampCount> Link{};
    int Signal = 0;
    int OutBufMessCount = 0;
    int SentCounter = 0;

    bool operator==(const TStatusLamps&) const = default;
};

// The link's status flags as the status timer reads them.
struct TLinkFlags {
    bool Busy = false;
    bool Monitoring = false;
    bool ModuleError = false;
};

class TStateMonitor {
public:
    // A state block (every status report of a monitoring module).
    void OnState(quint8 MC55iFlags, quint8 MC55iCR, quint8 MC55iSR, quint16 TCPSR,
                 quint8 OutBufMessCount, quint8 SentCounter);
    // The status timer: the link's own lamps, and every lamp off without a link.
    void Tick(const TLinkFlags& flags, bool linkActive);

    const TStatusLamps& Lamps() const { return Shown; }
    const TModemRegisters& Last() const { return Registers; }

private:
    TStatusLamps Shown;
    TModemRegisters Registers;
};
