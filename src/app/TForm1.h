#pragma once
// The main window. It composes the module link, the connect read, the waits,
// the message box and the progress window, and runs the start-up steps in
// their fixed order. The other parts reach the active link and these shared
// operations through it.

#include "MainWindowUi.h"
#include "ReadHost.h"
#include "ServiceModes.h"
#include "base/BaseSelection.h"
#include "cansettings/CanSettingsHost.h"
#include "i18n/MessageTable.h"
#include "link/Bytes.h"

#include <QMainWindow>
#include <QPointer>

class QTimer;
class THidLayer;
class TConnectRead;
class TEventWaiter;
class TCanSettings;
class TCanSettingsPanel;
class TCarPage;
class TCarSelection;
class TForm5;
class TForm7;
class THFLatcher;
class TLanguageSwitch;
class TRV5K;

class TForm1 : public QMainWindow,
               private IReadHost,
               private ICanSettingsHost,
               private IBaseSelectionHost {
    Q_OBJECT
public:
    static constexpr int MinimumFirmware = 603;
    static constexpr int StatusIntervalMs = 200;
    static constexpr int StartUpDelayMs = 100;
    static constexpr int InstallationPollMs = 100;
    static constexpr int TimeOutMs = 1000;
    static constexpr int CloseStepMs = 100;

    // The HID layer belongs to the caller and outlives the window.
    explicit TForm1(THidLayer* hidLayer, QWidget* parent = nullptr);
    ~TForm1() override;

    void AttachProgressWindow(TForm5* progress);
    void AttachSelectBaseWindow(TForm7* selectBase);

    // 1: the module over USB, 2: a module through the base, 0: none.
    int ActiveLink() const override;
    // The link that carries module operations now; none for 0.
    IModuleOperations* ActiveLinkObject() const override;
    // Non-zero while the active link's read runs.
    int LinkBusy() const override;
    // Keeps events flowing for the interval; at once in template mode.
    void WaitWithEvents(int milliseconds) override;
    // Waits, with events flowing, while device installations are pending.
    void WaitForInstallations() override;
    int ShowMessageBox(const QString& text, int kind, int buttons) override;
    // An OK box for a notice that may come before the language file has been
    // read: it waits for the start-up step, so its title and button are in
    // the user's language.
    void ShowNotice(const QString& text, int kind);
    // The page control with "Save" and "Set default".
    void ShowSettingsPanel(bool visible) override;
    bool SettingsPanelVisible() const;
    void ShowProgress(int messageNumber) override;
    void HideProgress() override;
    void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4);
    // Reads the module's settings a moment later (as on connect).
    void StartConnectRead() override;

    TRV5K* ModuleLink() const { return Link; }
    THFLatcher* BaseLink() const { return Base; }
    TBaseSelection* BaseSelector() const { return Selection; }
    THidLayer* HidLayer() const { return Hid; }
    const TMessageTable& Messages() const { return MessageTable; }
    // The language list and the change of language.
    TLanguageSwitch* Languages() const { return LanguageSwitch; }
    TMainWindowUi& Controls() { return Ui; }
    // One-shot one-second limit for the links and the map cycle.
    QTimer* TimeOutTimer() const override { return TimeOut; }
    bool ServiceMode() const { return Modes.ServiceMode; }
    bool TesterMode() const { return Modes.TesterMode; }

    // Set once the language file has been read; the password box waits for it.
    bool LanguagesLoaded = false;
    // The catalogue, the two trees, the function map and its cycle.
    TCanSettings* CanSettings() const { return Can; }
    TCanSettingsPanel* CanSettingsPanel() const { return CanPanel; }
    // The car list and the car page's modes and lists.
    TCarSelection* CarSelection() const { return Cars; }
    TCarPage* CarPage() const { return CarControls; }

signals:
    // The window has closed; the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Creation steps.
    void HidePage(QWidget* page);
    void OwnerDrawTabs();
    void AdaptToSmallScreen();
    void LoadCatalogue();   // Functions.csv into the trees
    void LoadCarDatabase(); // CANDATA_FULL.csv from the data folder
    void StartAutoUpdate(); // AutoUpdate box and the update check timer
    void CreateModuleLink();
    void CreateBaseLink();  // the base link and its receivers
    void LanguageStartUp(); // comps.txt and the stored language

    // Receivers.
    void ModuleConnected();
    void ModuleDisconnected();
    void StatusTimerTick(); // lamps and zone status polling
    void ModuleState();     // state monitor
    void ModuleUsart();     // modem traffic log
    void ModemData() {}     // exists so the response still reaches the read sequence
    void MapPage(quint8 page, const tduomenys& fns); // function map pages of the read
    void DevicePermissionDenied(const QString& path, quint16 vendorId, quint16 productId);
    void ForgetBaseModule(); // the base's selected module and its ping
    bool BaseLinkConnected() const;
    void BaseLost();   // the base went while it carried the settings
    void ResetTrees(); // both parameter trees back to empty

    // IReadHost.
    bool ReadOnConnectChecked() const override;
    bool ModuleLocked() const override;
    bool ModuleStatusKnown() const override;
    bool LanguagesAreLoaded() const override { return LanguagesLoaded; }
    bool AskUsbPassword(QByteArray* password) override;
    void SendUsbPassword(const QByteArray& password) override;
    void EnableWindow() override { setEnabled(true); }
    bool ProgressShowing() const override;
    bool MapBeingRead() const override;
    void ClearReadError() override;
    bool ReadFailed() const override;
    void ResetReadFlags() override;
    void ShowReadFailed() override;
    void ReadSucceeded() override; // the pending update list check

    // ICanSettingsHost.
    IModuleOperations* ModuleLinkObject() const override;
    IModuleOperations* BaseLinkObject() const override;
    QString Message(int number) const override { return MessageTable.WideMess(number); }
    void SetWindowEnabled(bool enabled) override { setEnabled(enabled); }
    void StartReRead() override { StartConnectRead(); }
    bool Recording() const override;
    bool BaseSetPending() const override;
    void BaseTrace(const QString& text) override;
    void ClearBaseTrace() override;
    void StartBasePing() override;
    void CreateCanSettings();
    void SaveClicked();
    // IBaseSelectionHost.
    bool ModuleLinkActive() const override;
    bool ReadCycleRunning() const override { return MapBeingRead(); }
    bool WindowEnabled() const override { return isEnabled(); }
    int ChooseModule(const QStringList& rows) override;

    void CloseQuery();
    void CloseDown();

    TMainWindowUi Ui;
    TMessageTable MessageTable;
    TServiceModes Modes;
    THidLayer* Hid;
    TRV5K* Link = nullptr;
    THFLatcher* Base = nullptr;
    TBaseSelection* Selection = nullptr;
    QPointer<TForm7> SelectBaseWindow;
    TConnectRead* Reader = nullptr;
    TLanguageSwitch* LanguageSwitch = nullptr;
    TCanSettings* Can = nullptr;
    TCanSettingsPanel* CanPanel = nullptr;
    TCarSelection* Cars = nullptr;
    TCarPage* CarControls = nullptr;
    TEventWaiter* Waiter;
    QPointer<TForm5> Progress;
    QTimer* StatusTimer;
    QTimer* TimeOut;
    bool PermissionNoticeShown = false;
    bool LanguageStartUpDone = false;
    QList<std::pair<QString, int>> PendingNotices;
    bool CloseStarted = false;
};
