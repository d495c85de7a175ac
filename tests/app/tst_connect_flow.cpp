// What the main window does with a module on the simulated bus: connect,
// unlock, read under the progress window, failures and unplugging.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "link/TRV5K.h"
#include "sim/SimRv5kModule.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {
TSimProfile Profile() {
    TSimProfile profile;
    profile.ProductString = QStringLiteral("RV5K CAN v6.12");
    profile.SerialNumber = QStringLiteral("A1B2C3");
    profile.Map = {{0x10, 1}, {0x11, 0}, {0x57, 3}};
    profile.LatencyMs = 5;
    return profile;
}

const QString Connected = QStringLiteral("RV5K CAN v6.12 SN:A1B2C3");

struct TFlow : TAppFixture {
    explicit TFlow(const TSimProfile& profile = Profile(), bool readOnConnect = true)
        : Module(std::make_unique<TSimRv5kModule>(profile)) {
        Open();
        Ui().ReadOnConnectBox->setChecked(readOnConnect);
        // Plugged in before the event loop runs, as at start-up.
        Bus().Plug(Module.get());
    }
    ~TFlow() { Windows.reset(); }

    std::unique_ptr<TSimRv5kModule> Module;
};

// Answers password boxes with the given texts in turn (empty: cancel).
struct TPasswordAnswers {
    explicit TPasswordAnswers(QStringList answers) : Answers(std::move(answers)) { Next(); }
    void Next() {
        WhenModal(
            [this](QWidget* modal) {
                auto* box = qobject_cast<QInputDialog*>(modal);
                if (!box)
                    return;
                Titles << box->windowTitle();
                Prompts << box->labelText();
                EmptyAtStart = EmptyAtStart && box->textValue().isEmpty();
                const QString answer = Answers.value(Titles.size() - 1);
                if (answer.isEmpty()) {
                    box->reject();
                    return;
                }
                box->setTextValue(answer);
                box->accept();
                if (Titles.size() < Answers.size())
                    Next();
            },
            30000);
    }
    QStringList Answers;
    QStringList Titles;
    QStringList Prompts;
    bool EmptyAtStart = true;
};
} // namespace

class TestConnectFlow : public QObject {
    Q_OBJECT
private slots:
    void connectReadsUnderProgressWindow();
    void tooOldFirmwareIsNotRead();
    void readOnConnectCleared();
    void lockedModuleAsksPassword();
    void cancelledPassword();
    void closingDuringPasswordWaitAsksNoMore();
    void droppedAnswerShowsReadFailed();
    void unplugHidesPanel();
    void unplugDuringReadDoesNotShowPanel();
};

void TestConnectFlow::connectReadsUnderProgressWindow() {
    TFlow flow;
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QTRY_COMPARE_WITH_TIMEOUT(flow.Status(), Connected, 3000);
    QCOMPARE(flow.Form()->ActiveLink(), 1);
    QCOMPARE(flow.Form()->ActiveLinkObject(), flow.Form()->ModuleLink());

    // While the read runs: progress window up, main window disabled.
    QTRY_VERIFY_WITH_TIMEOUT(flow.Progress()->isVisible(), 3000);
    QCOMPARE(flow.Progress()->Line1(), QStringLiteral("Reading TLX2 settings"));
    QVERIFY(!flow.Form()->isEnabled());
    QCOMPARE(flow.Form()->LinkBusy(), 1);

    QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
    QVERIFY(!flow.Progress()->isVisible());
    QVERIFY(flow.Form()->isEnabled());
    QCOMPARE(flow.Form()->LinkBusy(), 0);
    QVERIFY(!flow.Form()->ModuleLink()->KlaidaNuskaitant());
    // 16 map pages, the write program and the program count.
    QVERIFY(flow.Module->RequestsSeen() >= 18);
    QVERIFY(flow.Form()->Controls().Label2->isHidden());
}

void TestConnectFlow::tooOldFirmwareIsNotRead() {
    TSimProfile profile = Profile();
    profile.ProductString = QStringLiteral("RV5K CAN v6.02");
    TFlow flow(profile);
    QTRY_COMPARE_WITH_TIMEOUT(flow.Status(), QStringLiteral("RV5K CAN v6.02 SN:A1B2C3"), 3000);
    QVERIFY(!flow.Form()->Controls().Label2->isHidden());
    QTest::qWait(400);
    QCOMPARE(flow.Module->RequestsSeen(), 0);
    QVERIFY(!flow.Progress()->isVisible());
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QVERIFY(flow.Form()->ModuleLink()->Connected());
}

void TestConnectFlow::readOnConnectCleared() {
    TFlow flow(Profile(), false);
    QTRY_COMPARE_WITH_TIMEOUT(flow.Status(), Connected, 3000);
    QTest::qWait(400);
    QCOMPARE(flow.Module->RequestsSeen(), 0);
    QVERIFY(!flow.Progress()->isVisible());
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QVERIFY(flow.Form()->isEnabled());
}

void TestConnectFlow::lockedModuleAsksPassword() {
    TSimProfile profile = Profile();
    profile.Password = "1234";
    profile.StartLocked = true;
    // A wrong password leaves the module locked and the box comes again.
    TPasswordAnswers answers({QStringLiteral("9999"), QStringLiteral("1234")});
    TFlow flow(profile);
    bool loadedWhenAsked = false;
    QTRY_VERIFY_WITH_TIMEOUT(answers.Titles.size() >= 1, 5000);
    loadedWhenAsked = flow.Form()->LanguagesLoaded;
    QVERIFY(loadedWhenAsked);
    QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 10000);
    QCOMPARE(answers.Titles.size(), 2);
    QCOMPARE(answers.Titles.first(), QStringLiteral("USB password"));
    QCOMPARE(answers.Prompts.first(),
             QStringLiteral("The module is locked. Enter its USB password:"));
    QVERIFY(answers.EmptyAtStart);
    QVERIFY(!flow.Module->Locked());
    QVERIFY(!flow.Form()->ModuleLink()->Locked());
    QVERIFY(flow.Module->RequestsSeen() >= 20);
}

void TestConnectFlow::cancelledPassword() {
    TSimProfile profile = Profile();
    profile.Password = "1234";
    profile.StartLocked = true;
    TPasswordAnswers answers({QString()});
    TFlow flow(profile);
    QTRY_COMPARE_WITH_TIMEOUT(answers.Titles.size(), 1, 5000);
    QTest::qWait(400);
    QVERIFY(!QApplication::activeModalWidget()); // not asked again
    QCOMPARE(answers.Titles.size(), 1);
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QVERIFY(flow.Form()->isEnabled());
    QCOMPARE(flow.Module->RequestsSeen(), 0);
    QVERIFY(flow.Module->Locked());
}

void TestConnectFlow::closingDuringPasswordWaitAsksNoMore() {
    TSimProfile profile = Profile();
    profile.Password = "1234";
    profile.StartLocked = true;
    TFlow* current = nullptr;
    const auto first = WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QInputDialog*>(modal);
        QVERIFY(box);
        box->setTextValue(QStringLiteral("9999"));
        box->accept();
        // Closed while the program waits for the module's answer.
        QTimer::singleShot(50, current->Form(), &QWidget::close);
    });
    TFlow flow(profile);
    current = &flow;
    QTRY_VERIFY_WITH_TIMEOUT(*first, 15000);
    const auto again = WhenModal([](QWidget* modal) { modal->close(); }, 1000);
    QTest::qWait(1200);
    QVERIFY(!*again);
    QVERIFY(!flow.Form()->isVisible());
    QVERIFY(flow.Module->Locked());
}

void TestConnectFlow::droppedAnswerShowsReadFailed() {
    TSimProfile profile = Profile();
    profile.DropAnswerTo = {3};
    QString title;
    QString text;
    const auto seen = WhenModal(
        [&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                title = box->windowTitle();
                text = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        },
        12000);
    TFlow flow(profile);
    QTRY_VERIFY_WITH_TIMEOUT(flow.Progress()->isVisible(), 3000);
    // The link's watchdog gives up after 5 s without an answer.
    QTRY_VERIFY_WITH_TIMEOUT(*seen, 9000);
    QCOMPARE(title, QStringLiteral("Error"));
    QCOMPARE(text, flow.Form()->Messages().WideMess(33));
    QVERIFY(!flow.Progress()->isVisible());
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QVERIFY(flow.Form()->isEnabled());
    // The failure was reported; the flags are back to idle.
    QVERIFY(!flow.Form()->ModuleLink()->KlaidaNuskaitant());
    QVERIFY(!flow.Form()->ModuleLink()->VykstaNuskaitymas());
}

void TestConnectFlow::unplugHidesPanel() {
    TFlow flow;
    QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
    flow.Bus().Unplug(flow.Module.get());
    QTRY_COMPARE_WITH_TIMEOUT(flow.Status(), QStringLiteral("No Module"), 3000);
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QCOMPARE(flow.Form()->ActiveLink(), 0);
    QVERIFY(!flow.Form()->ActiveLinkObject());
}

void TestConnectFlow::unplugDuringReadDoesNotShowPanel() {
    QString text;
    const auto seen = WhenModal(
        [&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                text = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        },
        5000);
    TFlow flow;
    QTRY_VERIFY_WITH_TIMEOUT(flow.Progress()->isVisible(), 3000);
    flow.Bus().Unplug(flow.Module.get());
    QTRY_VERIFY_WITH_TIMEOUT(*seen, 3000);
    QCOMPARE(text, flow.Form()->Messages().WideMess(33));
    QVERIFY(!flow.Progress()->isVisible());
    QVERIFY(!flow.Form()->SettingsPanelVisible());
    QVERIFY(flow.Form()->isEnabled());
    QCOMPARE(flow.Status(), QStringLiteral("No Module"));
}

RV5K_SIDE_BY_SIDE_MAIN(TestConnectFlow)
#include "tst_connect_flow.moc"
