#pragma once
// The base link's read sequence: the pages of the function map (6 FN numbers
// each, until the map's length is covered), then the write-program page and
// the program count. Pure state; the link sends what it is told and keeps the
// watchdog.

#include <QtGlobal>
#include <array>
#include <optional>

class TBaseReadSequence {
public:
    struct TStage {
        quint8 Code;
        quint8 HighestIndex;
    };
    static constexpr std::array<TStage, 3> ReadStages{{{0x3E, 21}, {0x3B, 0}, {0x3C, 0}}};
    static constexpr quint8 PastLastPage = 240; // index of a page that ends the map
    static constexpr int MapPageBytes = 6;

    struct TRequest {
        quint8 Code;
        quint8 Index;
    };
    struct TNext {
        std::optional<TRequest> Send; // restart the watchdog and relay this
        bool Finished = false;        // stop the watchdog: the sequence succeeded
    };

    bool Running() const { return IsRunning; }
    bool Failed() const { return HasFailed; }

    TRequest Start();
    // The step after a stage reply of code c with index k.
    TNext Step(quint8 code, quint8 index);
    // k of a map page reply: the page, or past the last page when it ends the map.
    static quint8 MapPageStep(quint8 pageIndex, quint8 count);
    void WatchdogFired();
    void Reset();

private:
    bool IsRunning = false;
    bool HasFailed = false;
};
