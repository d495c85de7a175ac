#include "ReadSequence.h"

#include <array>

namespace {
struct Step {
    quint8 Code;
    quint8 HighestIndex;
};
// FN list pages, the write-program page, the program count.
constexpr std::array<Step, 3> Steps{{{0x39, 15}, {0x3B, 0}, {0x3C, 0}}};
} // namespace

TReadSequence::Request TReadSequence::Start() {
    HasFailed = false;
    IsRunning = true;
    return {Steps[0].Code, 0};
}

TReadSequence::Next TReadSequence::Answer(quint8 code, quint8 index) {
    Next next;
    std::size_t step = 0;
    while (step < Steps.size() && Steps[step].Code != code)
        ++step;
    if (step == Steps.size()) {
        // An answer the sequence never asks for: whatever was read is suspect.
        HasFailed = true;
        IsRunning = false;
        return next;
    }
    if (!IsRunning)
        return next;
    const quint8 nextIndex = quint8(index + 1);
    if (nextIndex <= Steps[step].HighestIndex) {
        next.RestartWatchdog = true;
        next.Send = Request{code, nextIndex};
    } else if (step + 1 < Steps.size()) {
        next.RestartWatchdog = true;
        next.Send = Request{Steps[step + 1].Code, 0};
    } else {
        next.StopWatchdog = true;
        next.EndBatch = true;
        HasFailed = false;
        IsRunning = false;
    }
    return next;
}

TReadSequence::Next TReadSequence::WatchdogFired() {
    Next next;
    next.StopWatchdog = true;
    next.EndBatch = true;
    HasFailed = true;
    IsRunning = false;
    return next;
}

void TReadSequence::Reset() {
    IsRunning = false;
    HasFailed = false;
}
