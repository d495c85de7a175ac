// Putting a language's texts on windows: finding windows and controls in any
// letter case, the kind keys, lists that keep or reset their selection, radio
// groups, wrong kinds, and the caption-driven width of check boxes.

#include "i18n/view/CaptionLayout.h"
#include "i18n/view/CaptionTranslator.h"
#include "i18n/LanguageFile.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {
// A window with one control of each kind the tool maps.
struct TTestWindow {
    TTestWindow() {
        Window->setObjectName(QStringLiteral("TestForm"));
        Window->setWindowTitle(QStringLiteral("Designed"));
        auto* layout = new QVBoxLayout(Window.get());
        const auto add = [&](auto* widget, const char* name) {
            widget->setObjectName(QString::fromLatin1(name));
            layout->addWidget(widget);
            return widget;
        };
        Label = add(new QLabel(QStringLiteral("label")), "Label1");
        Button = add(new QPushButton(QStringLiteral("button")), "OkButton");
        Check = add(new QCheckBox(QStringLiteral("check")), "CheckBox1");
        Radio = add(new QRadioButton(QStringLiteral("radio")), "RadioButton1");
        Group = add(new QGroupBox(QStringLiteral("group")), "GroupBox1");
        List = add(new QComboBox, "ComboBox1");
        Radios = add(new TRadioGroup, "RadioGroup1");
        Tabs = add(new QTabWidget, "PageControl1");
        Page = new QWidget;
        Page->setObjectName(QStringLiteral("TabSheet1"));
        Tabs->addTab(Page, QStringLiteral("page"));
        Edit = add(new QLineEdit, "PinEdit");
        EditLabel = add(new QLabel(QStringLiteral("PIN")), "PinLabel");
        EditLabel->setBuddy(Edit);
        Menu = new QMenu(Window.get());
        Menu->setObjectName(QStringLiteral("Menu1"));
        Item = Menu->addAction(QStringLiteral("item"));
        Item->setObjectName(QStringLiteral("MenuItem1"));
    }

    // Applies a language made of one window entry for this window plus lines.
    bool Apply(const QByteArray& lines, QString* error = nullptr, int charset = 0) {
        TKalbos languages;
        QByteArray readError;
        if (!TLanguageFile::Parse("%T\t" + QByteArray::number(charset) + "\t0\n" + lines,
                                  "comps.txt", &languages, &readError))
            qWarning("%s", readError.constData());
        QString applyError;
        const bool ok =
            TCaptionTranslator::Apply(languages.first(), CodePageOfCharset(charset), &applyError);
        if (error)
            *error = applyError;
        return ok;
    }

    std::unique_ptr<QWidget> Window = std::make_unique<QWidget>();
    QLabel* Label;
    QPushButton* Button;
    QCheckBox* Check;
    QRadioButton* Radio;
    QGroupBox* Group;
    QComboBox* List;
    TRadioGroup* Radios;
    QTabWidget* Tabs;
    QWidget* Page;
    QLineEdit* Edit;
    QLabel* EditLabel;
    QMenu* Menu;
    QAction* Item;
};
} // namespace

class TestCaptions : public QObject {
    Q_OBJECT
private slots:
    void kindsReachTheirControls();
    void keysMatchExactlyOrInAnyCase_data();
    void keysMatchExactlyOrInAnyCase();
    void wrongKindLeavesControlAlone();
    void namesInAnyCase();
    void hintSwitchesDisplay();
    void menuItemHintLeavesMenuAlone();
    void textsThroughCodePage();
    void listKeepsOrResetsSelection_data();
    void listKeepsOrResetsSelection();
    void radioGroupCaptionAndItems();
    void missingWindowsAndControlsSkipped();
    void entryNamingNoWindowStops();
    void checkBoxWidthFollowsCaption();
};

void TestCaptions::kindsReachTheirControls() {
    TTestWindow w;
    QVERIFY(w.Apply("=TestForm\tTranslated\n"
                    "&Label1\tTTntLabel\tL\tlabel hint\n"
                    "&OkButton\tTTntButton\tB\tbutton hint\n"
                    "&CheckBox1\tttntcheckbox\tC\n"
                    "&RadioButton1\ttflatradiobutton\tR\n"
                    "&GroupBox1\tTGroupBox\tG\n"
                    "&TabSheet1\tttnttabsheet\tP\tpage hint\n"
                    "&PinEdit\tTLabeledEdit\tCode:\tfour digits\n"
                    "&MenuItem1\tTMenuItem\tI\titem hint\n"));
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Translated"));
    QCOMPARE(w.Label->text(), QStringLiteral("L"));
    QCOMPARE(w.Label->toolTip(), QStringLiteral("label hint"));
    QCOMPARE(w.Button->text(), QStringLiteral("B"));
    QCOMPARE(w.Button->toolTip(), QStringLiteral("button hint"));
    QCOMPARE(w.Check->text(), QStringLiteral("C"));
    QCOMPARE(w.Radio->text(), QStringLiteral("R"));
    QCOMPARE(w.Group->title(), QStringLiteral("G"));
    QCOMPARE(w.Tabs->tabText(0), QStringLiteral("P"));
    QCOMPARE(w.Tabs->tabToolTip(0), QStringLiteral("page hint"));
    QCOMPARE(w.EditLabel->text(), QStringLiteral("Code:"));
    QCOMPARE(w.Edit->toolTip(), QStringLiteral("four digits"));
    QCOMPARE(w.Item->text(), QStringLiteral("I"));
    QCOMPARE(w.Item->statusTip(), QStringLiteral("item hint"));
}

void TestCaptions::keysMatchExactlyOrInAnyCase_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("applies");
    QTest::newRow("TTntLabel as written") << QByteArray("TTntLabel") << true;
    QTest::newRow("TTntLabel in other case") << QByteArray("ttntlabel") << false;
    QTest::newRow("TLabel") << QByteArray("TLabel") << true;
    QTest::newRow("TLabel in other case") << QByteArray("TLABEL") << false;
    QTest::newRow("unknown key") << QByteArray("TStaticText") << false;
}

void TestCaptions::keysMatchExactlyOrInAnyCase() {
    QFETCH(QByteArray, key);
    QFETCH(bool, applies);
    TTestWindow w;
    QVERIFY(w.Apply("=TestForm\tT\n&Label1\t" + key + "\tnew\n&CheckBox1\tTTNTCHECKBOX\tnew\n"));
    QCOMPARE(w.Label->text(), applies ? QStringLiteral("new") : QStringLiteral("label"));
    // "ttntcheckbox" is matched in any letter case.
    QCOMPARE(w.Check->text(), QStringLiteral("new"));
}

void TestCaptions::wrongKindLeavesControlAlone() {
    TTestWindow w;
    w.Label->setToolTip(QStringLiteral("kept"));
    QVERIFY(w.Apply("=TestForm\tT\n"
                    "&Label1\tTButton\tX\tY\n"          // a label is no button
                    "&CheckBox1\tTTntRadioButton\tX\n"  // nor a check box a radio button
                    "&GroupBox1\tTRadioGroup\tX\ta\t\n" // a plain frame is no radio group
                    "&RadioGroup1\tTGroupBox\tX\n"      // and a radio group no plain frame
                    "&ComboBox1\tTTntLabel\tX\n"
                    "&OkButton\tTTntButton\tstill translated\n"));
    QCOMPARE(w.Label->text(), QStringLiteral("label"));
    QCOMPARE(w.Label->toolTip(), QStringLiteral("kept"));
    QCOMPARE(w.Check->text(), QStringLiteral("check"));
    QCOMPARE(w.Group->title(), QStringLiteral("group"));
    QCOMPARE(w.Radios->title(), QString());
    QCOMPARE(w.List->count(), 0);
    QCOMPARE(w.Button->text(), QStringLiteral("still translated"));
}

void TestCaptions::namesInAnyCase() {
    TTestWindow w;
    QVERIFY(w.Apply("=TESTFORM\tUpper\n&okbutton\tTTntButton\tlower\n&LABEL1\tTTntLabel\tup\n"));
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Upper"));
    QCOMPARE(w.Button->text(), QStringLiteral("lower"));
    QCOMPARE(w.Label->text(), QStringLiteral("up"));
}

void TestCaptions::hintSwitchesDisplay() {
    TTestWindow w;
    QVERIFY(w.Apply("=TestForm\tT\n&Label1\tTTntLabel\ttext\thint\n"));
    QCOMPARE(w.Label->toolTip(), QStringLiteral("hint"));
    QVERIFY(w.Apply("=TestForm\tT\n&Label1\tTTntLabel\ttext\t\n"));
    QCOMPARE(w.Label->toolTip(), QString());
}

void TestCaptions::menuItemHintLeavesMenuAlone() {
    TTestWindow w;
    w.Menu->setToolTipsVisible(false);
    QVERIFY(w.Apply("=TestForm\tT\n&MenuItem1\tTMenuItem\tOpen\tOpens a file\n"));
    QVERIFY(!w.Menu->toolTipsVisible());
    QCOMPARE(w.Item->text(), QStringLiteral("Open"));
    QCOMPARE(w.Item->statusTip(), QStringLiteral("Opens a file"));
    w.Menu->setToolTipsVisible(true);
    QVERIFY(w.Apply("=TestForm\tT\n&MenuItem1\tTMenuItem\tOpen\t\n"));
    QVERIFY(w.Menu->toolTipsVisible());
}

void TestCaptions::textsThroughCodePage() {
    TTestWindow w;
    // The kinds written 8-bit and the widened ones both show Cyrillic letters.
    QVERIFY(w.Apply("=TestForm\t\xce\xea\xed\xee\n&Label1\tTLabel\t\xd2\xe5\xea\xf1\xf2\n"
                    "&OkButton\tTTntButton\t\xc4\xe0\t\xcf\xee\xe4\xf1\xea\xe0\xe7\xea\xe0\n"
                    "&ComboBox1\tTComboBox\t\xc0\t\xc1\t\n",
                    nullptr, 204));
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Окно"));
    QCOMPARE(w.Label->text(), QStringLiteral("Текст"));
    QCOMPARE(w.Button->text(), QStringLiteral("Да"));
    QCOMPARE(w.Button->toolTip(), QStringLiteral("Подсказка"));
    QCOMPARE(w.List->itemText(1), QStringLiteral("Б"));
}

void TestCaptions::listKeepsOrResetsSelection_data() {
    QTest::addColumn<int>("itemsBefore");
    QTest::addColumn<int>("selectedBefore");
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QStringList>("itemsAfter");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("third of three kept")
        << 5 << 2 << QByteArray("a\tb\tc\t") << QStringList{"a", "b", "c"} << 2;
    QTest::newRow("fifth falls back to the first")
        << 5 << 4 << QByteArray("a\tb\tc\t") << QStringList{"a", "b", "c"} << 0;
    QTest::newRow("no selection stays none")
        << 3 << -1 << QByteArray("a\tb\t") << QStringList{"a", "b"} << -1;
    QTest::newRow("empty piece before the last TAB is an item")
        << 2 << 1 << QByteArray("a\t\t") << QStringList{"a", ""} << 1;
    QTest::newRow("last piece without TAB is an item")
        << 1 << 0 << QByteArray("a\tb") << QStringList{"a", "b"} << 0;
    QTest::newRow("no items") << 2 << 1 << QByteArray() << QStringList{} << -1;
}

void TestCaptions::listKeepsOrResetsSelection() {
    QFETCH(int, itemsBefore);
    QFETCH(int, selectedBefore);
    QFETCH(QByteArray, items);
    QFETCH(QStringList, itemsAfter);
    QFETCH(int, selectedAfter);
    TTestWindow w;
    for (int i = 0; i < itemsBefore; ++i)
        w.List->addItem(QString::number(i));
    w.List->setCurrentIndex(selectedBefore);
    QSignalSpy changed(w.List, &QComboBox::currentIndexChanged);
    QVERIFY(w.Apply("=TestForm\tT\n&ComboBox1\tttntcombobox\t" + items + "\n"));
    QStringList shown;
    for (int i = 0; i < w.List->count(); ++i)
        shown << w.List->itemText(i);
    QCOMPARE(shown, itemsAfter);
    QCOMPARE(w.List->currentIndex(), selectedAfter);
    QCOMPARE(changed.count(), 0); // the list's change reaction does not run
}

void TestCaptions::radioGroupCaptionAndItems() {
    TTestWindow w;
    w.Radios->SetItems({QStringLiteral("old")});
    QVERIFY(w.Apply("=TestForm\tT\n&RadioGroup1\tTRadioGroup\tMode\tAuto\tManual\tCurrent\t\n"));
    QCOMPARE(w.Radios->title(), QStringLiteral("Mode"));
    QCOMPARE(w.Radios->Items(), (QStringList{"Auto", "Manual", "Current"}));
    QCOMPARE(w.Radios->toolTip(), QString()); // the items are no hint
    QCOMPARE(w.Radios->ItemIndex(), -1);
    w.Radios->SetItemIndex(1);
    QCOMPARE(w.Radios->ItemIndex(), 1);
}

void TestCaptions::missingWindowsAndControlsSkipped() {
    TTestWindow w;
    QString error;
    QVERIFY(w.Apply("=NoSuchForm\tX\n&Label1\tTTntLabel\tnot here\n"
                    "=TestForm\tFound\n&NoSuchControl\tTTntLabel\tX\n&Label1\tTTntLabel\tyes\n",
                    &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Found"));
    QCOMPARE(w.Label->text(), QStringLiteral("yes"));
}

void TestCaptions::entryNamingNoWindowStops() {
    TTestWindow w;
    QWidget other;
    other.setObjectName(QStringLiteral("OtherForm"));
    QString error;
    QVERIFY(!w.Apply("=TestForm\tFirst\n=okbutton\tX\n=OtherForm\tNot reached\n", &error));
    QVERIFY(error.contains(QStringLiteral("okbutton")));
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("First"));
    QCOMPARE(w.Button->text(), QStringLiteral("button"));
    QCOMPARE(other.windowTitle(), QString());
}

void TestCaptions::checkBoxWidthFollowsCaption() {
    QWidget window;
    window.setObjectName(QStringLiteral("FreeForm"));
    auto* box = new QCheckBox(QStringLiteral("a"), &window);
    box->setObjectName(QStringLiteral("Box"));
    box->setGeometry(10, 10, 30, 20);
    auto* right = new QPushButton(QStringLiteral("next"), &window);
    right->setGeometry(45, 12, 60, 20);
    auto* below = new QPushButton(QStringLiteral("below"), &window);
    below->setGeometry(45, 60, 60, 20);
    TKalbos languages;
    QByteArray error;
    QVERIFY(TLanguageFile::Parse(
        "%T\t0\t0\n=FreeForm\tF\n&Box\tTTntCheckBox\tA much longer caption than before\n",
        "comps.txt", &languages, &error));
    QString applyError;
    QVERIFY(TCaptionTranslator::Apply(languages.first(), TCodePage::Cp1250, &applyError));
    QCOMPARE(box->width(), box->sizeHint().width());
    QVERIFY(box->width() > 100);
    QCOMPARE(right->x(), box->x() + box->width() + TCaptionLayout::Gap);
    QCOMPARE(below->x(), 45); // not on the box's row
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
