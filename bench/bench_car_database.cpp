// Loading a 50,000-line car list and filtering it against a module that holds
// 300 programs, then rebuilding the car page's "Make" list (and the lists
// that follow the first make) from the supported cars. Prints the times of
// each step, best of several runs.
#include "BenchSession.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarSelection.h"
#include "cansettings/MapCycle.h"
#include "link/hid/SimHidBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::max(1, atoi(argv[1])) : 50000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CANDATA_FULL.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("x;NR.;Model;Year;Group/Subgroup;FN57;Notes\r\n");
    for (int i = 1; i <= lines; ++i) {
        const int make = i % 60;
        const int model = (i / 60) % 40;
        // Each make and model has about 20 year ranges, as in a real list.
        file.write(QStringLiteral(";%1;Make%2 Model %3;%5-%6;%7/%8 %7/%9;%10 %11?;\r\n")
                       .arg(i)
                       .arg(make)
                       .arg(model)
                       .arg(2000 + i % 20)
                       .arg(2004 + i % 20)
                       .arg(1 + make * 3 % 200)
                       .arg(1 + model % 8)
                       .arg(2 + model % 8)
                       .arg(i % 12)
                       .arg(i % 5)
                       .toLatin1());
    }
    file.close();
    TGrPgrList held;
    for (int gr = 1; held.size() < 300; gr += 2)
        for (int pgr = 1; pgr <= 6 && held.size() < 300; ++pgr)
            held.emplace_back(gr, pgr);

    double bestLoad = 1e9, bestFilter = 1e9;
    int entries = 0, supported = 0;
    for (int run = 0; run < 5; ++run) {
        TCanDataArr database;
        QElapsedTimer clock;
        clock.start();
        if (!TCarDatabaseFile::LoadCarDatabase(path, database))
            return 1;
        const double load = clock.nsecsElapsed() / 1e6;
        clock.restart();
        const TCanDataArr cars = FilterSupportedCars(database, held);
        const double filter = clock.nsecsElapsed() / 1e6;
        bestLoad = std::min(bestLoad, load);
        bestFilter = std::min(bestFilter, filter);
        entries = CarEntryCount(database);
        supported = CarEntryCount(cars);
    }
    std::printf("car list of %d lines: %d year entries, %d supported by %zu programs\n", lines,
                entries, supported, held.size());
    std::printf("load %.1f ms + filter %.1f ms = %.1f ms (target under 150 ms)\n", bestLoad,
                bestFilter, bestLoad + bestFilter);

    // The car page's own path: the program list read, the supported cars
    // filtered on the next tick, then "Make" rebuilt from them.
    TSimHidBus bus;
    TBenchModuleSession host(&bus);
    TCanSettings can(host.Session);
    TCarSelection cars(can, host.Session);
    if (!TCarDatabaseFile::LoadCarDatabase(path, cars.CarDatabase()))
        return 1;
    can.Cycle().GrPgrList = held;
    cars.CarDatabaseReloaded();
    while (cars.ApplyParamsTimer()->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    double bestMakes = 1e9;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        cars.FillMakes();
        bestMakes = std::min(bestMakes, clock.nsecsElapsed() / 1e6);
    }
    std::printf("make list rebuild %.3f ms for %lld makes (target under 10 ms)\n", bestMakes,
                qlonglong(cars.Entries(TCarList::Make).size()));
    return bestLoad + bestFilter < 150.0 && bestMakes < 10.0 ? 0 : 2;
}
