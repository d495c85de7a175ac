// The installer's safety nets in the main window against the simulated
// module at the protocol's pace: the bottom bar's count, the review's Cancel
// (nothing reaches the module) and Save (verified by the read after it), a
// module that refuses a function named in the list after the Save, the
// search above the trees with Ctrl+F and Escape in three languages, and the
// question before closing over unsaved changes.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "ZoneStatusPolls.h"
#include "cansettings/ParamTreeRules.h"
#include "sim/SimRv5kModule.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

namespace {
struct TWindow : TAppFixture {
    explicit TWindow(TSimRv5kModule& module) {
        Open();
        Bus().Plug(&module);
    }
    TParamTreeModel* Model() const { return Settings().Model; }
    bool Choose(quint8 fn, int option) const {
        return Model()->setData(Model()->IndexOf(Settings().Function(fn)->Child(option)),
                                Qt::Checked, Qt::CheckStateRole);
    }
    QString Message(int number) const { return Form()->Messages().WideMess(number); }
    QString Count(int n) const {
        return n == 1 ? Message(TCanSettings::OneChangeMessage)
                      : Message(TCanSettings::ChangesMessage).arg(n);
    }
    void PickLanguage(const QString& name) const {
        QComboBox* list = Ui().LanguageBox;
        const int index = list->findText(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
};

// The level-1 rows of the settings tree that show, by FN.
QList<int> ShownFunctions(const TTreeLookup& tree) {
    QList<int> shown;
    tree.Model->Tree().ForEach([&](TParamNode& node) {
        if (node.Level() == 1 && !node.Data.IsFlag && tree.Shown(&node) && tree.Shown(node.Parent))
            shown << node.Data.Number;
    });
    return shown;
}

QList<bool> Expansion(const TTreeLookup& tree) {
    QList<bool> open;
    tree.Model->Tree().ForEach(
        [&](TParamNode& node) { open << tree.View->isExpanded(tree.Model->IndexOf(&node)); });
    return open;
}
} // namespace

class TestSafetyWindow : public QObject {
    Q_OBJECT
private slots:
    void reviewCancelledThenSavedAndVerified() {
        TSimRv5kModule module(DemoProfile());
        TWindow w(module);
        QVERIFY(w.WaitForRead());
        QCOMPARE(w.Ui().ChangesLabel->text(), QString());
        QVERIFY(!w.Ui().RevertButton->isEnabled());
        QVERIFY(w.Choose(0x12, 2));
        QCOMPARE(w.Ui().ChangesLabel->text(), w.Count(1));
        QVERIFY(w.Ui().RevertButton->isEnabled());

        const auto before = module.Map();
        const qsizetype requests = RequestsWithoutZonePolls(module).size();
        {
            TReviewAnswer cancel(false);
            w.Ui().SaveButton->click();
            QCOMPARE(cancel.Seen(), 1);
            QCOMPARE(cancel.Rows(), 2); // and the catalogue's fixed Ignition flag
        }
        QTest::qWait(300);
        QCOMPARE(RequestsWithoutZonePolls(module).size(), requests); // not one request
        QVERIFY(module.Map() == before);
        QVERIFY(w.Form()->isEnabled());

        QVERIFY(w.Save());
        int pairs = 0;
        for (const auto& [fn, nn] : before)
            pairs += TFnMemoryMap::Written(fn) ? 1 : 0;
        QTRY_COMPARE(w.Ui().ChangesLabel->text(),
                     w.Message(TCanSettings::VerifiedMessage).arg(pairs));
        QVERIFY(!w.Ui().RevertButton->isEnabled());
        QVERIFY(!w.Settings().Function(0x12)->Changed);
    }

    void refusedFunctionListedAndStillMarked() {
        TSimProfile profile = DemoProfile();
        profile.IgnoreSetFn = {0x12};
        TSimRv5kModule module(profile);
        TWindow w(module);
        QVERIFY(w.WaitForRead());
        QVERIFY(w.Choose(0x12, 2));
        QStringList listed;
        const auto list = WhenShown(
            QStringLiteral("MismatchReport"),
            [&listed](QWidget* modal) {
                const QTreeWidget* rows = modal->findChild<QTreeWidget*>();
                for (int i = 0; i < rows->topLevelItemCount(); ++i)
                    for (int column = 0; column < 3; ++column)
                        listed << rows->topLevelItem(i)->text(column);
                modal->findChild<QPushButton*>(QStringLiteral("MismatchOkButton"))->click();
            },
            30000);
        QVERIFY(w.Save());
        QTRY_VERIFY(*list);
        const TParamNode* unlock = w.Settings().Function(0x12);
        const auto option = [&](int i) {
            return ParamTreeRules::CellText(*unlock->Child(i), 0, 0, {});
        };
        QCOMPARE(listed, (QStringList{w.Settings().Cell(unlock, 0), option(2), option(1)}));
        QVERIFY(unlock->Changed);
        QCOMPARE(w.Settings().CheckedOption(unlock), 2);
        QCOMPARE(w.Ui().ChangesLabel->text(), w.Count(1));
    }

    void searchWithTheKeysInEachLanguage() {
        TSimRv5kModule module(DemoProfile());
        TWindow w(module);
        QVERIFY(w.WaitForRead());
        const TTreeLookup tree = w.Settings();
        w.Ui().PageControl1->setCurrentWidget(w.Ui().TabSettings);
        tree.View->expand(tree.Model->IndexOf(tree.Function(0x14)->Parent));
        tree.View->expand(tree.Model->IndexOf(tree.Function(0x14)));
        const QList<bool> opened = Expansion(tree);
        const QList<int> all = ShownFunctions(tree);

        QApplication::setActiveWindow(w.Form());
        QVERIFY(QTest::qWaitForWindowActive(w.Form()));
        QTest::keyClick(w.Form(), Qt::Key_F, Qt::ControlModifier);
        QLineEdit* search = w.Form()->CanSettingsPanel()->VTSearch();
        QTRY_VERIFY(search->hasFocus());
        for (const QString& text :
             {QStringLiteral("0x31"), QStringLiteral("FN31"), QStringLiteral("polarity")}) {
            search->clear();
            QTest::keyClicks(search, text);
            QCOMPARE(ShownFunctions(tree), QList<int>{0x31});
        }
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(search->text().isEmpty());
        QCOMPARE(ShownFunctions(tree), all);
        QCOMPARE(Expansion(tree), opened);

        for (const auto& [language, text] :
             {std::pair{QStringLiteral("Lietuvių"), QStringLiteral("poliškumas")},
              std::pair{QStringLiteral("Русский"), QStringLiteral("полярность")}}) {
            w.PickLanguage(language);
            search->setText(text);
            QCOMPARE(ShownFunctions(tree), QList<int>{0x31});
            search->clear();
        }
        // On the car page Ctrl+F goes to the car tree's field.
        w.Ui().PageControl1->setCurrentWidget(w.Ui().TabCar);
        QTest::keyClick(w.Form(), Qt::Key_F, Qt::ControlModifier);
        QTRY_VERIFY(w.Form()->CanSettingsPanel()->VST2Search()->hasFocus());
    }

    void closingOverUnsavedChangesAsks() {
        TSimRv5kModule module(DemoProfile());
        TWindow w(module);
        QVERIFY(w.WaitForRead());
        QVERIFY(w.Choose(0x12, 2));
        QSignalSpy closed(w.Form(), &TForm1::Closed);
        QString asked;
        const auto box = WhenMessageBox(
            [&asked](QMessageBox* shown) {
                asked = shown->text();
                shown->button(QMessageBox::No)->click();
            },
            10000);
        w.Form()->close();
        QTRY_VERIFY(*box);
        QCOMPARE(asked, w.Message(TCanSettings::CloseQuestionMessage).arg(1));
        QVERIFY(w.Form()->isVisible());
        QCOMPARE(closed.count(), 0);
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestSafetyWindow)
#include "tst_safety_window.moc"
