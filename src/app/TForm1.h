#pragma once
// The main window. It composes: its controls, the language table and switch,
// the shell that serves the program's logic (boxes, waits, progress), the
// session that owns both links, and the features built on them. It runs the
// creation steps in their fixed order and closes the program down.

#include "MainWindowUi.h"
#include "ServiceModes.h"
#include "i18n/MessageTable.h"

#include <QMainWindow>
#include <memory>

class QTimer;
class ILink;
class THFLatcher;
class THidLayer;
class TBaseSelection;
class TCanSettings;
class TCanSettingsFeature;
class TCanSettingsPanel;
class TEngineFeature;
class TCarPage;
class TCarSelection;
class TDiagnosticsFeature;
class TForm5;
class TForm7;
class TFormHyper;
class TLanguageSwitch;
class TUpdatesFeature;
class TRV5K;
class TSession;
class TWindowShell;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int StatusIntervalMs = 200;
    static constexpr int CloseStepMs = 100;

    // The HID layer belongs to the caller and outlives the window.
    explicit TForm1(THidLayer* hidLayer, QWidget* parent = nullptr);
    ~TForm1() override;

    void AttachProgressWindow(TForm5* progress);
    void AttachSelectBaseWindow(TForm7* selectBase);
    void AttachDownloadWindow(TFormHyper* downloads);
    // The last creation step, once every window exists: the language file
    // and the stored language.
    void StartUp();

    // The session's answers, for the window's own parts and the tests.
    int ActiveLink() const;
    ILink* ActiveLinkObject() const;
    int LinkBusy() const;
    void WaitWithEvents(int milliseconds);
    int ShowMessageBox(const QString& text, int kind, int buttons);
    // An OK box for a notice that may come before the window is shown: it
    // waits for the event loop, so that it shows above the window.
    void ShowNotice(const QString& text, int kind);
    void ShowSettingsPanel(bool visible);
    bool SettingsPanelVisible() const;
    void ShowProgress(int messageNumber);
    void HideProgress();
    // Reads the module's settings a moment later (as on connect).
    void StartConnectRead();

    TSession& Session() const { return *Core; }
    TWindowShell& Shell() const { return *WindowShell; }
    TRV5K* ModuleLink() const;
    THFLatcher* BaseLink() const;
    TBaseSelection* BaseSelector() const;
    THidLayer* HidLayer() const { return Hid; }
    const TMessageTable& Messages() const { return MessageTable; }
    TLanguageSwitch* Languages() const { return LanguageSwitch; }
    TMainWindowUi& Controls() { return Ui; }
    bool ServiceMode() const { return Modes.ServiceMode; }
    bool TesterMode() const { return Modes.TesterMode; }

    // Set once the language file has been read.
    bool LanguagesLoaded = false;
    TCanSettings* CanSettings() const;
    TCanSettingsPanel* CanSettingsPanel() const;
    TCarSelection* CarSelection() const;
    TCarPage* CarPage() const;
    TUpdatesFeature* UpdatesFeature() const { return Updates; }
    TEngineFeature* EngineFeature() const { return Engine; }
    TDiagnosticsFeature* DiagnosticsFeature() const { return Diagnostics; }

signals:
    // The window has closed; the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Creation steps.
    void HidePage(QWidget* page);
    void OwnerDrawTabs();
    void AdaptToSmallScreen();
    void LanguageStartUp(); // comps.txt and the stored language
    void ConnectSession();
    void CreateShortcuts();
    void LanguageChanged();

    void StatusTimerTick();
    // The status bar's and the main window's words for what the module does.
    void ShowModuleState();
    void DevicePermissionDenied(const QString& path, quint16 vendorId, quint16 productId);
    void ShowPendingNotices();

    void CloseQuery();
    void CloseDown();

    TMainWindowUi Ui;
    TMessageTable MessageTable;
    TServiceModes Modes;
    THidLayer* Hid;
    TWindowShell* WindowShell;
    TLanguageSwitch* LanguageSwitch = nullptr;
    std::unique_ptr<TSession> Core;
    TCanSettingsFeature* Can = nullptr;
    TUpdatesFeature* Updates = nullptr;
    TEngineFeature* Engine = nullptr;
    TDiagnosticsFeature* Diagnostics = nullptr;
    QTimer* StatusTimer;
    bool PermissionNoticeShown = false;
    bool EventLoopRunning = false;
    QList<std::pair<QString, int>> PendingNotices;
    bool CloseStarted = false;
};
