// Closing the main window in the middle of a read, a save or a wait, on
// either link: runs the close probe (the real program's windows and event
// loop on a simulated module or base) several times per case and prints how
// long the program took to end after the close, against the target.
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString data = QStringLiteral(RV5K_SOURCE_DIR "/data/sim/");
    const QList<std::pair<QString, QString>> cases{{"demo.json", "module-read"},
                                                   {"demo.json", "module-save"},
                                                   {"base-demo.json", "base-read"},
                                                   {"base-demo.json", "base-save"},
                                                   {"demo.json", "car-wait"}};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RV5K_SOURCE_DIR"), QStringLiteral(RV5K_SOURCE_DIR));
    double worstOfAll = 0;
    for (const auto& [profile, when] : cases) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            QProcess probe;
            probe.setProcessEnvironment(env);
            probe.setProcessChannelMode(QProcess::MergedChannels);
            probe.start(QStringLiteral(CLOSE_PROBE), {data + profile, when});
            probe.waitForFinished(60000);
            const QString output = QString::fromLocal8Bit(probe.readAll());
            const auto match =
                QRegularExpression(QStringLiteral("closed after (\\d+) ms")).match(output);
            if (probe.exitCode() != 0 || !match.hasMatch()) {
                std::printf("%s: the probe failed: %s\n", qPrintable(when), qPrintable(output));
                return 1;
            }
            times.push_back(match.captured(1).toDouble());
        }
        std::sort(times.begin(), times.end());
        std::printf("close during %-12s median %6.0f ms, worst %6.0f ms\n", qPrintable(when),
                    times[times.size() / 2], times.back());
        worstOfAll = std::max(worstOfAll, times.back());
    }
    std::printf("close to end of the program: worst %.0f ms (target under 1000 ms)\n", worstOfAll);
    return worstOfAll < 1000 ? 0 : 2;
}
