// The keyboard in the windows: a value's editor opened with F2 or Enter, typed
// digits taken within their limits and rounded to the step, typed values
// outside them refused where the user sees it; "Select base" answering Enter
// and Escape.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "app/HintStyle.h"
#include "sim/SimRv5kModule.h"
#include "ui/SpinGauge.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QtTest>

namespace {
// The editor open in the view, if one is.
TSpinGauge* OpenEditor(const QWidget* view) {
    for (TSpinGauge* editor : view->findChildren<TSpinGauge*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void valueEditedWithoutTheMouse() {
        TSimRv5kModule module(DemoProfile());
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        app.Ui().PageControl1->setCurrentWidget(app.Ui().TabSettings);
        const TTreeLookup tree = app.Settings();
        TParamTreeView* view = tree.View;
        // The pulse time: its checked option's value, 3 s in steps of 0.1 s.
        const TParamNode* pulse = tree.Function(0x14)->Child(2);
        const QModelIndex name = tree.Model->IndexOf(pulse, 0);
        view->expand(name.parent());
        view->setFocus();
        view->setCurrentIndex(name);
        QTest::keyClick(view, Qt::Key_F2);
        TSpinGauge* editor = OpenEditor(view);
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(view->currentIndex().column(), 1);

        // Typed: 4.56 is taken as 4.6.
        QLineEdit* text = editor->SpinBox()->findChild<QLineEdit*>();
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("4.56"));
        QTest::keyClick(text, Qt::Key_Return);
        QTRY_VERIFY(!OpenEditor(view));
        QCOMPARE(tree.Cell(pulse, 1), QStringLiteral("4.6 s"));

        // Out of its limits: refused in sight, the editor stays; Escape leaves
        // the value as it was.
        view->setCurrentIndex(name);
        QTest::keyClick(view, Qt::Key_Return);
        editor = OpenEditor(view);
        QVERIFY(editor && editor->isVisible());
        text = editor->SpinBox()->findChild<QLineEdit*>();
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("999"));
        QTest::keyClick(text, Qt::Key_Return);
        QVERIFY(editor->isVisible());
        QVERIFY(editor->Refused());
        QVERIFY(!editor->SpinBox()->toolTip().isEmpty());
        QTest::keyClick(text, Qt::Key_Escape);
        QCOMPARE(tree.Cell(pulse, 1), QStringLiteral("4.6 s"));
    }

    // Ctrl+S saves and F5 reads again, as their buttons do, and only while
    // their buttons could be clicked; their hints name the keys.
    void mainActionsHaveKeys() {
        TSimRv5kModule module(DemoProfile());
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        QVERIFY(app.Ui().SaveButton->isVisible());
        QVERIFY(THintStyle::HintWithShortcut(app.Ui().SaveButton)
                    .endsWith(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText) +
                              ')'));

        app.Form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.Form()));
        QSignalSpy applied(&app.Cycle(), &TMapCycle::ApplyRequested);
        QTest::keyClick(app.Form()->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(applied.count() > 0, 20000);
        QVERIFY(app.WaitForRead());

        // The progress window was the active one meanwhile; the offscreen
        // platform gives the activation back to no window.
        QApplication::setActiveWindow(app.Form());
        QTRY_COMPARE(QApplication::activeWindow(), app.Form());
        QTRY_VERIFY(app.Ui().ReadAgainButton->isVisible());
        QSignalSpy reads(&app.Session(), &TSession::ReadRequested);
        QSignalSpy succeeded(&app.Session(), &TSession::ReadSucceeded);
        QTest::keyClick(app.Form()->windowHandle(), Qt::Key_F5);
        QTRY_COMPARE(reads.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(succeeded.count(), 1, 20000);
        QVERIFY(app.WaitForRead());

        // No module, no Save: the key does nothing.
        app.Bus().Unplug(&module);
        QTRY_VERIFY(!app.Ui().SaveButton->isVisible());
        applied.clear();
        QTest::keyClick(app.Form()->windowHandle(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(app.Form()->windowHandle(), Qt::Key_F5);
        QCOMPARE(applied.count(), 0);
        QCOMPARE(reads.count(), 1);
    }

    // Tab goes from the tabs through the page, top to bottom, to the bar
    // below it: on the settings page the PIN before the tree.
    void tabFollowsTheReadingOrder() {
        TSimRv5kModule module(DemoProfile());
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        TMainWindowUi& ui = app.Ui();
        ui.PageControl1->setCurrentWidget(ui.TabSettings);
        app.Form()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.Form()));
        QTabBar* tabs = ui.PageControl1->findChild<QTabBar*>();
        tabs->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), tabs);
        QStringList path;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (!focused || focused == tabs)
                break;
            path << focused->objectName();
        }
        const auto at = [&](const char* name) { return path.indexOf(QLatin1String(name)); };
        QVERIFY2(at("PinEdit") >= 0 && at("PinEdit") < at("VT"), qPrintable(path.join(' ')));
        QVERIFY2(at("VT") < at("LanguageBox") && at("LanguageBox") < at("SaveButton"),
                 qPrintable(path.join(' ')));
    }

    void selectBaseAnswersTheKeys() {
        TForm7 window;
        const QStringList rows{QStringLiteral("RV5K.XOLT v6.12\tSN:1"),
                               QStringLiteral("RV5K.XOLT v6.5\tSN:2")};
        QTimer::singleShot(50, &window, [&window] {
            QTest::keyClick(window.BaseList(), Qt::Key_Down);
            QTest::keyClick(window.BaseList(), Qt::Key_Return);
        });
        QCOMPARE(window.Choose(nullptr, rows), 1);
        QTimer::singleShot(50, &window, [&window] { QTest::keyClick(&window, Qt::Key_Escape); });
        QCOMPARE(window.Choose(nullptr, rows), -1);
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
