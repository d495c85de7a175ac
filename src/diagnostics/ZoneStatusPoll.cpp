#include "ZoneStatusPoll.h"

bool TZoneStatusPoll::Tick(const TPollConditions& c) {
    bool ask = false;
    if (c.LinkActive && !c.LinkBusy && !c.ReadingMap && c.FlagShown && Ticks >= TicksPerPoll &&
        c.WindowEnabled) {
        Ticks = 0;
        ask = !c.ExchangeBusy;
    }
    // Past the mark the count changes nothing: it stops there instead of wrapping.
    if (Ticks < TicksPerPoll)
        ++Ticks;
    return ask;
}
