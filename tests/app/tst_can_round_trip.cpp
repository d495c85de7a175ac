// The CAN settings end to end in the main window: the demo module is read
// into the settings tree, the user edits a sub-parameter, a flag and an
// option, presses "Save", and the module's own map and the next read show
// the new values. Also the PIN field's check at Save.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "sim/SimRv5kModule.h"
#include "ui/SpinGauge.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <set>

namespace {
using TMap = std::vector<std::pair<quint8, quint8>>;

// The main window with the module plugged in, and its settings tree.
struct TWindow : TAppFixture {
    explicit TWindow(TSimRv5kModule& module) {
        Open();
        Bus().Plug(&module);
    }
    TParamTreeView* View() const { return Settings().View; }
    TParamTreeModel* Model() const { return Settings().Model; }
    QLineEdit* Pin() const { return Form()->CanSettingsPanel()->PinEdit(); }
    TParamNode* Function(quint8 fn, int flagMask = -1) const {
        return Settings().Function(fn, flagMask);
    }
    QString Cell(const TParamNode* node, int column) const { return Settings().Cell(node, column); }
    bool Checked(const TParamNode* node) const { return Settings().Checked(node); }
    bool Shown(const TParamNode* node) const { return Settings().Shown(node); }
};

TMap With(TMap map, const std::map<quint8, quint8>& changes) {
    for (auto& [fn, nn] : map)
        if (const auto it = changes.find(fn); it != changes.end())
            nn = it->second;
    return map;
}

// What the tree shows of the edited functions, read and re-read.
struct TShown {
    QString PulseTime, PulseTimes, SpeedLimit;
    bool Boot = false, DriverDoor = false, Ignition = false;
    int UnlockChoice = -1, LockChoice = -1;
    bool operator==(const TShown&) const = default;
};

TShown ShownValues(const TWindow& w) {
    TShown shown;
    const TParamNode* pulse = w.Function(0x14);
    shown.PulseTime = w.Cell(pulse->Child(2), 1);
    shown.PulseTimes = w.Cell(pulse->Child(2), 2);
    shown.SpeedLimit = w.Cell(w.Function(0x10)->Child(1), 1);
    shown.Boot = w.Checked(w.Function(0x30, 0x08));
    shown.DriverDoor = w.Checked(w.Function(0x30, 0x02));
    shown.Ignition = w.Checked(w.Function(0x30, 0x01));
    shown.UnlockChoice = w.Settings().CheckedOption(w.Function(0x12));
    shown.LockChoice = w.Settings().CheckedOption(w.Function(0x10));
    return shown;
}
} // namespace

namespace QTest {
template <> char* toString(const TShown& s) {
    return qstrdup(QStringLiteral("pulse %1 / %2, speed %3, boot %4, driver %5, ignition %6, "
                                  "unlock option %7, lock option %8")
                       .arg(s.PulseTime, s.PulseTimes, s.SpeedLimit)
                       .arg(s.Boot)
                       .arg(s.DriverDoor)
                       .arg(s.Ignition)
                       .arg(s.UnlockChoice)
                       .arg(s.LockChoice)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class TestCanRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void readEditSaveAndReadAgain();
    void pinCheckedAtSave_data();
    void pinCheckedAtSave();
    void languageChangeTranslatesTheTree();
};

void TestCanRoundTrip::readEditSaveAndReadAgain() {
    const TSimProfile profile = DemoProfile();
    TSimRv5kModule module(profile);
    const TMap before = module.Map();
    auto w = std::make_unique<TWindow>(module);
    QVERIFY(w->WaitForRead());

    // Exactly the functions the module reported show, each in its chapter.
    std::set<quint8> reported;
    for (const auto& [fn, nn] : before)
        if (fn != 0 && fn != 0xFF)
            reported.insert(fn);
    std::set<quint8> seen;
    w->Model()->Tree().ForEach([&](TParamNode& node) {
        if (node.Level() != 1 || node.Data.IsFlag)
            return;
        const bool first = w->Function(node.Data.Number) == &node;
        const bool expected = first && reported.count(node.Data.Number) > 0;
        QVERIFY2(w->Shown(&node) == expected, qPrintable(w->Cell(&node, 0)));
        if (expected) {
            QVERIFY(w->Shown(node.Parent));
            seen.insert(node.Data.Number);
        }
    });
    QVERIFY(seen.count(0x14) && seen.count(0x31) && !seen.count(0x47) && !seen.count(0x90));
    // Each shown function has the module's value checked (or as its value).
    for (const auto& [fn, nn] : before) {
        if (!seen.count(fn))
            continue;
        const TParamNode* function = w->Function(fn);
        for (int i = 0; i < function->ChildCount(); ++i) {
            const TParamNode* option = function->Child(i);
            if (option->Data.IsValue && i == 0)
                QCOMPARE(option->Data.Number, nn);
            else if (option->CheckKind == TCheckKind::Radio)
                QVERIFY2(w->Checked(option) == (i + 1 == nn), qPrintable(w->Cell(option, 0)));
        }
    }
    // Sub-parameters in their units, flags from the bits, the PIN.
    const TShown read{"3 s", "1 times", "50 km/h", false, true, true, 1, 0};
    QCOMPARE(ShownValues(*w), read);
    QCOMPARE(w->Cell(w->Function(0x6F)->Child(0), 1), QStringLiteral("30 days"));
    QVERIFY(w->Pin()->isEnabled());
    QCOMPARE(w->Pin()->text(), QStringLiteral("1234"));

    // The pulse time through the spin editor, as a click on the checked
    // option's value cell opens it: 3 s up by 15 steps of 0.1 s.
    TParamTreeView* view = w->View();
    w->Form()->Controls().PageControl1->setCurrentWidget(w->Form()->Controls().TabSettings);
    const QModelIndex time = w->Model()->IndexOf(w->Function(0x14)->Child(2), 1);
    view->expand(time.parent());
    view->scrollTo(time);
    view->setCurrentIndex(time.siblingAtColumn(0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(time).center());
    auto* editor = view->findChild<TSpinGauge*>();
    QVERIFY(editor && editor->isVisible());
    for (int i = 0; i < 15; ++i)
        QTest::keyClick(editor->SpinBox(), Qt::Key_Up);
    QTest::keyClick(editor->SpinBox(), Qt::Key_Return);
    QCOMPARE(w->Cell(w->Function(0x14)->Child(2), 1), QStringLiteral("4.5 s"));
    // Another option, its speed through the model's edit (refused until the
    // option is chosen), a flag ticked, one cleared and a third option.
    TParamTreeModel* model = w->Model();
    const QModelIndex speed = model->IndexOf(w->Function(0x10)->Child(1), 1);
    QVERIFY(!model->setData(speed, "25"));
    QVERIFY(model->setData(speed.siblingAtColumn(0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model->setData(speed, "25"));
    QVERIFY(
        model->setData(model->IndexOf(w->Function(0x30, 0x08)), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(
        model->setData(model->IndexOf(w->Function(0x30, 0x02)), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model->setData(model->IndexOf(w->Function(0x12)->Child(2)), Qt::Checked,
                           Qt::CheckStateRole));
    // A fixed flag keeps its tick.
    QVERIFY(!model->setData(model->IndexOf(w->Function(0x30, 0x01)), Qt::Unchecked,
                            Qt::CheckStateRole));

    // No question box: the PIN was not changed.
    const auto box = WhenMessageBox([](QMessageBox* shown) { shown->close(); }, 3000);
    QVERIFY(w->Save());
    QVERIFY(!*box);
    // The module holds the edits and nothing else changed (FN 0x11 was 1).
    const TMap after = With(before, {{0x18, 45}, {0x10, 2}, {0x15, 5}, {0x30, 0x0D}, {0x12, 3}});
    QCOMPARE(module.Map(), after);
    const TShown saved{"4.5 s", "1 times", "25 km/h", true, false, true, 2, 1};
    QCOMPARE(ShownValues(*w), saved);

    // A fresh window reading the same module shows them from the module.
    w.reset();
    w = std::make_unique<TWindow>(module);
    QVERIFY(w->WaitForRead());
    QCOMPARE(ShownValues(*w), saved);
    QCOMPARE(module.Map(), after);
}

// The PIN's question and error boxes through the real window and link; every
// case of the check is tst_can_settings's.
void TestCanRoundTrip::pinCheckedAtSave_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer"); // button of the box, 0 for none expected
    QTest::addColumn<QString>("boxText");
    QTest::addColumn<QString>("modulePin");
    QTest::newRow("changed, Yes") << "5678" << int(QMessageBox::Yes) << "60 5678"
                                  << "5678";
    QTest::newRow("invalid") << "12" << int(QMessageBox::Ok) << "61 (12)"
                             << "1234";
}

void TestCanRoundTrip::pinCheckedAtSave() {
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, boxText);
    QFETCH(QString, modulePin);
    TSimRv5kModule module(DemoProfile());
    TWindow w(module);
    QVERIFY(w.WaitForRead());
    // An edited value shows the rest of the save goes on whatever the PIN.
    TParamTreeModel* model = w.Model();
    QVERIFY(model->setData(model->IndexOf(w.Function(0x6F)->Child(0), 1), "7"));
    w.Pin()->setText(typed);

    QString text;
    const auto seen = WhenMessageBox(
        [&](QMessageBox* box) {
            text = box->text();
            box->button(QMessageBox::StandardButton(answer))->click();
        },
        answer ? 8000 : 3000);
    QVERIFY(w.Save());
    QCOMPARE(*seen, answer != 0);
    if (answer) {
        const QString number = boxText.section(' ', 0, 0);
        QCOMPARE(text,
                 w.Form()->Messages().WideMess(number.toInt()) + ' ' + boxText.section(' ', 1));
    }
    std::map<quint8, quint8> held;
    for (const auto& [fn, nn] : module.Map())
        held.emplace(fn, nn); // the first slot of each FN
    QString pin;
    for (quint8 fn = 0x01; fn <= 0x04; ++fn)
        pin += QString::number(held[fn]);
    QCOMPARE(pin, modulePin);
    QCOMPARE(held[0x6F], quint8(7));
    QCOMPARE(w.Pin()->text(), modulePin); // the read that follows
}

void TestCanRoundTrip::languageChangeTranslatesTheTree() {
    TSimRv5kModule module(DemoProfile());
    TWindow window(module);
    QVERIFY(window.WaitForRead());
    QComboBox* languages = window.Form()->Controls().LanguageBox;
    const int russian = languages->findText(QStringLiteral("Русский"));
    QVERIFY(russian > 0);
    languages->setCurrentIndex(russian);
    emit languages->activated(russian);
    QCOMPARE(window.Model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Название"));
    QVERIFY(window.Cell(window.Function(0x31), 0).startsWith(QStringLiteral("FN31 - Полярность")));
}

RV5K_SIDE_BY_SIDE_MAIN(TestCanRoundTrip)
#include "tst_can_round_trip.moc"
