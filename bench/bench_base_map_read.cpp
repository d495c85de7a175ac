// A full read of a 128-byte function map through a zero-latency simulated
// base: the base's read sequence (22 FN list pages of 6, write-program page 0,
// the program count), then the map cycle's stages (write-program pages, one
// GetFNandNN per function, the program list). The floor is the 40 ms pacing
// after every frame plus the 10 ms step timer before every stage request.
#include "BenchSession.h"
#include "cansettings/MapCycle.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRadioBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr quint8 GetFnAndNn = 0x38;
constexpr quint8 GetWriteProg = 0x3B;
constexpr quint8 GetGrPgr = 0x3D;
constexpr quint8 MapPage = 0x3E;
constexpr int MapBytes = 128;
constexpr int BasePageBytes = 6;
constexpr int SequenceFrames = (MapBytes + BasePageBytes - 1) / BasePageBytes + 2;

struct TCounts {
    int Frames = 0, Pages = 0, Values = 0, WritePages = 0, ProgramLists = 0;
};

TCounts Count(const QList<QByteArray>& relays) {
    TCounts counts;
    counts.Frames = int(relays.size());
    for (const QByteArray& relay : relays) {
        const quint8 code = relay.isEmpty() ? 0 : quint8(relay[0]);
        counts.Pages += code == MapPage;
        counts.Values += code == GetFnAndNn;
        counts.WritePages += code == GetWriteProg;
        counts.ProgramLists += code == GetGrPgr;
    }
    return counts;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    constexpr double target = 1.10;

    TSimRadioModuleProfile module;
    module.RadioSerial = 197121;
    for (int slot = 0; slot < MapBytes; ++slot)
        module.Memory.Map.push_back({quint8(0x10 + slot), quint8(slot % 7)});
    module.Memory.WriteProgram = QByteArray(20, '\x01');
    for (int gr = 1; module.Memory.Programs.size() < 40; ++gr)
        for (int pgr = 1; pgr <= 4; ++pgr)
            module.Memory.Programs.push_back({quint8(gr), quint8(pgr)});
    TSimBaseProfile profile;
    profile.BusyMs = 0;
    profile.Modules = {module};

    const int writePages =
        int(module.Memory.WriteProgram.size()) / TMapCycle::WriteProgPageBytes + 1;
    const int programLists =
        (int(module.Memory.Programs.size()) + TMapCycle::ProgramsPerRequest - 1) /
        TMapCycle::ProgramsPerRequest;
    const int stageRequests = writePages + MapBytes + programLists;
    const int frames = SequenceFrames + stageRequests;
    const double floorMs = frames * THFLatcher::PacingMs + stageRequests * TMapCycle::StepMs;

    QList<double> times;
    TCounts counts;
    for (int run = 0; run < runs; ++run) {
        TSimHidBus bus;
        TSimRadioBase base(profile);
        TBenchBaseSession host(&bus);
        THFLatcher* link = &host.Link;
        int pingRestarts = 0;
        QObject::connect(link, &THFLatcher::KeepAliveDue, [&] { ++pingRestarts; });
        TFnMemoryMap map;
        TMapCycle cycle(host.Session, map);
        QObject::connect(link, &THFLatcher::OnHFRV5KFNMap, &cycle, &TMapCycle::StoreBaseFnPage);
        QObject::connect(link, &THFLatcher::OnFNandNN, &cycle, &TMapCycle::OnFNandNN);
        QObject::connect(link, &THFLatcher::OnWriteProg, &cycle, &TMapCycle::OnWriteProg);
        QObject::connect(link, &THFLatcher::OnReadProgCnt, &cycle, &TMapCycle::OnReadProgCnt);
        QObject::connect(link, &THFLatcher::OnReadProg, &cycle, &TMapCycle::OnReadProg);

        QEventLoop loop;
        QObject::connect(link, &THFLatcher::OnConnect, &loop, &QEventLoop::quit);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(3000);
        bus.Plug(&base);
        loop.exec();
        if (!link->Connected()) {
            std::printf("run %d: base not connected\n", run);
            return 1;
        }
        link->SetBaseSerNum(quint64(module.RadioSerial) * 256);
        link->UseCommonAddress(false);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();

        const qsizetype before = base.Relays().size();
        bool applied = false;
        QObject::connect(&cycle, &TMapCycle::ApplyRequested, &loop, [&] {
            applied = true;
            loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        guard.start(60000);
        link->Nuskaitymas();
        if (!applied)
            loop.exec();
        const double elapsed = clock.nsecsElapsed() / 1e6;
        counts = Count(base.Relays().mid(before));
        if (!applied || cycle.ReadError() || link->KlaidaNuskaitant() ||
            counts.Values != MapBytes || pingRestarts != 1) {
            std::printf("run %d: the read did not end well (%d values, %d frames)\n", run,
                        counts.Values, counts.Frames);
            return 1;
        }
        times << elapsed;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("full map read of a %d-byte map through a zero-latency simulated base, %d runs\n",
                MapBytes, runs);
    std::printf("floor:  %.0f ms (%d frames x %d ms pacing + %d stage requests x %d ms step)\n",
                floorMs, frames, THFLatcher::PacingMs, stageRequests, TMapCycle::StepMs);
    std::printf("sent:   %d frames: %d map pages, %d value requests, %d write-program pages (one "
                "by the sequence), %d program lists\n",
                counts.Frames, counts.Pages, counts.Values, counts.WritePages, counts.ProgramLists);
    std::printf("time:   median %.1f ms, min %.1f ms, max %.1f ms\n", median, times.first(),
                times.last());
    std::printf("ratio:  %.3f (target at most %.2f)\n", median / floorMs, target);
    return median / floorMs <= target ? 0 : 2;
}
