// Loading a generated 3,000-line catalogue file into both parameter trees.
// Prints the best and median of several runs and the target.
#include "GeneratedCatalogue.h"
#include "cansettings/Catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(3, atoi(argv[1])) : 3000;
    constexpr double targetMs = 50.0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Functions.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    const QByteArray text = GeneratedCatalogue::Text(lines);
    file.write(text);
    file.close();

    QList<double> times;
    int settingsNodes = 0, carNodes = 0;
    for (int run = 0; run < 15; ++run) {
        TCatalogue catalogue;
        QElapsedTimer clock;
        clock.start();
        const TCatalogueLoad load = catalogue.LoadCatalogue(path);
        times << clock.nsecsElapsed() / 1e6;
        if (load.Message) {
            std::printf("load failed: %s\n", qPrintable(load.Message->Text));
            return 1;
        }
        settingsNodes = catalogue.VT.NodeCount();
        carNodes = catalogue.VST2.NodeCount();
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("catalogue of %d lines (%lld bytes, 3 languages): %d settings nodes, %d car "
                "nodes\n",
                lines, qsizetype(text.size()), settingsNodes, carNodes);
    std::printf("load: median %.2f ms, best %.2f ms, worst %.2f ms (target under %.0f ms)\n",
                median, times.first(), times.last(), targetMs);
    return median < targetMs ? 0 : 2;
}
