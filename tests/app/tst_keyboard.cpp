// The keyboard in the windows: a value's editor opened with F2 or Enter, typed
// digits taken within their limits and rounded to the step, typed values
// outside them refused where the user sees it; "Select base" answering Enter
// and Escape.

#include "AppFixture.h"
#include "SimProfiles.h"
#include "sim/SimRv5kModule.h"
#include "ui/SpinGauge.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
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

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
