// The background fetch against a real HTTP server on 127.0.0.1: the good
// files stored with CR LF line ends, every bad answer a failed GET that
// stores nothing and replaces nothing, one fetch at a time, a quick stop, the
// reachability test and the system's proxy.

#include "LoopbackHttpServer.h"
#include "SideBySideMain.h"
#include "update/EchoSocket.h"
#include "update/HttpGet.h"
#include "update/UpdateThread.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString CarPath = QStringLiteral("/files/RV9Loader/CANDATA_FULL.csv");
const QString ListPath = QStringLiteral("/files/RV9Loader/Updates.txt");
const QByteArray CarList = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\n"
                           "x\t1\tAudi A4\t2008-2015\t12/3\t2?\n";
const QByteArray ListText = "rv5kl:v1.22\thttp://example.test/loader.exe\n";
// What the data folder holds before a fetch: none of it may change when one fails.
const QByteArray OldDownload = "old download\r\n";
const QByteArray OldList = "rv5kl:v1.00\tkeep\r\n";
const QByteArray OldCars = "old car list\r\n";
// A generous limit for rows that must end for another reason.
constexpr int LongLimitMs = 60'000;
constexpr int ShortLimitMs = 1'500;
constexpr qint64 FiveHundredMegabytes = 500LL * 1000 * 1000;
constexpr qint64 TestCarListLimit = 1024 * 1024;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TFetchJob Job(const QString& server, const QString& folder, int timeLimitMs,
              TReachMethod reach = TReachMethod::Tcp) {
    TFetchJob job;
    job.BaseUrl = QUrl(QStringLiteral("http://%1/files/RV9Loader/").arg(server));
    job.DataFolder = folder;
    job.Limits.GetTimeLimitMs = timeLimitMs;
    job.Limits.CarListMaxBytes = TestCarListLimit;
    job.Reach = reach;
    return job;
}

// Runs one fetch to its end.
TFetchResult Fetch(const TFetchJob& job) {
    TUpdateThread thread;
    QSignalSpy finished(&thread, &TUpdateThread::Finished);
    if (!thread.Start(job))
        return {};
    if (!finished.wait(LongLimitMs + 10'000))
        return {};
    return finished.first().first().value<TFetchResult>();
}

using TAnswer = TLoopbackHttpServer::TAnswer;
} // namespace

Q_DECLARE_METATYPE(TGetOutcome)
Q_DECLARE_METATYPE(TLoopbackHttpServer::TAnswer)

class TestUpdateFetch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void storesBothFilesWithCrLf();
    void badServer_data();
    void badServer();
    void updateListFailureKeepsOldList();
    void oneFetchAtATime();
    void stopsQuicklyWhenDestroyed();
    void echoWhereAllowedElseTcp();
    void systemProxyIsUsed();

private:
    std::unique_ptr<QTemporaryDir> Root;
    QString Folder; // the data folder, ending with "/"
};

void TestUpdateFetch::initTestCase() {
    // Nothing may leave the machine: no proxy from the test's environment.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                             "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(name);
}

void TestUpdateFetch::init() {
    Root = std::make_unique<QTemporaryDir>();
    Folder = Root->filePath(QStringLiteral("data/"));
}

void TestUpdateFetch::storesBothFilesWithCrLf() {
    TLoopbackHttpServer server;
    server.Set(CarPath, TLoopbackHttpServer::Ok(CarList));
    server.Set(ListPath, TLoopbackHttpServer::Ok("rv5kl:v1.22\thttp://x/\rlast"));
    // The data folder and its parent do not exist yet.
    const QString nested = Root->filePath(QStringLiteral("a/b/RV5K Loader/"));
    const TFetchResult result = Fetch(Job(server.Server(), nested, LongLimitMs));
    QVERIFY(result.Stored);
    QCOMPARE(result.CarList, TGetOutcome::Stored);
    QCOMPARE(result.UpdateList, TGetOutcome::Stored);
    QCOMPARE(result.ReachUsed, TReachMethod::Tcp);
    QCOMPARE(ReadAll(nested + QStringLiteral("CANDATA_FULL_DWNLD.csv")),
             QByteArray(CarList).replace("\n", "\r\n"));
    QCOMPARE(ReadAll(nested + QStringLiteral("Updates.txt")),
             QByteArray("rv5kl:v1.22\thttp://x/\r\nlast\r\n"));
    // The car list in use is the main thread's business.
    QVERIFY(!QFile::exists(nested + QStringLiteral("CANDATA_FULL.csv")));
    QCOMPARE(server.Requests(), QStringList({CarPath, ListPath}));
    QCOMPARE(QDir(nested).entryList(QDir::Files).size(), 2); // no temporary file left
}

void TestUpdateFetch::badServer_data() {
    QTest::addColumn<QString>("server"); // "" for the test server
    QTest::addColumn<TAnswer>("answer");
    QTest::addColumn<int>("timeLimitMs");
    QTest::addColumn<TGetOutcome>("outcome");

    const TAnswer good = TLoopbackHttpServer::Ok(CarList);
    const QString noServer = QStringLiteral("127.0.0.1:%1").arg(ClosedLoopbackPort());
    // A label over 63 characters is refused before any name server is asked.
    const QString unresolvable = QString(64, QLatin1Char('a')) + QStringLiteral(".invalid");

    QTest::newRow("no server") << noServer << good << LongLimitMs << TGetOutcome::Unreachable;
    QTest::newRow("host does not resolve")
        << unresolvable << good << LongLimitMs << TGetOutcome::NoAddress;
    QTest::newRow("host resolves to 0.0.0.0")
        << QStringLiteral("0.0.0.0:80") << good << LongLimitMs << TGetOutcome::NoAddress;
    QTest::newRow("no answer") << QString() << TLoopbackHttpServer::Silent() << ShortLimitMs
                               << TGetOutcome::TimeLimit;
    QTest::newRow("one byte a second") << QString() << TLoopbackHttpServer::Trickle(CarList, 1000)
                                       << ShortLimitMs << TGetOutcome::TimeLimit;
    QTest::newRow("500 MB announced")
        << QString() << TLoopbackHttpServer::Huge(FiveHundredMegabytes, true) << LongLimitMs
        << TGetOutcome::TooLarge;
    QTest::newRow("500 MB unannounced")
        << QString() << TLoopbackHttpServer::Huge(FiveHundredMegabytes, false) << LongLimitMs
        << TGetOutcome::TooLarge;
    QTest::newRow("closes mid-answer") << QString() << TLoopbackHttpServer::CloseMidAnswer(CarList)
                                       << LongLimitMs << TGetOutcome::NetworkError;
    QTest::newRow("404 with a body") << QString() << TLoopbackHttpServer::Status(404, CarList)
                                     << LongLimitMs << TGetOutcome::HttpError;
    QTest::newRow("500 with a body") << QString() << TLoopbackHttpServer::Status(500, CarList)
                                     << LongLimitMs << TGetOutcome::HttpError;
    QTest::newRow("500 with a huge body")
        << QString() << TLoopbackHttpServer::Huge(FiveHundredMegabytes, false, 500) << LongLimitMs
        << TGetOutcome::HttpError;
    QTest::newRow("binary junk, no HTTP")
        << QString()
        << TLoopbackHttpServer::Junk(QByteArray("\x00\x9f\xffjunk\x01\x02\r\n\r\n", 13))
        << LongLimitMs << TGetOutcome::NetworkError;
    QTest::newRow("binary junk as a 200 body")
        << QString() << TLoopbackHttpServer::Ok(QByteArray("NR.\x00\xff\xfe\r\n\x01", 9))
        << LongLimitMs << TGetOutcome::NotText;
    QTest::newRow("empty 200") << QString() << TLoopbackHttpServer::Ok({}) << LongLimitMs
                               << TGetOutcome::Empty;
}

void TestUpdateFetch::badServer() {
    QFETCH(QString, server);
    QFETCH(TAnswer, answer);
    QFETCH(int, timeLimitMs);
    QFETCH(TGetOutcome, outcome);

    QVERIFY(QDir().mkpath(Folder));
    Write(Folder + QStringLiteral("CANDATA_FULL_DWNLD.csv"), OldDownload);
    Write(Folder + QStringLiteral("Updates.txt"), OldList);
    Write(Folder + QStringLiteral("CANDATA_FULL.csv"), OldCars);

    TLoopbackHttpServer loopback;
    loopback.Set(CarPath, answer);
    loopback.Set(ListPath, TLoopbackHttpServer::Ok(ListText));
    const TFetchResult result =
        Fetch(Job(server.isEmpty() ? loopback.Server() : server, Folder, timeLimitMs));

    QVERIFY(!result.Stored);
    QCOMPARE(result.CarList, outcome);
    QCOMPARE(result.UpdateList, TGetOutcome::NotTried);
    QCOMPARE(ReadAll(Folder + QStringLiteral("CANDATA_FULL_DWNLD.csv")), OldDownload);
    QCOMPARE(ReadAll(Folder + QStringLiteral("Updates.txt")), OldList);
    QCOMPARE(ReadAll(Folder + QStringLiteral("CANDATA_FULL.csv")), OldCars);
    QCOMPARE(QDir(Folder).entryList(QDir::Files).size(), 3);
    // The huge answers were cut off, not taken in whole.
    QVERIFY2(loopback.BodyBytesSent() < 64LL * 1024 * 1024,
             qPrintable(QString::number(loopback.BodyBytesSent())));
}

void TestUpdateFetch::updateListFailureKeepsOldList() {
    QVERIFY(QDir().mkpath(Folder));
    Write(Folder + QStringLiteral("Updates.txt"), OldList);
    TLoopbackHttpServer server;
    server.Set(CarPath, TLoopbackHttpServer::Ok(CarList));
    server.Set(ListPath, TLoopbackHttpServer::CloseMidAnswer(ListText));
    const TFetchResult result = Fetch(Job(server.Server(), Folder, LongLimitMs));
    // The car list is stored as the download; without the update list the
    // fetch has no result, and the old list stays.
    QVERIFY(!result.Stored);
    QCOMPARE(result.CarList, TGetOutcome::Stored);
    QCOMPARE(result.UpdateList, TGetOutcome::NetworkError);
    QCOMPARE(ReadAll(Folder + QStringLiteral("CANDATA_FULL_DWNLD.csv")),
             QByteArray(CarList).replace("\n", "\r\n"));
    QCOMPARE(ReadAll(Folder + QStringLiteral("Updates.txt")), OldList);
}

void TestUpdateFetch::oneFetchAtATime() {
    TLoopbackHttpServer server;
    server.Set(CarPath, TLoopbackHttpServer::Trickle("ab", 300));
    server.Set(ListPath, TLoopbackHttpServer::Ok(ListText));
    TUpdateThread thread;
    QSignalSpy finished(&thread, &TUpdateThread::Finished);
    QVERIFY(thread.Start(Job(server.Server(), Folder, LongLimitMs)));
    QVERIFY(thread.Running());
    QVERIFY(!thread.Start(Job(server.Server(), Folder, LongLimitMs)));
    QVERIFY(finished.wait(LongLimitMs));
    QVERIFY(!thread.Running());
    QVERIFY(finished.first().first().value<TFetchResult>().Stored);
    QCOMPARE(server.Requests().size(), 2); // one fetch's worth
    // Once ended, the next may start.
    QVERIFY(thread.Start(Job(server.Server(), Folder, LongLimitMs)));
    QVERIFY(finished.wait(LongLimitMs));
    QCOMPARE(finished.size(), 2);
}

void TestUpdateFetch::stopsQuicklyWhenDestroyed() {
    QVERIFY(QDir().mkpath(Folder));
    TLoopbackHttpServer server;
    server.Set(CarPath, TLoopbackHttpServer::Silent());
    QElapsedTimer clock;
    {
        TUpdateThread thread;
        QVERIFY(thread.Start(Job(server.Server(), Folder, LongLimitMs)));
        QTRY_COMPARE_WITH_TIMEOUT(server.Requests().size(), 1, 10'000);
        clock.start();
    }
    // Well below the one-minute limit of the GET: closing the tool never waits for it.
    QVERIFY2(clock.elapsed() < TUpdateThread::StopWaitMs,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(QDir(Folder).entryList(QDir::Files).size(), 0);
}

void TestUpdateFetch::echoWhereAllowedElseTcp() {
    const bool echoAllowed = TEchoSocket().Open();
    TLoopbackHttpServer server;
    server.Set(CarPath, TLoopbackHttpServer::Ok(CarList));
    server.Set(ListPath, TLoopbackHttpServer::Ok(ListText));
    const TFetchResult result =
        Fetch(Job(server.Server(), Folder, LongLimitMs, TReachMethod::Auto));
    QVERIFY(result.Stored);
    QCOMPARE(result.ReachUsed, echoAllowed ? TReachMethod::Icmp : TReachMethod::Tcp);
    if (!echoAllowed)
        QSKIP("this system allows no unprivileged ICMP echo (net.ipv4.ping_group_range); "
              "the TCP test was used");
}

void TestUpdateFetch::systemProxyIsUsed() {
    // The test server stands in for a proxy: the GET goes to it with the
    // whole URL, and the update host is neither looked up nor tested.
    TLoopbackHttpServer proxy;
    proxy.Set(CarPath, TLoopbackHttpServer::Ok(CarList));
    proxy.Set(ListPath, TLoopbackHttpServer::Ok(ListText));
    qputenv("http_proxy", QStringLiteral("http://%1").arg(proxy.Server()).toLatin1());
    const QString host = QStringLiteral("updates.rv5k.invalid");
    const QNetworkProxy chosen =
        THttpGet::ProxyFor(QUrl(QStringLiteral("http://%1/files/RV9Loader/").arg(host)));
    const QNetworkProxy forLoopback = THttpGet::ProxyFor(QUrl(QStringLiteral("http://127.0.0.1/")));
    const TFetchResult result = Fetch(Job(host, Folder, LongLimitMs));
    qunsetenv("http_proxy");

    QCOMPARE(chosen.type(), QNetworkProxy::HttpProxy);
    QCOMPARE(chosen.port(), proxy.Port());
    QCOMPARE(forLoopback.type(), QNetworkProxy::NoProxy);
    QVERIFY(result.Stored);
    QCOMPARE(proxy.Requests(), QStringList({QStringLiteral("http://%1%2").arg(host, CarPath),
                                            QStringLiteral("http://%1%2").arg(host, ListPath)}));
}

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestUpdateFetch)
#include "tst_update_fetch.moc"
