// The installer's safety nets on both parameter trees of about 2,000 nodes
// each, fully expanded and shown: the marks and counts after one edit (the
// edit through the model, the changes found, the rows repainted), the review
// list worded with 40 changes pending, and a search keystroke (the tree
// filtered and the view painted). Prints median, best and worst of several
// runs against the targets; ends with 2 when a median misses its target.
#include "BenchTrees.h"
#include "cansettings/CanSettings.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/ParamTreeView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
struct TFigure {
    double Median = 0, Best = 0, Worst = 0;
};

TFigure Time(int runs, const std::function<void(int)>& run) {
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run(i);
        times << clock.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.first(), times.last()};
}

bool Report(const char* what, const TFigure& figure, double targetMs) {
    std::printf("%s: median %.2f ms, best %.2f ms, worst %.2f ms (target under %.0f ms)\n", what,
                figure.Median, figure.Best, figure.Worst, targetMs);
    return figure.Median < targetMs;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3, atoi(argv[1])) : 4300;
    TBenchTrees trees(lines);
    if (!trees.Ready())
        return 1;
    TCanSettings& settings = trees.Settings;
    TCanSettingsPanel& panel = trees.Panel;
    settings.LanguageChanged();

    // Every slot a function of the trees, as read from a module.
    TFnMemoryMap& map = settings.Map();
    int slot = 0;
    for (int fn = 0x10; slot < TFnMemoryMap::SlotCount; ++fn)
        map[slot++] = {quint8(fn), quint8(1 + fn % 3)};
    settings.ApplyMemoryMap();
    settings.TakeReadBaseline();
    panel.VT()->expandAll();
    panel.VST2()->expandAll();

    // The options of the settings tree's functions, to be chosen in turn.
    TParamTreeModel* model = settings.SettingsModel();
    std::vector<TParamNode*> options;
    model->Tree().ForEach([&](TParamNode& node) {
        if (node.Level() == 2 && node.CheckKind == TCheckKind::Radio && node.Parent->Visible)
            options.push_back(&node);
    });
    if (options.size() < 80)
        return 1;

    const TFigure marks = Time(41, [&](int i) {
        TParamNode* option = options[std::size_t(i) * 2 % options.size()];
        model->setData(model->IndexOf(option), Qt::Checked, Qt::CheckStateRole);
    });
    const int pending = settings.ChangeCount();
    std::size_t words = 0;
    const TFigure review = Time(21, [&](int) { words += settings.DescribedChanges().size(); });

    TParamTreeView* view = panel.VT();
    const QStringList keystrokes{
        "F",        "Fu",         "Fun",        "Func",     "Funct", "Functi", "Functio",
        "Function", "Function 3", "Function 3", "Function", "",      "0",      "0x",
        "0x3",      "0x31",       "0x3",        "",         "Le",    "Lev",    "Leve"};
    const TFigure search = Time(int(keystrokes.size()), [&](int i) {
        view->SetSearch(keystrokes[i]);
        const QPixmap shot = view->viewport()->grab();
        if (shot.isNull())
            std::abort();
    });

    std::printf("settings tree of %d nodes, car tree of %d nodes, both expanded and shown; "
                "%d changes pending for the review (%zu rows worded)\n",
                settings.Catalogue().VT.NodeCount(), settings.Catalogue().VST2.NodeCount(), pending,
                words / 21);
    bool met = Report("marks and counts after one edit", marks, 5);
    met = Report("review list worded", review, 10) && met;
    met = Report("search keystroke, filtered and painted", search, 16) && met;
    return met ? 0 : 2;
}
