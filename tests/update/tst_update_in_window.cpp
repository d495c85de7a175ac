// The update in the running main window, against a real HTTP server on
// 127.0.0.1: the fetch at start-up, the car list replaced when the box is
// ticked, the download window after the first successful read, and the box
// that writes its setting and fetches again.

#include "AppFixture.h"
#include "LoopbackHttpServer.h"
#include "SimProfiles.h"
#include "app/UpdatesFeature.h"
#include "cansettings/CarSelection.h"
#include "cansettings/view/CarPage.h"
#include "files/SettingsFile.h"
#include "sim/SimRv5kModule.h"
#include "update/UpdateCheck.h"
#include "update/view/TFormHyper.h"

#include <QCheckBox>
#include <QtTest>

namespace {
const QString CarPath = QStringLiteral("/files/RV9Loader/CANDATA_FULL.csv");
const QString ListPath = QStringLiteral("/files/RV9Loader/Updates.txt");
const QByteArray NewCars = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\r\n"
                           "x\t1\tNewmake Alpha\t2020\t12/3\t2\r\n";
const QByteArray LoaderOffer = "rv5kl:v1.22\thttp://example.test/loader.exe\r\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct TUpdatingWindow : TAppFixture {
    explicit TUpdatingWindow(bool autoUpdate) {
        Server.Set(CarPath, TLoopbackHttpServer::Ok(NewCars));
        Server.Set(ListPath, TLoopbackHttpServer::Ok(LoaderOffer));
        qputenv("RV5K_UPDATE_SERVER", Server.Server().toLocal8Bit());
        WriteSetting("Settings", "AutoUpdate", autoUpdate ? "1" : "0");
        Open();
    }
    ~TUpdatingWindow() { qunsetenv("RV5K_UPDATE_SERVER"); }
    TUpdateCheck* Check() const { return Form()->UpdatesFeature()->Check(); }
    bool WaitForFetch() const {
        return QTest::qWaitFor(
            [this] { return Server.Requests().size() >= 2 && !Check()->Fetching(); }, 30000);
    }
    TLoopbackHttpServer Server;
};
} // namespace

class TestUpdateInWindow : public QObject {
    Q_OBJECT
private slots:
    void tickedBoxReplacesTheListAndTheReadShowsTheOffer() {
        TSimRv5kModule module(DemoProfile());
        TUpdatingWindow w(true);
        QVERIFY(w.Form()->CarPage()->AutoUpdateBox()->isChecked());
        QVERIFY(w.WaitForFetch());
        QTRY_COMPARE(ReadAll(w.Dir.filePath("CANDATA_FULL.csv")), NewCars);
        QCOMPARE(w.Form()->CarSelection()->CarDatabase().first().Make, QStringLiteral("Newmake"));
        // No offer without a successful read; the read brings it.
        QVERIFY(!w.Windows->FormHyper()->isVisible());
        w.Bus().Plug(&module);
        QVERIFY(w.WaitForRead());
        QTRY_VERIFY(w.Windows->FormHyper()->isVisible());
        QVERIFY(w.Windows->FormHyper()->LoaderPanel()->isVisibleTo(w.Windows->FormHyper()));
        QVERIFY(!w.Windows->FormHyper()->FirmwarePanel()->isVisibleTo(w.Windows->FormHyper()));
        QCOMPARE(w.Windows->FormHyper()->windowTitle(), w.Form()->windowTitle());
    }

    void untickedBoxKeepsTheListUntilTicked() {
        TUpdatingWindow w(false);
        const QByteArray shipped = ReadAll(w.Dir.filePath("CANDATA_FULL.csv"));
        QVERIFY(w.WaitForFetch());
        QCOMPARE(ReadAll(w.Dir.filePath("CANDATA_FULL_DWNLD.csv")), NewCars);
        QCOMPARE(ReadAll(w.Dir.filePath("CANDATA_FULL.csv")), shipped);
        // The box writes its setting and fetches again; now the list is replaced.
        QCheckBox* box = w.Form()->CarPage()->AutoUpdateBox();
        w.Ui().PageControl1->setVisible(true);
        box->click();
        QCOMPARE(ReadSetting("Settings", "AutoUpdate", "?"), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(w.Server.Requests().size() >= 4, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(ReadAll(w.Dir.filePath("CANDATA_FULL.csv")), NewCars, 30000);
    }
};

QTEST_MAIN(TestUpdateInWindow)
#include "tst_update_in_window.moc"
