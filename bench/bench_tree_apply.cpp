// Applying a 128-slot map to both parameter trees of about 2,000 nodes each
// (fully expanded, as with "Expand" ticked) and repainting them: each view
// grabbed to a pixmap on the offscreen platform. Prints the best and median
// of several runs and the target.
#include "BenchSession.h"
#include "GeneratedCatalogue.h"
#include "cansettings/CanSettings.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/ParamTreeView.h"
#include "link/hid/SimHidBus.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3, atoi(argv[1])) : 4300;
    constexpr double targetMs = 30.0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Functions.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(GeneratedCatalogue::Text(lines));
    file.close();

    TSimHidBus bus;
    TBenchModuleSession host(&bus);
    TCanSettings settings(host.Session);
    TCanSettingsPanel panel(settings);
    if (settings.LoadCatalogue(path))
        return 1;
    panel.resize(800, 600);
    panel.CarTreeBox()->resize(800, 400);
    panel.show();
    panel.CarTreeBox()->show();

    // Functions of every chapter, their sub-parameters, flags, PIN, events.
    TFnMemoryMap& map = settings.Map();
    int slot = 0;
    const auto put = [&](int fn, int nn) {
        if (slot < TFnMemoryMap::SlotCount)
            map[slot++] = {quint8(fn), quint8(nn)};
    };
    for (int fn = 0x01; fn <= 0x04; ++fn)
        put(fn, fn);
    for (int fn = 0x71; fn <= 0x73; ++fn)
        put(fn, fn - 0x70);
    for (int i = 0; i < 5; ++i) {
        put(0xC0 + 4 + 5 * i, 0x55);
        put(0xD0 + i, 20);
        put(0xE0 + i, 3);
    }
    for (int fn = 0x10; slot < TFnMemoryMap::SlotCount; ++fn)
        put(fn, 1 + fn % 3);

    const auto apply = [&] {
        settings.ApplyMemoryMap();
        const QPixmap settingsShot = panel.VT()->grab();
        const QPixmap carShot = panel.VST2()->grab();
        return !settingsShot.isNull() && !carShot.isNull();
    };
    if (!apply())
        return 1;
    panel.VT()->expandAll();
    panel.VST2()->expandAll();
    QList<double> times;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (!apply())
            return 1;
        times << clock.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("map of %d slots applied to a settings tree of %d nodes and a car tree of %d "
                "nodes, both expanded, then both views grabbed\n",
                TFnMemoryMap::SlotCount, settings.Catalogue().VT.NodeCount(),
                settings.Catalogue().VST2.NodeCount());
    std::printf("apply and repaint: median %.2f ms, best %.2f ms, worst %.2f ms (target under "
                "%.0f ms)\n",
                median, times.first(), times.last(), targetMs);
    return median < targetMs ? 0 : 2;
}
