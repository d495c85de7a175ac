// The update list and the other pure pieces of the update: version numbers,
// the firmware's major version, the offers a list makes, which links may be
// opened, the update server setting and the stored line ends.

#include "update/DownloadLink.h"
#include "update/UpdateFiles.h"
#include "update/UpdateList.h"
#include "update/UpdateServer.h"

#include <QtTest>

using namespace UpdateList;

namespace {
constexpr qint64 ToolVersion = 121; // " v1.21"
constexpr qint64 NoModule = -1;     // row value: no module on USB

std::optional<qint64> Usb(qint64 firmware) {
    return firmware == NoModule ? std::nullopt : std::optional<qint64>(firmware);
}
} // namespace

class TestUpdateList : public QObject {
    Q_OBJECT
private slots:
    void versionNumber_data();
    void versionNumber();
    void majorVersionRoundsHalfToEven_data();
    void majorVersionRoundsHalfToEven();
    void offers_data();
    void offers();
    void laterLineReplacesEarlierOffer();
    void downloadUrl_data();
    void downloadUrl();
    void serverSetting_data();
    void serverSetting();
    void crLfLines_data();
    void crLfLines();
};

void TestUpdateList::versionNumber_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<qint64>("number");
    QTest::newRow("v1.22") << QByteArray("v1.22") << qint64(122);
    QTest::newRow("6.05") << QByteArray("6.05") << qint64(605);
    QTest::newRow("blanks and letters") << QByteArray(" V 1 . 2 1 beta") << qint64(121);
    QTest::newRow("leading zeros") << QByteArray("0.99") << qint64(99);
    QTest::newRow("no digits") << QByteArray("new!") << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("8-bit bytes skipped") << QByteArray("\xb9\xff"
                                                       "1\x80"
                                                       "3")
                                         << qint64(13);
    // Far too many digits stays huge instead of wrapping to something small.
    QTest::newRow("overlong") << QByteArray(40, '9') << MaxVersion;
    QTest::newRow("2^32 + 122") << QByteArray("4294967418") << qint64(4294967418LL);
}

void TestUpdateList::versionNumber() {
    QFETCH(QByteArray, field);
    QFETCH(qint64, number);
    QCOMPARE(VersionNumber(field), number);
}

void TestUpdateList::majorVersionRoundsHalfToEven_data() {
    QTest::addColumn<qint64>("version");
    QTest::addColumn<qint64>("major");
    QTest::newRow("605") << qint64(605) << qint64(6);
    QTest::newRow("610") << qint64(610) << qint64(6);
    QTest::newRow("649") << qint64(649) << qint64(6);
    QTest::newRow("650 half to even 6") << qint64(650) << qint64(6);
    QTest::newRow("651") << qint64(651) << qint64(7);
    QTest::newRow("550 half to even 6") << qint64(550) << qint64(6);
    QTest::newRow("750 half to even 8") << qint64(750) << qint64(8);
    QTest::newRow("701") << qint64(701) << qint64(7);
    QTest::newRow("50 half to even 0") << qint64(50) << qint64(0);
    QTest::newRow("150 half to even 2") << qint64(150) << qint64(2);
    QTest::newRow("0") << qint64(0) << qint64(0);
}

void TestUpdateList::majorVersionRoundsHalfToEven() {
    QFETCH(qint64, version);
    QFETCH(qint64, major);
    QCOMPARE(MajorVersion(version), major);
}

void TestUpdateList::offers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("usbFirmware");
    QTest::addColumn<bool>("loader");
    QTest::addColumn<QByteArray>("loaderLink");
    QTest::addColumn<bool>("firmware");
    QTest::addColumn<QByteArray>("firmwareLink");

    const QByteArray l = "http://example.test/loader.exe";
    const QByteArray f = "http://example.test/fw.bin";
    QTest::newRow("v1.22 offers the loader") << QByteArray("rv5kl:v1.22\t" + l + "\r\n") << NoModule
                                             << true << l << false << QByteArray();
    QTest::newRow("capital key") << QByteArray("RV5KL:v1.22\t" + l) << NoModule << true << l
                                 << false << QByteArray();
    QTest::newRow("mixed-case key")
        << QByteArray("Rv5Kl:1.30\t" + l) << NoModule << true << l << false << QByteArray();
    QTest::newRow("v1.21 is this version") << QByteArray("rv5kl:v1.21\t" + l) << NoModule << false
                                           << QByteArray() << false << QByteArray();
    QTest::newRow("older loader") << QByteArray("rv5kl:v1.20\t" + l) << NoModule << false
                                  << QByteArray() << false << QByteArray();
    QTest::newRow("no digits reads 0") << QByteArray("rv5kl:new\t" + l) << NoModule << false
                                       << QByteArray() << false << QByteArray();
    QTest::newRow("no TAB: offer with an empty link")
        << QByteArray("rv5kl:v1.22") << NoModule << true << QByteArray() << false << QByteArray();
    QTest::newRow("link keeps later TABs and colons")
        << QByteArray("rv5kl:v1.22\thttp://h:8/a\tb\n") << NoModule << true
        << QByteArray("http://h:8/a\tb") << false << QByteArray();
    QTest::newRow("key with a blank is another key")
        << QByteArray(" rv5kl:v1.22\t" + l) << NoModule << false << QByteArray() << false
        << QByteArray();
    QTest::newRow("no colon") << QByteArray("rv5kl v1.22\t" + l) << NoModule << false
                              << QByteArray() << false << QByteArray();

    QTest::newRow("605 with 6.10 offers firmware")
        << QByteArray("rv5kf:6.10\t" + f) << qint64(605) << false << QByteArray() << true << f;
    QTest::newRow("605 with 7.01: other major") << QByteArray("rv5kf:7.01\t" + f) << qint64(605)
                                                << false << QByteArray() << false << QByteArray();
    QTest::newRow("605 with 6.05: not newer") << QByteArray("rv5kf:6.05\t" + f) << qint64(605)
                                              << false << QByteArray() << false << QByteArray();
    QTest::newRow("605 with 6.50: half rounds to 6")
        << QByteArray("rv5kf:6.50\t" + f) << qint64(605) << false << QByteArray() << true << f;
    QTest::newRow("705 with 7.50: half rounds to 8")
        << QByteArray("rv5kf:7.50\t" + f) << qint64(705) << false << QByteArray() << false
        << QByteArray();
    QTest::newRow("no module on USB (or only through the base)")
        << QByteArray("rv5kf:6.10\t" + f) << NoModule << false << QByteArray() << false
        << QByteArray();
    QTest::newRow("both, any line ends")
        << QByteArray("# list\rrv5kf:6.10\t" + f + "\nother:9.99\tx\r\nrv5kl:v2.00\t" + l)
        << qint64(605) << true << l << true << f;
    QTest::newRow("empty list") << QByteArray() << qint64(605) << false << QByteArray() << false
                                << QByteArray();
    QTest::newRow("binary junk") << QByteArray("\x00\xff\x01rv5\x00kl:\t\t\r\r\n\n", 17)
                                 << qint64(605) << false << QByteArray() << false << QByteArray();
}

void TestUpdateList::offers() {
    QFETCH(QByteArray, text);
    QFETCH(qint64, usbFirmware);
    const TOffers offers = Parse(text, ToolVersion, Usb(usbFirmware));
    QTEST(offers.Loader.Made, "loader");
    QTEST(offers.Loader.Link, "loaderLink");
    QTEST(offers.Firmware.Made, "firmware");
    QTEST(offers.Firmware.Link, "firmwareLink");
}

void TestUpdateList::laterLineReplacesEarlierOffer() {
    // The last qualifying line counts, even when it names an older version or
    // has no link; a line that does not qualify changes nothing.
    const TOffers offers = Parse("rv5kl:v1.30\thttp://a/1\n"
                                 "rv5kl:v1.25\thttp://a/2\n"
                                 "rv5kl:v1.00\thttp://a/old\n"
                                 "rv5kf:6.20\thttp://f/1\n"
                                 "rv5kf:6.30\n",
                                 ToolVersion, 605);
    QVERIFY(offers.Loader.Made);
    QCOMPARE(offers.Loader.Link, QByteArray("http://a/2"));
    QVERIFY(offers.Firmware.Made);
    QCOMPARE(offers.Firmware.Link, QByteArray());
}

void TestUpdateList::downloadUrl_data() {
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<QString>("url"); // empty: never opened
    QTest::newRow("http") << QByteArray("http://example.test/RV5K.exe")
                          << QStringLiteral("http://example.test/RV5K.exe");
    QTest::newRow("https, capital scheme")
        << QByteArray("HTTPS://example.test/a?b=c") << QStringLiteral("https://example.test/a?b=c");
    QTest::newRow("blanks around")
        << QByteArray("  http://example.test/x \t") << QStringLiteral("http://example.test/x");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("file URL") << QByteArray("file:///bin/sh") << QString();
    QTest::newRow("program path") << QByteArray("/usr/bin/xterm") << QString();
    QTest::newRow("windows program") << QByteArray("C:\\Windows\\System32\\cmd.exe") << QString();
    QTest::newRow("javascript") << QByteArray("javascript:alert(1)") << QString();
    QTest::newRow("other scheme") << QByteArray("ftp://example.test/x") << QString();
    QTest::newRow("no host") << QByteArray("http://") << QString();
    QTest::newRow("http without slashes") << QByteArray("http:evil") << QString();
    QTest::newRow("scheme-relative") << QByteArray("//example.test/x") << QString();
    QTest::newRow("blank inside") << QByteArray("http://example.test/a b") << QString();
    QTest::newRow("control byte") << QByteArray("http://example.test/\x01") << QString();
    QTest::newRow("malformed host") << QByteArray("http://exa mple/") << QString();
}

void TestUpdateList::downloadUrl() {
    QFETCH(QByteArray, link);
    QFETCH(QString, url);
    const std::optional<QUrl> opened = DownloadUrl(link);
    QCOMPARE(opened.has_value(), !url.isEmpty());
    if (opened)
        QCOMPARE(opened->toString(), url);
}

void TestUpdateList::serverSetting_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("baseUrl"); // empty: no fetch
    QTest::newRow("host") << QStringLiteral("updates.example.test")
                          << QStringLiteral("http://updates.example.test/files/RV9Loader/");
    QTest::newRow("host and port") << QStringLiteral("127.0.0.1:8080")
                                   << QStringLiteral("http://127.0.0.1:8080/files/RV9Loader/");
    QTest::newRow("blanks around") << QStringLiteral(" 127.0.0.1:81 ")
                                   << QStringLiteral("http://127.0.0.1:81/files/RV9Loader/");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("port 0") << QStringLiteral("host:0") << QString();
    QTest::newRow("port too large") << QStringLiteral("host:65536") << QString();
    QTest::newRow("empty port") << QStringLiteral("host:") << QString();
    QTest::newRow("user") << QStringLiteral("me@host") << QString();
    QTest::newRow("path") << QStringLiteral("host/other") << QString();
    QTest::newRow("URL") << QStringLiteral("http://host") << QString();
    QTest::newRow("blank inside") << QStringLiteral("ho st") << QString();
}

void TestUpdateList::serverSetting() {
    QFETCH(QString, server);
    QFETCH(QString, baseUrl);
    const std::optional<QUrl> url = UpdateServer::BaseUrl(server);
    QCOMPARE(url.has_value(), !baseUrl.isEmpty());
    if (url)
        QCOMPARE(url->toString(), baseUrl);
}

void TestUpdateList::crLfLines_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("CR") << QByteArray("a\rb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("last line unended") << QByteArray("a") << QByteArray("a\r\n");
    QTest::newRow("blank lines kept")
        << QByteArray("a\n\n\r\nb") << QByteArray("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestUpdateList::crLfLines() {
    QFETCH(QByteArray, answer);
    QTEST(UpdateFiles::CrLfLines(answer), "stored");
}

QTEST_GUILESS_MAIN(TestUpdateList)
#include "tst_update_list.moc"
