// The car page of the main window with the demo module on the simulated bus:
// the shipped car list on a fresh install, the mode after the read, the
// manual lists of supported cars only, and Save in "Manual".

#include "AppFixture.h"
#include "SimProfiles.h"
#include "cansettings/CanData.h"
#include "cansettings/CarSelection.h"
#include "cansettings/MapCycle.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/CarPage.h"
#include "cansettings/view/ParamTreeView.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
quint8 ModuleValue(const TSimRv5kModule& module, quint8 fn) {
    for (const auto& [f, nn] : module.Map())
        if (f == fn)
            return nn;
    return 0;
}
} // namespace

class TestCarPage : public QObject {
    Q_OBJECT
private slots:
    void demoModuleOnTheCarPage() {
        TSimRv5kModule module(DemoProfile());
        TAppFixture app;
        app.Open();
        TForm1* form = app.Form();
        TCarSelection* cars = form->CarSelection();
        TCarPage* page = form->CarPage();

        // First run: the shipped list was copied into the data folder and read.
        QVERIFY(QFile::exists(app.Dir.filePath("CANDATA_FULL.csv")));
        QCOMPARE(CarEntryCount(cars->CarDatabase()), 513);

        app.Bus().Plug(&module);
        QTRY_VERIFY_WITH_TIMEOUT(form->SettingsPanelVisible(), 15000);
        QTRY_VERIFY(!page->List(TCarList::Make)->currentText().isEmpty());

        // The demo module knows its car (FN 0x06 = 12).
        QVERIFY(page->ModeChoice(CarModeCurrent)->isChecked());
        QVERIFY(page->CurrentPanel()->isVisibleTo(page));
        QVERIFY(!page->ManualPanel()->isVisibleTo(page));
        QCOMPARE(page->CurrentCarLabel()->text(), QStringLiteral("12/3"));

        // "Manual": makes of supported cars only, in the list's order.
        page->ModeChoice(CarModeManual)->click();
        QVERIFY(page->ManualPanel()->isVisibleTo(page));
        QVERIFY(!page->CurrentPanel()->isVisibleTo(page));
        const TCanDataArr& supported = cars->SupportedCars();
        QVERIFY(supported.size() > 1 && supported.size() < cars->CarDatabase().size());
        QComboBox* makes = page->List(TCarList::Make);
        QCOMPARE(makes->count(), supported.size());
        for (int i = 0; i < makes->count(); ++i)
            QCOMPARE(makes->itemText(i), supported[i].Make);
        // A pick of the user rebuilds the lists below it.
        makes->setCurrentIndex(1);
        emit makes->activated(1);
        QCOMPARE(page->List(TCarList::Brand)->itemText(0), supported[1].Models[0].Model);
        QCOMPARE(page->List(TCarList::Year)->count(), supported[1].Models[0].Years.size());
        QCOMPARE(page->SubPanel(TCarList::Program)->isVisibleTo(page),
                 page->List(TCarList::Program)->count() > 1);
        QCOMPARE(page->SubPanel(TCarList::Fn57)->isVisibleTo(page),
                 page->List(TCarList::Fn57)->count() > 1);

        // Save sends the chosen program and writes the chosen FN57.
        const TCanParamData& year = supported[1].Models[0].Years[0];
        const quint8 fn57 = year.Fn57.isEmpty() ? 1 : year.Fn57[0];
        TReviewAnswer review(true);
        form->Controls().SaveButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(ModuleValue(module, 0x06), year.GrPgr[0].first, 8000);
        QCOMPARE(ModuleValue(module, 0x07), year.GrPgr[0].second);
        QTRY_COMPARE_WITH_TIMEOUT(ModuleValue(module, 0x57), fn57, 8000);
        // The re-read after Save comes back to "Current" with the new car.
        const QString car =
            QStringLiteral("%1/%2").arg(year.GrPgr[0].first).arg(year.GrPgr[0].second);
        QTRY_COMPARE_WITH_TIMEOUT(page->CurrentCarLabel()->text(), car, 15000);
        QTRY_VERIFY(!form->CanSettings()->Cycle().ReadingMap());
        QVERIFY(page->ModeChoice(CarModeCurrent)->isChecked());
    }
};

QTEST_MAIN(TestCarPage)
#include "tst_car_page.moc"
