// CPU time of the whole process while the main window runs a 3 s
// WaitWithEvents, with the demo module connected, read and reporting its
// status every 50 ms.
#include "ProcessCpu.h"
#include "app/AppWindows.h"
#include "app/HidLayerFactory.h"
#include "app/TForm1.h"
#include "link/TRV5K.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir appData;
    qputenv("RV5K_APPDATA", appData.path().toLocal8Bit() + '/');
    QApplication app(argc, argv);
    const int waitMs = argc > 1 ? std::max(100, atoi(argv[1])) : 3000;

    THidBackend backend =
        THidLayerFactory::CreateSimulated(QStringLiteral(RV5K_SOURCE_DIR "/data/sim/demo.json"));
    if (!backend.Error.isEmpty()) {
        std::printf("%s\n", qPrintable(backend.Error));
        return 1;
    }
    TAppWindows windows(backend.Layer.get());
    TForm1* form = windows.Form1();
    form->show();

    // Let the connect read finish first, so the wait measures an idle tool.
    QElapsedTimer settle;
    settle.start();
    while (!form->SettingsPanelVisible() && settle.elapsed() < 10000)
        form->WaitWithEvents(50);
    if (!form->SettingsPanelVisible()) {
        std::printf("the demo module was not read within 10 s\n");
        return 1;
    }

    const double cpuStart = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    form->WaitWithEvents(waitMs);
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double seconds = wall.elapsed() / 1000.0;
    const double share = 100.0 * cpu / seconds;
    std::printf("WaitWithEvents(%d) with the demo module connected: returned after %.3f s\n",
                waitMs, seconds);
    std::printf("cpu:    %.3f s of %.3f s wall = %.2f%% of one core (target under 1%%)\n", cpu,
                seconds, share);
    return share < 1.0 ? 0 : 2;
}
