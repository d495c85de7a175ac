// The catalogue grammar: directives, number formats, languages, the node
// kinds it builds and its three error messages.
#include "CatalogueText.h"
#include "cansettings/Catalogue.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace CatalogueText;

namespace {
QString Fn(const QString& number, const QString& name = "F", const QString& table2 = {}) {
    return Line("#FUNCTION", {{"NAME1", name}, {"NUMBER", number}, {"TABLE2", table2}});
}
QString Chapter(const QString& name = "C", const QString& table2 = {}) {
    return Line("#CHAPTER", {{"NAME1", name}, {"TABLE2", table2}});
}
TParamNode* First(const TParamTree& tree, int level) {
    TParamNode* found = nullptr;
    tree.ForEach([&](TParamNode& node) {
        if (!found && node.Level() == level)
            found = &node;
    });
    return found;
}
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void buildsEveryNodeKind() {
        TCatalogue c;
        const auto load = c.LoadText(
            Join({Header(), Languages(),
                  Line("#CHAPTER", {{"NAME1", "Locks"}, {"NAME2", "Spynos"}, {"HINT1", "h"}}),
                  Line("#FUNCTION", {{"NAME1", "Mode"}, {"NUMBER", "FN=2A"}}),
                  Line("#PARAMETER", {{"NAME1", "Off"}}),
                  Line("#PARAMETER_WITH_ATTRIBUTES", {{"NAME1", "Pulse"},
                                                      {"STEP1", "0.5"},
                                                      {"MIN1", "2"},
                                                      {"MAX1", "40"},
                                                      {"ASSIGNED_FN1", "2B"},
                                                      {"ASSIGNED_FN1_CAPTION1", "s"},
                                                      {"STEP2", ""},
                                                      {"MAX2", "9"},
                                                      {"ASSIGNED_FN2", "2C"}}),
                  Line("#FUNCTION", {{"NAME1", "Time"}, {"NUMBER", "=0x30"}}),
                  Line("#PARAMETER_WITH_ATTRIBUTES", {{"NAME1", "Value"},
                                                      {"STEP1", "2"},
                                                      {"MAX1", "100"},
                                                      {"ASSIGNED_FN1_CAPTION1", "min"}}),
                  Line("#FLAG", {{"NAME1", "Horn"}, {"NUMBER", "FN=31"}, {"ASSIGNED_FN1", "04"}}),
                  Line("#FLAG", {{"NAME1", "Fixed"},
                                 {"NUMBER", "31"},
                                 {"ASSIGNED_FN1", "01"},
                                 {"STEP1", "1"}}),
                  Line("#PARAMETER", {{"NAME1", "under flag"}})}),
            "Functions.csv");
        QVERIFY(!load.Message);
        QVERIFY(load.ResetView);
        QCOMPARE(c.CatalogueLanguages, QStringList({"English", "Lietuviu"}));
        QCOMPARE(c.VT.TopCount(), 1);
        QCOMPARE(c.VST2.TopCount(), 0);
        const TParamNode* chapter = c.VT.Root()->Child(0);
        QCOMPARE(chapter->Data.Names, QStringList({"Locks", "Spynos"}));
        QCOMPARE(chapter->Data.Hints, QStringList({"h", ""}));
        QCOMPARE(chapter->ChildCount(), 4);

        const TParamNode* mode = chapter->Child(0);
        QCOMPARE(mode->Data.Number, quint8(0x2A));
        QCOMPARE(mode->CheckKind, TCheckKind::None);
        const TParamNode* off = mode->Child(0);
        QCOMPARE(off->CheckKind, TCheckKind::Radio);
        QVERIFY(off->MultiLine);
        QVERIFY(off->Data.Fn1Captions.isEmpty());
        const TParamNode* pulse = mode->Child(1);
        QCOMPARE(pulse->Index(), 1);
        QCOMPARE(pulse->CheckKind, TCheckKind::Radio);
        QCOMPARE(pulse->Data.Step1, 0.5);
        QCOMPARE(pulse->Data.Min1, quint8(2));
        QCOMPARE(pulse->Data.Max1, quint8(40));
        QCOMPARE(pulse->Data.Step2, 1.0);
        QCOMPARE(pulse->Data.Max2, quint8(9));
        QCOMPARE(pulse->Data.AssignedFn1, quint8(0x2B));
        QCOMPARE(pulse->Data.AssignedFn2, quint8(0x2C));
        QCOMPARE(pulse->Data.Fn1Captions, QStringList({"s", ""}));
        QVERIFY(!pulse->Data.IsValue);

        const TParamNode* value = chapter->Child(1)->Child(0);
        QCOMPARE(chapter->Child(1)->Data.Number, quint8(0x30));
        QVERIFY(value->Data.IsValue);
        QCOMPARE(value->CheckKind, TCheckKind::None);

        const TParamNode* horn = chapter->Child(2);
        QVERIFY(horn->Data.IsFlag);
        QCOMPARE(horn->CheckKind, TCheckKind::CheckBox);
        QCOMPARE(horn->Data.Number, quint8(0x31));
        QCOMPARE(horn->Data.AssignedFn1, quint8(0x04));
        QVERIFY(!horn->Checked && !horn->Disabled);
        const TParamNode* fixed = chapter->Child(3);
        QVERIFY(fixed->Checked && fixed->Disabled);
        QCOMPARE(fixed->ChildCount(), 1); // options after a flag attach to it

        // Order of first appearance, each once, flags included, 0 never.
        QCOMPARE(c.AssignedFnSet, std::vector<quint8>({0x2B, 0x2C, 0x31}));
        QVERIFY(c.IsAssignedFn(0x2C));
        QVERIFY(!c.IsAssignedFn(0x2A));
        QVERIFY(!c.IsAssignedFn(0x00));
    }

    void numberFormats_data() {
        QTest::addColumn<QString>("directive");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected"); // -1: parse error
        QTest::newRow("function =0x1f") << "#FUNCTION"
                                        << "NUMBER"
                                        << "FN=0x1f" << 0x1F;
        QTest::newRow("function =5A") << "#FUNCTION"
                                      << "NUMBER"
                                      << "FN=5A" << 0x5A;
        QTest::newRow("function no =") << "#FUNCTION"
                                       << "NUMBER"
                                       << "1F" << 0;
        QTest::newRow("function junk") << "#FUNCTION"
                                       << "NUMBER"
                                       << "=z 4 q" << 4;
        QTest::newRow("function low byte") << "#FUNCTION"
                                           << "NUMBER"
                                           << "=1A2" << 0xA2;
        QTest::newRow("flag FN=1F") << "#FLAG"
                                    << "NUMBER"
                                    << "FN=1F" << 0x1F;
        QTest::newRow("flag 1F") << "#FLAG"
                                 << "NUMBER"
                                 << "1F" << 0x1F;
        QTest::newRow("flag 0x1F") << "#FLAG"
                                   << "NUMBER"
                                   << "0x1F" << -1;
        QTest::newRow("flag blank") << "#FLAG"
                                    << "NUMBER"
                                    << "1 F" << -1;
        QTest::newRow("flag mask g") << "#FLAG"
                                     << "ASSIGNED_FN1"
                                     << "0g" << -1;
        QTest::newRow("min 1.5") << "#PARAMETER_WITH_ATTRIBUTES"
                                 << "MIN1"
                                 << "1.5" << 15;
        QTest::newRow("min -5") << "#PARAMETER_WITH_ATTRIBUTES"
                                << "MIN1"
                                << "-5" << 5;
        QTest::newRow("min 300") << "#PARAMETER_WITH_ATTRIBUTES"
                                 << "MIN1"
                                 << "300" << 44;
        QTest::newRow("min empty") << "#PARAMETER_WITH_ATTRIBUTES"
                                   << "MIN1"
                                   << "" << 0;
        QTest::newRow("assigned ff") << "#PARAMETER_WITH_ATTRIBUTES"
                                     << "ASSIGNED_FN1"
                                     << "ff" << 0xFF;
        QTest::newRow("assigned ü") << "#PARAMETER_WITH_ATTRIBUTES"
                                    << "ASSIGNED_FN1"
                                    << "1\u00fc" << -1;
    }
    void numberFormats() {
        QFETCH(QString, directive);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, expected);
        QStringList lines{Header(), Languages(), Chapter()};
        if (directive == "#PARAMETER_WITH_ATTRIBUTES") {
            lines << Fn("=10");
            lines << Line(directive, {{"NAME1", "P"}, {field, value}, {"ASSIGNED_FN2", "11"}});
        } else {
            lines << Line(directive, {{"NAME1", "X"}, {field, value}});
        }
        TCatalogue c;
        const auto load = c.LoadText(Join(lines), "Functions.csv");
        if (expected < 0) {
            QVERIFY(load.Message);
            QCOMPARE(load.Message->Text, "Error while parsing file (Functions.csv) line (" +
                                             QString::number(lines.size()) + "): " + lines.last());
            QVERIFY(load.ResetView);
            return;
        }
        QVERIFY2(!load.Message, qPrintable(load.Message ? load.Message->Text : QString()));
        const TParamNode* node = First(c.VT, directive == "#PARAMETER_WITH_ATTRIBUTES" ? 2 : 1);
        QVERIFY(node);
        const TParamNodeData& d = node->Data;
        const int got = field == "NUMBER" ? d.Number : field == "MIN1" ? d.Min1 : d.AssignedFn1;
        QCOMPARE(got, expected);
    }

    void steps_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 1.0;
        QTest::newRow("half") << "0.5" << 0.5;
        QTest::newRow("unreadable") << "abc" << 1.0;
        QTest::newRow("ten") << "10" << 10.0;
    }
    void steps() {
        QFETCH(QString, step);
        QFETCH(double, expected);
        TCatalogue c;
        QVERIFY(!c.LoadText(Join({Header(), Languages(), Chapter(), Fn("=10"),
                                  Line("#PARAMETER_WITH_ATTRIBUTES",
                                       {{"STEP1", step}, {"ASSIGNED_FN1", "20"}})}),
                            "f")
                     .Message);
        QCOMPARE(First(c.VT, 2)->Data.Step1, expected);
    }

    void errors_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("box"); // TCatalogueMessage::Kind
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("resetView");
        QTest::addColumn<int>("nodes"); // nodes kept in both trees
        const QString carFn = Fn("=10", "CarF", "1");
        QTest::newRow("function into other tree")
            << QStringList{Header(), Languages(), Chapter(), carFn} << int(TCatalogueMessage::Error)
            << "Error in line: " + carFn.section('\t', 1) + "\n\rItem has no parent" << false << 1;
        const QString carOption = Line("#PARAMETER", {{"NAME1", "o"}, {"TABLE2", "2"}});
        QTest::newRow("option into other tree")
            << QStringList{Header(), Languages(), Chapter(), Fn("=10"), carOption}
            << int(TCatalogueMessage::Error)
            << "Error in line: " + carOption.section('\t', 1) + "\n\rItem has no parent" << false
            << 2;
        const QString loneFn = Fn("=10");
        QTest::newRow("function before chapter")
            << QStringList{Header(), Languages(), loneFn, Chapter()}
            << int(TCatalogueMessage::Plain) << "Error while parsing file (f) line (3): " + loneFn
            << true << 0;
        const QString loneOption = Line("#PARAMETER", {{"NAME1", "o"}});
        QTest::newRow("option before function")
            << QStringList{Header(), Languages(), Chapter(), loneOption}
            << int(TCatalogueMessage::Plain)
            << "Error while parsing file (f) line (4): " + loneOption << true << 1;
        const QString badTable = Line("#WHATEVER", {{"TABLE2", "G1"}});
        QTest::newRow("unknown directive, bad #TABLE2")
            << QStringList{Header(), badTable, Languages(), Chapter()}
            << int(TCatalogueMessage::Plain) << "Error while parsing file (f) line (2): " + badTable
            << true << 0;
    }
    void errors() {
        QFETCH(QStringList, lines);
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(bool, resetView);
        QFETCH(int, nodes);
        TCatalogue c;
        const auto load = c.LoadText(Join(lines), "f");
        QVERIFY(load.Message);
        QCOMPARE(int(load.Message->Box), box);
        QCOMPARE(load.Message->Text, text);
        QCOMPARE(load.ResetView, resetView);
        QCOMPARE(c.VT.NodeCount() + c.VST2.NodeCount(), nodes);
    }

    void carTreeTakesTable2Lines() {
        TCatalogue c;
        QVERIFY(
            !c.LoadText(Join({Header(), Languages(), Chapter("Car", "7"), Fn("=57", "P", "3"),
                              Line("#PARAMETER", {{"TABLE2", "106"}}), Chapter("Main"), Fn("=10")}),
                        "f")
                 .Message);
        QCOMPARE(c.VST2.TopCount(), 1);
        QCOMPARE(c.VT.TopCount(), 1);
        const TParamNode* car = c.VST2.Root()->Child(0);
        QCOMPARE(car->Data.CarModes, quint8(7));
        QCOMPARE(car->Child(0)->Data.CarModes, quint8(3));
        QCOMPARE(car->Child(0)->Child(0)->Data.CarModes, quint8(0x06)); // the low byte
        QCOMPARE(c.VT.Root()->Child(0)->Data.CarModes, quint8(0));
    }

    void languagesAndHeader() {
        // No #LANGUAGE: every line is read, nothing is built.
        TCatalogue c;
        QVERIFY(!c.LoadText(Join({Header(), Chapter(), Fn("=10")}), "f").Message);
        QCOMPARE(c.VT.NodeCount(), 0);

        // #HINT2 missing: one language even though #NAME2 exists.
        const QString header =
            "#TOPLINE\t#NAME1\t#ASSIGNED_FN1_CAPTION1\t#ASSIGNED_FN2_CAPTION1\t#HINT1\t#NAME2"
            "\t#NUMBER";
        QVERIFY(!c.LoadText(Join({header, "#LANGUAGE\tEnglish\t\t\t\tLietuviu",
                                  "#CHAPTER\tC\t\t\th\tC2", "#FUNCTION\tF\t\t\t\tF2\tFN=12"}),
                            "f")
                     .Message);
        QCOMPARE(c.CatalogueLanguages, QStringList{"English"});
        QCOMPARE(c.VT.Root()->Child(0)->Child(0)->Data.Names, QStringList{"F"});
        QCOMPARE(c.VT.Root()->Child(0)->Child(0)->Data.Number, quint8(0x12));

        // A second header appends its languages.
        QVERIFY(!c.LoadText(Join({"#TOPLINE\t#NAME1\t#ASSIGNED_FN1_CAPTION1\t"
                                  "#ASSIGNED_FN2_CAPTION1\t#HINT1",
                                  "#TOPLINE\tx\t#NAME1\t#ASSIGNED_FN1_CAPTION1\t"
                                  "#ASSIGNED_FN2_CAPTION1\t#HINT1\t#NUMBER",
                                  "#LANGUAGE\tA\tB", "#CHAPTER\ta\tb"}),
                            "f")
                     .Message);
        QCOMPARE(c.CatalogueLanguages, QStringList({"A", "B"}));
        QCOMPARE(c.VT.Root()->Child(0)->Data.Names, QStringList({"a", "b"}));

        // Missing columns read as empty; short lines too.
        QVERIFY(!c.LoadText(Join({"#TOPLINE\t#NAME1", "#LANGUAGE", "#CHAPTER", "#FUNCTION",
                                  "#PARAMETER_WITH_ATTRIBUTES"}),
                            "f")
                     .Message);
        QCOMPARE(c.VT.NodeCount(), 3);
        QVERIFY(c.CatalogueLanguages.isEmpty());
        QVERIFY(First(c.VT, 2)->Data.IsValue);
    }

    void selectsTheCatalogueLanguage_data() {
        QTest::addColumn<QString>("ui");
        QTest::addColumn<int>("expected");
        QTest::newRow("English (UK)") << "English (UK)" << 1;
        QTest::newRow("lietuviu kalba") << "LIETUVIU kalba" << 0;
        QTest::newRow("with its diacritics") << "Lietuvių" << 0;
        QTest::newRow("no match keeps") << "Deutsch" << 1;
        QTest::newRow("empty name never matches") << "" << 1;
    }
    void selectsTheCatalogueLanguage() {
        QFETCH(QString, ui);
        QFETCH(int, expected);
        TCatalogue c;
        c.LoadText(Join({Header(), Languages("Lietuviu", "English")}), "f");
        c.SelectCatalogueLanguage("English");
        c.SelectCatalogueLanguage(ui);
        QCOMPARE(c.CatalogueLanguage, expected);
    }

    void filesAndLineEndings() {
        QTemporaryDir dir;
        TCatalogue c;
        // Missing: nothing happens, nothing is cleared.
        c.LoadText(Join({Header(), Languages(), Chapter()}), "f");
        const auto missing = c.LoadCatalogue(dir.filePath("Functions.csv"));
        QVERIFY(!missing.FileFound && !missing.Message);
        QCOMPARE(c.VT.TopCount(), 1);
        // Unreadable: a directory of that name.
        QVERIFY(QDir(dir.path()).mkdir("Functions.csv"));
        const auto unreadable = c.LoadCatalogue(dir.filePath("Functions.csv"));
        QVERIFY(unreadable.Message);
        QCOMPARE(unreadable.Message->Text,
                 "Error opening file (" + dir.filePath("Functions.csv") + ")");
        QCOMPARE(c.VT.NodeCount(), 0);
        // CR, LF and CR LF all end lines.
        const QByteArray mixed = (Header() + "\r" + Languages() + "\n" + Chapter() + "\r\n" +
                                  Fn("=10") + "\r" + Fn("=11"))
                                     .toUtf8();
        QFile file(dir.filePath("cat.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mixed);
        file.close();
        QVERIFY(!c.LoadCatalogue(file.fileName()).Message);
        QCOMPARE(c.VT.Root()->Child(0)->ChildCount(), 2);
    }

    void shippedCatalogueLoads() {
        TCatalogue c;
        const auto load =
            c.LoadCatalogue(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/Functions.csv");
        QVERIFY2(!load.Message, qPrintable(load.Message ? load.Message->Text : QString()));
        QCOMPARE(c.CatalogueLanguages, QStringList({"English", "Lietuviu", "Русский"}));
        int functions = 0;
        const auto count = [&](TParamNode& n) { functions += n.Level() == 1 && !n.Data.IsFlag; };
        c.VT.ForEach(count);
        c.VST2.ForEach(count);
        QVERIFY(c.VT.TopCount() >= 8);
        QVERIFY(functions >= 60);
        QVERIFY(c.VST2.TopCount() >= 1);
        QVERIFY(c.VT.Root()->Child(0)->Child(0)->Data.IsFlag);
    }

    void badInputNeverCrashes() {
        // Invalid UTF-8, overlong fields and NUL bytes load without harm.
        QByteArray junk = Join({Header(), Languages()});
        junk += "#CHAPTER\t\xff\xfe\xc3(\t\t\t\x80\r\n";
        junk += "#FUNCTION\t" + QByteArray(200000, 'x') +
                "\t\t\t\t\t\t\t\t=" + QByteArray(5000, 'F') + "\r\n";
        junk += QByteArray("#PARAMETER\0\t\0", 13) + "\r\n";
        junk += QByteArray(300, '\t') + "\r\n";
        TCatalogue c;
        const auto load = c.LoadText(junk, "f");
        QVERIFY(!load.Message);
        QCOMPARE(c.VT.Root()->Child(0)->ChildCount(), 1);
        QCOMPARE(c.VT.Root()->Child(0)->Child(0)->Data.Number, quint8(0xFF));
        // Thousands of lines.
        QStringList many{Header(), Languages()};
        for (int i = 0; i < 3000; ++i)
            many << (i % 50 == 0  ? Chapter()
                     : i % 5 == 1 ? Fn("=" + QString::number(i % 200, 16))
                                  : Line("#PARAMETER", {{"NAME1", "o"}}));
        QVERIFY(!c.LoadText(Join(many), "f").Message);
        QCOMPARE(c.VT.NodeCount(), 3000);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
