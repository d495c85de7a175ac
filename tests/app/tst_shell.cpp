// The shell around the main window: the windows and their control names, the
// message box, the single instance, the HID layer choice, the demo key and
// the notice of a device that may not be opened.

#include "ModalHelper.h"
#include "app/AppWindows.h"
#include "app/DemoControl.h"
#include "app/HidLayerFactory.h"
#include "app/SingleInstance.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "app/TForm7.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"
#include "update/view/TFormHyper.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString WriteProfile(const QTemporaryDir& dir, const QByteArray& json) {
    const QString path = dir.filePath(QStringLiteral("profile.json"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(json);
    return path;
}
} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowsAndControls();
    void messageBox_data();
    void messageBox();
    void singleInstance();
    void factoryWithBrokenProfile_data();
    void factoryWithBrokenProfile();
    void factoryWithProfile();
    void demoKeyUnplugsAndPlugsBack();
    void demoKeyWorksWhileAReadRuns();
    void permissionDeniedToldOnce();

private:
    QTemporaryDir AppData;
};

void TestShell::initTestCase() {
    qputenv("RV5K_APPDATA", AppData.path().toLocal8Bit());
}

void TestShell::windowsAndControls() {
    TSimHidBus bus;
    TAppWindows windows(&bus);
    QCOMPARE(windows.Form1()->objectName(), QStringLiteral("Form1"));
    // The language is applied as the windows are created, with the version.
    QCOMPARE(windows.Form1()->windowTitle(), QStringLiteral("RV5K Loader v1.21"));
    QCOMPARE(windows.Form5()->objectName(), QStringLiteral("Form5"));
    QCOMPARE(windows.Form7()->objectName(), QStringLiteral("Form7"));
    QCOMPARE(windows.Form7()->windowTitle(), QStringLiteral("Select base"));
    QCOMPARE(windows.FormHyper()->objectName(), QStringLiteral("FormHyper"));
    QCOMPARE(windows.FormHyper()->windowTitle(), QStringLiteral("RV5K Loader"));

    // The language file finds controls by these names.
    const QList<std::pair<const char*, QString>> named{
        {"Label1", QStringLiteral("Please connect TLX2 module...")},
        {"Label2", QStringLiteral("Please connect TLX2 module...")},
        {"StatusLabel", QStringLiteral("No Module")},
        {"PingTimeOutLabel", QStringLiteral("(Ping TimeOut)")},
        {"SaveButton", QStringLiteral("Save")},
        {"DefaultButton", QStringLiteral("Set default")},
        {"ScanBaseButton", QStringLiteral("Scan for another base")},
        {"ReadOnConnectBox", QStringLiteral("Read MQR-CAN settings on connect")},
        {"ReadSettingsButton", QStringLiteral("Read settings")},
        {"ReadAgainButton", QStringLiteral("Read settings")},
    };
    for (const auto& [name, text] : named) {
        QWidget* widget = windows.Form1()->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(widget, name);
        const QString shown = qobject_cast<QLabel*>(widget)
                                  ? qobject_cast<QLabel*>(widget)->text()
                                  : qobject_cast<QAbstractButton*>(widget)->text();
        QCOMPARE(shown, text);
    }
    TMainWindowUi& ui = windows.Form1()->Controls();
    QVERIFY(ui.ReadOnConnectBox->isChecked());
    QVERIFY(ui.Label2->isHidden());
    QVERIFY(ui.ScanBaseButton->isHidden());
    // The car page's designed caption "TntTabSheet10" is replaced by the
    // language file, which the windows take as they are created.
    const QStringList tabs{"Car", "Alarm system settings", "Templates", "Log",
                           "Automatic engine start settings"};
    for (int i = 0; i < tabs.size(); ++i)
        QCOMPARE(ui.PageControl1->tabText(i), tabs[i]);
}

void TestShell::messageBox_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press"); // QMessageBox::StandardButton; 0: Escape
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<int>("result");
    QTest::newRow("warning ok") << 0 << 4 << int(QMessageBox::Ok) << "Warning" << QStringList{"OK"}
                                << 1;
    QTest::newRow("error ok") << 1 << 4 << int(QMessageBox::Ok) << "Error" << QStringList{"OK"}
                              << 1;
    QTest::newRow("information") << 2 << 4 << int(QMessageBox::Ok) << "Information"
                                 << QStringList{"OK"} << 1;
    QTest::newRow("confirm yes") << 3 << 3 << int(QMessageBox::Yes) << "Confirmation"
                                 << QStringList{"Yes", "No"} << 6;
    QTest::newRow("confirm no") << 3 << 3 << int(QMessageBox::No) << "Confirmation"
                                << QStringList{"Yes", "No"} << 7;
    QTest::newRow("cancel") << 3 << 11 << int(QMessageBox::Cancel) << "Confirmation"
                            << QStringList{"Yes", "No", "Cancel"} << 2;
    QTest::newRow("escape is cancel")
        << 0 << 12 << 0 << "Warning" << QStringList{"OK", "Cancel"} << 2;
    QTest::newRow("no buttons asked")
        << 2 << 0 << int(QMessageBox::Ok) << "Information" << QStringList{"OK"} << 1;
}

void TestShell::messageBox() {
    QFETCH(int, kind);
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(QString, title);
    QFETCH(QStringList, captions);
    QFETCH(int, result);
    TSimHidBus bus;
    TAppWindows windows(&bus);
    // Titles and captions come from the language file.
    QTRY_VERIFY_WITH_TIMEOUT(windows.Form1()->LanguagesLoaded, 3000);
    QString seenTitle;
    QStringList seenCaptions;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        seenTitle = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            seenCaptions << button->text().remove(QLatin1Char('&'));
        if (press == 0)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(QMessageBox::StandardButton(press))->click();
    });
    QCOMPARE(windows.Form1()->ShowMessageBox(QStringLiteral("Text"), kind, buttons), result);
    QCOMPARE(seenTitle, title);
    seenCaptions.sort();
    captions.sort();
    QCOMPARE(seenCaptions, captions);
}

void TestShell::singleInstance() {
    QTemporaryDir dir;
    const QString key = TSingleInstance::KeyFor(dir.path() + QStringLiteral("/rv5kloader"),
                                                QStringLiteral("installer"));
    QVERIFY(key != TSingleInstance::KeyFor(dir.path() + QStringLiteral("/rv5kloader"),
                                           QStringLiteral("other")));
    TSingleInstance first(key);
    QSignalSpy raise(&first, &TSingleInstance::RaiseRequested);
    QVERIFY(first.Claim());
    TSingleInstance second(key);
    QVERIFY(!second.Claim());
    QTRY_COMPARE_WITH_TIMEOUT(raise.count(), 1, 2000);

    // A different program path runs on its own.
    TSingleInstance elsewhere(
        TSingleInstance::KeyFor(dir.path() + QStringLiteral("/copy"), QStringLiteral("installer")));
    QVERIFY(elsewhere.Claim());
}

void TestShell::factoryWithBrokenProfile_data() {
    QTest::addColumn<QByteArray>("json"); // null: no file
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("not json") << QByteArray("{ product: ");
    QTest::newRow("unknown key") << QByteArray("{\"nonsense\": 1}");
}

void TestShell::factoryWithBrokenProfile() {
    QFETCH(QByteArray, json);
    QTemporaryDir dir;
    const QString path =
        json.isNull() ? dir.filePath(QStringLiteral("none.json")) : WriteProfile(dir, json);
    const THidBackend backend = THidLayerFactory::CreateSimulated(path);
    QVERIFY(backend.SimBus);
    QCOMPARE(backend.Layer.get(), static_cast<THidLayer*>(backend.SimBus));
    QVERIFY(!backend.Error.isEmpty());
    QVERIFY(!backend.SimModule);
    QVERIFY(backend.SimBus->Devices().isEmpty());
}

void TestShell::factoryWithProfile() {
    QTemporaryDir dir;
    const QString path = WriteProfile(dir, "{\"serial\": \"123\"}");
    qputenv(THidLayerFactory::SimulatorVariable, path.toLocal8Bit());
    const THidBackend backend = THidLayerFactory::Create();
    qunsetenv(THidLayerFactory::SimulatorVariable);
    QVERIFY2(backend.Error.isEmpty(), qPrintable(backend.Error));
    QVERIFY(backend.SimBus);
    QVERIFY(backend.SimModule);
    QCOMPARE(backend.SimBus->Devices(), QList<TVirtualHidDevice*>{backend.SimModule.get()});
}

void TestShell::demoKeyUnplugsAndPlugsBack() {
    QTemporaryDir dir;
    THidBackend backend =
        THidLayerFactory::CreateSimulated(WriteProfile(dir, "{\"serial\": \"D1\"}"));
    TAppWindows windows(backend.Layer.get());
    TForm1* form = windows.Form1();
    form->Controls().ReadOnConnectBox->setChecked(false);
    new TDemoControl(form, form->statusBar(), backend.SimBus, backend.SimModule.get());
    QCOMPARE(form->statusBar()->toolTip(), TDemoControl::HintText());
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form));
    // Then in the language read.
    QTRY_VERIFY(form->LanguagesLoaded);
    QCOMPARE(form->statusBar()->toolTip(), form->Messages().WideMess(TDemoControl::HintMessage));
    QLabel* status = form->Controls().StatusLabel;
    QTRY_VERIFY_WITH_TIMEOUT(status->text().endsWith(QStringLiteral(" SN:D1")), 3000);

    QTest::keyClick(form, Qt::Key_F12);
    QVERIFY(!backend.SimBus->IsPlugged(backend.SimModule.get()));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("No Module"), 3000);
    QTest::keyClick(form, Qt::Key_F12);
    QTRY_VERIFY_WITH_TIMEOUT(status->text().endsWith(QStringLiteral(" SN:D1")), 3000);
    QVERIFY(form->ModuleLink()->Connected());
}

// The main window is disabled while a read runs: the key still pulls the
// module out, and the read ends with its message.
void TestShell::demoKeyWorksWhileAReadRuns() {
    QTemporaryDir dir;
    THidBackend backend = THidLayerFactory::CreateSimulated(
        WriteProfile(dir, "{\"serial\": \"D2\", \"latencyMs\": 40, "
                          "\"map\": [[16, 1], [17, 2], [18, 3]]}"));
    TAppWindows windows(backend.Layer.get());
    TForm1* form = windows.Form1();
    new TDemoControl(form, form->statusBar(), backend.SimBus, backend.SimModule.get());
    const auto failed = WhenMessageBox([](QMessageBox* box) { box->close(); }, 15000);
    form->show();
    QTRY_VERIFY_WITH_TIMEOUT(windows.Form5()->isVisible(), 5000);
    QVERIFY(!form->isEnabled());
    QTest::keyClick(form, Qt::Key_F12);
    QVERIFY(!backend.SimBus->IsPlugged(backend.SimModule.get()));
    QTRY_VERIFY_WITH_TIMEOUT(*failed, 8000);
    QVERIFY(form->isEnabled());
    QVERIFY(!windows.Form5()->isVisible());
}

void TestShell::permissionDeniedToldOnce() {
    TSimHidBus bus;
    TAppWindows windows(&bus);
    int boxes = 0;
    QString text;
    QString title;
    bool languagesLoaded = false;
    const auto answer = [&](QWidget* modal) {
        ++boxes;
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        text = box->text();
        title = box->windowTitle();
        languagesLoaded = windows.Form1()->LanguagesLoaded;
        box->button(QMessageBox::Ok)->click();
    };
    const auto first = WhenModal(answer, 2000);
    // Told at once on start-up: the box waits for the language file.
    emit bus.PermissionDenied(QStringLiteral("/dev/hidraw3"), 0x4B52, 0x4737);
    emit bus.PermissionDenied(QStringLiteral("/dev/hidraw4"), 0x4B52, 0x4737);
    QTRY_VERIFY_WITH_TIMEOUT(*first, 2000);
    QVERIFY(languagesLoaded);
    QCOMPARE(title, windows.Form1()->Messages().WideMess(37));
    QVERIFY(!title.isEmpty());
    QVERIFY(text.contains(QStringLiteral("/dev/hidraw3")));
    QVERIFY(text.contains(QStringLiteral("4b52:4737")));
    QVERIFY(text.contains(QStringLiteral("99-rv5k-loader.rules")));
    const auto second = WhenModal(answer, 500);
    QTest::qWait(600);
    QVERIFY(!*second);
    QCOMPARE(boxes, 1);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
