// CPU time of the whole process while a simulated module sits connected and
// idle, reporting its status every 50 ms as the real one does.
#include "ProcessCpu.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    TSimProfile profile;
    profile.StatusIntervalMs = 50;
    TSimHidBus bus;
    TSimRv5kModule module(profile);
    TRV5K link(&bus);
    int reports = 0;
    QObject::connect(&module, &TSimRv5kModule::InputReport, &app, [&] { ++reports; });
    bus.Plug(&module);
    QEventLoop connecting;
    QObject::connect(&link, &TRV5K::OnConnect, &connecting, &QEventLoop::quit);
    QTimer::singleShot(2000, &connecting, &QEventLoop::quit);
    connecting.exec();
    if (!link.Connected())
        return 1;

    const double cpuStart = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double share = 100.0 * cpu / (wall.elapsed() / 1000.0);
    std::printf("idle with a connected module for %d s: %d status reports processed\n", seconds,
                reports);
    std::printf("cpu:    %.3f s of %.1f s wall = %.2f%% of one core (target under 1%%)\n", cpu,
                wall.elapsed() / 1000.0, share);
    return share < 1.0 ? 0 : 2;
}
