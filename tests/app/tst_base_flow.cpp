// What the main window does with a radio base on the simulated bus: the scan,
// the "Select base" window, the read through the base, the too-old module,
// the base going away and a USB module taking over.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "base/THFLatcher.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "session/BaseSelection.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRv5kModule.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
TSimRadioModuleProfile RadioModule(quint32 serial, quint8 major, quint8 minor) {
    TSimRadioModuleProfile module;
    module.RadioSerial = serial;
    module.Major = major;
    module.Minor = minor;
    for (int i = 0; i < 30; ++i)
        module.Memory.Map.push_back({quint8(0x10 + i), quint8(i)});
    module.Memory.WriteProgram = QByteArray::fromHex("0001020405");
    return module;
}

TSimBaseProfile ThreeModules() {
    TSimBaseProfile base;
    base.BusyMs = 2;
    base.Modules = {RadioModule(197121, 6, 12), RadioModule(4660, 6, 5), RadioModule(70000, 6, 2)};
    return base;
}

struct TBaseFlow : TAppFixture {
    TBaseFlow() {
        Base = std::make_unique<TSimRadioBase>(ThreeModules());
        TSimProfile usb;
        usb.ProductString = QStringLiteral("RV5K CAN v6.12");
        usb.SerialNumber = QStringLiteral("U1");
        usb.Map = {{0x10, 1}};
        Usb = std::make_unique<TSimRv5kModule>(usb);
        Open();
        Bus().Plug(Base.get());
    }
    ~TBaseFlow() { Windows.reset(); }

    // Scans and clicks the given row of the "Select base" window; the rows
    // it showed.
    QStringList ScanAndChoose(int row) {
        QStringList rows;
        [[maybe_unused]] const bool chosen = ChooseThroughBase(row, &rows);
        return rows;
    }

    std::unique_ptr<TSimRadioBase> Base;
    std::unique_ptr<TSimRv5kModule> Usb;
};
} // namespace

class TestBaseFlow : public QObject {
    Q_OBJECT
private slots:
    void scanChooseAndReadThroughTheBase() {
        TBaseFlow flow;
        QTRY_VERIFY_WITH_TIMEOUT(flow.Ui().ScanBaseButton->isVisible(), 3000);
        QCOMPARE(flow.Form()->ActiveLink(), 0);
        const QStringList rows = flow.ScanAndChoose(0);
        QCOMPARE(rows, (QStringList{QStringLiteral("RV5K.XOLT v6.12\tSN:197121"),
                                    QStringLiteral("RV5K.XOLT v6.5\tSN:4660"),
                                    QStringLiteral("RV5K.XOLT v6.2\tSN:70000")}));
        QVERIFY(flow.Ui().ScanningLabel->isHidden());
        QCOMPARE(flow.Status(), QStringLiteral("RV5K.XOLT v6.12\tSN:197121"));
        QCOMPARE(flow.Form()->ActiveLink(), 2);
        QCOMPARE(flow.Form()->ActiveLinkObject(), static_cast<ILink*>(flow.Form()->BaseLink()));
        // The read on connect runs through the base and ends with the panel.
        QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
        QVERIFY(!flow.Form()->BaseLink()->KlaidaNuskaitant());
        QVERIFY(flow.Form()->isEnabled());
        int pages = 0;
        for (const QByteArray& relay : flow.Base->Relays())
            pages += quint8(relay.at(0)) == 0x3E;
        QCOMPARE(pages, 5); // 30 slots in pages of 6
        QVERIFY(flow.Ui().Label2->isHidden());
    }

    void tooOldModuleIsRefused() {
        TBaseFlow flow;
        QTRY_VERIFY_WITH_TIMEOUT(flow.Ui().ScanBaseButton->isVisible(), 3000);
        flow.ScanAndChoose(2);
        QCOMPARE(flow.Status(), QStringLiteral("RV5K.XOLT v6.2\tSN:70000"));
        QVERIFY(!flow.Ui().Label2->isHidden());
        QCOMPARE(flow.Form()->ActiveLink(), 0);
        QTest::qWait(300);
        QVERIFY(!flow.Form()->SettingsPanelVisible());
        for (const QByteArray& relay : flow.Base->Relays())
            QCOMPARE(quint8(relay.at(0)), 0x30); // pings only: nothing read
    }

    void usbModuleTakesOverAndBaseComesBack() {
        TBaseFlow flow;
        QTRY_VERIFY_WITH_TIMEOUT(flow.Ui().ScanBaseButton->isVisible(), 3000);
        flow.ScanAndChoose(1);
        QCOMPARE(flow.Form()->ActiveLink(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
        flow.Bus().Plug(flow.Usb.get());
        QTRY_COMPARE_WITH_TIMEOUT(flow.Form()->ActiveLink(), 1, 3000);
        QVERIFY(!flow.Form()->BaseSelector()->ModuleSelected());
        QVERIFY(flow.Ui().ScanBaseButton->isHidden());
        QVERIFY(!flow.Form()->BaseSelector()->RV5KPingTimer()->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
        // The USB module goes; the base is still there, so the scan button returns.
        flow.Bus().Unplug(flow.Usb.get());
        QTRY_VERIFY_WITH_TIMEOUT(flow.Ui().ScanBaseButton->isVisible(), 3000);
        QCOMPARE(flow.Form()->ActiveLink(), 0);
    }

    void baseUnpluggedWhileActive() {
        TBaseFlow flow;
        QTRY_VERIFY_WITH_TIMEOUT(flow.Ui().ScanBaseButton->isVisible(), 3000);
        flow.ScanAndChoose(0);
        QTRY_VERIFY_WITH_TIMEOUT(flow.Form()->SettingsPanelVisible(), 8000);
        flow.Bus().Unplug(flow.Base.get());
        QTRY_VERIFY_WITH_TIMEOUT(!flow.Form()->SettingsPanelVisible(), 3000);
        QVERIFY(flow.Ui().ScanBaseButton->isHidden());
        QCOMPARE(flow.Status(), QStringLiteral("No Module"));
        QCOMPARE(flow.Form()->ActiveLink(), 0);
        // Plugged in again, the module chosen before is the active link at once.
        flow.Bus().Plug(flow.Base.get());
        QTRY_COMPARE_WITH_TIMEOUT(flow.Form()->ActiveLink(), 2, 3000);
        QVERIFY(flow.Ui().ScanBaseButton->isVisible());
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestBaseFlow)
#include "tst_base_flow.moc"
