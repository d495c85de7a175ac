// The car page's logic on a scripted module (the simulated module's memory,
// answered at once): the lists built from the module's programs and the car
// list, the mode chosen after a read, what Save sends in each mode and what
// the re-read shows, the car tree by mode. The car page against the module at
// the protocol's pace is app_car_page's.
#include "ScriptedModule.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "TestShell.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarSelection.h"
#include "cansettings/CarTreeVisibility.h"
#include "cansettings/MapCycle.h"
#include "session/Session.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {
const QString CarList = QStringLiteral("x;NR.;Model;Year;Group/Subgroup;FN57\n"
                                       ";1;Alfa Romeo Giulia;2012-2016;12/3 12/4;3 5\n"
                                       ";2;Alfa Romeo Giulia;2016-2020;3/1;\n"
                                       ";3;BMW X5;2010-2013;9/9;2\n"
                                       ";4;Audi A4 Avant;2008-2015;5/2 5/1;-\n"
                                       ";5;Audi A4 Avant;2008-2015;7/7;4\n");

TSimProfile Profile(std::vector<std::pair<quint8, quint8>> programs, quint8 carGroup = 12,
                    const char* writeProgram = "0004") {
    TSimProfile profile = DemoProfile();
    profile.Programs = std::move(programs);
    profile.WriteProgram = QByteArray::fromHex(writeProgram);
    for (auto& [fn, nn] : profile.Map)
        if (fn == 0x06)
            nn = carGroup;
    return profile;
}

struct TCarFixture {
    explicit TCarFixture(const TSimProfile& profile) : Module(Link, Can.Cycle(), profile) {
        Session.SetReadOnConnect(false);
        QObject::connect(&Session, &TSession::ReadRequested, [this] { ++ReReads; });
        Cars.CarDatabase() = TCarDatabaseFile::Parse(CarList).Cars;
    }
    bool Read() {
        Session.ClearReadError();
        Link.Nuskaitymas();
        const bool ended = QTest::qWaitFor([this] { return !Can.Cycle().ReadingMap(); }, 10000);
        QTest::qWait(20); // the lists are built a moment after their read
        return ended && !Can.Cycle().ReadError();
    }
    quint8 ModuleValue(quint8 fn) const { return Module.Value(fn); }
    // The requests of this name that went to the module.
    QStringList Sent(const QString& name) const { return Module.Sent(name); }

    TTestShell Shell;
    TScriptedLink Link;
    TSession Session{Link, Shell};
    TCanSettings Can{Session};
    TCarSelection Cars{Can, Session};
    TScriptedModule Module;
    int ReReads = 0;
};

TParamNode* Add(TParamTree& tree, TParamNode* parent, quint8 number, quint8 modes) {
    TParamNode* node = tree.AddNode(parent);
    node->Data.Number = number;
    node->Data.CarModes = modes;
    return node;
}
} // namespace

class TestCarSelection : public QObject {
    Q_OBJECT
private slots:
    void listsFollowMakeModelAndYear() {
        TCarFixture f(Profile({{12, 4}, {3, 1}, {5, 1}, {5, 2}, {7, 7}}));
        QVERIFY(f.Read());
        const TCarSelection& c = f.Cars;
        // BMW's only program is not in the module.
        QCOMPARE(c.Entries(TCarList::Make), QStringList({"Alfa Romeo", "Audi"}));
        QCOMPARE(c.Selected(TCarList::Make), 0);
        QCOMPARE(c.Entries(TCarList::Brand), QStringList({"Giulia"}));
        QCOMPARE(c.Entries(TCarList::Year), QStringList({"2012-2016", "2016-2020"}));
        // Only the held (12,4) of (12,3) (12,4) is offered: one program, no choice.
        QCOMPARE(c.Entries(TCarList::Program), QStringList({"M861"}));
        QCOMPARE(c.ProgramChoices().first().Value, 12 * 256 + 4);
        QVERIFY(!c.SubPanelShown(TCarList::Program));
        // FN57 3 and 5: the default first, 3 selected.
        QCOMPARE(c.Entries(TCarList::Fn57), QStringList({"M88", "M893", "M895"}));
        QCOMPARE(c.Selected(TCarList::Fn57), 1);
        QVERIFY(c.SubPanelShown(TCarList::Fn57));
        // Write-program bytes 0 and 4.
        QCOMPARE(c.Entries(TCarList::CurrentFn57), QStringList({"M90", "M911", "M915"}));
        QList<int> values;
        for (const TFlatNameStruct& e : c.CurrentFn57Choices())
            values << e.Value;
        QCOMPARE(values, QList<int>({1, 1, 5}));

        // One program, no FN57 values: both sub-panels hidden.
        f.Cars.ListChosen(TCarList::Year, 1);
        QCOMPARE(c.Entries(TCarList::Program), QStringList({"M861"}));
        QCOMPARE(c.ProgramChoices().first().Value, 3 * 256 + 1);
        QCOMPARE(c.Entries(TCarList::Fn57), QStringList({"M88"}));
        QCOMPARE(c.Selected(TCarList::Fn57), 0);
        QVERIFY(!c.SubPanelShown(TCarList::Program) && !c.SubPanelShown(TCarList::Fn57));

        // Audi A4 Avant (make and model split at the first blank): two lines
        // of the same year; the second is the one picked, by position.
        f.Cars.ListChosen(TCarList::Make, 1);
        QCOMPARE(c.Entries(TCarList::Brand), QStringList({"A4 Avant"}));
        QCOMPARE(c.Entries(TCarList::Year), QStringList({"2008-2015", "2008-2015"}));
        QCOMPARE(c.Entries(TCarList::Program), QStringList({"M861", "M862"}));
        QVERIFY(c.SubPanelShown(TCarList::Program));
        QCOMPARE(c.Entries(TCarList::Fn57), QStringList({"M88"}));
        f.Cars.ListChosen(TCarList::Year, 1);
        QCOMPARE(c.ProgramChoices().size(), 1);
        QCOMPARE(c.ProgramChoices().first().Value, 7 * 256 + 7);
        QCOMPARE(c.Entries(TCarList::Fn57), QStringList({"M88", "M894"}));

        // A change of language labels the same entries again, selection kept.
        f.Cars.ListChosen(TCarList::CurrentFn57, 2);
        f.Shell.MessagePrefix = QStringLiteral("L");
        f.Cars.LanguageChanged();
        QCOMPARE(c.Entries(TCarList::CurrentFn57), QStringList({"L90", "L911", "L915"}));
        QCOMPARE(c.Selected(TCarList::CurrentFn57), 2);
        QCOMPARE(c.Entries(TCarList::Fn57), QStringList({"L88", "L894"}));
        QCOMPARE(c.Selected(TCarList::Fn57), 1);

        // A module none of whose programs fits empties every list on its read.
        f.Can.Cycle().GrPgrList = {{40, 1}};
        f.Cars.CarDatabaseReloaded();
        QTest::qWait(20);
        for (const TCarList list :
             {TCarList::Make, TCarList::Brand, TCarList::Year, TCarList::Program, TCarList::Fn57}) {
            QVERIFY(c.Entries(list).isEmpty());
            QCOMPARE(c.Selected(list), -1);
        }
    }

    void modeAfterRead_data() {
        QTest::addColumn<int>("carGroup");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("currentShown");
        QTest::newRow("group known") << 12 << int(CarModeCurrent) << true;
        QTest::newRow("group not set") << 0xFF << int(CarModeAuto) << false;
    }
    void modeAfterRead() {
        QFETCH(int, carGroup);
        TCarFixture f(Profile({{12, 4}}, quint8(carGroup)));
        f.Cars.SelectCarMode(CarModeManual);
        QVERIFY(f.Read());
        QTEST(int(f.Cars.CarMode()), "mode");
        QTEST(f.Cars.CurrentChoiceShown(), "currentShown");
        QCOMPARE(f.Cars.AutoSelected(), f.Cars.CarMode() == CarModeAuto);
    }

    void saveSendsTheCarChoice_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("currentEntry");
        QTest::addColumn<QStringList>("setCar");
        QTest::addColumn<bool>("resetCar");
        QTest::addColumn<int>("fn57");
        QTest::addColumn<int>("fn82");
        QTest::addColumn<int>("group");
        // The demo module's car is 12/3 with FN57 1 and 0x82..0x84 at 1.
        QTest::newRow("auto") << int(CarModeAuto) << -1 << QStringList() << true << 1 << 2 << 0xFF;
        QTest::newRow("manual") << int(CarModeManual) << -1 << QStringList({"0C 04"}) << false << 3
                                << 1 << 12;
        QTest::newRow("current") << int(CarModeCurrent) << 3 << QStringList() << false << 5 << 1
                                 << 12;
    }
    void saveSendsTheCarChoice() {
        QFETCH(int, mode);
        QFETCH(int, currentEntry);
        // Write-program bytes 0, 2, 4: "FN57:" offers 1, 1, 3, 5.
        TCarFixture f(Profile({{12, 4}, {3, 1}}, 12, "000204"));
        QVERIFY(f.Read());
        f.Cars.SelectCarMode(TCarMode(mode));
        if (currentEntry >= 0)
            f.Cars.ListChosen(TCarList::CurrentFn57, currentEntry);
        const qsizetype before = f.Link.Requests.size();
        f.Can.SaveCanSettings(false);
        QVERIFY(f.Shell.Boxes.isEmpty());
        QTEST(f.Sent("SetCar"), "setCar");
        QFETCH(bool, resetCar);
        QCOMPARE(f.Sent("ResetCar").size(), resetCar ? 1 : 0);
        // "Auto" also sets FN57 to 1 before anything else.
        QCOMPARE(f.Link.Requests.value(before) == QStringLiteral("SetFN_NN 57 01"),
                 mode == CarModeAuto);
        QTEST(int(f.ModuleValue(0x57)), "fn57");
        QTEST(int(f.ModuleValue(0x82)), "fn82");
        QTEST(int(f.ModuleValue(0x84)), "fn82");
        QTEST(int(f.ModuleValue(0x06)), "group");
        QCOMPARE(f.ModuleValue(0x11), quint8(1));
        QCOMPARE(f.ReReads, 1);

        // The re-read shows the module's FN57 in the "FN57:" list.
        QVERIFY(f.Read());
        const int selected = f.Cars.Selected(TCarList::CurrentFn57);
        QVERIFY(selected >= 0);
        QCOMPARE(f.Cars.CurrentFn57Choices()[selected].Value, int(f.ModuleValue(0x57)));
    }

    void manualWithoutAFittingCarSendsNoProgram() {
        TCarFixture f(Profile({{40, 1}, {41, 2}}));
        QVERIFY(f.Read());
        QVERIFY(f.Cars.Entries(TCarList::Make).isEmpty());
        f.Cars.SelectCarMode(CarModeManual);
        // An edited value that must still be written.
        f.Can.Map().SetMapValue(0x12, 3);
        const qsizetype writesBefore = f.Sent("SetFN_NN").size();
        f.Can.SaveCanSettings(false);
        QCOMPARE(f.Shell.Boxes, QStringList({"M94"}));
        QVERIFY(f.Sent("SetCar").isEmpty());
        QCOMPARE(f.ModuleValue(0x57), quint8(1)); // as it was
        QVERIFY(f.Sent("SetFN_NN").size() > writesBefore + 10);
        QCOMPARE(f.ModuleValue(0x11), quint8(1));
        QCOMPARE(f.ReReads, 1);
    }

    void carTreeByModeBit_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<bool>>("visible");
        // chapter A, fn 0x40 (Manual), its option, fn 0x41 (Auto|Current),
        // chapter B, fn 0x42 (Manual, not reported by the module).
        QTest::newRow("auto") << 1 << QList<bool>{true, false, false, true, false, false};
        QTest::newRow("manual") << 2 << QList<bool>{true, true, true, false, false, false};
        QTest::newRow("current") << 4 << QList<bool>{true, false, false, true, false, false};
    }
    void carTreeByModeBit() {
        QFETCH(int, mode);
        QFETCH(QList<bool>, visible);
        TParamTree tree;
        TParamNode* a = Add(tree, tree.Root(), 0, 0);
        Add(tree, Add(tree, a, 0x40, 2), 1, 2);
        Add(tree, a, 0x41, 5);
        Add(tree, Add(tree, tree.Root(), 0, 0), 0x42, 2);
        TFnMemoryMap map;
        map[3] = {0x40, 1};
        map[7] = {0x41, 1};
        CarTreeVisibility::Apply(tree, map, quint8(mode));
        QList<bool> shown;
        tree.ForEach([&shown](TParamNode& node) { shown << node.Visible; });
        QCOMPARE(shown, visible);
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestCarSelection)
#include "tst_car_selection.moc"
