#include "TForm1.h"

#include "files/AppFolders.h"
#include "ConnectRead.h"
#include "EventWaiter.h"
#include "HintStyle.h"
#include "LanguageSwitch.h"
#include "MessageBox.h"
#include "files/SettingsFile.h"
#include "TForm5.h"
#include "TForm7.h"
#include "base/THFLatcher.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarSelection.h"
#include "cansettings/MapCycle.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/CarPage.h"
#include "cansettings/view/ParamTreeView.h"
#include "link/TRV5K.h"
#include "link/hid/HidLayer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int NoModuleMessage = 26;
constexpr int ReadFailedMessage = 33;
constexpr int PasswordTitleMessage = 64;
constexpr int PasswordPromptMessage = 65;
constexpr int SmallScreenHeight = 700;
constexpr int SmallScreenExtraWidth = 20;
constexpr int SmallScreenMargin = 150;
constexpr int ScrollRange = 660;
} // namespace

TForm1::TForm1(THidLayer* hidLayer, QWidget* parent)
    : QMainWindow(parent), Hid(hidLayer), Waiter(new TEventWaiter(this)),
      StatusTimer(new QTimer(this)), TimeOut(new QTimer(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("RV5K Loader"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    Ui.Setup(this);
    Reader = new TConnectRead(*this, this);
    LanguageSwitch = new TLanguageSwitch(
        MessageTable,
        {this, Ui.LanguageBox, Ui.StatusLabel, [this] { return ActiveLink() == 0; },
         [this](const QString& error) {
             ShowMessageBox(error, TMessageBox::Error, TMessageBox::Ok);
         }},
        this);
    TimeOut->setSingleShot(true);
    TimeOut->setInterval(TimeOutMs);
    connect(StatusTimer, &QTimer::timeout, this, &TForm1::StatusTimerTick);
    connect(Ui.ReadSettingsButton, &QPushButton::clicked, this, &TForm1::StartConnectRead);
    CreateCanSettings();

    LanguagesLoaded = false;
    HidePage(Ui.TabAutoStart);
    OwnerDrawTabs();
    AdaptToSmallScreen();
    THintStyle::Install();
    LoadCatalogue();
    LoadCarDatabase();
    StartAutoUpdate();
    Ui.PageControl1->setCurrentIndex(0);
    Modes = TServiceModes::FromCode(ReadSetting("Settings", "Code", "0"));
    if (!Modes.ServiceMode)
        HidePage(Ui.TabLog);
    StatusTimer->start(StatusIntervalMs);
    if (!Modes.TesterMode)
        ShowSettingsPanel(false);
    CreateModuleLink();
    // Pending device installations are asked of the HID layer when a read starts.
    CreateBaseLink();
    QTimer::singleShot(StartUpDelayMs, this, &TForm1::LanguageStartUp);
}

TForm1::~TForm1() = default;

void TForm1::AttachProgressWindow(TForm5* progress) {
    Progress = progress;
}

void TForm1::AttachSelectBaseWindow(TForm7* selectBase) {
    SelectBaseWindow = selectBase;
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
    const QScreen* display = screen();
    if (!display || display->geometry().height() >= SmallScreenHeight) {
        setFixedSize(TMainWindowUi::DesignWidth, TMainWindowUi::DesignHeight);
        return;
    }
    // The window no longer fits: it becomes resizable and its content scrolls.
    Ui.Content->setMinimumHeight(ScrollRange);
    Ui.ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Ui.ScrollBox->verticalScrollBar()->setTracking(true);
    resize(TMainWindowUi::DesignWidth + SmallScreenExtraWidth,
           display->geometry().height() - SmallScreenMargin);
}

void TForm1::CreateCanSettings() {
    Can = new TCanSettings(*this, this);
    CanPanel = new TCanSettingsPanel(*Can, Ui.TabSettings);
    Ui.SettingsLayout->addWidget(CanPanel, 1);
    Cars = new TCarSelection(*Can, *this, this);
    CarControls = new TCarPage(*Cars, Ui.TabCar);
    Ui.CarLayout->addWidget(CarControls);
    Ui.CarLayout->addWidget(CanPanel->VST2(), 1);
    Can->LanguageChanged();
    connect(LanguageSwitch, &TLanguageSwitch::LanguageChanged, Can, [this] {
        Can->SelectCatalogueLanguage(MessageTable.LanguageName(MessageTable.CurrentLanguage()));
        Can->LanguageChanged();
    });
    connect(LanguageSwitch, &TLanguageSwitch::LanguageChanged, Cars,
            &TCarSelection::LanguageChanged);
    connect(Ui.SaveButton, &QPushButton::clicked, this, &TForm1::SaveClicked);
}

void TForm1::SaveClicked() {
    ClearBaseTrace();
    Can->SaveCanSettings(false);
}

void TForm1::LoadCatalogue() {
    const auto message = Can->LoadCatalogue(QStringLiteral("Functions.csv"));
    if (!message)
        return;
    if (message->Box == TCatalogueMessage::Error) {
        ShowMessageBox(message->Text, TMessageBox::Error, TMessageBox::Ok);
        return;
    }
    // A plain box: the catalogue's own texts, no title of a kind.
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("RV5K"), message->Text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TForm1::LoadCarDatabase() {
    const QString name = QStringLiteral("CANDATA_FULL.csv");
    // A fresh install starts from the list shipped beside the program.
    if (QString error; !InstallShippedFile(name, &error) && !error.isEmpty())
        ShowNotice(error, TMessageBox::Error);
    TCarDatabaseFile::LoadCarDatabase(AppDataFolder() + name, Cars->CarDatabase());
}

void TForm1::StartAutoUpdate() {}

void TForm1::CreateModuleLink() {
    Link = new TRV5K(Hid, this);
    connect(Link, &TRV5K::OnConnect, this, &TForm1::ModuleConnected);
    connect(Link, &TRV5K::OnDisconnect, this, &TForm1::ModuleDisconnected);
    connect(Link, &TRV5K::OnState, this, &TForm1::ModuleState);
    connect(Link, &TRV5K::OnUsart, this, &TForm1::ModuleUsart);
    connect(Link, &TRV5K::OnModemData, this, &TForm1::ModemData);
    connect(Link, &TRV5K::OnRV5KFNMemoryMap, this, &TForm1::MapPage);
    TMapCycle* cycle = &Can->Cycle();
    connect(Link, &TRV5K::OnFNandNN, cycle, &TMapCycle::OnFNandNN);
    connect(Link, &TRV5K::OnWriteProg, cycle, &TMapCycle::OnWriteProg);
    connect(Link, &TRV5K::OnReadProgCnt, cycle, &TMapCycle::OnReadProgCnt);
    connect(Link, &TRV5K::OnReadProg, cycle, &TMapCycle::OnReadProg);
    connect(Link, &TRV5K::OnParametersMap, cycle, &TMapCycle::StoreNnPage);
    connect(Link, &TRV5K::OnZoneStatus, Can, &TCanSettings::ApplyLiveStates);
    // Told from inside device discovery: the notice waits for the event loop.
    connect(Hid, &THidLayer::PermissionDenied, this, &TForm1::DevicePermissionDenied,
            Qt::QueuedConnection);
}

void TForm1::CreateBaseLink() {
    Base = new THFLatcher(Hid, this);
    Selection = new TBaseSelection(Base, *this, this);
    // The base's read goes on only while its map pages have a receiver.
    TMapCycle* cycle = &Can->Cycle();
    connect(Base, &THFLatcher::OnHFRV5KFNMap, cycle, &TMapCycle::StoreBaseFnPage);
    connect(Base, &THFLatcher::OnFNandNN, cycle, &TMapCycle::OnFNandNN);
    connect(Base, &THFLatcher::OnWriteProg, cycle, &TMapCycle::OnWriteProg);
    connect(Base, &THFLatcher::OnReadProgCnt, cycle, &TMapCycle::OnReadProgCnt);
    connect(Base, &THFLatcher::OnReadProg, cycle, &TMapCycle::OnReadProg);
    connect(Base, &THFLatcher::OnZoneStatus, Can, &TCanSettings::ApplyLiveStates);
    connect(Selection, &TBaseSelection::ScanButtonVisible, Ui.ScanBaseButton, &QWidget::setVisible);
    connect(Selection, &TBaseSelection::ScanningVisible, Ui.ScanningLabel, &QWidget::setVisible);
    connect(Selection, &TBaseSelection::PingTimeOutVisible, Ui.PingTimeOutLabel,
            &QWidget::setVisible);
    connect(Selection, &TBaseSelection::TooOldVisible, Ui.Label2, &QWidget::setVisible);
    connect(Selection, &TBaseSelection::ConnectionText, Ui.StatusLabel, &QLabel::setText);
    connect(Selection, &TBaseSelection::BaseLost, this, &TForm1::BaseLost);
    connect(Ui.ScanBaseButton, &QPushButton::clicked, Selection, &TBaseSelection::Scan);
    connect(Selection, &TBaseSelection::NothingFound, this, [this] {
        static constexpr int NothingFoundMessage = 95;
        ShowMessageBox(MessageTable.WideMess(NothingFoundMessage), TMessageBox::Warning,
                       TMessageBox::Ok);
    });
}

IModuleOperations* TForm1::BaseLinkObject() const {
    return Base;
}

bool TForm1::BaseSetPending() const {
    return Base && Base->SetPending();
}

void TForm1::BaseTrace(const QString& text) {
    if (Base)
        Base->ListasAdd(text);
}

void TForm1::ClearBaseTrace() {
    if (Base)
        Base->ClearListas();
}

void TForm1::StartBasePing() {
    if (Selection)
        Selection->RestartPing();
}

bool TForm1::BaseLinkConnected() const {
    return Base && Base->Connected();
}

void TForm1::BaseLost() {
    ShowSettingsPanel(false);
    Ui.StatusLabel->setText(MessageTable.WideMess(NoModuleMessage));
}

bool TForm1::ModuleLinkActive() const {
    return ActiveLink() == 1;
}

int TForm1::ChooseModule(const QStringList& rows) {
    if (!SelectBaseWindow)
        return -1;
    // A disabled window sends no pings while the choice is being made.
    setEnabled(false);
    const int row = SelectBaseWindow->Choose(this, rows);
    setEnabled(true);
    return row;
}

void TForm1::LanguageStartUp() {
    if (LanguageSwitch->LoadLanguages(ProgramFolder() + QStringLiteral("comps.txt"))) {
        LanguagesLoaded = true;
        LanguageSwitch->StartUp();
        Can->LanguageChanged();
    }
    LanguageStartUpDone = true;
    const QList<std::pair<QString, int>> notices = std::exchange(PendingNotices, {});
    for (const auto& [text, kind] : notices)
        ShowMessageBox(text, kind, TMessageBox::Ok);
}

void TForm1::ShowNotice(const QString& text, int kind) {
    if (LanguageStartUpDone)
        ShowMessageBox(text, kind, TMessageBox::Ok);
    else
        PendingNotices.append({text, kind});
}

void TForm1::StatusTimerTick() {}

void TForm1::ModuleState() {}

void TForm1::ModuleUsart() {}

void TForm1::MapPage(quint8 page, const tduomenys& fns) {
    Can->Cycle().StoreFnPage(page, fns);
}

void TForm1::ForgetBaseModule() {
    if (Selection)
        Selection->ForgetModule();
}

void TForm1::ResetTrees() {
    Can->ResetView();
}

void TForm1::ModuleConnected() {
    Ui.PingTimeOutLabel->hide();
    Ui.StatusLabel->setText(QString::fromLocal8Bit(Link->ProductName()) + QStringLiteral(" SN:") +
                            QString::fromLocal8Bit(Link->SerialNumber()));
    if (Link->FirmwareVersion() < MinimumFirmware) {
        // Too old to be read: it stays connected, only the label tells.
        Ui.Label2->show();
        return;
    }
    Ui.Label2->hide();
    Reader->Start();
    ForgetBaseModule();
    Ui.ScanBaseButton->hide();
}

void TForm1::ModuleDisconnected() {
    Ui.StatusLabel->setText(MessageTable.WideMess(NoModuleMessage));
    ResetTrees();
    HidePage(Ui.TabAutoStart);
    ShowSettingsPanel(false);
    if (BaseLinkConnected())
        Ui.ScanBaseButton->show();
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
    ShowNotice(text, TMessageBox::Warning);
}

int TForm1::ActiveLink() const {
    if (Link && Link->Connected())
        return 1;
    if (Selection && Selection->BaseActive())
        return 2;
    return 0;
}

IModuleOperations* TForm1::ActiveLinkObject() const {
    switch (ActiveLink()) {
    case 1:
        return Link;
    case 2:
        return Base;
    default:
        return nullptr;
    }
}

int TForm1::LinkBusy() const {
    const int active = ActiveLink();
    if (active == 2 && Base->VykstaNuskaitymas())
        return 2;
    if (active == 1 && Link->VykstaNuskaitymas())
        return 1;
    return 0;
}

void TForm1::WaitWithEvents(int milliseconds) {
    if (Link && Link->TemplateFlag())
        return;
    Waiter->Wait(milliseconds);
}

void TForm1::WaitForInstallations() {
    Waiter->WaitUntil([this] { return !Hid->InstallationsPending(); }, InstallationPollMs);
}

int TForm1::ShowMessageBox(const QString& text, int kind, int buttons) {
    return TMessageBox::Show(MessageTable, text, kind, buttons);
}

void TForm1::ShowSettingsPanel(bool visible) {
    Ui.PageControl1->setVisible(visible);
    Ui.SaveButton->setVisible(visible);
    Ui.DefaultButton->setVisible(visible);
}

bool TForm1::SettingsPanelVisible() const {
    return !Ui.PageControl1->isHidden();
}

void TForm1::ShowProgress(int messageNumber) {
    if (Progress)
        Progress->ShowProgress(MessageTable.WideMess(messageNumber));
}

void TForm1::HideProgress() {
    if (Progress)
        Progress->HideProgress();
    setEnabled(true);
}

bool TForm1::ProgressShowing() const {
    return Progress && Progress->isVisible();
}

void TForm1::SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) {
    if (IModuleOperations* link = ActiveLinkObject())
        link->SetPIN(p1, p2, p3, p4);
}

void TForm1::StartConnectRead() {
    Reader->Start();
}

bool TForm1::ReadOnConnectChecked() const {
    return Ui.ReadOnConnectBox->isChecked();
}

bool TForm1::ModuleStatusKnown() const {
    return Link->StatusKnown();
}

bool TForm1::ModuleLocked() const {
    return Link->Locked();
}

bool TForm1::AskUsbPassword(QByteArray* password) {
    // No parent: a box owned by a disabled window could not be answered.
    QInputDialog box;
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(MessageTable.WideMess(PasswordTitleMessage));
    box.setLabelText(MessageTable.WideMess(PasswordPromptMessage));
    box.setTextEchoMode(QLineEdit::Password);
    box.setTextValue(QString());
    if (box.exec() != QDialog::Accepted)
        return false;
    *password = box.textValue().toLocal8Bit();
    return true;
}

void TForm1::SendUsbPassword(const QByteArray& password) {
    Link->SendUSBPassword(password);
}

bool TForm1::ReadFailed() const {
    return Link->KlaidaNuskaitant() || Can->Cycle().ReadError || (Base && Base->KlaidaNuskaitant());
}

bool TForm1::MapBeingRead() const {
    return Can->Cycle().ReadingMap;
}

void TForm1::ClearReadError() {
    Can->Cycle().ReadError = false;
}

IModuleOperations* TForm1::ModuleLinkObject() const {
    return Link;
}

bool TForm1::Recording() const {
    return Link && Link->TemplateFlag();
}

void TForm1::ResetReadFlags() {
    Link->ResetFlags();
    if (Base)
        Base->ResetFlags();
}

void TForm1::ShowReadFailed() {
    ShowMessageBox(MessageTable.WideMess(ReadFailedMessage), TMessageBox::Error, TMessageBox::Ok);
}

void TForm1::ReadSucceeded() {}

void TForm1::CloseQuery() {
    StatusTimer->stop();
    // Neither a password box nor a read may start while the window goes.
    Reader->Halt();
    Link->SetClosing();
    Waiter->AbortAll();
    if (ProgressShowing())
        HideProgress();
}

void TForm1::CloseDown() {
    // The pauses let reports already queued reach their receivers first.
    WaitWithEvents(CloseStepMs);
    disconnect(Link, &TRV5K::OnState, this, nullptr);
    WaitWithEvents(CloseStepMs);
    disconnect(Link, &TRV5K::OnUsart, this, nullptr);
    WaitWithEvents(CloseStepMs);
}

void TForm1::closeEvent(QCloseEvent* event) {
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
