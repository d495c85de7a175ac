// "Set default" and the automatic engine start page in the main window,
// against the simulated module and base at the report level: the restore
// request's exact bytes on each link, No sends nothing, the module's factory
// settings read back afterwards; the page hidden at creation and after a
// disconnect, shown each time a block arrives, never through the base.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "ZoneStatusPolls.h"
#include "app/EngineFeature.h"
#include "cansettings/view/CarPage.h"
#include "engine/view/EngineStartPage.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRadioModule.h"
#include "sim/SimRv5kModule.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QtTest>

namespace {
// The first slot's NN of each FN.
std::map<quint8, quint8> Values(const std::vector<std::pair<quint8, quint8>>& map) {
    std::map<quint8, quint8> values;
    for (const auto& [fn, nn] : map)
        values.emplace(fn, nn);
    return values;
}

// Answers the question of "Set default" with the given button.
std::shared_ptr<bool> Answer(QMessageBox::StandardButton button, QString* text = nullptr) {
    return WhenMessageBox(
        [button, text](QMessageBox* box) {
            if (text)
                *text = box->text();
            box->button(button)->click();
        },
        8000);
}

bool PageShown(const TAppFixture& app) {
    return app.Ui().PageControl1->isTabVisible(
        app.Ui().PageControl1->indexOf(app.Ui().TabAutoStart));
}

// The demo module without its block on connect: the test tells it when to.
TSimProfile QuietDemo() {
    TSimProfile profile = DemoProfile();
    profile.SentOnConnect.clear();
    profile.PeriodicBlocks.clear();
    return profile;
}

TSimResponseBlock EngineBlock(quint8 flags, quint8 period) {
    QByteArray payload(48, '\0');
    payload[0] = char(flags);
    payload[5] = char(period);
    return {0xA1, payload};
}
} // namespace

class TestDefaultsEngine : public QObject {
    Q_OBJECT
private slots:
    void setDefaultOverUsb() {
        const TSimProfile profile = DemoProfile();
        TSimRv5kModule module(profile);
        TAppFixture app;
        app.Open();
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());

        // No: nothing goes to the module.
        const int before = int(RequestsWithoutZonePolls(module).size());
        QString question;
        const auto no = Answer(QMessageBox::No, &question);
        app.Ui().DefaultButton->click();
        QTRY_VERIFY(*no);
        QCOMPARE(question, app.Form()->Messages().WideMess(27));
        QTest::qWait(100);
        QCOMPARE(int(RequestsWithoutZonePolls(module).size()), before);

        // Yes: the restore request (CAN memory, its array 3 bytes long), the
        // cycle's closing write, the read: the window shows the factory settings.
        const auto yes = Answer(QMessageBox::Yes);
        QSignalSpy applied(&app.Cycle(), &TMapCycle::ApplyRequested);
        app.Ui().DefaultButton->click();
        QTRY_VERIFY(*yes);
        QTRY_VERIFY_WITH_TIMEOUT(applied.count() > 0, 15000);
        QVERIFY(app.WaitForRead());
        // The settings as read before the reset were kept first.
        QCOMPARE(QDir(app.Dir.filePath("Backups/RV5K00123456"))
                     .entryList({QStringLiteral("*.tpl")}, QDir::Files)
                     .size(),
                 1);
        const QList<QByteArray> sent = RequestsWithoutZonePolls(module).mid(before);
        QByteArray restore(65, '\0');
        restore[1] = 0x10;
        restore[2] = 0x03;
        restore[3] = char(0x14);
        restore[4] = char(0x99);
        restore[5] = 0x01;
        QVERIFY(!sent.isEmpty());
        QCOMPARE(sent.first().toHex(), restore.toHex());
        std::map<quint8, quint8> expected = Values(profile.Defaults);
        expected[0x11] = 1; // every save ends with it
        QCOMPARE(Values(module.Map()), expected);
        QCOMPARE(app.Form()->CanSettingsPanel()->PinEdit()->text(), QStringLiteral("1111"));
        // The car was reset: "Auto" and no "Current" after the read.
        QVERIFY(app.Form()->CarPage()->ModeChoice(CarModeAuto)->isChecked());
    }

    void setDefaultThroughTheBase() {
        TAppFixture app;
        QVERIFY(app.OpenReadThroughBase(DemoBaseProfile()));
        TSimRadioBase& base = app.Base();
        base.ClearRecords();
        const auto yes = Answer(QMessageBox::Yes);
        QSignalSpy applied(&app.Cycle(), &TMapCycle::ApplyRequested);
        app.Ui().DefaultButton->click();
        QTRY_VERIFY(*yes);
        QTRY_VERIFY_WITH_TIMEOUT(applied.count() > 0, 20000);
        QVERIFY(app.WaitForRead());
        // The zone status the window asks for on its own may come between.
        QList<QByteArray> relays = base.Relays();
        relays.removeAll(ZoneStatusRelay());
        QVERIFY(!relays.isEmpty());
        QCOMPARE(relays.first().toHex(), QByteArray("149901"));
        QCOMPARE(Values(base.Module(0).Map())[0x06], quint8(0xFF));
        // The base never tells the engine start block: its page stays hidden.
        QVERIFY(!PageShown(app));
    }

    void enginePageFollowsTheBlocks() {
        TSimRv5kModule module(QuietDemo());
        TAppFixture app;
        app.Open();
        QVERIFY(!PageShown(app));
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        QVERIFY(!PageShown(app)); // no block yet
        TEngineStartPage* page = app.Form()->EngineFeature()->Page();
        module.QueueResponse(EngineBlock(0x01, 6));
        QTRY_VERIFY(PageShown(app));
        QCOMPARE(page->PeriodList()->currentText(), QStringLiteral("6"));
        // A new block changes the page.
        module.QueueResponse(EngineBlock(0x01, 8));
        QTRY_COMPARE(page->PeriodList()->currentText(), QStringLiteral("8"));

        // Gone: hidden; back: hidden until a new block comes.
        app.Bus().Unplug(&module);
        QTRY_VERIFY(!PageShown(app));
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead());
        QTest::qWait(200);
        QVERIFY(!PageShown(app));
        module.QueueResponse(EngineBlock(0x00, 25)); // a period out of its list
        QTRY_VERIFY(PageShown(app));
        QCOMPARE(page->PeriodList()->currentText(), QStringLiteral("8"));
        QVERIFY(page->Details(AutoStartBlock::Periodic)->isHidden());
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestDefaultsEngine)
#include "tst_defaults_engine.moc"
