// A full read of a zero-latency simulated module that holds 128 functions:
// the module's read sequence (16 FN list pages, write-program page 0, the
// program count, EndBatch), then the map cycle's stages (write-program
// pages, one GetFNandNN per function, the program list). The floor is the
// 20 ms pause after every write plus the 10 ms step timer before every stage
// request.
#include "BenchSession.h"
#include "cansettings/MapCycle.h"
#include "link/SendGate.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr quint8 MemoryChannel = 0x10;
constexpr quint8 GetFnAndNn = 0x38;
constexpr quint8 GetWriteProg = 0x3B;
constexpr quint8 GetGrPgr = 0x3D;
constexpr int SequenceWrites = 16 + 1 + 1 + 1;

struct TCounts {
    int Writes = 0, Values = 0, WritePages = 0, ProgramLists = 0;
};

TCounts Count(const QList<QByteArray>& reports) {
    TCounts counts;
    counts.Writes = int(reports.size());
    for (const QByteArray& report : reports) {
        if (report.size() < 4 || quint8(report[1]) != MemoryChannel)
            continue;
        const quint8 code = quint8(report[3]);
        counts.Values += code == GetFnAndNn;
        counts.WritePages += code == GetWriteProg;
        counts.ProgramLists += code == GetGrPgr;
    }
    return counts;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    constexpr double target = 1.10;

    TSimProfile profile;
    profile.LatencyMs = 0;
    for (int slot = 0; slot < 128; ++slot)
        profile.Map.push_back({quint8(0x10 + slot), quint8(slot % 7)});
    profile.WriteProgram = QByteArray(20, '\x01');
    for (int gr = 1; profile.Programs.size() < 40; ++gr)
        for (int pgr = 1; pgr <= 4; ++pgr)
            profile.Programs.push_back({quint8(gr), quint8(pgr)});
    const int writePages = int(profile.WriteProgram.size()) / TMapCycle::WriteProgPageBytes + 1;
    const int programLists = (int(profile.Programs.size()) + TMapCycle::ProgramsPerRequest - 1) /
                             TMapCycle::ProgramsPerRequest;
    const int stageRequests = writePages + int(profile.Map.size()) + programLists;
    const int writes = SequenceWrites + stageRequests;
    const double floorMs = writes * TSendGate::PauseMs + stageRequests * TMapCycle::StepMs;

    QList<double> times;
    TCounts counts;
    for (int run = 0; run < runs; ++run) {
        TSimHidBus bus;
        TSimRv5kModule module(profile);
        TBenchModuleSession host(&bus);
        TFnMemoryMap map;
        TMapCycle cycle(host.Session, map);
        TRV5K* link = &host.Link;
        QObject::connect(link, &TRV5K::OnRV5KFNMemoryMap, &cycle, &TMapCycle::StoreFnPage);
        QObject::connect(link, &TRV5K::OnFNandNN, &cycle, &TMapCycle::OnFNandNN);
        QObject::connect(link, &TRV5K::OnWriteProg, &cycle, &TMapCycle::OnWriteProg);
        QObject::connect(link, &TRV5K::OnReadProgCnt, &cycle, &TMapCycle::OnReadProgCnt);
        QObject::connect(link, &TRV5K::OnReadProg, &cycle, &TMapCycle::OnReadProg);

        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(link, &TRV5K::OnConnect, &loop, &QEventLoop::quit);
        guard.start(3000);
        bus.Plug(&module);
        loop.exec();
        if (!link->Connected()) {
            std::printf("run %d: module not connected\n", run);
            return 1;
        }
        QTimer::singleShot(100, &loop, &QEventLoop::quit); // the first status report
        loop.exec();

        const int before = int(module.ReceivedReports().size());
        bool applied = false;
        QObject::connect(&cycle, &TMapCycle::ApplyRequested, &loop, [&] {
            applied = true;
            loop.quit();
        });
        QElapsedTimer clock;
        guard.start(30000);
        clock.start();
        link->Nuskaitymas();
        loop.exec();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        if (!applied || cycle.ReadError()) {
            std::printf("run %d: the read did not end well\n", run);
            return 1;
        }
        counts = Count(module.ReceivedReports().mid(before));
        times << elapsed;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("full read of a zero-latency simulated module with 128 functions, %d runs\n", runs);
    std::printf("floor:  %.0f ms (%d writes x %d ms pause + %d stage requests x %d ms step)\n",
                floorMs, writes, TSendGate::PauseMs, stageRequests, TMapCycle::StepMs);
    std::printf("sent:   %d writes: %d value requests, %d write-program pages (one by the "
                "sequence), %d program lists\n",
                counts.Writes, counts.Values, counts.WritePages, counts.ProgramLists);
    std::printf("time:   median %.1f ms, min %.1f ms, max %.1f ms\n", median, times.first(),
                times.last());
    std::printf("ratio:  %.3f (target at most %.2f)\n", median / floorMs, target);
    return median / floorMs <= target ? 0 : 2;
}
