// Saving a 128-pair template (the Save run while recording, the trees'
// values collected, sealed and written) and loading it again (opened,
// checked, replayed and applied to both trees of about 2,000 nodes each,
// shown in their views), without the dialogs and with no module to send to.
// The save's write syncs the file to the disk of the temporary folder
// (TMPDIR), which takes most of its time on a real disk. Prints the best and
// median of several runs of each and the target.
#include "BenchTrees.h"
#include "cansettings/Backups.h"
#include "cansettings/CanSettings.h"
#include "cansettings/Templates.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/ParamTreeView.h"
#include "cansettings/view/TemplatesPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
struct TFigures {
    double Best = 0;
    double Median = 0;
    double Worst = 0;
};

template <typename Step> bool Time(int runs, Step step, TFigures* figures) {
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (!step())
            return false;
        times << clock.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    *figures = {times.first(), times[times.size() / 2], times.last()};
    return true;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3, atoi(argv[1])) : 4300;
    constexpr double targetMs = 20.0;
    constexpr int runs = 21;
    QTemporaryDir dir; // the data folder: backups and the template
    qputenv("RV5K_APPDATA", dir.path().toLocal8Bit());
    TBenchTrees trees(lines);
    if (!trees.Ready())
        return 1;
    TBenchModuleSession& host = trees.Host;
    TCanSettings& settings = trees.Settings;
    TCanSettingsPanel& panel = trees.Panel;
    TBackups backups(host.Shell);
    TTemplates templates(settings, host.Session, backups);
    TTemplatesPage page(templates, settings, host.Shell);
    page.SavePinBox()->setChecked(true);
    trees.FillMap();
    settings.ApplyMemoryMap();
    panel.VT()->expandAll();
    panel.VST2()->expandAll();

    const QString path = dir.filePath(QStringLiteral("bench.tpl"));
    TFigures save, load;
    if (!Time(
            runs, [&] { return templates.SaveTemplate(path); }, &save))
        return 1;
    if (!Time(
            runs, [&] { return templates.LoadTemplateFile(path); }, &load))
        return 1;
    std::printf("template of %d pairs: a settings tree of %d nodes and a car tree of %d nodes, "
                "both expanded and shown\n",
                TFnMemoryMap::SlotCount, settings.Catalogue().VT.NodeCount(),
                settings.Catalogue().VST2.NodeCount());
    std::printf("save (record, collect, seal, write): median %.2f ms, best %.2f ms, worst %.2f ms "
                "(target under %.0f ms)\n",
                save.Median, save.Best, save.Worst, targetMs);
    std::printf("load (open, check, apply to both trees): median %.2f ms, best %.2f ms, worst "
                "%.2f ms (target under %.0f ms)\n",
                load.Median, load.Best, load.Worst, targetMs);
    return save.Median < targetMs && load.Median < targetMs ? 0 : 2;
}
