#pragma once
// When the status timer asks the module for its zone status (the live state
// of the flags in the settings tree): once every five ticks, once a second,
// while a link is active and idle, no map is being read, a flag has been
// filled from the module and the window is enabled. The tick counter keeps
// counting while a condition fails, so the first poll after a read comes on
// the first tick whose conditions hold.

struct TPollConditions {
    bool LinkActive = false;
    bool LinkBusy = false;   // the active link's read sequence runs
    bool ReadingMap = false; // the map cycle reads the function values
    bool FlagShown = false;  // a flag node holds a value from the module
    bool WindowEnabled = false;
    // The link carries another exchange: the poll that came due is skipped.
    bool ExchangeBusy = false;
};

class TZoneStatusPoll {
public:
    static constexpr int TicksPerPoll = 5;

    // One tick of the status timer; true when the zone status is to be asked for now.
    bool Tick(const TPollConditions& conditions);
    int Counter() const { return Ticks; }

private:
    int Ticks = 0;
};
