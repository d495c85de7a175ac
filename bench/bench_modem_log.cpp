// The modem traffic log over a long service session: the service demo's
// modem lines (every decoder at work) fed to the main window's module link as
// status reports at the rate the module can deliver them (one report a
// millisecond, each with a new line), with the "Log" page shown. Prints the
// longest stall of the event loop: the longest gap between two ticks of a
// 1 ms timer, and how much of it the main thread was working (on a shared
// machine a gap can also be time the thread was not given a processor);
// the process's memory at the end and at its peak; the cost of a line in the
// window (link, decoders, log box); and the decoders' own cost per line.
// Targets: the main thread never busy over 50 ms without coming back to the
// event loop, under 300 MB, decoding under 20 us a line.
//
//   bench_modem_log [lines=100000] [lines per second=1000]
#include "app/AppWindows.h"
#include "app/DiagnosticsFeature.h"
#include "app/TForm1.h"
#include "diagnostics/ModemDecoder.h"
#include "diagnostics/ModemLine.h"
#include "diagnostics/view/ModemLogPanel.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "session/Session.h"
#include "sim/SimProfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {
constexpr int StallTargetMs = 50;
constexpr double MemoryTargetMb = 300;
constexpr double DecodeTargetUs = 20;
constexpr int ReportSize = 64;
constexpr int MaxUsartText = 52;

// Status report data bytes (after the report id) carrying the state block
// and one USART line.
QByteArray StatusReport(quint8 toggle, bool fromModem, const QByteArray& text, int n) {
    QByteArray data(ReportSize, '\0');
    data[0] = 0x20;
    data[2] = 0x20; // monitoring
    data[3] = char(0x4F);
    data[4] = char(n & 0xFF);
    data[5] = char((n >> 8) & 0xFF);
    data[6] = char(0x30 | (n & 0x0F));
    data[7] = 0x02;
    data[8] = char(n % 7);
    data[9] = char(n % 251);
    data[10] = char((toggle & 0x03) | (fromModem ? 0x40 : 0));
    const QByteArray piece = text.left(MaxUsartText);
    data[11] = char(piece.size());
    for (int i = 0; i < piece.size(); ++i)
        data[12 + i] = piece[i];
    return data;
}

// The main thread's processor time and involuntary context switches so far.
struct TThreadUsage {
    double CpuMs = 0;
    long Preempted = 0;
};
TThreadUsage ThreadUsage() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0,
            usage.ru_nivcsw};
}

qint64 MemoryKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLongLong();
    return -1;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir appData;
    qputenv("RV5K_APPDATA", appData.path().toLocal8Bit() + '/');
    {
        QFile settings(appData.filePath(QStringLiteral("Settings.ini")));
        if (!settings.open(QIODevice::WriteOnly) || settings.write("[Settings]\nCode=50713\n") < 0)
            return 1;
    }
    QApplication app(argc, argv);
    QDir::setCurrent(QStringLiteral(RV5K_SOURCE_DIR "/data")); // Functions.csv
    const int lines = argc > 1 ? std::max(100, atoi(argv[1])) : 100000;
    const int rate = argc > 2 ? std::clamp(atoi(argv[2]), 1, 100000) : 1000;

    QString error;
    const auto profile =
        TSimProfile::LoadFile(QStringLiteral(RV5K_SOURCE_DIR "/data/sim/service.json"), &error);
    if (!profile) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    const QList<TSimUsartLine> script = profile->UsartScript;

    // The decoders alone: fold the line ends, decode, show the zero bytes.
    {
        TModemDecoder decoder;
        constexpr int Rounds = 1000000;
        qsizetype decodedChars = 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Rounds; ++i) {
            const QByteArray line = ModemLine::FoldLineEnds(script[i % script.size()].Text);
            decodedChars += decoder.Decode(line).size();
            decodedChars += ModemLine::Shown(ModemLine::ZerosAsDots(line)).size();
        }
        const double us = clock.nsecsElapsed() / 1000.0 / Rounds;
        std::printf("decoders: %d lines of the service demo, %.3f us a line (target under %.0f us)"
                    " [%lld characters]\n",
                    Rounds, us, DecodeTargetUs, qint64(decodedChars));
        if (us >= DecodeTargetUs)
            return 2;
    }

    // No module on the bus: the reports go straight into the module link.
    TSimHidBus bus;
    TAppWindows windows(&bus);
    TForm1* form = windows.Form1();
    form->show();
    form->ShowSettingsPanel(true);
    form->Controls().PageControl1->setCurrentWidget(form->Controls().TabLog);
    TRV5K* link = form->Session().UsbLink();
    TModemLogPanel* log = form->DiagnosticsFeature()->LogPanel();
    form->WaitWithEvents(300);
    const qint64 rssBefore = MemoryKb("VmRSS:");

    // Reports at the module's rate; a late timer catches up at once, as
    // reports queued by the reader thread would.
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    qint64 inLink = 0; // nanoseconds spent in the link and its receivers
    qint64 last = 0;
    qint64 longest = 0;        // the longest gap between two probe ticks
    double longestCpuIn = 0;   // the main thread's work within it
    long longestPreempted = 0; // and the times it was set aside meanwhile
    double busiest = 0;        // the most the thread worked between two ticks
    TThreadUsage lastUsage = ThreadUsage();
    QEventLoop loop;
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, &loop, [&] {
        const qint64 due = std::min<qint64>(lines, clock.elapsed() * rate / 1000 + 1);
        QElapsedTimer work;
        work.start();
        for (; sent < due; ++sent) {
            const TSimUsartLine& line = script[sent % script.size()];
            link->ProcessInputReport(
                StatusReport(quint8(sent + 1), !line.OutGoing, line.Text, sent));
        }
        inLink += work.nsecsElapsed();
        if (sent >= lines)
            loop.quit();
    });
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.elapsed();
        const TThreadUsage usage = ThreadUsage();
        const double worked = usage.CpuMs - lastUsage.CpuMs;
        if (now - last > longest) {
            longest = now - last;
            longestCpuIn = worked;
            longestPreempted = usage.Preempted - lastUsage.Preempted;
        }
        busiest = std::max(busiest, worked);
        last = now;
        lastUsage = usage;
    });
    feed.start(1);
    probe.start(1);
    loop.exec();
    const double seconds = clock.elapsed() / 1000.0;
    form->WaitWithEvents(200);

    const int blocks = log->LogBox()->document()->blockCount();
    const double rssMb = MemoryKb("VmRSS:") / 1024.0;
    const double peakMb = MemoryKb("VmHWM:") / 1024.0;
    const double lineUs = inLink / 1000.0 / lines;
    std::printf("fed %d lines in %.1f s (%d a second): %d lines in the log box\n", lines, seconds,
                rate, blocks);
    std::printf("longest gap between two 1 ms ticks: %lld ms, of which the main thread worked "
                "%.1f ms (set aside %ld times by the system meanwhile)\n",
                longest, longestCpuIn, longestPreempted);
    std::printf("longest stall (the main thread working between two ticks): %.1f ms (target "
                "under %d ms)\n",
                busiest, StallTargetMs);
    std::printf("memory: %.1f MB at the end, %.1f MB at the peak, %.1f MB before feeding (target "
                "under %.0f MB)\n",
                rssMb, peakMb, rssBefore / 1024.0, MemoryTargetMb);
    std::printf("a line in the window (link, decoders, log box): %.1f us\n", lineUs);
    return busiest < StallTargetMs && peakMb < MemoryTargetMb ? 0 : 2;
}
