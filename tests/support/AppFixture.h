#pragma once
// The program's windows on a simulated bus, as the end-to-end tests use them:
// a fresh data folder (RV5K_APPDATA), a working folder with the shipped
// catalogue, the windows created in their order and the main window shown.
// The tests plug their simulated module or base in; the fixture waits for
// reads and saves, chooses a module through the base, and finds rows of the
// trees (TTreeLookup).

#include "ModalHelper.h"
#include "app/AppWindows.h"
#include "app/HidLayerFactory.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "app/TForm7.h"
#include "cansettings/CanSettings.h"
#include "cansettings/MapCycle.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/ParamTreeView.h"
#include "link/hid/SimHidBus.h"
#include "session/Session.h"
#include "sim/SimRadioBase.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Rows of a parameter tree as the window shows them.
struct TTreeLookup {
    TParamTreeModel* Model;
    TParamTreeView* View = nullptr;

    // The first function (or flag with this mask) with this FN.
    TParamNode* Function(quint8 fn, int flagMask = -1) const {
        TParamNode* found = nullptr;
        Model->Tree().ForEach([&](TParamNode& node) {
            if (!found && node.Level() == 1 && node.Data.Number == fn &&
                (flagMask < 0 ? !node.Data.IsFlag
                              : node.Data.IsFlag && node.Data.AssignedFn1 == flagMask))
                found = &node;
        });
        return found;
    }
    QString Cell(const TParamNode* node, int column) const {
        return Model->data(Model->IndexOf(node, column)).toString();
    }
    bool Checked(const TParamNode* node) const {
        return Model->data(Model->IndexOf(node), Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    bool Shown(const TParamNode* node) const {
        const QModelIndex index = Model->IndexOf(node);
        return !View->isRowHidden(index.row(), index.parent());
    }
    // The checked option of a function, or -1.
    int CheckedOption(const TParamNode* function) const {
        for (int i = 0; i < function->ChildCount(); ++i)
            if (Checked(function->Child(i)))
                return i;
        return -1;
    }
};

struct TAppFixture {
    // The windows on a plain simulated bus; the test plugs devices in.
    TAppFixture() {
        Backend.Layer = std::make_unique<TSimHidBus>();
        Backend.SimBus = static_cast<TSimHidBus*>(Backend.Layer.get());
        Prepare();
    }
    // The program's own choice of HID layer, from a simulator profile file.
    explicit TAppFixture(const QString& simulatorProfile) {
        qputenv(THidLayerFactory::SimulatorVariable, simulatorProfile.toLocal8Bit());
        Backend = THidLayerFactory::Create();
        qunsetenv(THidLayerFactory::SimulatorVariable);
        Prepare();
    }
    ~TAppFixture() {
        Windows.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // Creates the windows and shows the main window.
    void Open() {
        Windows = std::make_unique<TAppWindows>(Backend.Layer.get());
        Form()->show();
    }
    // The windows with a radio base of this profile plugged in, its first
    // module chosen and read; the base, for a look at what it relayed.
    bool OpenReadThroughBase(const TSimBaseProfile& profile) {
        Backend.SimBase = std::make_unique<TSimRadioBase>(profile);
        Open();
        Bus().Plug(Backend.SimBase.get());
        return ChooseThroughBase(0) && WaitForRead();
    }
    TSimRadioBase& Base() const { return *Backend.SimBase; }
    // A new main window, as after a restart; the devices stay on the bus.
    void Restart() {
        Windows.reset();
        Open();
    }

    TSimHidBus& Bus() const { return *Backend.SimBus; }
    TForm1* Form() const { return Windows->Form1(); }
    TForm5* Progress() const { return Windows->Form5(); }
    TMainWindowUi& Ui() const { return Form()->Controls(); }
    TSession& Session() const { return Form()->Session(); }
    QString Status() const { return Ui().StatusLabel->text(); }
    TMapCycle& Cycle() const { return Form()->CanSettings()->Cycle(); }
    TTreeLookup Settings() const {
        return {Form()->CanSettings()->SettingsModel(), Form()->CanSettingsPanel()->VT()};
    }

    // Settings read, panel up, nothing running, no progress window.
    bool WaitForRead(int timeoutMs = 15000) const {
        return QTest::qWaitFor(
            [this] {
                return Form()->LanguagesLoaded && Form()->SettingsPanelVisible() &&
                       !Cycle().ReadingMap() && Form()->LinkBusy() == 0 && !Progress()->isVisible();
            },
            timeoutMs);
    }
    // Presses "Save" (its review answered "Save") and waits for the writes
    // and the read that follows.
    bool Save(int timeoutMs = 20000) const {
        QSignalSpy applied(&Cycle(), &TMapCycle::ApplyRequested);
        TReviewAnswer review(true);
        Ui().SaveButton->click();
        return QTest::qWaitFor([&] { return applied.count() > 0; }, timeoutMs) && WaitForRead();
    }
    // "Scan for another base", then a click on the row of the "Select base"
    // window; rows gets the texts it showed.
    bool ChooseThroughBase(int row, QStringList* rows = nullptr) const {
        if (!QTest::qWaitFor([this] { return Ui().ScanBaseButton->isVisible(); }, 3000))
            return false;
        auto seen = WhenModal(
            [row, rows](QWidget* modal) {
                auto* window = qobject_cast<TForm7*>(modal);
                if (!window)
                    return;
                QListWidget* list = window->BaseList();
                for (int i = 0; rows && i < list->count(); ++i)
                    *rows << list->item(i)->text();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(row)).center());
            },
            8000);
        Ui().ScanBaseButton->click();
        return QTest::qWaitFor([&] { return *seen && Windows->Form7()->isHidden(); }, 8000);
    }

    QTemporaryDir Dir;
    THidBackend Backend;
    std::unique_ptr<TAppWindows> Windows;

private:
    void Prepare() {
        qputenv("RV5K_APPDATA", Dir.path().toLocal8Bit());
        // The catalogue is read from the working folder.
        QFile::copy(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/Functions.csv",
                    Dir.filePath("Functions.csv"));
        QDir::setCurrent(Dir.path());
    }
};
