// The base link's own read of a 128-byte function map through a zero-latency
// simulated base: 22 map pages of 6 FN numbers, the write-program page and the
// program count, against the floor of the 40 ms pacing after every frame.
// The per-function values and car programs that the map cycle asks for after
// this are not part of it.
#include "base/THFLatcher.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRadioBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    constexpr int mapBytes = 128;
    constexpr int frames = (mapBytes + 5) / 6 + 2;
    const double floorMs = frames * THFLatcher::PacingMs;

    TSimRadioModuleProfile module;
    module.RadioSerial = 197121;
    for (int slot = 0; slot < mapBytes; ++slot)
        module.Memory.Map.push_back({quint8(0x10 + slot), 1});
    module.Memory.WriteProgram = QByteArray(20, '\x01');
    module.Memory.Programs = {{3, 1}, {5, 2}};
    TSimBaseProfile profile;
    profile.BusyMs = 0;
    profile.Modules = {module};

    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        TSimHidBus bus;
        TSimRadioBase base(profile);
        THFLatcher link(&bus);
        int pages = 0;
        QObject::connect(&link, &THFLatcher::OnHFRV5KFNMap, &link,
                         [&](quint8, quint8, const tduomenys&) { ++pages; });
        QEventLoop connected;
        QObject::connect(&link, &THFLatcher::OnConnect, &connected, &QEventLoop::quit);
        bus.Plug(&base);
        connected.exec();
        link.SetBaseSerNum(quint64(module.RadioSerial) * 256);
        link.UseCommonAddress(false);
        QEventLoop settle;
        QTimer::singleShot(100, &settle, &QEventLoop::quit);
        settle.exec();

        QElapsedTimer clock;
        clock.start();
        double endAt = -1;
        QEventLoop loop;
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!link.VykstaNuskaitymas()) {
                loop.quit();
            }
        });
        link.Nuskaitymas(); // returns once the last frame's pacing has passed
        endAt = clock.nsecsElapsed() / 1e6;
        if (link.VykstaNuskaitymas()) {
            poll.start(1);
            loop.exec();
            endAt = clock.nsecsElapsed() / 1e6;
        }
        if (link.KlaidaNuskaitant() || pages != (mapBytes + 5) / 6 ||
            base.Relays().size() != frames) {
            std::printf("run %d: read failed (%d pages, %lld relays)\n", run, pages,
                        static_cast<long long>(base.Relays().size()));
            return 1;
        }
        times << endAt;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("base read sequence of a %d-byte map, zero-latency simulated base, %d runs\n",
                mapBytes, runs);
    std::printf("floor:  %.1f ms (%d frames x %d ms pacing)\n", floorMs, frames,
                THFLatcher::PacingMs);
    std::printf("time:   median %.1f ms, min %.1f ms, max %.1f ms\n", median, times.first(),
                times.last());
    std::printf("ratio:  %.3f (target at most 1.10)\n", median / floorMs);
    return median / floorMs <= 1.10 ? 0 : 2;
}
