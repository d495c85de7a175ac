// Start of the program to its main window shown: starts the real program
// with the demo module and the start-up probe, which prints one line once the
// main window has been shown and then ends the program. Runs it several times
// without an update server and with a slow one on 127.0.0.1 (one byte every
// 10 ms: the start-up fetch runs meanwhile), and prints each time, the medians
// and the targets.
#include "LoopbackHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString program = QStringLiteral(RV5K_PROGRAM);
    QTemporaryDir appData;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RV5K_SIMULATOR"),
               QStringLiteral(RV5K_SOURCE_DIR "/data/sim/demo.json"));
    env.insert(QStringLiteral("RV5K_APPDATA"), appData.path() + QLatin1Char('/'));
    env.insert(QStringLiteral("RV5K_STARTUP_PROBE"), QStringLiteral("1"));

    const auto measure = [&](const QProcessEnvironment& env, const char* label) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            QProcess process;
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(QStringLiteral(RV5K_SOURCE_DIR "/data"));
            QElapsedTimer clock;
            clock.start();
            process.start(program, {});
            double shownMs = -1;
            while (process.waitForReadyRead(5000)) {
                const QByteArray line = process.readAllStandardOutput();
                if (line.contains("main window shown")) {
                    shownMs = clock.nsecsElapsed() / 1e6;
                    break;
                }
            }
            process.waitForFinished(5000);
            if (shownMs < 0) {
                std::printf("%s run %d: the main window was not shown (%s)\n", label, i + 1,
                            process.readAllStandardError().constData());
                return std::vector<double>{};
            }
            std::printf("%s run %d: %.1f ms\n", label, i + 1, shownMs);
            times.push_back(shownMs);
        }
        std::sort(times.begin(), times.end());
        return times;
    };

    const std::vector<double> times = measure(env, "no server");
    if (times.empty())
        return 1;
    TLoopbackHttpServer server;
    const QByteArray carList = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\r\n"
                               "x\t1\tSlowmake Alpha\t2020\t12/3\t2\r\n";
    server.Set(QStringLiteral("/files/RV9Loader/CANDATA_FULL.csv"),
               TLoopbackHttpServer::Trickle(carList, 10));
    server.Set(QStringLiteral("/files/RV9Loader/Updates.txt"),
               TLoopbackHttpServer::Trickle("rv5kl:v1.21\r\n", 10));
    QProcessEnvironment slowEnv = env;
    slowEnv.insert(QStringLiteral("RV5K_UPDATE_SERVER"), server.Server());
    const std::vector<double> slow = measure(slowEnv, "slow server");
    if (slow.empty())
        return 1;
    const double median = times[times.size() / 2];
    const double slowMedian = slow[slow.size() / 2];
    std::printf("start to main window shown: median %.1f ms, worst %.1f ms (target under 500 ms)\n",
                median, times.back());
    std::printf("with a slow update server: median %.1f ms, %+.1f %% (target within 10 %%)\n",
                slowMedian, (slowMedian / median - 1) * 100);
    return times.back() < 500.0 && slowMedian <= median * 1.10 ? 0 : 2;
}
