#include "ModemLog.h"

TModemLog::TModemLog(const TModemRegisters& registers, TClock clock)
    : Registers(registers), Clock(std::move(clock)) {}

void TModemLog::OnUsart(const QByteArray& output, bool outGoing) {
    using namespace ModemLine;
    const QByteArray line = FoldLineEnds(output);
    const QString decoded = Decoding.Decode(line);
    if (Locked || !ServiceMode || !View)
        return;
    const QString shown = Shown(ZerosAsDots(line));
    View->AppendEntry(outGoing && PutRegisters ? RegistersPrefixed(Registers, shown)
                                               : TimePrefixed(TimeText(Clock()), outGoing, shown));
    if (!decoded.isEmpty())
        View->AppendEntry(decoded);
}
