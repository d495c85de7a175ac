// The engine start page: a block put on it (values outside a list keep the
// list's choice, an invalid day is cleared with its time kept, the rows of an
// unchecked section hidden but brought up to date), the user's boxes, and the
// rows' spacing after their captions change.

#include "engine/view/EngineStartPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimeEdit>
#include <QtTest>

using namespace AutoStartBlock;

namespace {
tduomenys Block(std::initializer_list<std::pair<std::size_t, quint8>> bytes) {
    tduomenys block(BlockSize, 0);
    // Every weekday invalid unless the test says otherwise.
    for (int day = 0; day < WeekdayCount; ++day)
        block[FirstWeekdayAt + 2 * std::size_t(day)] = 0xFF;
    for (const auto& [at, value] : bytes)
        block[at] = value;
    return block;
}
} // namespace

class TestEnginePage : public QObject {
    Q_OBJECT
private slots:
    void designedStart() {
        TEngineStartPage page;
        for (int s = 0; s < SectionCount; ++s) {
            QVERIFY(!page.SectionBox(TSection(s))->isChecked());
            QVERIFY(page.Details(TSection(s))->isHidden());
            QCOMPARE(page.RunTimeList(TSection(s))->currentIndex(), 0);
        }
        QCOMPARE(page.SectionBox(Temperature)->text(),
                 QStringLiteral("Enable engine start  by low temperature"));
        QCOMPARE(page.VoltageList()->itemText(25), QStringLiteral("12,5"));
        for (int day = 0; day < WeekdayCount; ++day) {
            QCOMPARE(page.DayTime(day)->time(), QTime(8, 0));
            QVERIFY(!page.DayTime(day)->isEnabled());
        }
        QVERIFY(!page.Note()->text().isEmpty());
    }

    void blockApplied() {
        TEngineStartPage page;
        page.Apply(Decode(Block({{EnableFlagsAt, 0x09}, // periodic and the alarm clock
                                 {PeriodicRunTimeAt, 45},
                                 {PeriodAt, 24},
                                 {TemperatureAt, 0xF6}, // -10, behind a hidden row
                                 {VoltageAt, 125},
                                 {FirstWeekdayAt, 23},
                                 {FirstWeekdayAt + 1, 59}})));
        QVERIFY(page.SectionBox(Periodic)->isChecked());
        QVERIFY(!page.Details(Periodic)->isHidden());
        QVERIFY(page.Details(Temperature)->isHidden());
        QCOMPARE(page.RunTimeList(Periodic)->currentText(), QStringLiteral("45"));
        QCOMPARE(page.PeriodList()->currentText(), QStringLiteral("24"));
        QCOMPARE(page.TemperatureList()->currentText(), QStringLiteral("-10"));
        QCOMPARE(page.VoltageList()->currentText(), QStringLiteral("12,5"));
        QVERIFY(page.DayBox(0)->isChecked());
        QVERIFY(page.DayTime(0)->isEnabled());
        QCOMPARE(page.DayTime(0)->time(), QTime(23, 59));

        // A second block with values outside the lists changes none of them;
        // Monday at hour 24 is cleared, keeping the time it showed.
        page.Apply(Decode(Block({{PeriodicRunTimeAt, 46},
                                 {PeriodAt, 25},
                                 {TemperatureAt, 3},
                                 {VoltageAt, 126},
                                 {FirstWeekdayAt, 24}})));
        QVERIFY(!page.SectionBox(Periodic)->isChecked());
        QVERIFY(page.Details(Periodic)->isHidden());
        QCOMPARE(page.RunTimeList(Periodic)->currentText(), QStringLiteral("45"));
        QCOMPARE(page.PeriodList()->currentText(), QStringLiteral("24"));
        QCOMPARE(page.TemperatureList()->currentText(), QStringLiteral("-10"));
        QCOMPARE(page.VoltageList()->currentText(), QStringLiteral("12,5"));
        QVERIFY(!page.DayBox(0)->isChecked());
        QVERIFY(!page.DayTime(0)->isEnabled());
        QCOMPARE(page.DayTime(0)->time(), QTime(23, 59));
    }

    void userBoxes() {
        TEngineStartPage page;
        page.SectionBox(Battery)->click();
        QVERIFY(!page.Details(Battery)->isHidden());
        page.SectionBox(Battery)->click();
        QVERIFY(page.Details(Battery)->isHidden());
        page.DayBox(3)->click();
        QVERIFY(page.DayTime(3)->isEnabled());
        page.DayBox(3)->click();
        QVERIFY(!page.DayTime(3)->isEnabled());
    }

    // Each list 5 pixels after its caption's text, each unit 2 after its list,
    // also after a caption has changed to a longer text.
    void rowsFollowTheirCaptions() {
        TEngineStartPage page;
        page.resize(600, 700);
        page.SectionBox(Battery)->setChecked(true);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const auto check = [&page] {
            auto* label = page.findChild<QLabel*>(QStringLiteral("VoltageLabel"));
            auto* unit = page.findChild<QLabel*>(QStringLiteral("VoltageUnit"));
            QComboBox* list = page.VoltageList();
            // The caption is as wide as its text (to the pixel it rounds to).
            QVERIFY(qAbs(label->width() - label->fontMetrics().horizontalAdvance(label->text())) <=
                    1);
            QCOMPARE(list->x() - (label->x() + label->width()), TEngineStartPage::ListGap);
            QCOMPARE(unit->x() - (list->x() + list->width()), TEngineStartPage::UnitGap);
        };
        check();
        page.findChild<QLabel*>(QStringLiteral("VoltageLabel"))
            ->setText(QStringLiteral("Напряжение аккумулятора"));
        page.Relayout();
        check();
    }
};

QTEST_MAIN(TestEnginePage)
#include "tst_engine_page.moc"
