// The Code key's modes, as a table and as the main window shows them.

#include "app/AppWindows.h"
#include "app/ServiceModes.h"
#include "app/TForm1.h"
#include "link/hid/SimHidBus.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestServiceModes : public QObject {
    Q_OBJECT
private slots:
    void fromCode_data();
    void fromCode();
    void mainWindowFollowsCode_data();
    void mainWindowFollowsCode();
};

void TestServiceModes::fromCode_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("tester");
    QTest::newRow("missing (default)") << QByteArray("0") << false << false;
    QTest::newRow("empty") << QByteArray("") << false << false;
    QTest::newRow("not a number") << QByteArray("abc") << false << false;
    QTest::newRow("number with tail") << QByteArray("50713x") << false << false;
    QTest::newRow("service") << QByteArray("50713") << true << false;
    QTest::newRow("service with blanks") << QByteArray(" 50713 ") << true << false;
    QTest::newRow("tester") << QByteArray("1") << false << true;
    QTest::newRow("service and tester") << QByteArray("2") << true << true;
    QTest::newRow("other number") << QByteArray("3") << false << false;
    QTest::newRow("negative") << QByteArray("-50713") << false << false;
}

void TestServiceModes::fromCode() {
    QFETCH(QByteArray, code);
    QFETCH(bool, service);
    QFETCH(bool, tester);
    const TServiceModes modes = TServiceModes::FromCode(code);
    QCOMPARE(modes.ServiceMode, service);
    QCOMPARE(modes.TesterMode, tester);
}

void TestServiceModes::mainWindowFollowsCode_data() {
    QTest::addColumn<QByteArray>("settings"); // null: no Settings.ini
    QTest::addColumn<bool>("logPage");
    QTest::addColumn<bool>("panel");
    QTest::newRow("fresh machine") << QByteArray() << false << false;
    QTest::newRow("not a number") << QByteArray("[Settings]\nCode=abc\n") << false << false;
    QTest::newRow("service") << QByteArray("[settings]\ncode=50713\n") << true << false;
    QTest::newRow("tester") << QByteArray("[Settings]\nCode=1\n") << false << true;
    QTest::newRow("service and tester") << QByteArray("[Settings]\nCode=2\n") << true << true;
}

void TestServiceModes::mainWindowFollowsCode() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, logPage);
    QFETCH(bool, panel);
    QTemporaryDir dir;
    qputenv("RV5K_APPDATA", dir.path().toLocal8Bit());
    if (!settings.isNull()) {
        QFile file(dir.filePath(QStringLiteral("Settings.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    TSimHidBus bus;
    TAppWindows windows(&bus);
    TForm1* form = windows.Form1();
    TMainWindowUi& ui = form->Controls();
    QCOMPARE(form->ServiceMode(), logPage);
    QCOMPARE(ui.PageControl1->isTabVisible(ui.PageControl1->indexOf(ui.TabLog)), logPage);
    QCOMPARE(form->SettingsPanelVisible(), panel);
    QVERIFY(!ui.PageControl1->isTabVisible(ui.PageControl1->indexOf(ui.TabAutoStart)));
    QCOMPARE(ui.PageControl1->currentWidget(), ui.TabCar);
}

QTEST_MAIN(TestServiceModes)
#include "tst_service_modes.moc"
