// The template tool of the support desk, run as a program: it dumps the
// shipped demo template with the catalogue's names, seal and dump give each
// other back, and bad input ends with a clear message and a non-zero exit
// status, never a crash.
#include "TemplateBytes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace TemplateBytes;

namespace {
struct TRun {
    int Status = -1;
    bool Crashed = false;
    QString Out;
    QString Err;
};

TRun Run(const QStringList& arguments, const QString& folder = QString()) {
    QProcess tool;
    if (!folder.isEmpty())
        tool.setWorkingDirectory(folder);
    tool.start(QStringLiteral(RV5K_TEMPLATE_TOOL), arguments);
    TRun run;
    if (!tool.waitForFinished(30000)) {
        tool.kill();
        tool.waitForFinished();
        run.Crashed = true;
        return run;
    }
    run.Crashed = tool.exitStatus() != QProcess::NormalExit;
    run.Status = tool.exitCode();
    run.Out = QString::fromUtf8(tool.readAllStandardOutput());
    run.Err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

QString Source(const char* path) {
    return qEnvironmentVariable("RV5K_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(path);
}
} // namespace

class TestTemplateTool : public QObject {
    Q_OBJECT
private slots:
    void dumpsTheShippedDemoTemplate();
    void sealAndDumpGiveEachOtherBack();
    void badInputFailsPlainly_data();
    void badInputFailsPlainly();
};

void TestTemplateTool::dumpsTheShippedDemoTemplate() {
    const TRun run = Run({QStringLiteral("dump"), Source("data/templates/demo.tpl"),
                          QStringLiteral("--catalogue"), Source("data/Functions.csv")});
    QVERIFY(!run.Crashed);
    QCOMPARE(run.Status, 0);
    QVERIFY(run.Err.isEmpty());
    QVERIFY(
        run.Out.contains(QStringLiteral("\nversion 4\nrecord-size 63\nrecords 0\npairs 128\n")));
    // No PIN or car data in it; names from the catalogue, the fixed FNs and
    // the sub-parameters.
    QVERIFY(run.Out.contains(QStringLiteral("\nslot 0: FN FF NN 01   # left out")));
    QVERIFY(run.Out.contains(QStringLiteral("\nslot 7: FN 10 NN 01   # Lock on drive-off\n")));
    QVERIFY(run.Out.contains(QStringLiteral("\nslot 8: FN 11 NN 01   # Settings saved\n")));
    QVERIFY(run.Out.contains(
        QStringLiteral("\nslot 12: FN 15 NN 0A   # Lock on drive-off: After a speed (km/h)\n")));
    QVERIFY(
        run.Out.contains(QStringLiteral("FN 30 NN 06   # flags: Ignition (01), Driver door (02)")));
    QVERIFY(run.Out.contains(QStringLiteral("\nslot 127: FN 00 NN 00   # empty slot\n")));

    // Without a catalogue beside it, only the fixed FNs are named.
    QTemporaryDir empty;
    const TRun bare =
        Run({QStringLiteral("dump"), Source("data/templates/demo.tpl")}, empty.path());
    QCOMPARE(bare.Status, 0);
    QVERIFY(bare.Out.startsWith(QStringLiteral("# no Functions.csv found")));
    QVERIFY(bare.Out.contains(QStringLiteral("\nslot 7: FN 10 NN 01\n")));
}

void TestTemplateTool::sealAndDumpGiveEachOtherBack() {
    QTemporaryDir dir;
    // The demo template through its text gives the same file back.
    const TRun first = Run({QStringLiteral("dump"), Source("data/templates/demo.tpl")}, dir.path());
    QCOMPARE(first.Status, 0);
    QFile text(dir.filePath(QStringLiteral("demo.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write(first.Out.toUtf8());
    text.close();
    const QString sealed = dir.filePath(QStringLiteral("again.tpl"));
    const TRun seal = Run({QStringLiteral("seal"), text.fileName(), sealed});
    QVERIFY2(seal.Status == 0, qPrintable(seal.Err));
    QCOMPARE(ReadFile(sealed), ReadFile(Source("data/templates/demo.tpl")));

    // A text with records, written by hand: the file holds what it says.
    QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
    text.write("# by hand\nversion 4\nrecord-size 63\nrecords 1\npairs 2\n"
               "record 0: 8B 02 43 33 37\nslot 0: FN 10 NN 02  # comment\nslot 1: fn 12 nn 3\n");
    text.close();
    QCOMPARE(Run({QStringLiteral("seal"), text.fileName(), sealed}).Status, 0);
    tduomenys plain = Template({{0x10, 2}, {0x12, 3}}, {Record({0x0B, 2, 0x43, '3', '7'})});
    plain[5] = 2; // two pairs
    plain.erase(plain.begin() + 16 + 63 + 2, plain.begin() + 16 + 63 + 128);
    plain.erase(plain.begin() + 16 + 63 + 4, plain.end());
    plain[16 + 63 + 2] = 2;
    plain[16 + 63 + 3] = 3;
    QCOMPARE(ReadFile(sealed), Rc4Sha1("KT8WPatterns", plain));
    const TRun again = Run({QStringLiteral("dump"), sealed}, dir.path());
    QCOMPARE(again.Status, 0);
    QVERIFY(again.Out.contains(QStringLiteral("\nrecord 0: 8B 02 43 33 37 00 00")));
    QVERIFY(again.Out.contains(QStringLiteral("\nslot 1: FN 12 NN 03\n")));
}

void TestTemplateTool::badInputFailsPlainly_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("no command") << QStringList{} << 2 << "no command given";
    QTest::newRow("unknown command") << QStringList{"list"} << 2 << "unknown command";
    QTest::newRow("dump without a file") << QStringList{"dump"} << 2 << "dump takes one";
    QTest::newRow("seal without its output") << QStringList{"seal", "x.txt"} << 2 << "seal takes";
    QTest::newRow("missing file") << QStringList{"dump", "@/none.tpl"} << 1 << "No such file";
    QTest::newRow("a folder") << QStringList{"dump", "@"} << 1 << "Not a file";
    QTest::newRow("empty file") << QStringList{"dump", "@/empty.tpl"} << 1 << "(code 1)";
    QTest::newRow("map cut") << QStringList{"dump", "@/cut.tpl"} << 1 << "(code 6)";
    QTest::newRow("another pass phrase")
        << QStringList{"dump", "@/other.tpl"} << 1 << "is not a template";
    QTest::newRow("missing catalogue")
        << QStringList{"dump", "@/good.tpl", "--catalogue", "@/none.csv"} << 1
        << "cannot read the catalogue";
    QTest::newRow("text with an error")
        << QStringList{"seal", "@/bad.txt", "@/out.tpl"} << 1 << "bad.txt, line 2: unknown line";
    QTest::newRow("output in a missing place")
        << QStringList{"seal", "@/good.txt", "@/good.tpl/x.tpl"} << 1 << "cannot write";
}

void TestTemplateTool::badInputFailsPlainly() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QTemporaryDir dir;
    tduomenys cut = Template({{0x10, 1}});
    cut.resize(16 + 255);
    QVERIFY(WriteFile(dir.filePath("empty.tpl"), {}));
    QVERIFY(WriteFile(dir.filePath("cut.tpl"), Rc4Sha1("KT8WPatterns", cut)));
    QVERIFY(WriteFile(dir.filePath("other.tpl"), Rc4Sha1("other", Template({{0x10, 1}}))));
    QVERIFY(WriteFile(dir.filePath("good.tpl"), Rc4Sha1("KT8WPatterns", Template({{0x10, 1}}))));
    QVERIFY(WriteFile(dir.filePath("bad.txt"), FromQByteArray("version 4\nhello\n")));
    QVERIFY(WriteFile(dir.filePath("good.txt"),
                      FromQByteArray("version 4\nrecord-size 63\nrecords 0\npairs 0\n")));
    for (QString& argument : arguments)
        argument.replace(QLatin1Char('@'), dir.path());
    const tduomenys good = ReadFile(dir.filePath("good.tpl"));

    const TRun run = Run(arguments, dir.path());
    QVERIFY(!run.Crashed);
    QCOMPARE(run.Status, status);
    QVERIFY2(run.Err.contains(error), qPrintable(run.Err));
    QVERIFY(run.Out.isEmpty());
    QCOMPARE(ReadFile(dir.filePath("good.tpl")), good);
}

QTEST_GUILESS_MAIN(TestTemplateTool)
#include "tst_template_tool.moc"
