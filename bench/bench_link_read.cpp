// From a zero-latency simulated module being plugged in to EndBatch written,
// against the protocol's floor: 18 read requests and EndBatch, each write
// followed by its 20 ms pause.
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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    constexpr int writes = 19;
    const double floorMs = writes * TSendGate::PauseMs;

    TSimProfile profile;
    profile.LatencyMs = 0;
    for (int fn = 1; fn <= 100; ++fn)
        profile.Map.push_back({quint8(fn), 1});
    profile.WriteProgram = QByteArray(20, '\x01');
    profile.Programs = {{3, 1}, {5, 2}};

    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        TSimHidBus bus;
        TSimRv5kModule module(profile);
        TRV5K link(&bus);
        QObject::connect(&link, &TRV5K::OnRV5KFNMemoryMap, &link, [](quint8, const tduomenys&) {});
        QObject::connect(&link, &TRV5K::OnConnect, &link,
                         [&] { QTimer::singleShot(0, &link, [&] { link.Nuskaitymas(); }); });
        QElapsedTimer clock;
        QEventLoop loop;
        int written = 0;
        double endBatchAt = -1;
        QObject::connect(&module, &TSimRv5kModule::InputReport, &loop, [&] {
            const QList<QByteArray> received = module.ReceivedReports();
            if (int(received.size()) != written) {
                written = int(received.size());
                const QByteArray& last = received.last();
                if (quint8(last[1]) == 0x20 && quint8(last[3]) == 0x41 && endBatchAt < 0) {
                    endBatchAt = clock.nsecsElapsed() / 1e6;
                    loop.quit();
                }
            }
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(10000);
        clock.start();
        bus.Plug(&module);
        loop.exec();
        if (endBatchAt < 0) {
            std::printf("run %d: no EndBatch within 10 s\n", run);
            return 1;
        }
        times << endBatchAt;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("plug-in to EndBatch written, zero-latency simulated module, %d runs\n", runs);
    std::printf("floor:  %.1f ms (%d writes x %d ms pause)\n", floorMs, writes, TSendGate::PauseMs);
    std::printf("time:   median %.1f ms, min %.1f ms, max %.1f ms\n", median, times.first(),
                times.last());
    std::printf("ratio:  %.3f (target at most 1.10)\n", median / floorMs);
    return median / floorMs <= 1.10 ? 0 : 2;
}
