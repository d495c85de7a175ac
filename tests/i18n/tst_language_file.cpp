// Reading comps.txt: the line kinds and their fields, the acceptance rules and
// error texts, and the message lookup of the language table.

#include "i18n/LanguageFile.h"
#include "i18n/MessageTable.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const char Junk[] = "\x00\xff\x01junk\n%A\t1\t2\n\x7f\x80\x81\n$ok\n\x00$x";

// The table in one line: L name/charset/translit, W window=caption,
// C name|kind|text|hint (TAB shown as >), M message.
QByteArray Describe(const TKalbos& languages) {
    QByteArrayList parts;
    const auto shown = [](QByteArray text) { return text.replace('\t', '>'); };
    for (const tkalba& language : languages) {
        parts << "L " + language.Name + "/" + QByteArray::number(language.Charset) + "/" +
                     QByteArray::number(language.TranslitTable);
        for (const tforma& window : language.Forms) {
            parts << "W " + window.Name + "=" + window.Caption;
            for (const tkomponentas& c : window.Components)
                parts << "C " + c.Name + "|" + c.Kind + "|" + shown(c.Text) + "|" + shown(c.Hint);
        }
        for (const QByteArray& message : language.Messages)
            parts << "M " + message;
    }
    return parts.join("; ");
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}
} // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void slotLengths();
    void fileOnDisk();
    void messages_data();
    void messages();
    void codePageBeforeAndAfterSelection();
    void selectLanguage();
};

void TestLanguageFile::lines_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("error"); // empty: the whole file was read
    QTest::addColumn<QByteArray>("table");

    QTest::newRow("every kind")
        << QByteArray("%English\t0\t7\r\n=Form1\tRV5K Loader\r\n&Label1\tTLabel\tText\tHint\r\n"
                      "$One\r\n$Two\r\n")
        << QByteArray()
        << QByteArray("L English/0/7; W Form1=RV5K Loader; "
                      "C Label1|TLabel|Text|Hint; M One; M Two");
    QTest::newRow("CR, LF and CR LF, last line unended")
        << QByteArray("%A\t1\t2\n=F\tc\r$m1\r\n\r\n$m2") << QByteArray()
        << QByteArray("L A/1/2; W F=c; M m1; M m2");
    QTest::newRow("other lines skipped")
        << QByteArray("# notes\r\n\r\n %B\t1\t1\r\n%A\t186\t0\r\nplain\r\n$m") << QByteArray()
        << QByteArray("L A/186/0; M m");
    QTest::newRow("missing fields are empty")
        << QByteArray("%A\t1\t2\n=F\n&C\tTLabel\n$") << QByteArray()
        << QByteArray("L A/1/2; W F=; C C|TLabel||; M ");
    QTest::newRow("signed numbers")
        << QByteArray("%A\t-5\t+3") << QByteArray() << QByteArray("L A/-5/3");
    QTest::newRow("empty language name")
        << QByteArray("%\t1\t2") << QByteArray() << QByteArray("L /1/2");
    QTest::newRow("extra fields ignored")
        << QByteArray("%A\t1\t2\textra\n=F\tc\tx\n&L\tTLabel\tt\th\tmore") << QByteArray()
        << QByteArray("L A/1/2; W F=c; C L|TLabel|t|h");
    QTest::newRow("message ends at TAB") << QByteArray("%A\t1\t2\n$before\tafter\tmore")
                                         << QByteArray() << QByteArray("L A/1/2; M before");
    QTest::newRow("combo box: the rest of the line")
        << QByteArray("%A\t1\t2\n=F\n&Box\tTComboBox\ta\tb\t") << QByteArray()
        << QByteArray("L A/1/2; W F=; C Box|TComboBox|a>b>|");
    QTest::newRow("combo box kinds in any case")
        << QByteArray("%A\t1\t2\n=F\n&B1\tTTNTCOMBOBOX\ta\tb\n&B2\ttFlatComboBox\tx\t\t")
        << QByteArray()
        << QByteArray("L A/1/2; W F=; C B1|TTNTCOMBOBOX|a>b|; C B2|tFlatComboBox|x>>|");
    QTest::newRow("radio group: caption, then the items")
        << QByteArray("%A\t1\t2\n=F\n&G\tTRadioGroup\tMode\tAuto\tManual\t\n"
                      "&H\tTTntRadioGroup\tM\tx\t")
        << QByteArray()
        << QByteArray("L A/1/2; W F=; C G|TRadioGroup|Mode|Auto>Manual>; C H|TTntRadioGroup|M|x>");
    QTest::newRow("radio group kind only as written")
        << QByteArray("%A\t1\t2\n=F\n&G\ttradiogroup\tMode\tAuto\tManual\t") << QByteArray()
        << QByteArray("L A/1/2; W F=; C G|tradiogroup|Mode|Auto");
    QTest::newRow("binary junk between records")
        << QByteArray(Junk, sizeof Junk - 1) << QByteArray() << QByteArray("L A/1/2; M ok");

    QTest::newRow("window before its language")
        << QByteArray("# x\n=Form1\tc") << QByteArray("Not found comps.txt") << QByteArray();
    QTest::newRow("message before its language")
        << QByteArray("$m\n%A\t1\t2") << QByteArray("Not found comps.txt") << QByteArray();
    QTest::newRow("control before its window")
        << QByteArray("%A\t1\t2\n$m\n&C\tTLabel\tt") << QByteArray("Not found comps.txt")
        << QByteArray("L A/1/2; M m");
    QTest::newRow("charset not a number empties the table")
        << QByteArray("%A\t1\t2\n$m\n%B\t18x\t0\n$n") << QByteArray("3 bloga eilute QZTcomps.txt")
        << QByteArray();
    QTest::newRow("transliteration missing")
        << QByteArray("%A\t1") << QByteArray("1 bloga eilute QZTcomps.txt") << QByteArray();
    QTest::newRow("hexadecimal is no number")
        << QByteArray("%A\t$BA\t0") << QByteArray("1 bloga eilute QZTcomps.txt") << QByteArray();
    QTest::newRow("window without a name")
        << QByteArray("%A\t1\t2\r\n=F\tc\r\n\r\n=\tcaption\r\n$later")
        << QByteArray("4 bloga eilute QZTcomps.txt") << QByteArray("L A/1/2; W F=c");
    QTest::newRow("control without a name")
        << QByteArray("%A\t1\t2\n=F\n&\tTLabel\tt") << QByteArray("3 bloga eilute QZTcomps.txt")
        << QByteArray("L A/1/2; W F=");
    QTest::newRow("control without a kind")
        << QByteArray("%A\t1\t2\n=F\n&C\t\tt") << QByteArray("3 bloga eilute QZTcomps.txt")
        << QByteArray("L A/1/2; W F=");
    QTest::newRow("bad line counted across CR LF")
        << QByteArray("\r\n\r\n\n\r%A\t1\t2\r\n&C") << QByteArray("6 bloga eilute QZTcomps.txt")
        << QByteArray("L A/1/2");
}

void TestLanguageFile::lines() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, error);
    QFETCH(QByteArray, table);
    TKalbos languages;
    QByteArray seen;
    QCOMPARE(TLanguageFile::Parse(content, "comps.txt", &languages, &seen), error.isEmpty());
    QCOMPARE(seen, error);
    QCOMPARE(Describe(languages), table);
}

void TestLanguageFile::slotLengths() {
    const QByteArray name40(40, 'n');
    const QByteArray caption150(150, 'c');
    const QByteArray text250(250, 't');
    const QByteArray huge(200000, 'h');
    TKalbos languages;
    QByteArray error;
    QVERIFY(TLanguageFile::Parse("%" + name40 + "\t1\t2\n=" + name40 + "\t" + caption150 + "\n&" +
                                     name40 + "\t" + name40 + "\t" + huge + "\t" + huge + "\n$" +
                                     text250 + "\n$" + huge,
                                 "comps.txt", &languages, &error));
    const tkalba& language = languages.first();
    QCOMPARE(language.Name, name40.left(30));
    QCOMPARE(language.Forms.first().Name, name40.left(30));
    QCOMPARE(language.Forms.first().Caption, caption150.left(100));
    const tkomponentas& control = language.Forms.first().Components.first();
    QCOMPARE(control.Name, name40.left(30));
    QCOMPARE(control.Kind, name40.left(30));
    // A control's texts have no slot limit.
    QCOMPARE(control.Text, huge);
    QCOMPARE(control.Hint, huge);
    QCOMPARE(language.Messages, (QList<QByteArray>{text250.left(200), huge.left(200)}));
}

void TestLanguageFile::fileOnDisk() {
    QTemporaryDir dir;
    TKalbos languages;
    QByteArray error;
    QVERIFY(!TLanguageFile::Load(dir.filePath(QStringLiteral("comps.txt")), &languages, &error));
    QCOMPARE(error, QByteArray("Not found comps.txt"));

    // The bad-line text names comps.txt whatever file was read; Not found names the file.
    const QString other = WriteFile(dir, QStringLiteral("other.txt"), "%A\t1\t2\n=\n");
    QVERIFY(!TLanguageFile::Load(other, &languages, &error));
    QCOMPARE(error, QByteArray("2 bloga eilute QZTcomps.txt"));
    languages.clear();
    const QString orphan = WriteFile(dir, QStringLiteral("orphan.lng"), "$m\n");
    QVERIFY(!TLanguageFile::Load(orphan, &languages, &error));
    QCOMPARE(error, QByteArray("Not found orphan.lng"));

    const QString good = WriteFile(dir, QStringLiteral("good.txt"), "%A\t1\t2\r\n$m\r\n");
    QVERIFY(TLanguageFile::Load(good, &languages, &error));
    QCOMPARE(Describe(languages), QByteArray("L A/1/2; M m"));
}

void TestLanguageFile::messages_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("first") << 1 << QByteArray("one");
    QTest::newRow("last") << 3 << QByteArray("three");
    QTest::newRow("empty slot") << 2 << QByteArray();
    QTest::newRow("zero") << 0 << QByteArray();
    QTest::newRow("negative") << -1 << QByteArray();
    QTest::newRow("one above the count") << 4 << QByteArray();
}

void TestLanguageFile::messages() {
    QFETCH(int, number);
    QFETCH(QByteArray, text);
    QTemporaryDir dir;
    TMessageTable table;
    QCOMPARE(table.GetMessage(number), QByteArray());
    QCOMPARE(table.WideMess(number), QString());
    QByteArray error;
    QVERIFY(table.LoadLanguageFile(
        WriteFile(dir, QStringLiteral("comps.txt"), "%A\t1\t2\n$one\n$\n$three\n%B\t1\t2\n$b1\n"),
        &error));
    QCOMPARE(table.GetMessage(number), text);
    QCOMPARE(table.WideMess(number), QString::fromLatin1(text));
}

void TestLanguageFile::codePageBeforeAndAfterSelection() {
    QTemporaryDir dir;
    TMessageTable table;
    // Before any choice texts widen as Baltic: the error texts show unchanged.
    QCOMPARE(table.CurrentCodePage(), TCodePage::Cp1257);
    QCOMPARE(table.ToWide("Not found comps.txt"), QStringLiteral("Not found comps.txt"));
    QCOMPARE(table.ToWide("\xe0"), QStringLiteral("ą"));
    QByteArray error;
    QVERIFY(table.LoadLanguageFile(WriteFile(dir, QStringLiteral("comps.txt"),
                                             "%Zero\t0\t0\n$\xe0\n%\xd0\xf3\xf1\t204\t0\n$\xe0\n"),
                                   &error));
    // Messages come from the first language until one is chosen.
    QCOMPARE(table.WideMess(1), QStringLiteral("ą"));
    QCOMPARE(table.LanguageName(1), QStringLiteral("Рус"));
    QVERIFY(table.SelectLanguage(QStringLiteral("Zero")));
    QCOMPARE(table.CurrentCodePage(), TCodePage::Cp1250); // charset 0
    QCOMPARE(table.WideMess(1), QStringLiteral("ŕ"));
    QVERIFY(table.SelectLanguage(QStringLiteral("Рус")));
    QCOMPARE(table.CurrentLanguage(), 1);
    QCOMPARE(table.WideMess(1), QStringLiteral("а"));
}

void TestLanguageFile::selectLanguage() {
    QTemporaryDir dir;
    TMessageTable table;
    QVERIFY(!table.SelectLanguage(QStringLiteral("English"))); // empty table
    QByteArray error;
    QVERIFY(table.LoadLanguageFile(WriteFile(dir, QStringLiteral("comps.txt"),
                                             "%English\t0\t0\n$e1\n%Twin\t204\t0\n$t1\n"
                                             "%Twin\t186\t0\n$t2\n"),
                                   &error));
    QVERIFY(table.SelectLanguage(QStringLiteral("Twin")));
    QCOMPARE(table.CurrentLanguage(), 1); // the first of that name
    QCOMPARE(table.CurrentCodePage(), TCodePage::Cp1251);
    // Names match with regard to case; a miss changes nothing.
    QVERIFY(!table.SelectLanguage(QStringLiteral("english")));
    QVERIFY(!table.SelectLanguage(QString()));
    QCOMPARE(table.CurrentLanguage(), 1);
    QCOMPARE(table.CurrentCodePage(), TCodePage::Cp1251);
    QCOMPARE(table.GetMessage(1), QByteArray("t1"));
}

QTEST_MAIN(TestLanguageFile)
#include "tst_language_file.moc"
