// Every read ends with an outcome the installer sees, and the window always
// offers a way on: the module pulled out at each stage of the read, the base
// or its module lost at each stage, a refused module chosen after a read, and
// the "Read settings" button after a failure, a cancelled password box or with
// "Read MQR-CAN settings on connect" cleared.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "base/THFLatcher.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "link/TRV5K.h"
#include "session/BaseSelection.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRadioModule.h"
#include "sim/SimRv5kModule.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QtTest>

namespace {
// What the window shows once a read has failed.
struct TFailure {
    bool Seen = false;
    QString Title;
    QString Text;
};

std::shared_ptr<TFailure> AnswerFailure(int timeoutMs) {
    auto failure = std::make_shared<TFailure>();
    WhenMessageBox(
        [failure](QMessageBox* box) {
            failure->Seen = true;
            failure->Title = box->windowTitle();
            failure->Text = box->text();
            box->button(QMessageBox::Ok)->click();
        },
        timeoutMs);
    return failure;
}

// Runs action once, as soon as the base has been asked a relay with this code.
void WhenRelayed(const TSimRadioBase& base, quint8 code, std::function<void()> action) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [&base, code, action, poll] {
        for (const QByteArray& relay : base.Relays())
            if (!relay.isEmpty() && quint8(relay.at(0)) == code) {
                poll->stop();
                poll->deleteLater();
                action();
                return;
            }
    });
    poll->start(1);
}

// The shipped base, its first module's map cut to its first slots: each stage
// of a read through the base is there, only shorter.
TSimBaseProfile SmallBase() {
    TSimBaseProfile base = DemoBaseProfile();
    auto& map = base.Modules[0].Memory.Map;
    map.resize(std::min<std::size_t>(map.size(), 24));
    return base;
}

// The window after a read that failed: message 33 was shown in a titled box,
// the settings are hidden, nothing runs, the window can be used.
void ExpectFailedRead(const TAppFixture& app, const TFailure& failure) {
    QVERIFY(failure.Seen);
    QCOMPARE(failure.Text, app.Form()->Messages().WideMess(33));
    QCOMPARE(failure.Title, app.Form()->Messages().WideMess(34));
    QTRY_VERIFY(!app.Progress()->isVisible());
    QVERIFY(!app.Form()->SettingsPanelVisible());
    QVERIFY(app.Form()->isEnabled());
    QVERIFY(!app.Cycle().ReadingMap());
    QCOMPARE(app.Form()->LinkBusy(), 0);
}
} // namespace

class TestReadOutcomes : public QObject {
    Q_OBJECT
private slots:
    void moduleUnpluggedDuringTheRead_data();
    void moduleUnpluggedDuringTheRead();
    void baseLostDuringTheRead();
    void refusedModuleAfterARead();
    void readAgainAfterAFailure();
    void unlockAfterACancelledPasswordBox();
    void readWithReadOnConnectCleared();
};

// The demo module pulls itself off the bus after n reports: during the map
// pages, the write program, the program count, the values and the programs.
void TestReadOutcomes::moduleUnpluggedDuringTheRead_data() {
    QTest::addColumn<int>("reports");
    for (const int n : {10, 25, 40, 45, 60, 120})
        QTest::addRow("after %d reports", n) << n;
}

void TestReadOutcomes::moduleUnpluggedDuringTheRead() {
    QFETCH(int, reports);
    TSimProfile profile = DemoProfile();
    profile.UnplugAfterReports = reports;
    TSimRv5kModule module(profile);
    TAppFixture app;
    const auto failure = AnswerFailure(20000);
    app.Open();
    QElapsedTimer sinceUnplug;
    QObject::connect(app.Form()->ModuleLink(), &TRV5K::OnDisconnect, this,
                     [&sinceUnplug] { sinceUnplug.start(); });
    app.Bus().Plug(&module);
    QTRY_VERIFY_WITH_TIMEOUT(sinceUnplug.isValid(), 15000);
    // Within the link's watchdog time, whatever stage the read was in.
    QTRY_VERIFY_WITH_TIMEOUT(failure->Seen, 8000);
    QVERIFY2(sinceUnplug.elapsed() < 8000, qPrintable(QString::number(sinceUnplug.elapsed())));
    ExpectFailedRead(app, *failure);
    QCOMPARE(app.Status(), app.Form()->Messages().WideMess(26));
}

// The base or the chosen module goes while the read through the base is at
// one of its stages. The scenarios are independent windows, each with its own
// simulated base; they run side by side, each at the protocol's own pace, so
// that their watchdogs run out together rather than one after the other.
void TestReadOutcomes::baseLostDuringTheRead() {
    struct TScenario {
        QString Name;
        quint8 Stage = 0;    // the relay code that marks the stage
        bool Unplug = false; // the base itself goes, or the module leaves its range
        std::unique_ptr<TAppFixture> App;
    };
    const QList<std::pair<const char*, quint8>> stages{{"map pages", 0x3E},
                                                       {"write program", 0x3B},
                                                       {"program count", 0x3C},
                                                       {"values", 0x38},
                                                       {"programs", 0x3D}};
    std::vector<TScenario> scenarios;
    for (const auto& [name, code] : stages)
        for (const bool unplug : {true, false}) {
            TScenario scenario;
            scenario.Name = QStringLiteral("%1 at %2")
                                .arg(unplug ? QStringLiteral("base unplugged")
                                            : QStringLiteral("module out of range"),
                                     QLatin1String(name));
            scenario.Stage = code;
            scenario.Unplug = unplug;
            scenario.App = std::make_unique<TAppFixture>();
            scenario.App->Backend.SimBase = std::make_unique<TSimRadioBase>(SmallBase());
            scenario.App->Open();
            scenarios.push_back(std::move(scenario));
        }

    // Every "Select base" window gets its first row, every box its OK.
    QStringList boxTexts;
    QStringList boxTitles;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto* select = qobject_cast<TForm7*>(QApplication::activeModalWidget())) {
            QListWidget* list = select->BaseList();
            if (list->count() > 0)
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(0)).center());
        }
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                boxTexts << box->text();
                boxTitles << box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
    });
    answer.start(10);

    for (TScenario& scenario : scenarios) {
        TAppFixture& app = *scenario.App;
        TSimRadioBase& base = *app.Backend.SimBase;
        WhenRelayed(base, scenario.Stage, [&app, &base, unplug = scenario.Unplug] {
            if (unplug)
                app.Bus().Unplug(&base);
            else
                base.Module(0).SetInRange(false);
        });
        app.Bus().Plug(&base);
    }
    for (TScenario& scenario : scenarios) {
        TAppFixture& app = *scenario.App;
        QVERIFY2(QTest::qWaitFor([&] { return app.Ui().ScanBaseButton->isVisible(); }, 5000),
                 qPrintable(scenario.Name));
        app.Ui().ScanBaseButton->click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(boxTexts.size(), int(scenarios.size()), 40000);
    for (TScenario& scenario : scenarios) {
        const TAppFixture& app = *scenario.App;
        QVERIFY2(QTest::qWaitFor([&] { return !app.Progress()->isVisible(); }, 5000),
                 qPrintable(scenario.Name));
        QVERIFY2(!app.Form()->SettingsPanelVisible() && app.Form()->isEnabled() &&
                     !app.Cycle().ReadingMap() && app.Form()->LinkBusy() == 0,
                 qPrintable(scenario.Name));
    }
    const TForm1* form = scenarios.front().App->Form();
    for (int i = 0; i < boxTexts.size(); ++i) {
        QCOMPARE(boxTexts[i], form->Messages().WideMess(33));
        QCOMPARE(boxTitles[i], form->Messages().WideMess(34));
    }
}

// A read module, then a scan that chooses a module too old to be read: the
// pages of the first module must not stay as if they were the new one's.
void TestReadOutcomes::refusedModuleAfterARead() {
    TAppFixture app;
    QVERIFY(app.OpenReadThroughBase(DemoBaseProfile()));
    QVERIFY(app.Form()->CanSettingsPanel()->PinEdit()->isEnabled());
    QStringList rows;
    QVERIFY(app.ChooseThroughBase(2, &rows));
    QVERIFY(rows.value(2).startsWith(QStringLiteral("RV5K.XOLT v6.2\t")));
    QCOMPARE(app.Status(), rows.value(2));
    QVERIFY(!app.Ui().Label2->isHidden());
    QVERIFY(!app.Form()->SettingsPanelVisible());
    QVERIFY(app.Ui().SaveButton->isHidden());
    QCOMPARE(app.Form()->ActiveLink(), 0);
    // The trees hold nothing of the first module any more.
    QVERIFY(!app.Form()->CanSettingsPanel()->PinEdit()->isEnabled());
    QVERIFY(app.Form()->CanSettingsPanel()->PinEdit()->text().isEmpty());
    const TTreeLookup tree = app.Settings();
    QVERIFY(!tree.Shown(tree.Function(0x14)));
    QTest::qWait(300);
    QVERIFY(app.Ui().ReadAgainButton->isHidden());
}

void TestReadOutcomes::readAgainAfterAFailure() {
    TSimProfile profile = DemoProfile();
    profile.DropAnswerTo = {3};
    TSimRv5kModule module(profile);
    TAppFixture app;
    const auto failure = AnswerFailure(15000);
    app.Open();
    app.Bus().Plug(&module);
    QTRY_VERIFY_WITH_TIMEOUT(failure->Seen, 12000);
    ExpectFailedRead(app, *failure);
    // The way back: read again, from the main window.
    QTRY_VERIFY(app.Ui().ReadAgainButton->isVisible());
    app.Ui().ReadAgainButton->click();
    QVERIFY(app.WaitForRead());
}

void TestReadOutcomes::unlockAfterACancelledPasswordBox() {
    TSimProfile profile = DemoProfile();
    profile.Password = "1234";
    profile.StartLocked = true;
    TSimRv5kModule module(profile);
    TAppFixture app;
    int asked = 0;
    const auto answer = [&asked](const QString& text) {
        return [&asked, text](QWidget* modal) {
            auto* box = qobject_cast<QInputDialog*>(modal);
            if (!box)
                return;
            ++asked;
            if (text.isEmpty()) {
                box->reject();
                return;
            }
            box->setTextValue(text);
            box->accept();
        };
    };
    const auto cancelled = WhenModal(answer(QString()), 10000);
    app.Open();
    app.Bus().Plug(&module);
    QTRY_VERIFY_WITH_TIMEOUT(*cancelled, 10000);
    QTest::qWait(300);
    QCOMPARE(asked, 1); // not asked again by itself
    QVERIFY(app.Form()->isEnabled());
    QVERIFY(!app.Form()->SettingsPanelVisible());
    // "Read settings" asks for the password again, and the module is read.
    QTRY_VERIFY(app.Ui().ReadAgainButton->isVisible());
    const auto unlocked = WhenModal(answer(QStringLiteral("1234")), 10000);
    app.Ui().ReadAgainButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(*unlocked, 10000);
    QVERIFY(app.WaitForRead());
    QCOMPARE(asked, 2);
    QVERIFY(!module.Locked());
}

void TestReadOutcomes::readWithReadOnConnectCleared() {
    TSimRv5kModule module(DemoProfile());
    TAppFixture app;
    app.Open();
    app.Ui().ReadOnConnectBox->setChecked(false);
    app.Bus().Plug(&module);
    QTRY_VERIFY_WITH_TIMEOUT(app.Status().endsWith(QStringLiteral("SN:RV5K00123456")), 3000);
    QTest::qWait(300);
    QCOMPARE(module.RequestsSeen(), 0);
    QVERIFY(!app.Form()->SettingsPanelVisible());
    // The box is on a page that is hidden now; the button reads all the same.
    QTRY_VERIFY(app.Ui().ReadAgainButton->isVisible());
    app.Ui().ReadAgainButton->click();
    QVERIFY(app.WaitForRead());
    QVERIFY(!app.Ui().ReadOnConnectBox->isChecked());
}

RV5K_SIDE_BY_SIDE_MAIN(TestReadOutcomes)
#include "tst_read_outcomes.moc"
