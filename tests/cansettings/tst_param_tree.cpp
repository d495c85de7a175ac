// The tree rules that matter: cell texts, permissions, rounding of edits and
// their propagation, live states, the map applied to the trees and collected
// back, and the item model checked by QAbstractItemModelTester.
#include "CatalogueText.h"
#include "cansettings/MapApplier.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/ParamTreeRules.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace CatalogueText;
using namespace ParamTreeRules;

namespace {
// Chapter 0: flags on FN 0x21 and 0x20 (mask 2), fixed-on flag on 0x30.
// Chapter 1: FN 0x40 (plain, attributed on 0x41/0x42), FN 0x43 (a value
// parameter), FN 0x44 (attributed, also on 0x41).
QByteArray Sample() {
    return Join(
        {Header(), Languages(), Line("#CHAPTER", {{"NAME1", "Flags"}}),
         Line("#FLAG", {{"NAME1", "Door"}, {"NUMBER", "21"}, {"ASSIGNED_FN1", "02"}}),
         Line("#FLAG", {{"NAME1", "Hood"}, {"NUMBER", "20"}, {"ASSIGNED_FN1", "02"}}),
         Line("#FLAG", {{"NAME1", "Horn"}, {"NUMBER", "30"}, {"ASSIGNED_FN1", "04"}}),
         Line("#FLAG",
              {{"NAME1", "Always"}, {"NUMBER", "30"}, {"ASSIGNED_FN1", "01"}, {"STEP1", "1"}}),
         Line("#CHAPTER", {{"NAME1", "Locks"}}),
         Line("#FUNCTION", {{"NAME1", "Lock"}, {"NUMBER", "=40"}, {"HINT1", "how"}}),
         Line("#PARAMETER", {{"NAME1", "Off"}}),
         Line("#PARAMETER_WITH_ATTRIBUTES", {{"NAME1", "Pulse"},
                                             {"STEP1", "0.5"},
                                             {"MIN1", "2"},
                                             {"MAX1", "40"},
                                             {"ASSIGNED_FN1", "41"},
                                             {"ASSIGNED_FN1_CAPTION1", "s"},
                                             {"STEP2", "1"},
                                             {"MIN2", "1"},
                                             {"MAX2", "9"},
                                             {"ASSIGNED_FN2", "42"},
                                             {"ASSIGNED_FN2_CAPTION1", "x"}}),
         Line("#FUNCTION", {{"NAME1", "Delay"}, {"NUMBER", "=43"}}),
         Line(
             "#PARAMETER_WITH_ATTRIBUTES",
             {{"NAME1", "Time"}, {"STEP1", "0.5"}, {"MAX1", "30"}, {"ASSIGNED_FN1_CAPTION1", "V"}}),
         Line("#FUNCTION", {{"NAME1", "Other"}, {"NUMBER", "=44"}}),
         Line("#PARAMETER", {{"NAME1", "A"}}),
         Line("#PARAMETER_WITH_ATTRIBUTES", {{"NAME1", "B"},
                                             {"STEP1", "0.5"},
                                             {"MAX1", "40"},
                                             {"ASSIGNED_FN1", "41"},
                                             {"ASSIGNED_FN1_CAPTION1", "s"}})});
}

struct TSample {
    TSample() { QVERIFY_THROWS_NO_EXCEPTION(c.LoadText(Sample(), "f")); }
    TCatalogue c;
    TParamNode* Flag(int i) const { return c.VT.Root()->Child(0)->Child(i); }
    TParamNode* Function(int i) const { return c.VT.Root()->Child(1)->Child(i); }
    TParamNode* Option(int f, int i) const { return Function(f)->Child(i); }
};

TFnMemoryMap MapOf(std::initializer_list<TFnPair> pairs) {
    TFnMemoryMap map;
    int slot = 0;
    for (const TFnPair& pair : pairs)
        map[slot++] = pair;
    return map;
}
} // namespace

class TestParamTree : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void cellTexts() {
        TSample s;
        TParamNode* pulse = s.Option(0, 1);
        pulse->Data.Fn1Value = 3;
        pulse->Data.Fn2Value = 7;
        TParamNode* time = s.Option(1, 0);
        time->Data.Number = 20;
        QCOMPARE(CellText(*s.Function(0), NameColumn, 0, "FN"), QString("FN40 - Lock"));
        QCOMPARE(CellText(*s.Flag(0), NameColumn, 0, "FN"), QString("Door"));
        QCOMPARE(CellText(*pulse, NameColumn, 0, "FN"), QString("2) Pulse"));
        QCOMPARE(CellText(*pulse, Param1Column, 0, ""), QString("1.5 s"));
        QCOMPARE(CellText(*pulse, Param2Column, 0, ""), QString("7 x"));
        QCOMPARE(CellText(*time, Param1Column, 0, ""), QString("10 V"));
        QCOMPARE(CellText(*s.Option(0, 0), Param1Column, 0, ""), QString());
        QCOMPARE(CellText(*s.Function(0), Param1Column, 0, ""), QString());
        QCOMPARE(FloatToText(3 * 0.1), QString("0.3"));
        QCOMPARE(FloatToText(20 * 0.5), QString("10"));
        QCOMPARE(FloatToText(12345.5), QString("12345.5"));
    }

    void summaries() {
        TSample s;
        QCOMPARE(Summary(*s.Function(0), 0), QString()); // nothing checked
        s.Option(0, 1)->CheckRadio();
        QCOMPARE(Summary(*s.Function(0), 0), QString("2 - Pulse"));
        s.Option(1, 0)->Data.Number = 20;
        QCOMPARE(Summary(*s.Function(1), 0), QString("20")); // raw, no unit
        QCOMPARE(Summary(*s.Flag(0), 0), QString());
    }

    void permissionsAndColours() {
        TSample s;
        TParamNode* pulse = s.Option(0, 1);
        QVERIFY(!CanEdit(*pulse, Param1Column));
        QVERIFY(!CanEdit(*pulse, Param2Column));
        QCOMPARE(Foreground(*pulse, Param1Column), InactiveText);
        pulse->CheckRadio();
        QVERIFY(CanEdit(*pulse, Param1Column) && CanEdit(*pulse, Param2Column));
        QVERIFY(!Foreground(*pulse, Param1Column).isValid());
        QVERIFY(!CanEdit(*pulse, NameColumn));
        QVERIFY(CanEdit(*s.Option(1, 0), Param1Column)); // a value parameter, unchecked
        QVERIFY(!CanEdit(*s.Option(1, 0), Param2Column));
        QVERIFY(!CanEdit(*s.Option(0, 0), Param1Column));
        QVERIFY(!CanEdit(*s.Flag(0), Param1Column));
        QVERIFY(ClickEdits(*s.Option(0, 1), Param2Column));
        QVERIFY(!ClickEdits(*s.Option(0, 0), Param1Column));

        QCOMPARE(Background(*s.c.VT.Root()->Child(0), NameColumn), ChapterBackground);
        QCOMPARE(Foreground(*s.c.VT.Root()->Child(0), NameColumn), QColor(Qt::white));
        QCOMPARE(Background(*s.Function(0), Param2Column), FunctionBackground);
        QVERIFY(!Background(*s.Flag(0), NameColumn).isValid()); // a flag with a mask
        s.Flag(0)->Data.LiveState = true;
        QCOMPARE(Background(*s.Flag(0), Param1Column), LiveBackground);
        QVERIFY(!Background(*pulse, Param1Column).isValid());
    }

    void newText_data() {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("raw");
        QTest::newRow("value 12.5 / 0.5") << 1 << 1 << "12.5" << 25;
        QTest::newRow("value above max") << 1 << 1 << "99" << 30;
        QTest::newRow("7.5 raw to 8") << 0 << 1 << "3.75" << 8;
        QTest::newRow("6.5 raw to 6") << 0 << 1 << "3.25" << 6;
        QTest::newRow("below min") << 0 << 1 << "0" << 2;
        QTest::newRow("with unit") << 0 << 1 << "4 s" << 8;
        QTest::newRow("param 2 over") << 0 << 2 << "12" << 9;
        QTest::newRow("no digit") << 0 << 1 << "abc" << -1;
        QTest::newRow("empty") << 0 << 1 << "" << -1;
    }
    void newText() {
        QFETCH(int, function);
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(int, raw);
        TSample s;
        TParamNode* node = s.Option(function, function == 0 ? 1 : 0);
        node->Data.Fn1Value = 5;
        node->Data.Fn2Value = 5;
        node->Data.Number = 5;
        const auto changed = NewText(s.c.VT, *node, column, text);
        const int got = column == 2          ? node->Data.Fn2Value
                        : node->Data.IsValue ? node->Data.Number
                                             : node->Data.Fn1Value;
        QCOMPARE(got, raw < 0 ? 5 : raw);
        QCOMPARE(changed.empty(), raw < 0);
    }

    void anEditReachesEveryOptionOfThatFn() {
        TSample s;
        TParamTreeModel model(s.c, s.c.VT);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        TParamNode* pulse = s.Option(0, 1);
        TParamNode* other = s.Option(2, 1);
        pulse->CheckRadio();
        QVERIFY(model.setData(model.IndexOf(pulse, Param1Column), "6"));
        QCOMPARE(pulse->Data.Fn1Value, quint8(12));
        QCOMPARE(other->Data.Fn1Value, quint8(12));
        QCOMPARE(model.index(1, 1, model.IndexOf(s.Function(2))).data().toString(), QString("6 s"));
        bool otherRepainted = false;
        for (const auto& args : changed)
            otherRepainted = otherRepainted || args[0].toModelIndex().internalPointer() == other;
        QVERIFY(otherRepainted);
        // Unchecked: refused.
        QVERIFY(!model.setData(model.IndexOf(other, Param1Column), "2"));
        QCOMPARE(other->Data.Fn1Value, quint8(12));
    }

    void radioAndCheckBehaviour() {
        TSample s;
        TParamTreeModel model(s.c, s.c.VT);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QModelIndex off = model.IndexOf(s.Option(0, 0));
        const QModelIndex pulse = model.IndexOf(s.Option(0, 1));
        QVERIFY(model.setData(pulse, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(pulse.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!model.setData(pulse, Qt::Unchecked, Qt::CheckStateRole)); // stays
        QVERIFY(model.setData(off, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(pulse.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QVERIFY(!(model.flags(pulse.siblingAtColumn(1)) & Qt::ItemIsEditable));
        // The value parameter has no radio button.
        QVERIFY(!model.IndexOf(s.Option(1, 0)).data(Qt::CheckStateRole).isValid());
        // Flags toggle; the fixed-on one does not.
        const QModelIndex horn = model.IndexOf(s.Flag(2));
        QVERIFY(model.setData(horn, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(model.setData(horn, Qt::Unchecked, Qt::CheckStateRole));
        const QModelIndex always = model.IndexOf(s.Flag(3));
        QCOMPARE(always.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(!(model.flags(always) & Qt::ItemIsUserCheckable));
        QVERIFY(!model.setData(always, Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QString("Parameter 2"));
        model.SetColumnTitles({"a", "b", "c"});
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("a"));
        QCOMPARE(model.IndexOf(s.Function(0)).data(Qt::ToolTipRole).toString(), QString("how"));
        model.BeginChange();
        s.c.LoadText(Sample(), "f");
        model.EndChange();
        QCOMPARE(model.rowCount(), 2);
    }

    void liveStates() {
        TSample s;
        TParamTreeModel model(s.c, s.c.VT);
        model.ApplyLiveStates(0x200);
        QVERIFY(s.Flag(0)->Data.LiveState);  // FN 0x21, lane 1
        QVERIFY(!s.Flag(1)->Data.LiveState); // FN 0x20, lane 0
        model.ApplyLiveStates(0x02);
        QVERIFY(!s.Flag(0)->Data.LiveState);
        QVERIFY(s.Flag(1)->Data.LiveState);
    }

    void rowHeights() {
        QCOMPARE(OptionRowHeight(3 * 100, 178, 18), 4 * 18);
        QCOMPARE(OptionRowHeight(99, 178, 18), 18);
        QCOMPARE(OptionRowHeight(500, 78, 18), 18);
        QCOMPARE(OptionRowHeight(500, 20, 18), 18);
    }

    void appliesTheMapAndCollectsItBack() {
        TSample s;
        TFnMemoryMap map = MapOf({{0x01, 1},
                                  {0x02, 2},
                                  {0x03, 3},
                                  {0x04, 4},
                                  {0x06, 12},
                                  {0x07, 3},
                                  {0x30, 0x06},
                                  {0x21, 0x02},
                                  {0x40, 2},
                                  {0x41, 7},
                                  {0x42, 3},
                                  {0x43, 20},
                                  {0xFF, 1},
                                  {0x44, 0},
                                  {0x71, 3},
                                  {0x72, 19},
                                  {0x57, 5},
                                  {0x99, 1}});
        s.Option(2, 0)->CheckRadio(); // checked before; a value of 0 leaves it
        TFixedFns fixed;
        MapApplier::ApplyMemoryMap(s.c, map, fixed);
        QVERIFY(s.Function(0)->Visible && s.Function(1)->Visible && s.Function(2)->Visible);
        QVERIFY(s.c.VT.Root()->Child(0)->Visible && s.c.VT.Root()->Child(1)->Visible);
        QVERIFY(s.Option(0, 1)->Checked && !s.Option(0, 0)->Checked);
        QCOMPARE(s.Option(0, 1)->Data.Fn1Value, quint8(7));
        QCOMPARE(s.Option(0, 1)->Data.Fn2Value, quint8(3));
        QCOMPARE(s.Option(2, 1)->Data.Fn1Value, quint8(7));
        QCOMPARE(s.Option(1, 0)->Data.Number, quint8(20));
        QVERIFY(s.Option(2, 0)->Checked);
        QVERIFY(s.Flag(0)->Checked);  // 0x21 & 0x02
        QVERIFY(!s.Flag(1)->Checked); // FN 0x20 not in the map
        QVERIFY(s.Flag(2)->Checked);  // 0x30: 0x06 & 0x04
        QVERIFY(s.Flag(3)->Checked);  // fixed on
        QVERIFY(fixed.FlagShown && fixed.PinShown && fixed.CurrentCarKnown);
        QCOMPARE(fixed.PinText(), QString("1234"));
        QCOMPARE(fixed.CarText("-"), QString("12/3"));
        QCOMPARE(fixed.LastEvents, (std::array<int, 3>{70, 19, 0}));
        QCOMPARE(fixed.CarProgram, std::optional<quint8>(5));

        // Uncheck the horn, choose "Off", edit the delay; collect.
        s.Flag(2)->Checked = false;
        s.Option(0, 0)->CheckRadio();
        s.Option(1, 0)->Data.Number = 25;
        s.Option(0, 1)->Data.Fn2Value = 4;
        MapApplier::CollectTreeValues(s.c, map);
        quint8 nn = 0;
        QVERIFY(map.ValueOf(0x30, &nn));
        QCOMPARE(nn, quint8(0x03)); // 0x04 off; the fixed-on bit 0x01 is always set
        QVERIFY(map.ValueOf(0x40, &nn));
        QCOMPARE(nn, quint8(1));
        QVERIFY(map.ValueOf(0x43, &nn));
        QCOMPARE(nn, quint8(25));
        QVERIFY(map.ValueOf(0x42, &nn));
        QCOMPARE(nn, quint8(4));
        QVERIFY(map.ValueOf(0x44, &nn));
        QCOMPARE(nn, quint8(1));

        // A car that is not set.
        TFixedFns unset;
        MapApplier::ApplyMemoryMap(s.c, MapOf({{0x06, 0xFF}, {0x07, 0xFF}}), unset);
        QCOMPARE(unset.CarText("none"), QString("none"));
        QVERIFY(!unset.CurrentCarKnown && !unset.PinShown);
        QVERIFY(!s.Function(0)->Visible); // the view was reset
    }
};

QTEST_MAIN(TestParamTree)
#include "tst_param_tree.moc"
