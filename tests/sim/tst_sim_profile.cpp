// Simulator profiles: what a good JSON profile fills in, the error text of a
// damaged one, and the profiles shipped with the tool.

#include "sim/SimProfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <set>

namespace {

QString SourceDir() {
    return qEnvironmentVariable("RV5K_SOURCE_DIR", QStringLiteral("."));
}

QByteArray MapOfSlots(int count) {
    QByteArray json = "{\"map\": [";
    for (int i = 0; i < count; ++i)
        json += (i ? ", " : "") + QByteArray("[16, 1]");
    return json + "]}";
}

TSimProfile MustLoad(const QString& path) {
    QString error;
    const std::optional<TSimProfile> profile = TSimProfile::LoadFile(path, &error);
    if (!profile)
        qWarning("%s", qPrintable(error));
    return profile.value_or(TSimProfile{});
}

} // namespace

class TstSimProfile : public QObject {
    Q_OBJECT
private slots:
    void emptyProfileKeepsDefaults();
    void fullProfile();
    void damagedProfiles_data();
    void damagedProfiles();
    void notJson();
    void loadFileNamesTheFile();
    void shippedDemo();
    void shippedFaultProfiles();
    void documentedExampleParses();
};

void TstSimProfile::emptyProfileKeepsDefaults() {
    QString error;
    const auto profile = TSimProfile::FromJson("{}", &error);
    QVERIFY2(profile, qPrintable(error));
    QCOMPARE(profile->ProductString, QStringLiteral("RV5K CAN v6.12"));
    QVERIFY(profile->Map.empty());
    QCOMPARE(profile->StatusIntervalMs, 50);
    QVERIFY(!profile->UnplugAfterReports);
}

void TstSimProfile::fullProfile() {
    const QByteArray json = R"({
        "product": "RV5K CAN v6.05", "serial": "RV5K00000042",
        "password": "1234", "locked": true,
        "map": [[1, 2], ["0x57", "0X01"], [255, 0], [0, 0]],
        "defaults": [[1, 1]],
        "writeProgram": "00 04 0a",
        "programs": [[12, 3], ["0x0E", 1]],
        "responses": [{"code": "0x8D", "payload": "0f0041"}, {"code": 145}],
        "sentOnConnect": [{"code": "0xA1", "payload": "01"}],
        "zoneStatus": "0xFFFFFFFF",
        "moduleError": true, "monitoring": true,
        "modemState": {"mc55iFlags": "0x4F", "tcpsr": 61955},
        "usart": [{"dir": "out", "text": "AT\r"},
                  {"dir": "in", "hex": "4f4b0d0a", "modemState": {"mc55iCR": "0x80", "tcpsr": 2}}],
        "latencyMs": 7, "statusIntervalMs": 20,
        "faults": {"dropAnswerTo": [3, 9], "stayBusy": true, "unplugAfterReports": 100,
                   "garbageEvery": 5, "garbageSeed": 77, "ignoreSetFn": ["0x31", 87]}
    })";
    QString error;
    const auto p = TSimProfile::FromJson(json, &error);
    QVERIFY2(p, qPrintable(error));
    QCOMPARE(p->SerialNumber, QStringLiteral("RV5K00000042"));
    QCOMPARE(p->Password, QByteArray("1234"));
    QVERIFY(p->StartLocked);
    using Pairs = std::vector<std::pair<quint8, quint8>>;
    QVERIFY(p->Map == (Pairs{{1, 2}, {0x57, 1}, {0xFF, 0}, {0, 0}}));
    QVERIFY(p->Defaults == (Pairs{{1, 1}}));
    QCOMPARE(p->WriteProgram, QByteArray::fromHex("00040a"));
    QVERIFY(p->Programs == (Pairs{{12, 3}, {14, 1}}));
    QCOMPARE(p->Responses.size(), 2);
    QCOMPARE(p->Responses[0].Code, quint8(0x8D));
    QCOMPARE(p->Responses[0].Payload, QByteArray::fromHex("0f0041"));
    QCOMPARE(p->Responses[1].Code, quint8(0x91));
    QVERIFY(p->Responses[1].Payload.isEmpty());
    QCOMPARE(p->SentOnConnect.value(0).Code, quint8(0xA1));
    QCOMPARE(p->ZoneStatus, 0xFFFFFFFFu);
    QVERIFY(p->ModuleError && p->Monitoring);
    QCOMPARE(p->ModemState.MC55iFlags, quint8(0x4F));
    QCOMPARE(p->ModemState.TCPSR, quint16(0xF203));
    QCOMPARE(p->UsartScript.size(), 2);
    QVERIFY(p->UsartScript[0].OutGoing);
    QCOMPARE(p->UsartScript[0].Text, QByteArray("AT\r"));
    QVERIFY(!p->UsartScript[1].OutGoing);
    QCOMPARE(p->UsartScript[1].Text, QByteArray("OK\r\n"));
    QVERIFY(!p->UsartScript[0].Modem);
    QVERIFY(p->UsartScript[1].Modem);
    QCOMPARE(p->UsartScript[1].Modem->MC55iCR, std::optional<quint8>(0x80));
    QCOMPARE(p->UsartScript[1].Modem->TCPSR, std::optional<quint16>(2));
    QVERIFY(!p->UsartScript[1].Modem->MC55iFlags && !p->UsartScript[1].Modem->SentCounter);
    QCOMPARE(p->LatencyMs, 7);
    QCOMPARE(p->StatusIntervalMs, 20);
    QCOMPARE(p->DropAnswerTo, (QList<int>{3, 9}));
    QVERIFY(p->StayBusy);
    QCOMPARE(p->UnplugAfterReports.value_or(0), 100);
    QCOMPARE(p->GarbageEvery, 5);
    QCOMPARE(p->GarbageSeed, 77u);
    QCOMPARE(p->IgnoreSetFn, (QList<quint8>{0x31, 0x57}));
}

void TstSimProfile::damagedProfiles_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const auto row = [](const char* name, const QByteArray& json, const QString& error) {
        QTest::newRow(name) << json << error;
    };
    row("not an object", "[1, 2]", "the profile must be a JSON object");
    row("misspelt key", R"({"latencyMS": 5})", R"(unknown key "latencyMS")");
    row("misspelt fault", R"({"faults": {"garbage": 3}})", R"(faults: unknown key "garbage")");
    row("bool as text", R"({"locked": "yes"})", "locked: expected true or false");
    row("text as number", R"({"product": 612})", "product: expected a text");
    row("map not a list", R"({"map": {"a": 1}})", "map: expected a list");
    row("map entry not a pair", R"({"map": [[1]]})", "map[0]: expected a pair [FN, NN]");
    row("program entry not a pair", R"({"programs": [[1, 2, 3]]})",
        "programs[0]: expected a pair [GR, PGR]");
    row("NN over 255", R"({"map": [[1, 256]]})", "map[0][1]: 256 is over 255");
    row("hex FN over 255", R"({"map": [[1, 2], ["0x1FF", 0]]})",
        R"(map[1][0]: "0x1FF" is over 255)");
    row("negative", R"({"defaults": [[-1, 0]]})", "defaults[0][0]: -1 is below 0");
    row("fraction", R"({"map": [[1.5, 0]]})", "map[0][0]: 1.5 is not a whole number");
    row("decimal text", R"({"map": [["12", 0]]})",
        R"(map[0][0]: "12" is not a number (write 12 or "0x0C"))");
    row("bad hex text", R"({"map": [["0xZZ", 0]]})",
        R"(map[0][0]: "0xZZ" is not a number (write 12 or "0x0C"))");
    row("bool as number", R"({"map": [[true, 0]]})",
        R"(map[0][0]: expected a number or a "0x.." text)");
    row("129 slots", MapOfSlots(129), "map: 129 slots, at most 128");
    row("not hex", R"({"writeProgram": "0g"})", "writeProgram: 'g' is not a hexadecimal digit");
    row("odd hex", R"({"writeProgram": "012"})", "writeProgram: odd number of hexadecimal digits");
    row("write program too long", "{\"writeProgram\": \"" + QByteArray(512, 'a') + "\"}",
        "writeProgram: 256 bytes, at most 255");
    row("block without code", R"({"responses": [{"payload": "00"}]})",
        R"(responses[0]: "code" is missing)");
    row("payload too long",
        "{\"sentOnConnect\": [{\"code\": \"0xA1\", \"payload\": \"" + QByteArray(122, '0') +
            "\"}]}",
        "sentOnConnect[0].payload: 61 bytes, at most 60");
    row("usart direction", R"({"usart": [{"dir": "up", "text": "AT"}]})",
        R"(usart[0].dir: expected "out" or "in")");
    row("usart without text", R"({"usart": [{"dir": "in"}]})",
        R"(usart[0]: needs either "text" or "hex")");
    row("usart modem state key",
        R"({"usart": [{"dir": "in", "text": "OK", "modemState": {"cr": 1}}]})",
        R"(usart[0].modemState: unknown key "cr")");
    row("usart wide text", R"({"usart": [{"dir": "in", "text": "\u0100"}]})",
        "usart[0].text: only 8-bit characters (U+0000 to U+00FF) are allowed");
    row("status interval 0", R"({"statusIntervalMs": 0})", "statusIntervalMs: 0 is below 1");
    row("latency over a minute", R"({"latencyMs": 60001})", "latencyMs: 60001 is over 60000");
    row("request number 0", R"({"faults": {"dropAnswerTo": [2, 0]}})",
        "faults.dropAnswerTo[1]: 0 is below 1");
    row("unplug after 0", R"({"faults": {"unplugAfterReports": 0}})",
        "faults.unplugAfterReports: 0 is below 1");
    row("zone status over 32 bits", R"({"zoneStatus": "0x100000000"})",
        R"(zoneStatus: "0x100000000" is over 4294967295)");
    row("locked without password", R"({"locked": true})",
        "locked: a module without a password cannot lock");
    row("password too long", R"({"password": "12345678901234567"})",
        "password: longer than 16 characters, so it could never be sent");
    row("modem state key", R"({"modemState": {"tcpSR": 1}})", R"(modemState: unknown key "tcpSR")");
}

void TstSimProfile::damagedProfiles() {
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QString got;
    QVERIFY(!TSimProfile::FromJson(json, &got));
    QCOMPARE(got, error);
    QVERIFY(!TSimProfile::FromJson(json, nullptr)); // no place for the text: still no crash
}

void TstSimProfile::notJson() {
    for (const QByteArray& json :
         {QByteArray("{\"map\": ["), QByteArray(""), QByteArray("\xff\xfe")}) {
        QString error;
        QVERIFY(!TSimProfile::FromJson(json, &error));
        QVERIFY2(QRegularExpression(QStringLiteral("^not valid JSON \\(.+ at offset \\d+\\)$"))
                     .match(error)
                     .hasMatch(),
                 qPrintable(error));
    }
}

void TstSimProfile::loadFileNamesTheFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.json"));
    QString error;
    QVERIFY(!TSimProfile::LoadFile(missing, &error));
    QVERIFY2(
        error.startsWith(QDir::toNativeSeparators(missing) + QStringLiteral(": cannot be read (")),
        qPrintable(error));

    const QString damaged = dir.filePath(QStringLiteral("damaged.json"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"map": [[1, 300]]})");
    file.close();
    QVERIFY(!TSimProfile::LoadFile(damaged, &error));
    QCOMPARE(error,
             QDir::toNativeSeparators(damaged) + QStringLiteral(": map[0][1]: 300 is over 255"));
}

void TstSimProfile::shippedDemo() {
    const QString path = SourceDir() + QStringLiteral("/data/sim/demo.json");
    QString error;
    const auto demo = TSimProfile::LoadFile(path, &error);
    QVERIFY2(demo, qPrintable(error));
    QCOMPARE(demo->ProductString, QStringLiteral("RV5K CAN v6.12"));
    QVERIFY(demo->Password.isEmpty() && !demo->StartLocked);
    QVERIFY(demo->Map.size() >= 60 && demo->Map.size() <= 128);
    // Every function once; skip and empty slots may repeat. Defaults cover the same FNs.
    std::set<quint8> fns;
    std::set<quint8> defaultFns;
    for (const auto& [fn, nn] : demo->Map)
        if (fn != 0 && fn != 0xFF)
            QVERIFY2(fns.insert(fn).second, qPrintable(QString::number(fn, 16)));
    for (const auto& [fn, nn] : demo->Defaults)
        if (fn != 0 && fn != 0xFF)
            defaultFns.insert(fn);
    QVERIFY(fns == defaultFns);
    for (quint8 fn : {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x11, 0x57, 0x71, 0x72, 0x73})
        QVERIFY2(fns.count(fn), qPrintable(QString::number(fn, 16)));
    QCOMPARE(demo->Map.back().first, quint8(0)); // empty slots at the end
    QCOMPARE(demo->SentOnConnect.value(0).Code, quint8(0xA1));
    const QByteArray autoStart = demo->SentOnConnect.value(0).Payload;
    QCOMPARE(autoStart.size(), 48);
    QCOMPARE(quint8(autoStart[9]), quint8(0xF6)); // -10 degrees
    QCOMPARE(quint8(autoStart[13]), quint8(118));
    QCOMPARE(demo->LatencyMs, 2);
    QCOMPARE(demo->StatusIntervalMs, 50);
}

void TstSimProfile::shippedFaultProfiles() {
    const TSimProfile locked = MustLoad(SourceDir() + QStringLiteral("/data/sim/locked.json"));
    QCOMPARE(locked.Password, QByteArray("1234"));
    QVERIFY(locked.StartLocked);
    const TSimProfile faulty = MustLoad(SourceDir() + QStringLiteral("/data/sim/faulty.json"));
    QVERIFY(!faulty.DropAnswerTo.isEmpty());
    QVERIFY(faulty.GarbageEvery > 0);
    QVERIFY(!faulty.Map.empty());
}

void TstSimProfile::documentedExampleParses() {
    QFile doc(SourceDir() + QStringLiteral("/docs/simulator.md"));
    QVERIFY(doc.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(doc.readAll());
    const QRegularExpressionMatch example =
        QRegularExpression(QStringLiteral("```json\\n(.*?)```"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(text);
    QVERIFY(example.hasMatch());
    QString error;
    const auto profile = TSimProfile::FromJson(example.captured(1).toUtf8(), &error);
    QVERIFY2(profile, qPrintable(error));
    QVERIFY(!profile->Map.empty());
}

QTEST_MAIN(TstSimProfile)
#include "tst_sim_profile.moc"
