#include "MapCycle.h"

#include "link/Link.h"
#include "session/Session.h"

#include <QTimer>

namespace {
constexpr int WriteProgHeader = 2; // page index and total before the bytes
constexpr int ProgramAnswerBytes = 8;
constexpr quint8 NoProgram = 0xFF;
} // namespace

TMapCycle::TMapCycle(TSession& session, TFnMemoryMap& map, QObject* parent)
    : QObject(parent), Session(session), Map(map), StepTimer(new QTimer(this)),
      Watchdog(new QTimer(this)) {
    StepTimer->setSingleShot(true);
    StepTimer->setInterval(StepMs);
    Watchdog->setSingleShot(true);
    Watchdog->setInterval(WatchdogMs);
    connect(StepTimer, &QTimer::timeout, this, &TMapCycle::Tick);
    connect(Watchdog, &QTimer::timeout, this, &TMapCycle::WatchdogFired);
    connect(&Session, &TSession::ActiveLinkLost, this, &TMapCycle::Abort);
}

void TMapCycle::ArmStep() {
    if (!Session.Closing())
        StepTimer->start();
}

bool TMapCycle::ReadingMap() const {
    return Session.ReadingMap();
}

bool TMapCycle::ReadError() const {
    return Session.ReadError();
}

void TMapCycle::Trace(const QString& line) {
    if (ILink* link = Session.Active())
        link->Trace(line);
}

void TMapCycle::Abort() {
    if (!Session.ReadingMap())
        return;
    StepTimer->stop();
    Watchdog->stop();
    TickHeld = false;
    Session.MapReadEnded(true);
}

void TMapCycle::StoreFnPage(quint8 page, const tduomenys& fns) {
    if (page == 0)
        Map.ClearFns();
    for (std::size_t i = 0; i < fns.size(); ++i) {
        const std::size_t slot = std::size_t(page) * fns.size() + i;
        if (slot < std::size_t(TFnMemoryMap::SlotCount))
            Map[int(slot)].FN = fns[i];
    }
    // The error reply to a page request carries index 0x65: the list ends.
    if (page != ModuleFnPages - 1 && page != ErrorPageIndex)
        return;
    ListComplete();
    Trace(QStringLiteral("NT - OnFOnRV5KMemoryMap"));
    ArmStep();
}

void TMapCycle::StoreBaseFnPage(quint8 fnCount, quint8 page, const tduomenys& fns) {
    if (page == 0)
        Map.ClearFns();
    for (std::size_t i = 0; i < fns.size(); ++i) {
        const std::size_t slot = std::size_t(page) * fns.size() + i;
        if (slot < std::size_t(TFnMemoryMap::SlotCount))
            Map[int(slot)].FN = fns[i];
    }
    const std::size_t perPage = fns.empty() ? 1 : fns.size();
    const std::size_t pages = (std::size_t(fnCount) + perPage - 1) / perPage;
    // The base's later answers start the step timer; should they never come
    // (the module left the base's range), the watchdog ends the read.
    if (pages == std::size_t(page) + 1) {
        ListComplete();
        Watchdog->start();
    }
}

void TMapCycle::ListComplete() {
    Session.MapReadStarted();
    for (bool& pending : StagePending)
        pending = true;
    ClearGrPgrOnNext = true;
    ReadPos = 0;
}

void TMapCycle::StoreNnPage(quint8 page, const tduomenys& nns) {
    if (page == 0) {
        emit ResetViewRequested();
        Map.ClearNns();
    }
    for (std::size_t i = 0; i < nns.size(); ++i) {
        const std::size_t slot = std::size_t(page) * nns.size() + i;
        if (slot < std::size_t(TFnMemoryMap::SlotCount))
            Map[int(slot)].NN = nns[i];
    }
    emit ApplyRequested();
}

void TMapCycle::Tick() {
    StepTimer->stop();
    if (InTick) {
        TickHeld = true;
        return;
    }
    if (Session.Closing())
        return;
    ILink* link = Session.Active();
    if (!link) {
        Watchdog->stop();
        Session.MapReadEnded(true);
        return;
    }
    InTick = true;
    const bool requested = Step(*link);
    InTick = false;
    if (requested) {
        if (TickHeld) {
            TickHeld = false;
            ArmStep();
        }
        return;
    }
    TickHeld = false;
    link->ReadCycleEnded();
    Session.MapReadEnded(false);
    emit ApplyRequested();
}

// One request, or false when every stage is through.
bool TMapCycle::Step(ILink& link) {
    if (StagePending[0] && WriteProgPages > 0) {
        if (ReadPos < WriteProgPages) {
            Watchdog->start();
            const quint8 page = quint8(ReadPos & 0xFF);
            ++ReadPos;
            link.GetWriteProg(page);
            return true;
        }
        StagePending[0] = false;
        ReadPos = 0;
        WriteProgRead = true;
        emit CarListsRead();
    }
    if (StagePending[1]) {
        while (ReadPos < TFnMemoryMap::SlotCount) {
            const TFnPair pair = Map[ReadPos];
            ++ReadPos;
            if (!TFnMemoryMap::InUse(pair.FN))
                continue;
            Watchdog->start();
            link.GetFNandNN(pair.FN, pair.NN);
            return true;
        }
        StagePending[1] = false;
        ReadPos = 0;
    }
    if (StagePending[2] && GrPgrRequests > 0) {
        if (ReadPos / ProgramsPerRequest < GrPgrRequests) {
            Watchdog->start();
            const quint16 position = quint16(ReadPos);
            ReadPos += ProgramsPerRequest;
            link.GetGrPgr(position);
            return true;
        }
        StagePending[2] = false;
        ReadPos = 0;
        ProgListRead = true;
        emit CarListsRead();
    }
    return false;
}

void TMapCycle::WatchdogFired() {
    StepTimer->stop();
    Watchdog->stop();
    TickHeld = false;
    Session.MapReadEnded(true);
}

void TMapCycle::OnFNandNN(quint8 fn, quint8 nn) {
    Trace(QStringLiteral("NT - OnFNanNN"));
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot)
        if (Map[slot].FN == fn) {
            Map[slot].NN = nn;
            Watchdog->stop();
        }
    ArmStep();
}

void TMapCycle::OnWriteProg(const tduomenys& data) {
    Trace(QStringLiteral("NT - OnWriteProg"));
    if (data.size() <= 1)
        return;
    const int page = data[0];
    const int total = data[1];
    if (page == 0)
        WriteProgBytes.clear();
    WriteProgPages = total / WriteProgPageBytes + 1;
    const int start = WriteProgPageBytes * page;
    // A page that starts at or past the total carries nothing.
    const int count = start + WriteProgPageBytes < total ? WriteProgPageBytes : total - start;
    for (int i = 0; i < count && WriteProgHeader + i < int(data.size()); ++i)
        WriteProgBytes.push_back(data[std::size_t(WriteProgHeader + i)]);
    // Answers to the link's own read sequence must not start the stages; the
    // sequence's next answer re-arms the step. Until it does the watchdog
    // keeps running, or a sequence that ends without that answer (the module
    // went, or its own watchdog gave up) would leave the read open for ever.
    if (!Session.SequenceRunning()) {
        Watchdog->stop();
        ArmStep();
    } else if (Session.ReadingMap()) {
        Watchdog->start();
    } else {
        Watchdog->stop();
    }
}

void TMapCycle::OnReadProgCnt(quint16 count) {
    GrPgrRequests = count / ProgramsPerRequest + (count % ProgramsPerRequest != 0 ? 1 : 0);
    Watchdog->stop();
    ArmStep();
}

void TMapCycle::OnReadProg(const tduomenys& data) {
    Trace(QStringLiteral("NT - OnReadProg"));
    if (data.size() < std::size_t(ProgramAnswerBytes))
        return;
    if (ClearGrPgrOnNext) {
        ClearGrPgrOnNext = false;
        GrPgrList.clear();
    }
    for (std::size_t i = 0; i < std::size_t(ProgramsPerRequest); ++i) {
        const quint8 group = data[2 * i];
        if (group != 0 && group != NoProgram)
            GrPgrList.emplace_back(group, data[2 * i + 1]);
    }
    Watchdog->stop();
    ArmStep();
}

bool TMapCycle::WriteMemoryMap() {
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
        const TFnPair pair = Map[slot];
        if (!TFnMemoryMap::Written(pair.FN))
            continue;
        ILink* link = Session.Active();
        if (!link || Session.Closing())
            return false;
        if (!link->WaitUntilWritable(SetAcknowledgeLimitMs)) {
            // A link that went or a program that closes has its own outcome.
            if (!Session.Closing() && link->Connected())
                Session.Shell().ShowMessageBox(Session.Shell().Message(BaseStayedBusyMessage),
                                               Box::Error, Box::Ok);
            return false;
        }
        link->SetFN_NN(pair.FN, pair.NN);
        Session.WaitWithEvents(WriteGapMs);
    }
    return true;
}
