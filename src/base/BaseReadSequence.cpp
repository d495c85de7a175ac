#include "BaseReadSequence.h"

TBaseReadSequence::TRequest TBaseReadSequence::Start() {
    HasFailed = false;
    IsRunning = true;
    return {ReadStages[0].Code, 0};
}

quint8 TBaseReadSequence::MapPageStep(quint8 pageIndex, quint8 count) {
    return (int(pageIndex) + 1) * MapPageBytes < int(count) ? pageIndex : PastLastPage;
}

TBaseReadSequence::TNext TBaseReadSequence::Step(quint8 code, quint8 index) {
    if (!IsRunning)
        return {};
    for (size_t stage = 0; stage < ReadStages.size(); ++stage) {
        if (ReadStages[stage].Code != code)
            continue;
        const int next = int(index) + 1;
        if (next <= ReadStages[stage].HighestIndex)
            return {TRequest{code, quint8(next)}, false};
        if (stage + 1 == ReadStages.size()) {
            IsRunning = false;
            HasFailed = false;
            return {std::nullopt, true};
        }
        return {TRequest{ReadStages[stage + 1].Code, 0}, false};
    }
    return {};
}

void TBaseReadSequence::WatchdogFired() {
    HasFailed = true;
    IsRunning = false;
}

void TBaseReadSequence::Reset() {
    IsRunning = false;
    HasFailed = false;
}
