// The CAN settings through the radio base in the main window: a module chosen
// through the base is read into the settings tree, edited and saved; the
// simulated module's own map and the next read show the edits. A module that
// never acknowledges a set stops the save. What went over the radio is checked
// from the simulated base's records.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "base/THFLatcher.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CarSelection.h"
#include "cansettings/MapCycle.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/TemplateFile.h"
#include "cansettings/view/CarPage.h"
#include "link/hid/SimHidBus.h"
#include "session/BaseSelection.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRadioModule.h"
#include "sim/SimRv5kModule.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

namespace {
using TMap = std::vector<std::pair<quint8, quint8>>;

constexpr quint8 Ping = 0x30;
constexpr quint8 SetFnNn = 0x14;
constexpr quint8 SetCar = 0x50;
constexpr quint8 GetFnAndNn = 0x38;
constexpr quint8 MapPage = 0x3E;

QByteArray Request(quint8 code, quint8 a, quint8 b) {
    QByteArray request;
    request.append(char(code)).append(char(a)).append(char(b));
    return request;
}

bool InUse(quint8 fn) {
    return fn != 0 && fn != 0xFF;
}

// The NN of the first slot of each FN.
std::map<quint8, quint8> FirstValues(const TMap& map) {
    std::map<quint8, quint8> values;
    for (const auto& [fn, nn] : map)
        values.emplace(fn, nn);
    return values;
}

QList<QByteArray> WithCode(const QList<QByteArray>& relays, quint8 code) {
    QList<QByteArray> found;
    for (const QByteArray& relay : relays)
        if (!relay.isEmpty() && quint8(relay.at(0)) == code)
            found << relay;
    return found;
}

// The main window with the simulated base on the bus and the shipped catalogue.
struct TBaseWindow : TAppFixture {
    explicit TBaseWindow(const TSimBaseProfile& profile) {
        Backend.SimBase = std::make_unique<TSimRadioBase>(profile);
        Start();
    }
    // The program's own choice of HID layer, from the simulator variable.
    explicit TBaseWindow(const QString& simulatorProfile) : TAppFixture(simulatorProfile) {
        Start();
    }
    void Start() {
        Base = Backend.SimBase.get();
        Open();
        if (!Bus().IsPlugged(Base))
            Bus().Plug(Base);
    }

    TParamTreeModel* Model() const { return Settings().Model; }
    // Scans, clicks the row of the "Select base" window and waits for the read
    // on connect to end.
    bool ChooseAndRead(int row) { return ChooseThroughBase(row) && WaitForRead(); }
    bool Choose(int row, QStringList* rows = nullptr) { return ChooseThroughBase(row, rows); }
    TParamNode* Function(quint8 fn, int flagMask = -1) const {
        return Settings().Function(fn, flagMask);
    }
    bool Checked(const TParamNode* node) const { return Settings().Checked(node); }
    QString Cell(const TParamNode* node, int column) const { return Settings().Cell(node, column); }

    // Every function of the map has the module's value checked, every
    // sub-parameter the module's value; the number of functions compared.
    int CompareTree(const TMap& map) const {
        const std::map<quint8, quint8> values = FirstValues(map);
        int compared = 0;
        Model()->Tree().ForEach([&](TParamNode& node) {
            if (node.Level() == 2) {
                if (const auto it = values.find(node.Data.AssignedFn1);
                    node.Data.AssignedFn1 != 0 && !node.Parent->Data.IsFlag && it != values.end())
                    QCOMPARE_EQ(node.Data.Fn1Value, it->second);
                return;
            }
            const auto it = values.find(node.Data.Number);
            if (node.Level() != 1 || node.Data.IsFlag || it == values.end() ||
                Function(node.Data.Number) != &node)
                return;
            ++compared;
            for (int i = 0; i < node.ChildCount(); ++i) {
                const TParamNode* option = node.Child(i);
                if (option->Data.IsValue && i == 0)
                    QCOMPARE_EQ(option->Data.Number, it->second);
                else if (option->CheckKind == TCheckKind::Radio)
                    QCOMPARE_EQ(Checked(option), i + 1 == it->second);
            }
        });
        return compared;
    }

    TSimRadioBase* Base = nullptr;
};
} // namespace

class TestBaseRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void chosenModuleIsRead_data();
    void chosenModuleIsRead();
    void editSaveAndReadAgain();
    void unacknowledgedSetStopsTheSave();
    void carChoiceSavedThroughBase_data();
    void carChoiceSavedThroughBase();
    void shippedDemoProfile();
};

void TestBaseRoundTrip::chosenModuleIsRead_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("speed"); // the sub-parameter of FN 0x10 that FN 0x15 holds
    QTest::newRow("first module") << 0 << "50 km/h";
    QTest::newRow("second module") << 1 << "100 km/h";
}

void TestBaseRoundTrip::chosenModuleIsRead() {
    QFETCH(int, row);
    QFETCH(QString, speed);
    TBaseWindow w(DemoBaseProfile());
    QVERIFY(w.ChooseAndRead(row));
    TSimRadioModule& module = w.Base->Module(row);
    QCOMPARE(w.Form()->ActiveLink(), 2);
    QVERIFY(!w.Cycle().ReadError());
    QVERIFY(!w.Form()->BaseLink()->KlaidaNuskaitant());
    QCOMPARE(w.Base->Address(), quint64(module.Profile().RadioSerial) * 256);
    QVERIFY(!w.Base->CommonAddress());

    // The tree shows this module's functions and values.
    QVERIFY(w.CompareTree(module.Map()) > 30);
    QCOMPARE(w.Cell(w.Function(0x10)->Child(1), 1), speed);

    // Over the radio: the map pages, then one value request per function in
    // slot order (with the value held before, none on a first read), and no
    // ping while the read ran.
    const QList<QByteArray> relays = w.Base->Relays();
    const qsizetype first = relays.indexOf(QByteArray::fromHex("3e00"));
    QVERIFY(first >= 0);
    const QList<QByteArray> read = relays.mid(first);
    QCOMPARE(WithCode(read, Ping).size(), 0);
    QCOMPARE(WithCode(read, MapPage).size(), (qsizetype(module.Map().size()) + 5) / 6);
    QList<QByteArray> expected;
    for (const auto& slot : module.Map())
        if (InUse(slot.first))
            expected << Request(GetFnAndNn, slot.first, 0);
    QCOMPARE(WithCode(read, GetFnAndNn), expected);

    // The keep-alive starts over at the end of the cycle.
    QTimer* ping = w.Form()->BaseSelector()->RV5KPingTimer();
    QVERIFY(ping->isActive());
    QCOMPARE(ping->interval(), TBaseSelection::KeepAliveMs);
    QVERIFY(ping->remainingTime() > TBaseSelection::KeepAliveMs - 1000);
}

void TestBaseRoundTrip::editSaveAndReadAgain() {
    TBaseWindow w(DemoBaseProfile());
    QVERIFY(w.ChooseAndRead(0));
    const TMap before = w.Base->Module(0).Map();
    const TMap other = w.Base->Module(1).Map();
    QCOMPARE(FirstValues(before)[0x30], quint8(0x06));

    // An option with its speed, a flag ticked and another option.
    TParamTreeModel* model = w.Model();
    const QModelIndex speed = model->IndexOf(w.Function(0x10)->Child(1), 1);
    QVERIFY(model->setData(speed.siblingAtColumn(0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model->setData(speed, "25"));
    QVERIFY(
        model->setData(model->IndexOf(w.Function(0x30, 0x08)), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model->setData(model->IndexOf(w.Function(0x12)->Child(2)), Qt::Checked,
                           Qt::CheckStateRole));

    w.Base->ClearRecords();
    const auto box = WhenMessageBox([](QMessageBox* shown) { shown->close(); }, 3000);
    QVERIFY(w.Save());
    QVERIFY(!*box);

    // The module chosen holds the edits; the other one is untouched.
    // The ignition flag is fixed on: its bit of FN 0x30 goes out set as well.
    const std::map<quint8, quint8> edits{{0x10, 2}, {0x15, 5}, {0x30, 0x0F}, {0x12, 3}};
    TMap after = before;
    for (auto& [fn, nn] : after)
        if (const auto it = edits.find(fn); it != edits.end())
            nn = it->second;
    QCOMPARE(w.Base->Module(0).Map(), after);
    QCOMPARE(w.Base->Module(1).Map(), other);
    // What the module held before was backed up first, under the serial
    // number the base found it by.
    const QString backups = w.Dir.filePath(
        "Backups/" + QString::number(w.Form()->BaseSelector()->ChosenModule().serial));
    const QStringList kept = QDir(backups).entryList({"*.tpl"}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    tduomenys plain;
    QVERIFY(TemplateFile::OpenSealedFile(backups + '/' + kept.first(), TemplateFormat::PassPhrase(),
                                         &plain));
    const TTemplateContent backup = TemplateFile::ReadPlaintext(plain);
    QVERIFY(backup.Applicable());
    for (std::size_t i = 0; i < backup.Fns.size(); ++i)
        if (TFnMemoryMap::Written(backup.Fns[i]))
            QCOMPARE(backup.Nns[i], FirstValues(before)[backup.Fns[i]]);

    // One set per slot with FN 0x10..0xFE, in slot order, then the re-read.
    const QList<QByteArray> relays = w.Base->Relays();
    QList<QByteArray> expected;
    for (const auto& [fn, nn] : after)
        if (fn >= 0x10 && fn != 0xFF)
            expected << Request(SetFnNn, fn, nn);
    QCOMPARE(WithCode(relays, SetFnNn), expected);
    const qsizetype lastSet = relays.lastIndexOf(expected.last());
    QVERIFY(relays.indexOf(QByteArray::fromHex("3e00")) > lastSet);
    QVERIFY(!w.Form()->BaseLink()->SetPending());

    // The read that followed shows the new values, and so does a fresh
    // window that reads the module again.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            w.Restart();
            QVERIFY(w.ChooseAndRead(0));
        }
        QVERIFY(w.CompareTree(after) > 30);
        QVERIFY(w.Checked(w.Function(0x30, 0x08)));
        QVERIFY(w.Checked(w.Function(0x10)->Child(1)));
        QCOMPARE(w.Cell(w.Function(0x10)->Child(1), 1), QStringLiteral("25 km/h"));
        QVERIFY(w.Checked(w.Function(0x12)->Child(2)));
    }
    QCOMPARE(w.Base->Module(0).Map(), after);
}

void TestBaseRoundTrip::unacknowledgedSetStopsTheSave() {
    TSimBaseProfile profile = DemoBaseProfile();
    profile.Modules[0].AcknowledgeSets = false;
    TBaseWindow w(profile);
    QVERIFY(w.ChooseAndRead(0));
    const TMap before = w.Base->Module(0).Map();
    w.Base->ClearRecords();

    QElapsedTimer clock;
    qint64 shownAt = -1;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    const auto box = WhenMessageBox(
        [&](QMessageBox* shown) {
            shownAt = clock.elapsed();
            text = shown->text();
            icon = shown->icon();
            shown->button(QMessageBox::Ok)->click();
        },
        5000);
    TReviewAnswer review(true);
    clock.start();
    w.Form()->Controls().SaveButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(*box, 5000);
    QCOMPARE(text, w.Form()->Messages().WideMess(66));
    QCOMPARE(icon, QMessageBox::Critical);
    // The one-second limit is a coarse timer, which may fire a little early.
    QVERIFY2(shownAt >= 900 && shownAt < 2500, qPrintable(QString::number(shownAt)));

    // Only the first pair went out (with its resends); no re-read follows.
    QTRY_VERIFY_WITH_TIMEOUT(w.Form()->isEnabled(), 3000);
    QTest::qWait(1500);
    const QList<QByteArray> sets = WithCode(w.Base->Relays(), SetFnNn);
    QVERIFY(!sets.isEmpty());
    QCOMPARE(QSet<QByteArray>(sets.begin(), sets.end()).size(), 1);
    QCOMPARE(sets.first(), Request(SetFnNn, 0x10, FirstValues(before)[0x10]));
    QCOMPARE(WithCode(w.Base->Relays(), MapPage).size(), 0);
    QCOMPARE(WithCode(w.Base->Relays(), GetFnAndNn).size(), 0);
    QVERIFY(!w.Windows->Form5()->isVisible());
    QCOMPARE(w.Base->Module(0).Map(), before);
}

void TestBaseRoundTrip::carChoiceSavedThroughBase_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("auto") << int(CarModeAuto);
    QTest::newRow("manual") << int(CarModeManual);
    QTest::newRow("current") << int(CarModeCurrent);
}

// What the radio module receives of the car choice on "Save", and what the
// read after it shows. The module is fitted to car 12/3 with 0x82..0x84 at 1.
void TestBaseRoundTrip::carChoiceSavedThroughBase() {
    QFETCH(int, mode);
    TBaseWindow w(DemoBaseProfile());
    QVERIFY(w.ChooseAndRead(0));
    TCarSelection* cars = w.Form()->CarSelection();
    TCarPage* page = w.Form()->CarPage();
    QVERIFY(page->ModeChoice(CarModeCurrent)->isChecked());
    // Part of the shipped car list fits the module's programs.
    const qsizetype supported = cars->SupportedCars().size();
    QVERIFY(supported > 1 && supported < cars->CarDatabase().size());

    page->ModeChoice(TCarMode(mode))->click();
    QList<QByteArray> setCar, resetCar{Request(SetFnNn, 0x59, 0x02)};
    quint8 group = 12, subgroup = 3, fn57 = 1, fn82 = 1;
    if (mode == CarModeAuto) {
        group = subgroup = 0xFF;
        fn82 = 2;
    } else if (mode == CarModeManual) {
        resetCar.clear();
        // A make further down, whose first year the user takes.
        QComboBox* makes = page->List(TCarList::Make);
        makes->setCurrentIndex(1);
        emit makes->activated(1);
        const TFlatNameStruct program = cars->ProgramChoices()[cars->Selected(TCarList::Program)];
        group = quint8(program.Value / 256);
        subgroup = quint8(program.Value % 256);
        setCar << Request(SetCar, group, subgroup);
        fn57 = quint8(cars->Fn57Choices()[cars->Selected(TCarList::Fn57)].Value);
    } else {
        resetCar.clear();
        // Write-program byte 2: FN57 3.
        QComboBox* current = page->List(TCarList::CurrentFn57);
        current->setCurrentIndex(3);
        emit current->activated(3);
        fn57 = 3;
    }

    w.Base->ClearRecords();
    const auto box = WhenMessageBox([](QMessageBox* shown) { shown->close(); }, 3000);
    QVERIFY(w.Save());
    QVERIFY(!*box);
    const QList<QByteArray> relays = w.Base->Relays();
    // The module sends no reply to a car program, so the base link resends it
    // on its resend timer: the same request, at most three times more.
    const QList<QByteArray> carRelays = WithCode(relays, SetCar);
    QCOMPARE(QSet<QByteArray>(carRelays.begin(), carRelays.end()),
             QSet<QByteArray>(setCar.begin(), setCar.end()));
    QVERIFY(carRelays.size() <= setCar.size() * 4);
    const QList<QByteArray> sets = WithCode(relays, SetFnNn);
    QCOMPARE(sets.count(Request(SetFnNn, 0x59, 0x02)), resetCar.size());
    // The car requests go out before the map.
    if (!resetCar.isEmpty() || !setCar.isEmpty()) {
        const QByteArray car = setCar.isEmpty() ? resetCar.first() : setCar.first();
        QVERIFY(relays.indexOf(car) < relays.indexOf(Request(SetFnNn, 0x10, 1)));
    }
    QVERIFY(sets.contains(Request(SetFnNn, 0x57, fn57)));
    for (const quint8 fn : {0x82, 0x83, 0x84})
        QVERIFY(sets.contains(Request(SetFnNn, fn, fn82)));

    std::map<quint8, quint8> held = FirstValues(w.Base->Module(0).Map());
    QCOMPARE(held[0x06], group);
    QCOMPARE(held[0x07], subgroup);
    QCOMPARE(held[0x57], fn57);
    QCOMPARE(held[0x82], fn82);
    QCOMPARE(held[0x84], fn82);

    // The read after it: a reset car leaves "Auto", a known one "Current"
    // with the module's FN57 chosen.
    const bool known = mode != CarModeAuto;
    QVERIFY(page->ModeChoice(known ? CarModeCurrent : CarModeAuto)->isChecked());
    QCOMPARE(cars->CurrentChoiceShown(), known);
    if (known) {
        QCOMPARE(page->CurrentCarLabel()->text(), QStringLiteral("%1/%2").arg(group).arg(subgroup));
        const int selected = cars->Selected(TCarList::CurrentFn57);
        QVERIFY(selected >= 0);
        QCOMPARE(cars->CurrentFn57Choices()[selected].Value, int(fn57));
    }
    QCOMPARE(w.Base->Module(1).Map(), DemoBaseProfile().Modules[1].Memory.Map);
}

// The program's simulator as the installer meets it: the shipped base profile
// through RV5K_SIMULATOR, three modules found, the too-old one refused, another
// read into the trees and saved through the base.
void TestBaseRoundTrip::shippedDemoProfile() {
    TBaseWindow w(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/base-demo.json");
    QVERIFY(w.Backend.Error.isEmpty());
    QVERIFY(w.Base && w.Backend.SimBus->IsPlugged(w.Base));
    QVERIFY(!w.Backend.SimBus->IsPlugged(w.Backend.SimModule.get())); // F12 plugs it in

    QStringList rows;
    QVERIFY(w.Choose(2, &rows));
    QCOMPARE(rows, (QStringList{QStringLiteral("RV5K.XOLT v6.12\tSN:197121"),
                                QStringLiteral("RV5K.XOLT v6.5\tSN:4660"),
                                QStringLiteral("RV5K.XOLT v6.2\tSN:70000")}));
    QVERIFY(!w.Form()->Controls().Label2->isHidden());
    QCOMPARE(w.Form()->ActiveLink(), 0);
    QTest::qWait(300);
    QVERIFY(!w.Form()->SettingsPanelVisible());

    QVERIFY(w.ChooseAndRead(1));
    QVERIFY(w.Form()->Controls().Label2->isHidden());
    QCOMPARE(w.Form()->Controls().StatusLabel->text(), QStringLiteral("RV5K.XOLT v6.5\tSN:4660"));
    QVERIFY(w.CompareTree(w.Base->Module(1).Map()) > 30);

    TParamTreeModel* model = w.Model();
    QVERIFY(model->setData(model->IndexOf(w.Function(0x12)->Child(2)), Qt::Checked,
                           Qt::CheckStateRole));
    QVERIFY(w.Save());
    QCOMPARE(FirstValues(w.Base->Module(1).Map())[0x12], quint8(3));
    QCOMPARE(FirstValues(w.Base->Module(0).Map())[0x12], quint8(2));
    QVERIFY(w.Checked(w.Function(0x12)->Child(2)));
    QVERIFY(!w.Base->Module(2).Map().empty());
}

RV5K_SIDE_BY_SIDE_MAIN(TestBaseRoundTrip)
#include "tst_base_round_trip.moc"
