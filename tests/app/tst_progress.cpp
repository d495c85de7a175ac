// The progress window: placement over the main window, its lines, the moving
// bar, and the main window's enabled state around it.

#include "app/AppWindows.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "i18n/MessageTable.h"
#include "link/hid/SimHidBus.h"
#include "ui/MovingProgressBar.h"

#include <QTemporaryDir>
#include <QtTest>

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void showsOverNarrowMainWindow();
    void showFromHidden();
    void showWhileShownOnlyReplacesCaption();
    void hideAlwaysEnablesMainWindow();
    void barMovesOnlyWhileShown();
    void mainWindowShowsMessages();
};

void TestProgress::placement_data() {
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("wide") << QRect(100, 50, 640, 480) << QPoint(298, 240);
    QTest::newRow("odd differences") << QRect(0, 0, 500, 301) << QPoint(128, 100);
    // Narrower and lower than the window: the half differences are negative
    // and truncate toward zero (-43 / 2 = -21, -41 / 2 = -20).
    QTest::newRow("narrow") << QRect(100, 50, 200, 59) << QPoint(79, 30);
    QTest::newRow("off screen") << QRect(-300, -20, 243, 100) << QPoint(-300, -20);
}

void TestProgress::placement() {
    QFETCH(QRect, mainFrame);
    QFETCH(QPoint, expected);
    QCOMPARE(TForm5::PlacementOver(mainFrame, QSize(243, 100)), expected);
}

void TestProgress::showsOverNarrowMainWindow() {
    TMessageTable messages;
    QWidget main(nullptr, Qt::FramelessWindowHint);
    main.setGeometry(100, 50, 200, 59);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    TForm5 progress(&main, messages);
    progress.ShowProgress(QStringLiteral("Reading"));
    QCOMPARE(progress.size(), QSize(243, 100));
    QCOMPARE(main.frameGeometry(), QRect(100, 50, 200, 59));
    QCOMPARE(progress.frameGeometry().topLeft(), QPoint(79, 30));
}

void TestProgress::showFromHidden() {
    TMessageTable messages;
    QByteArray error;
    QVERIFY(messages.LoadLanguageFile(
        QCoreApplication::applicationDirPath() + QStringLiteral("/comps.txt"), &error));
    QWidget main;
    main.setGeometry(0, 0, 640, 480);
    main.show();
    TForm5 progress(&main, messages);
    QVERIFY(progress.windowFlags().testFlag(Qt::FramelessWindowHint));
    progress.ShowProgress(QStringLiteral("Reading TLX2 settings"));
    QVERIFY(progress.isVisible());
    QVERIFY(!main.isEnabled());
    QCOMPARE(progress.Line1(), QStringLiteral("Reading TLX2 settings"));
    QCOMPARE(progress.Line2(), QStringLiteral("Please wait..."));
    QVERIFY(progress.Bar()->Moving());
}

void TestProgress::showWhileShownOnlyReplacesCaption() {
    TMessageTable messages;
    QWidget main;
    main.setGeometry(0, 0, 640, 480);
    main.show();
    TForm5 progress(&main, messages);
    progress.ShowProgress(QStringLiteral("first"));
    const QPoint placed = progress.pos();
    main.move(200, 200);
    main.setEnabled(true);
    progress.ShowProgress(QStringLiteral("second"));
    QCOMPARE(progress.Line1(), QStringLiteral("second"));
    QCOMPARE(progress.pos(), placed);
    QVERIFY(main.isEnabled()); // only a show from hidden disables
}

void TestProgress::hideAlwaysEnablesMainWindow() {
    TMessageTable messages;
    QWidget main;
    main.show();
    TForm5 progress(&main, messages);
    // The caller had disabled the window before the progress showed.
    main.setEnabled(false);
    progress.ShowProgress(QStringLiteral("Writing TLX2 settings"));
    progress.HideProgress();
    QVERIFY(!progress.isVisible());
    QVERIFY(main.isEnabled());
    QVERIFY(!progress.Bar()->Moving());

    // Also when it never showed; and closing it counts as hiding.
    main.setEnabled(false);
    progress.HideProgress();
    QVERIFY(main.isEnabled());
    progress.ShowProgress(QStringLiteral("again"));
    progress.close();
    QVERIFY(main.isEnabled());
}

void TestProgress::barMovesOnlyWhileShown() {
    TMovingProgressBar bar;
    bar.resize(200, 16);
    QVERIFY(!bar.Moving());
    bar.show();
    QCOMPARE(TMovingProgressBar::StepIntervalMs, 70);
    const int start = bar.Position();
    QTRY_VERIFY_WITH_TIMEOUT(bar.Position() != start, 1000);
    bar.hide();
    QVERIFY(!bar.Moving());
    const int stopped = bar.Position();
    QTest::qWait(200);
    QCOMPARE(bar.Position(), stopped);
}

void TestProgress::mainWindowShowsMessages() {
    QTemporaryDir dir;
    qputenv("RV5K_APPDATA", dir.path().toLocal8Bit());
    TSimHidBus bus;
    TAppWindows windows(&bus);
    TForm1* form = windows.Form1();
    form->show();
    QTRY_VERIFY_WITH_TIMEOUT(form->LanguagesLoaded, 3000);
    form->ShowProgress(47);
    QCOMPARE(windows.Form5()->Line1(), QStringLiteral("Writing TLX2 settings"));
    QVERIFY(!form->isEnabled());
    form->ShowProgress(41);
    QCOMPARE(windows.Form5()->Line1(), QStringLiteral("Reading TLX2 settings"));
    form->HideProgress();
    QVERIFY(form->isEnabled());
    QVERIFY(!windows.Form5()->isVisible());
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
