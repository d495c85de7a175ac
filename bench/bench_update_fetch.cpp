// The main thread while the update fetch runs against a slow server on
// 127.0.0.1 (one byte every 10 ms): the longest gap between two ticks of a
// 1 ms timer on the main thread, with and without the fetch, and the fetch's
// own duration. Target: no stall over 50 ms. The start-up figure (the main
// window shown within 10 % of a start without a server) needs the fetch wired
// into the main window; this measures the fetch on its own.
#include "LoopbackHttpServer.h"
#include "update/UpdateCheck.h"
#include "update/UpdateHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
constexpr int ByteIntervalMs = 10;
constexpr int TickMs = 1;
constexpr int StallTargetMs = 50;

// The longest gap between ticks while the event loop runs for durationMs or
// until done() holds.
qint64 LongestGap(int durationMs, const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    QEventLoop loop;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (now > durationMs || (done && done()))
            loop.quit();
    });
    tick.start(TickMs);
    loop.exec();
    return longest;
}

struct TProgram : IUpdateHost {
    bool AutoUpdateTicked() const override { return false; }
    bool LoadCarDatabase(const QString&) override { return false; }
    void CarDatabaseReloaded() override {}
    std::optional<qint64> UsbFirmwareVersion() const override { return std::nullopt; }
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir appData;
    qputenv("RV5K_APPDATA", appData.path().toLocal8Bit() + '/');
    const int bytes = argc > 1 ? std::max(10, atoi(argv[1])) : 300;

    TLoopbackHttpServer server;
    server.Set(QStringLiteral("/files/RV9Loader/CANDATA_FULL.csv"),
               TLoopbackHttpServer::Trickle(QByteArray(bytes, 'x'), ByteIntervalMs));
    server.Set(
        QStringLiteral("/files/RV9Loader/Updates.txt"),
        TLoopbackHttpServer::Trickle("rv5kl:v1.22\thttp://example.test/l\n", ByteIntervalMs));
    qputenv("RV5K_UPDATE_SERVER", server.Server().toLatin1());

    const qint64 idleGap = LongestGap(2000, {});

    TProgram program;
    TUpdateCheck check(program, 121);
    bool ended = false;
    bool stored = false;
    QObject::connect(&check, &TUpdateCheck::FetchEnded, [&](const TFetchResult& result) {
        ended = true;
        stored = result.Stored;
    });
    QElapsedTimer fetchClock;
    fetchClock.start();
    check.StartUpCheck();
    const qint64 fetchGap = LongestGap(600'000, [&] { return ended; });
    const qint64 fetchMs = fetchClock.elapsed();

    std::printf("fetch of %d + 35 bytes at one byte every %d ms: %s after %lld ms\n", bytes,
                ByteIntervalMs, stored ? "stored" : "FAILED", static_cast<long long>(fetchMs));
    std::printf("longest main-thread gap, idle:          %lld ms\n",
                static_cast<long long>(idleGap));
    std::printf("longest main-thread gap, during fetch:  %lld ms (target under %d ms)\n",
                static_cast<long long>(fetchGap), StallTargetMs);
    return stored && fetchGap < StallTargetMs ? 0 : 2;
}
