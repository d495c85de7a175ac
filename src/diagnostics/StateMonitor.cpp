#include "StateMonitor.h"

namespace {
template <std::size_t N>
void SetFromBits(std::array<bool, N>& lamps, const std::array<StatusLamps::TBitLamp, N>& table,
                 quint32 value) {
    for (std::size_t i = 0; i < N; ++i)
        lamps[i] = (value >> table[i].Bit) & 1;
}
} // namespace

void TStateMonitor::OnState(quint8 MC55iFlags, quint8 MC55iCR, quint8 MC55iSR, quint16 TCPSR,
                            quint8 OutBufMessCount, quint8 SentCounter) {
    using namespace StatusLamps;
    SetFromBits(Shown.Tcp, TcpEngine, TCPSR);
    Shown.Signal = qMin<int>((TCPSR >> SignalShift) & SignalMask, SignalMaximum);
    Registers.TCPSR = TCPSR;
    SetFromBits(Shown.Request, ModemControl, MC55iCR);
    Registers.MC55iCR = MC55iCR;
    SetFromBits(Shown.Process, ModemControl, MC55iSR);
    Registers.MC55iSR = MC55iSR;
    Shown.OutBufMessCount = OutBufMessCount;
    Shown.SentCounter = SentCounter;
    SetFromBits(Shown.Flags, ModemFlags, MC55iFlags);
    Registers.MC55iFlags = MC55iFlags;
}

void TStateMonitor::Tick(const TLinkFlags& flags, bool linkActive) {
    Shown.Link = {flags.Busy, flags.Monitoring, flags.ModuleError};
    if (linkActive)
        return;
    // The signal bar and the counters keep what they show.
    Shown.Flags.fill(false);
    Shown.Request.fill(false);
    Shown.Process.fill(false);
    Shown.Tcp.fill(false);
    Shown.Link.fill(false);
}
