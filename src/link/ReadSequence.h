#pragma once
// The steps of the module's read sequence: the 16 pages of the FN list, the
// write-program page and the program count. Pure state; the link sends what
// it is told and keeps the watchdog.

#include <QtGlobal>
#include <optional>

class TReadSequence {
public:
    struct Request {
        quint8 Code;
        quint8 Index;
    };
    // What an answer or the watchdog asks the link to do next.
    struct Next {
        std::optional<Request> Send; // the next step to request
        bool RestartWatchdog = false;
        bool StopWatchdog = false;
        bool EndBatch = false;
    };

    bool Running() const { return IsRunning; }
    bool Failed() const { return HasFailed; }

    Request Start();
    Next Answer(quint8 code, quint8 index);
    Next WatchdogFired();
    void Reset();

private:
    bool IsRunning = false;
    bool HasFailed = false;
};
