// Template files without a window: the RC4 cipher against published
// vectors, the key, the plaintext a save builds, the loader's checks on a
// table of damaged plaintexts, sealing to and opening from disk (a full
// disk, a folder, a file that cannot be read), and the text form of the
// template tool.
#include "TemplateBytes.h"
#include "cansettings/Rc4.h"
#include "cansettings/TemplateFile.h"
#include "cansettings/TemplateText.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace TemplateBytes;

namespace {
tduomenys Hex(const char* text) {
    const QByteArray bytes = QByteArray::fromHex(text);
    return tduomenys(bytes.begin(), bytes.end());
}

bool RunningAsRoot() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

// A tmpfs of a few pages mounted for the test, or nothing where that is not
// allowed.
struct TSmallDisk {
    QTemporaryDir Dir;
    bool Mounted = false;
    TSmallDisk() {
        if (!RunningAsRoot() || !Dir.isValid())
            return;
        Mounted = QProcess::execute(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                     QStringLiteral("-o"), QStringLiteral("size=64k"),
                                     QStringLiteral("tmpfs"), Dir.path()}) == 0;
    }
    ~TSmallDisk() {
        if (Mounted)
            QProcess::execute(QStringLiteral("umount"), {Dir.path()});
    }
    // Writes a file until the disk is full.
    bool Fill() const {
        QFile filler(Dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        return true;
    }
};

QStringList Listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

class TestTemplateFile : public QObject {
    Q_OBJECT
private slots:
    void rc4MatchesPublishedVectors_data();
    void rc4MatchesPublishedVectors();
    void sealIsRc4KeyedByTheSha1OfThePassPhrase();
    void buildPlaintextLeavesOutPinAndCarData_data();
    void buildPlaintextLeavesOutPinAndCarData();
    void buildPlaintextKeepsTheRecordings();
    void readPlaintextChecksInTheLoadersOrder_data();
    void readPlaintextChecksInTheLoadersOrder();
    void replayBlocksStartOneByteBeforeEachRecord();
    void anotherPassPhraseDecryptsToNoiseThatIsRefused();
    void sealToFileAndOpenAgain();
    void openSealedFileRefuses_data();
    void openSealedFileRefuses();
    void aFullDiskFailsAndKeepsTheOldFile();
    void textFormRoundTrip();
    void textFormRefuses_data();
    void textFormRefuses();
};

void TestTemplateFile::rc4MatchesPublishedVectors_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plaintext");
    QTest::addColumn<QByteArray>("ciphertext");
    QTest::newRow("Key") << QByteArray("Key") << QByteArray("Plaintext")
                         << QByteArray::fromHex("BBF316E8D940AF0AD3");
    QTest::newRow("Wiki") << QByteArray("Wiki") << QByteArray("pedia")
                          << QByteArray::fromHex("1021BF0420");
    QTest::newRow("Secret") << QByteArray("Secret") << QByteArray("Attack at dawn")
                            << QByteArray::fromHex("45A01F645FC35B383552544B9BF5");
    // RFC 6229, the 40-bit key 0x0102030405: keystream bytes 0 to 31.
    QTest::newRow("RFC 6229 40-bit")
        << QByteArray::fromHex("0102030405") << QByteArray(32, '\0')
        << QByteArray::fromHex("b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919");
}

void TestTemplateFile::rc4MatchesPublishedVectors() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plaintext);
    QFETCH(QByteArray, ciphertext);
    const tduomenys in(plaintext.begin(), plaintext.end());
    const tduomenys out = Rc4::Apply(key, in);
    QCOMPARE(ToQByteArray(out), ciphertext);
    QCOMPARE(Rc4::Apply(key, out), in); // the same operation decrypts
}

void TestTemplateFile::sealIsRc4KeyedByTheSha1OfThePassPhrase() {
    QCOMPARE(TemplateFormat::PassPhrase(), QByteArray("KT8WPatterns"));
    // The keystream of SHA-1("KT8WPatterns") = 48fe0f99...28c7, from its
    // first byte.
    QCOMPARE(TemplateFile::Seal(TemplateFormat::PassPhrase(), tduomenys(16, 0)),
             Hex("09fc898b3d21b2aceaf6cedddb774a23"));
    const tduomenys plain = Template({{0x10, 1}, {0x01, 4}});
    QCOMPARE(TemplateFile::Seal("KT8WPatterns", plain), Rc4Sha1("KT8WPatterns", plain));
}

void TestTemplateFile::buildPlaintextLeavesOutPinAndCarData_data() {
    QTest::addColumn<bool>("withPin");
    QTest::newRow("without PIN") << false;
    QTest::newRow("with PIN") << true;
}

void TestTemplateFile::buildPlaintextLeavesOutPinAndCarData() {
    QFETCH(bool, withPin);
    TFnMemoryMap map;
    const std::vector<std::pair<quint8, quint8>> pairs = {
        {0x01, 1}, {0x02, 2}, {0x03, 3}, {0x04, 4}, {0x05, 1}, {0x06, 12},
        {0x07, 3}, {0x10, 1}, {0x11, 1}, {0xFF, 9}, {0x57, 1}, {0xFE, 0x80}};
    for (std::size_t i = 0; i < pairs.size(); ++i)
        map[int(i)] = {pairs[i].first, pairs[i].second};
    map[127] = {0x42, 7};
    const tduomenys plain =
        TemplateFile::BuildPlaintext(TemplateFile::EmptyRecording(), map, withPin);
    QCOMPARE(plain.size(), std::size_t(16 + 2 * 128));
    QCOMPARE(tduomenys(plain.begin(), plain.begin() + 16), Header(4, 0, 63, 16, 128));
    const quint8 pin = withPin ? 0 : 0xFF; // 0: kept
    const tduomenys fns = {pin ? pin : quint8(0x01),
                           pin ? pin : quint8(0x02),
                           pin ? pin : quint8(0x03),
                           pin ? pin : quint8(0x04),
                           0xFF,
                           0xFF,
                           0xFF,
                           0x10,
                           0x11,
                           0xFF,
                           0x57,
                           0xFE};
    QCOMPARE(tduomenys(plain.begin() + 16, plain.begin() + 16 + 12), fns);
    QCOMPARE(plain[16 + 127], quint8(0x42));
    QCOMPARE(plain[16 + 12], quint8(0)); // an empty slot stays empty
    // Every NN stays, the left-out FNs' too.
    for (int slot = 0; slot < 128; ++slot)
        QCOMPARE(plain[std::size_t(16 + 128 + slot)], map[slot].NN);
}

void TestTemplateFile::buildPlaintextKeepsTheRecordings() {
    TFnMemoryMap map;
    map[0] = {0x10, 2};
    // Two records as the link keeps them.
    tduomenys recording = TemplateFile::EmptyRecording();
    Append(recording, Record({0x0B, 2, 0x43, '3', '7'}));
    Append(recording, Record({0x0C, 0, 0, 0, 9}));
    recording[1] = 2;
    tduomenys plain = TemplateFile::BuildPlaintext(recording, map, false);
    QCOMPARE(plain.size(), std::size_t(16 + 2 * 63 + 256));
    QCOMPARE(tduomenys(plain.begin(), plain.begin() + 16), Header(4, 2, 63, 16 + 126, 128));
    QCOMPARE(plain[16], quint8(0x8B));
    QCOMPARE(plain[16 + 126], quint8(0x10));

    // A recording whose count wrapped past 255 keeps 255 records, so that the
    // count, the records and the map offset agree.
    tduomenys many = TemplateFile::EmptyRecording();
    for (int i = 0; i < 300; ++i)
        Append(many, Record({0x0C, quint8(i)}));
    many[1] = quint8(300 & 0xFF);
    plain = TemplateFile::BuildPlaintext(many, map, false);
    QCOMPARE(int(plain[1]), 255);
    QCOMPARE(int(plain[3] | plain[4] << 8), 16 + 255 * 63);
    QVERIFY(TemplateFile::ReadPlaintext(plain).Applicable());

    // No recording (or a damaged one) still gives a whole template.
    for (const tduomenys& none : {tduomenys{}, tduomenys(10, 4)}) {
        plain = TemplateFile::BuildPlaintext(none, map, false);
        QCOMPARE(tduomenys(plain.begin(), plain.begin() + 16), Header(4, 0, 63, 16, 128));
        QCOMPARE(plain.size(), std::size_t(16 + 256));
    }
}

void TestTemplateFile::readPlaintextChecksInTheLoadersOrder_data() {
    QTest::addColumn<QByteArray>("plaintext");
    QTest::addColumn<int>("shortCode");
    QTest::addColumn<bool>("tooOld");
    QTest::addColumn<int>("replays");
    const auto bytes = [](const tduomenys& b) { return ToQByteArray(b); };
    const auto cut = [](tduomenys b, std::size_t n) {
        b.resize(n);
        return ToQByteArray(b);
    };
    const tduomenys good = Template({{0x10, 1}});
    const tduomenys recorded = Template({{0x10, 1}}, {Record({0x0B, 1})});
    tduomenys v3 = recorded;
    v3[0] = 3;
    tduomenys v2 = recorded;
    v2[0] = 2;

    QTest::newRow("empty") << QByteArray() << 1 << false << 0;
    QTest::newRow("15 bytes") << cut(good, 15) << 1 << false << 0;
    QTest::newRow("16 + 256 bytes loads") << bytes(good) << 0 << false << 0;
    QTest::newRow("16 + 255 bytes: map cut") << cut(good, 16 + 255) << 6 << false << 0;
    QTest::newRow("header only, one record announced") << cut(recorded, 16) << 2 << false << 0;
    QTest::newRow("record cut by one byte") << cut(recorded, 16 + 62) << 2 << false << 0;
    QTest::newRow("record whole, map missing") << cut(recorded, 16 + 63) << 6 << false << 1;
    QTest::newRow("255 records of 255 bytes announced")
        << bytes(Header(4, 255, 255, 16, 0)) << 2 << false << 0;
    QTest::newRow("map offset past the end") << bytes([&] {
        tduomenys b = good;
        b[3] = 0xFF;
        b[4] = 0xFF;
        return b;
    }()) << 6 << false << 0;
    QTest::newRow("version 3, whole: replayed, not applied") << bytes(v3) << 0 << true << 1;
    QTest::newRow("version 3, map cut: code 6 first") << cut(v3, 16 + 63 + 10) << 6 << false << 1;
    QTest::newRow("version 2, map cut: too old first") << cut(v2, 16 + 63 + 10) << 0 << true << 1;
    QTest::newRow("version 0") << bytes([&] {
        tduomenys b = good;
        b[0] = 0;
        return b;
    }()) << 0 << true << 0;
    QTest::newRow("no pairs") << bytes(Header(4, 0, 63, 16, 0)) << 0 << false << 0;
    QTest::newRow("trailing bytes are ignored") << bytes([&] {
        tduomenys b = good;
        b.resize(b.size() + 40, 0x55);
        return b;
    }()) << 0 << false << 0;
}

void TestTemplateFile::readPlaintextChecksInTheLoadersOrder() {
    QFETCH(QByteArray, plaintext);
    QFETCH(int, shortCode);
    QFETCH(bool, tooOld);
    QFETCH(int, replays);
    const TTemplateContent content = TemplateFile::ReadPlaintext(FromQByteArray(plaintext));
    QCOMPARE(content.ShortCode, shortCode);
    QCOMPARE(content.TooOld, tooOld);
    QCOMPARE(int(content.Replays.size()), replays);
    QCOMPARE(content.Applicable(), shortCode == 0 && !tooOld);
    if (content.Applicable()) {
        QCOMPARE(content.Fns.size(), std::size_t(content.Header.PairCount));
        QCOMPARE(content.Nns.size(), std::size_t(content.Header.PairCount));
    } else {
        QVERIFY(content.Fns.empty() && content.Nns.empty());
    }
}

void TestTemplateFile::replayBlocksStartOneByteBeforeEachRecord() {
    const tduomenys first = Record({0x0B, 2, 0x43, '3', '7'});
    const tduomenys second = Record({0x0C, 0, 0, 1, 2});
    tduomenys plain = Template({{0x10, 1}}, {first, second});
    plain[15] = 0xAA; // the last reserved byte is the first record's filler
    const TTemplateContent content = TemplateFile::ReadPlaintext(plain);
    QVERIFY(content.Applicable());
    QCOMPARE(content.Replays.size(), std::size_t(2));
    tduomenys expected = {0xAA};
    expected.insert(expected.end(), first.begin(), first.end() - 1);
    QCOMPARE(content.Replays[0], expected);
    expected = {first.back()};
    expected.insert(expected.end(), second.begin(), second.end() - 1);
    QCOMPARE(content.Replays[1], expected);
    QCOMPARE(content.Replays[1][1], quint8(0x8C)); // the code where a response has it
    QCOMPARE(content.Fns[0], quint8(0x10));
}

void TestTemplateFile::anotherPassPhraseDecryptsToNoiseThatIsRefused() {
    const tduomenys plain = Template({{0x10, 1}, {0x12, 2}, {0x14, 3}});
    for (const QByteArray& phrase : {QByteArray("KT8WPattern"), QByteArray("kt8wpatterns"),
                                     QByteArray("Another pass phrase")}) {
        const tduomenys noise =
            TemplateFile::Seal(TemplateFormat::PassPhrase(), TemplateFile::Seal(phrase, plain));
        QVERIFY(noise != plain);
        QVERIFY2(!TemplateFile::ReadPlaintext(noise).Applicable(), phrase.constData());
    }
}

void TestTemplateFile::sealToFileAndOpenAgain() {
    QTemporaryDir dir;
    // The folder is made when it is missing; the file is replaced whole.
    const QString path = dir.filePath(QStringLiteral("a/b/demo.tpl"));
    const tduomenys plain = Template({{0x10, 1}});
    QString reason;
    QVERIFY2(TemplateFile::SealToFile(path, "KT8WPatterns", plain, &reason), qPrintable(reason));
    QCOMPARE(ReadFile(path), Rc4Sha1("KT8WPatterns", plain));
    const tduomenys other = Template({{0x20, 7}, {0x21, 8}});
    QVERIFY(TemplateFile::SealToFile(path, "KT8WPatterns", other));
    tduomenys opened;
    QVERIFY(TemplateFile::OpenSealedFile(path, "KT8WPatterns", &opened));
    QCOMPARE(opened, other);
    QCOMPARE(Listing(dir.filePath(QStringLiteral("a/b"))), QStringList{"demo.tpl"});

    // A folder where the file should be is refused and stays as it was.
    const QString folder = dir.filePath(QStringLiteral("folder.tpl"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/inside")));
    QVERIFY(!TemplateFile::SealToFile(folder, "KT8WPatterns", plain, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(Listing(folder), QStringList{"inside"});
}

void TestTemplateFile::openSealedFileRefuses_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("cannot be read") << "unreadable";
    QTest::newRow("larger than any template") << "large";
}

void TestTemplateFile::openSealedFileRefuses() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("x.tpl"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("large")) {
        QVERIFY(WriteFile(path, tduomenys(TemplateFormat::MaxFileBytes + 1, 0)));
    } else if (kind == QLatin1String("unreadable")) {
        if (RunningAsRoot()) {
#ifdef Q_OS_LINUX
            // Root reads any file; this one opens but every read fails.
            path = QStringLiteral("/proc/self/mem");
#else
            QSKIP("no file that root cannot read here");
#endif
        } else {
            QVERIFY(WriteFile(path, Template({})));
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
    }
    tduomenys bytes = {1, 2, 3};
    QString reason;
    QVERIFY(!TemplateFile::OpenSealedFile(path, "KT8WPatterns", &bytes, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(bytes, (tduomenys{1, 2, 3}));
}

void TestTemplateFile::aFullDiskFailsAndKeepsTheOldFile() {
    TSmallDisk disk;
    if (!disk.Mounted)
        QSKIP("a small tmpfs can be mounted only as root");
    const QString path = disk.Dir.filePath(QStringLiteral("good.tpl"));
    const tduomenys good = Template({{0x10, 1}});
    QVERIFY(TemplateFile::SealToFile(path, "KT8WPatterns", good));
    QVERIFY(disk.Fill());
    QString reason;
    const tduomenys bigger = Template({{0x10, 2}}, std::vector<tduomenys>(200, Record({0x0C})));
    QVERIFY(!TemplateFile::SealToFile(path, "KT8WPatterns", bigger, &reason));
    QVERIFY(!reason.isEmpty());
    // The good template is still there, whole; no temporary is left.
    QCOMPARE(ReadFile(path), Rc4Sha1("KT8WPatterns", good));
    QCOMPARE(Listing(disk.Dir.path()), (QStringList{"filler", "good.tpl"}));
    // A new file on the full disk fails too and leaves nothing.
    QVERIFY(!TemplateFile::SealToFile(disk.Dir.filePath(QStringLiteral("new.tpl")), "KT8WPatterns",
                                      bigger, &reason));
    QCOMPARE(Listing(disk.Dir.path()), (QStringList{"filler", "good.tpl"}));
}

void TestTemplateFile::textFormRoundTrip() {
    tduomenys plain = Template({{0x10, 1}, {0x01, 4}, {0xFF, 3}}, {Record({0x0B, 2, 0x43, '3'})});
    QString text, error;
    const auto name = [](quint8 fn) {
        return fn == 0x10 ? QStringLiteral("Lock # on drive-off") : QString();
    };
    QVERIFY2(TemplateText::Dump(plain, name, &text, &error), qPrintable(error));
    QVERIFY(text.contains(QStringLiteral("\nversion 4\nrecord-size 63\nrecords 1\npairs 128\n")));
    QVERIFY(text.contains(QStringLiteral("\nrecord 0: 8B 02 43 33 00")));
    QVERIFY(text.contains(QStringLiteral("\nslot 0: FN 10 NN 01   # Lock # on drive-off\n")));
    QVERIFY(text.contains(QStringLiteral("\nslot 2: FN FF NN 03\n")));
    tduomenys parsed;
    QVERIFY2(TemplateText::Parse(text, &parsed, &error), qPrintable(error));
    QCOMPARE(parsed, plain);

    // A file laid out otherwise than this tool writes is shown with notes
    // and sealed as the loader reads it.
    tduomenys odd = Header(3, 0, 0, 20, 2);
    odd[9] = 7;
    Append(odd, {9, 9, 9, 9, 0x10, 0x11, 1, 2, 0xEE});
    QVERIFY(TemplateText::Dump(odd, {}, &text, &error));
    QVERIFY(text.contains(QStringLiteral("version 3 is below 4")));
    QVERIFY(text.contains(QStringLiteral("starts at offset 20")));
    QVERIFY(text.contains(QStringLiteral("reserved header bytes 7..15")));
    QVERIFY(text.contains(QStringLiteral("1 bytes after the map section")));
    QVERIFY(TemplateText::Parse(text, &parsed, &error));
    tduomenys canonical = Header(3, 0, 0, 16, 2);
    Append(canonical, {0x10, 0x11, 1, 2});
    QCOMPARE(parsed, canonical);
}

void TestTemplateFile::textFormRefuses_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const QString head = QStringLiteral("version 4\nrecord-size 2\nrecords 0\npairs 1\n");
    QTest::newRow("empty") << ""
                           << "\"version\" is missing";
    QTest::newRow("unknown line") << head + "slot 0: FN 10 NN 01\nhello\n"
                                  << "line 6: unknown line";
    QTest::newRow("slot out of order") << head + "slot 1: FN 10 NN 01\n"
                                       << "line 5: expected \"slot 0:";
    QTest::newRow("not a byte") << head + "slot 0: FN 1G NN 01\n"
                                << "line 5: expected";
    QTest::newRow("pairs disagree") << head << "\"pairs 1\" but 0 slot lines";
    QTest::newRow("records disagree") << head + "slot 0: FN 10 NN 01\nrecord 0: 01\n"
                                      << "\"records 0\" but 1 record lines";
    QTest::newRow("record too long")
        << "version 4\nrecord-size 2\nrecords 1\npairs 0\nrecord 0: 01 02 03\n"
        << "record 0 holds 3 bytes";
    QTest::newRow("version too large") << "version 256\n"
                                       << "line 1: \"version\" must be";
    QTest::newRow("given twice") << "version 4\nversion 4\n"
                                 << "line 2: \"version\" is given twice";
    QTest::newRow("negative") << "version -1\n"
                              << "line 1: \"version\" must be";
}

void TestTemplateFile::textFormRefuses() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    tduomenys plain = {1};
    QString why;
    QVERIFY(!TemplateText::Parse(text, &plain, &why));
    QVERIFY2(why.contains(error), qPrintable(why));
    QCOMPARE(plain, tduomenys{1});
}

QTEST_GUILESS_MAIN(TestTemplateFile)
#include "tst_template_file.moc"
