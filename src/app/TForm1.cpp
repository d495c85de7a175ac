#include "TForm1.h"

#include "CanSettingsFeature.h"
#include "DiagnosticsFeature.h"
#include "EngineFeature.h"
#include "HintStyle.h"
#include "LanguageSwitch.h"
#include "TForm5.h"
#include "TForm7.h"
#include "UpdatesFeature.h"
#include "WindowShell.h"
#include "files/AppFolders.h"
#include "files/SettingsFile.h"
#include "link/TRV5K.h"
#include "link/hid/HidLayer.h"
#include "session/BaseSelection.h"
#include "session/ConnectRead.h"
#include "session/Session.h"
#include "ui/ReadingOrder.h"

#include "cansettings/CanSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {
constexpr int SmallScreenHeight = 700;
constexpr int SmallScreenExtraWidth = 20;
constexpr int SmallScreenMargin = 150;
constexpr int ScrollRange = 660;
} // namespace

TForm1::TForm1(THidLayer* hidLayer, QWidget* parent)
    : QMainWindow(parent), Hid(hidLayer), StatusTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("RV5K Loader"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    Ui.Setup(this);
    WindowShell = new TWindowShell(this, Ui, MessageTable, this);
    LanguageSwitch = new TLanguageSwitch(
        MessageTable,
        {this, Ui.LanguageBox, Ui.StatusLabel, [this] { return ActiveLink() == 0; },
         [this](const QString& error) { ShowNotice(error, Box::Error); }},
        this);
    Core = std::make_unique<TSession>(Hid, *WindowShell);
    Can = new TCanSettingsFeature(*Core, Ui, this);
    Updates = new TUpdatesFeature(*Core, *Can, this);
    Engine = new TEngineFeature(*Core, *Can->Settings(), Ui, this);
    connect(LanguageSwitch, &TLanguageSwitch::LanguageChanged, this, &TForm1::LanguageChanged);
    connect(StatusTimer, &QTimer::timeout, this, &TForm1::StatusTimerTick);

    LanguagesLoaded = false;
    HidePage(Ui.TabAutoStart);
    OwnerDrawTabs();
    AdaptToSmallScreen();
    THintStyle::Install();
    Can->LoadFiles();
    Updates->Start();
    Ui.PageControl1->setCurrentIndex(0);
    Modes = TServiceModes::FromCode(ReadSetting("Settings", "Code", "0"));
    if (!Modes.ServiceMode)
        HidePage(Ui.TabLog);
    Diagnostics = new TDiagnosticsFeature(*Core, *Can->Settings(), Ui, Modes.ServiceMode, this);
    StatusTimer->start(StatusIntervalMs);
    if (!Modes.TesterMode)
        ShowSettingsPanel(false);
    ConnectSession();
    CreateShortcuts();
    // Told from inside device discovery: the notice waits for the event loop.
    connect(Hid, &THidLayer::PermissionDenied, this, &TForm1::DevicePermissionDenied,
            Qt::QueuedConnection);
    QTimer::singleShot(0, this, &TForm1::ShowPendingNotices);
}

TForm1::~TForm1() = default;

bool TForm1::focusNextPrevChild(bool next) {
    // The pages' controls come and go with the module and the language: the
    // path is laid anew from what the window shows at each press of Tab.
    QList<QWidget*> order;
    if (auto* tabs = Ui.PageControl1->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly))
        order << tabs;
    if (QWidget* page = Ui.PageControl1->currentWidget())
        order << ReadingOrder::Controls(page);
    for (QWidget* control : ReadingOrder::Controls(Ui.Content))
        if (control != Ui.PageControl1 && !Ui.PageControl1->isAncestorOf(control))
            order << control;
    order << ReadingOrder::Controls(Ui.BottomBar);
    ReadingOrder::Chain(order);
    return QMainWindow::focusNextPrevChild(next);
}

void TForm1::CreateShortcuts() {
    // A key does what a click on its button does, and only while that button
    // could be clicked: never during a read, never while it is hidden.
    const auto clickKey = [this](QPushButton* button, const QKeySequence& keys) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isVisible() && button->isEnabled())
                button->click();
        });
        THintStyle::SetShortcutText(button, keys);
    };
    clickKey(Ui.SaveButton, QKeySequence::Save);
    clickKey(Ui.ReadAgainButton, QKeySequence(Qt::Key_F5));
}

void TForm1::AttachProgressWindow(TForm5* progress) {
    WindowShell->AttachProgressWindow(progress);
}

void TForm1::AttachSelectBaseWindow(TForm7* selectBase) {
    WindowShell->AttachSelectBaseWindow(selectBase);
}

void TForm1::AttachDownloadWindow(TFormHyper* downloads) {
    Updates->AttachDownloadWindow(downloads);
}

void TForm1::StartUp() {
    // The language goes first: no device is found before the event loop runs,
    // so every box, status text and progress line of a module already plugged
    // in is in the user's language from its first moment.
    LanguageStartUp();
}

void TForm1::HidePage(QWidget* page) {
    Ui.PageControl1->setTabVisible(Ui.PageControl1->indexOf(page), false);
}

void TForm1::OwnerDrawTabs() {
    Ui.PageControl1->setAttribute(Qt::WA_StyledBackground);
    // Tabs filled with the window's white, each caption on one line, centred,
    // 4 pixels below the tab's top; the pages are white as well.
    Ui.PageControl1->setStyleSheet(
        QStringLiteral("QTabWidget#PageControl1 { background: white; }"
                       "QTabWidget::pane { border: 1px solid #b4b4b4; background: white; }"
                       "QTabWidget > QStackedWidget { background: white; }"
                       "QTabBar::tab { background: white; color: black; border: 1px solid #b4b4b4;"
                       " border-bottom: none; padding: 4px 10px 4px 10px; margin-right: 1px; }"
                       "QTabBar::tab:!selected { margin-top: 2px; color: #404040; }"));
}

void TForm1::AdaptToSmallScreen() {
    setMinimumSize(TMainWindowUi::MinimumWidth, TMainWindowUi::MinimumHeight);
    const QScreen* display = screen();
    if (!display || display->availableGeometry().height() >= SmallScreenHeight) {
        resize(TMainWindowUi::DesignWidth, TMainWindowUi::DesignHeight);
        return;
    }
    // The window does not fit: its pages scroll, the bottom bar stays in view.
    Ui.Content->setMinimumHeight(ScrollRange - Ui.BottomBar->sizeHint().height());
    Ui.ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Ui.ScrollBox->verticalScrollBar()->setTracking(true);
    resize(TMainWindowUi::DesignWidth + SmallScreenExtraWidth,
           display->geometry().height() - SmallScreenMargin);
}

void TForm1::ConnectSession() {
    TSession& session = *Core;
    session.SetReadOnConnect(Ui.ReadOnConnectBox->isChecked());
    connect(Ui.ReadOnConnectBox, &QCheckBox::toggled, &session, &TSession::SetReadOnConnect);
    connect(&session, &TSession::StatusText, Ui.StatusLabel, &QLabel::setText);
    connect(&session, &TSession::TooOldVisible, Ui.Label2, &QWidget::setVisible);
    connect(&session, &TSession::ModuleStateChanged, this, &TForm1::ShowModuleState);
    connect(&session, &TSession::ScanButtonVisible, Ui.ScanBaseButton, &QWidget::setVisible);
    connect(&session, &TSession::ScanningVisible, Ui.ScanningLabel, &QWidget::setVisible);
    connect(&session, &TSession::PingTimeOutVisible, Ui.PingTimeOutLabel, &QWidget::setVisible);
    connect(&session, &TSession::ShownModuleGone, this, [this] {
        ShowSettingsPanel(false);
        HidePage(Ui.TabAutoStart);
    });
    connect(Ui.ScanBaseButton, &QPushButton::clicked, session.Selection(), &TBaseSelection::Scan);
    connect(Ui.ReadSettingsButton, &QPushButton::clicked, &session, &TSession::StartConnectRead);
    connect(Ui.ReadAgainButton, &QPushButton::clicked, &session, &TSession::ReadNow);
}

void TForm1::LanguageStartUp() {
    if (LanguageSwitch->LoadLanguages(ProgramFolder() + QStringLiteral("comps.txt"))) {
        LanguagesLoaded = true;
        WindowShell->SetLanguagesLoaded(true);
        LanguageSwitch->StartUp();
    }
}

void TForm1::ShowModuleState() {
    const QString text = Core->StateText();
    Ui.StateLabel->setText(text);
    Ui.StateLabel->setVisible(!text.isEmpty());
    // "Please connect TLX2 module..." only while no module is there; a module
    // too old to be read says why, once, with both versions.
    Ui.Label1->setVisible(Core->ModuleState() == TModuleState::None);
    if (const QString reason = Core->TooOldText(); !reason.isEmpty())
        Ui.Label2->setText(reason);
}

void TForm1::LanguageChanged() {
    ShowModuleState();
    Can->LanguageChanged(MessageTable);
    Updates->LanguageChanged();
    Engine->LanguageChanged();
}

void TForm1::ShowNotice(const QString& text, int kind) {
    if (EventLoopRunning)
        ShowMessageBox(text, kind, Box::Ok);
    else
        PendingNotices.append({text, kind});
}

void TForm1::ShowPendingNotices() {
    EventLoopRunning = true;
    const QList<std::pair<QString, int>> notices = std::exchange(PendingNotices, {});
    for (const auto& [text, kind] : notices)
        ShowMessageBox(text, kind, Box::Ok);
}

void TForm1::StatusTimerTick() {
    // The way back to the settings after a failed read, a cancelled password
    // box, or with "Read MQR-CAN settings on connect" cleared.
    Ui.ReadAgainButton->setVisible(Core->ActiveLink() != 0 && Ui.Label2->isHidden());
    Diagnostics->StatusTick();
}

void TForm1::DevicePermissionDenied(const QString& path, quint16 vendorId, quint16 productId) {
    if (PermissionNoticeShown)
        return;
    PermissionNoticeShown = true;
    const QString text =
        QStringLiteral(
            "A device for RV5K Loader (USB %1:%2) was found at %3, but this user is not "
            "allowed to open it.\n\nInstall the udev rule packaging/linux/99-rv5k-loader.rules "
            "into /etc/udev/rules.d/, reload the rules (sudo udevadm control --reload-rules && "
            "sudo udevadm trigger), then unplug the device and plug it in again. "
            "docs/linux-usb.md tells the steps in full.")
            .arg(vendorId, 4, 16, QLatin1Char('0'))
            .arg(productId, 4, 16, QLatin1Char('0'))
            .arg(path);
    ShowNotice(text, Box::Warning);
}

int TForm1::ActiveLink() const {
    return Core->ActiveLink();
}

ILink* TForm1::ActiveLinkObject() const {
    return Core->Active();
}

int TForm1::LinkBusy() const {
    return Core->LinkBusy();
}

void TForm1::WaitWithEvents(int milliseconds) {
    Core->WaitWithEvents(milliseconds);
}

int TForm1::ShowMessageBox(const QString& text, int kind, int buttons) {
    return WindowShell->ShowMessageBox(text, kind, buttons);
}

void TForm1::ShowSettingsPanel(bool visible) {
    WindowShell->ShowSettingsPanel(visible);
}

bool TForm1::SettingsPanelVisible() const {
    return WindowShell->SettingsPanelVisible();
}

void TForm1::ShowProgress(int messageNumber) {
    WindowShell->ShowProgress(messageNumber);
}

void TForm1::HideProgress() {
    WindowShell->HideProgress();
}

void TForm1::StartConnectRead() {
    Core->StartConnectRead();
}

TRV5K* TForm1::ModuleLink() const {
    return Core->UsbLink();
}

THFLatcher* TForm1::BaseLink() const {
    return Core->BaseLink();
}

TBaseSelection* TForm1::BaseSelector() const {
    return Core->Selection();
}

TCanSettings* TForm1::CanSettings() const {
    return Can->Settings();
}

TCanSettingsPanel* TForm1::CanSettingsPanel() const {
    return Can->Panel();
}

TCarSelection* TForm1::CarSelection() const {
    return Can->Cars();
}

TCarPage* TForm1::CarPage() const {
    return Can->CarPage();
}

void TForm1::CloseQuery() {
    StatusTimer->stop();
    // From now on nothing is written, no read or password box starts, and
    // every wait in progress ends, whichever link it was on.
    Core->SetClosing();
    WindowShell->Close();
}

void TForm1::CloseDown() {
    // The pauses let reports already queued reach their receivers first.
    if (TRV5K* link = Core->UsbLink()) {
        QTimer pause;
        pause.setSingleShot(true);
        for (int step = 0; step < 3; ++step) {
            QEventLoop loop;
            connect(&pause, &QTimer::timeout, &loop, &QEventLoop::quit);
            pause.start(CloseStepMs);
            if (loop.exec() < 0)
                break; // the application is already quitting
            if (step == 0)
                disconnect(link, &TRV5K::OnState, nullptr, nullptr);
            else if (step == 1)
                disconnect(link, &TRV5K::OnUsart, nullptr, nullptr);
        }
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Unsaved changes are not dropped without a word: asked while the window
    // is idle (not in the middle of a Save, a read or another question).
    if (!CloseStarted && isEnabled() && !QApplication::activeModalWidget() &&
        !Can->Settings()->MayDropChanges(TCanSettings::CloseQuestionMessage)) {
        event->ignore();
        return;
    }
    event->accept();
    if (CloseStarted)
        return;
    CloseStarted = true;
    CloseQuery();
    CloseDown();
    emit Closed();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // An activated window starts with no control focused.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        if (QWidget* focused = focusWidget())
            focused->clearFocus();
}
