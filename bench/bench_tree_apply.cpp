// Applying a 128-slot map to both parameter trees of about 2,000 nodes each
// (fully expanded, as with "Expand" ticked) and repainting them: each view
// grabbed to a pixmap on the offscreen platform. Prints the best and median
// of several runs and the target.
#include "BenchTrees.h"
#include "cansettings/CanSettings.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/ParamTreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3, atoi(argv[1])) : 4300;
    constexpr double targetMs = 30.0;
    TBenchTrees trees(lines);
    if (!trees.Ready())
        return 1;
    TCanSettings& settings = trees.Settings;
    TCanSettingsPanel& panel = trees.Panel;
    // Functions of every chapter, their sub-parameters, flags, PIN, events.
    trees.FillMap();

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
