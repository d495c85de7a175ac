#include "MainWindowUi.h"

#include "BackgroundPicture.h"
#include "ui/Lamp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString ConnectText = QStringLiteral("Please connect TLX2 module...");

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

QWidget* TMainWindowUi::AddPage(const char* name, const char* caption, QVBoxLayout** layout) {
    QWidget* page = Named(new QWidget, name);
    *layout = new QVBoxLayout(page);
    (*layout)->setAlignment(Qt::AlignTop);
    PageControl1->addTab(page, QString::fromLatin1(caption));
    return page;
}

QWidget* TMainWindowUi::CreateBottomBar() {
    QWidget* bar = Named(new QWidget, "BottomPanel");
    LanguageBox = Named(new QComboBox, "LanguageBox");
    LanguageBox->setMinimumWidth(140);
    SaveButton = Named(new QPushButton(QStringLiteral("Save")), "SaveButton");
    DefaultButton = Named(new QPushButton(QStringLiteral("Set default")), "DefaultButton");
    ScanBaseButton =
        Named(new QPushButton(QStringLiteral("Scan for another base")), "ScanBaseButton");
    ScanBaseButton->hide();
    ReadAgainButton = Named(new QPushButton(QStringLiteral("Read settings")), "ReadAgainButton");
    ReadAgainButton->setToolTip(QStringLiteral("Read the settings from the module again. A locked "
                                               "module asks for its USB password first."));
    ReadAgainButton->hide();
    RevertButton = Named(new QPushButton(QStringLiteral("Revert changes")), "RevertButton");
    RevertButton->setToolTip(
        QStringLiteral("Put every changed setting back as the module holds it. Nothing is sent."));
    RevertButton->setEnabled(false);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(LanguageBox);
    layout->addStretch(1);
    layout->addWidget(ScanBaseButton);
    layout->addWidget(ReadAgainButton);
    layout->addWidget(RevertButton);
    layout->addWidget(DefaultButton);
    layout->addWidget(SaveButton);
    return bar;
}

void TMainWindowUi::CreateStatusBar(QMainWindow* window) {
    QStatusBar* status = Named(new QStatusBar, "StatusBar1");
    window->setStatusBar(status);
    StatusLabel = Named(new QLabel(QStringLiteral("No Module")), "StatusLabel");
    PingTimeOutLabel = Named(new QLabel(QStringLiteral("(Ping TimeOut)")), "PingTimeOutLabel");
    PingTimeOutLabel->hide();
    PingTimeOutLabel->setStyleSheet(QStringLiteral("color: red;"));
    ScanningLabel = Named(new QLabel(QStringLiteral("Scaning for bases...")), "ScanningLabel");
    ScanningLabel->hide();
    StateLabel = Named(new QLabel, "StateLabel");
    StateLabel->hide();
    // The count of changes in the bottom line, where the buttons above leave
    // it room in every language.
    ChangesLabel = Named(new QLabel, "ChangesLabel");
    QFont bold = ChangesLabel->font();
    bold.setBold(true);
    ChangesLabel->setFont(bold);
    status->addWidget(StatusLabel);
    status->addWidget(StateLabel, 1);
    status->addPermanentWidget(ChangesLabel);
    status->addPermanentWidget(ScanningLabel);
    status->addPermanentWidget(PingTimeOutLabel);
    Lamp1 = Named(new TLamp, "Lamp1");
    Lamp2 = Named(new TLamp, "Lamp2");
    Lamp3 = Named(new TLamp, "Lamp3");
    for (TLamp* lamp : {Lamp1, Lamp2, Lamp3})
        status->addPermanentWidget(lamp);
}

void TMainWindowUi::Setup(QMainWindow* window) {
    // The pages scroll on a small screen; the bottom bar with "Save" and
    // "Set default" stays in view below them whatever the window's height.
    QWidget* central = Named(new QWidget, "CentralPanel");
    ScrollBox = Named(new QScrollArea, "ScrollBox");
    ScrollBox->setFrameShape(QFrame::NoFrame);
    // Only a frame for scrolling on small screens: no Tab stop of its own,
    // where the focus would show nowhere.
    ScrollBox->setFocusPolicy(Qt::NoFocus);
    ScrollBox->setWidgetResizable(true);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Content = Named(new QWidget, "ContentPanel");
    ScrollBox->setWidget(Content);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(ScrollBox, 1);
    window->setCentralWidget(central);

    // The empty state: the picture with the request to connect a module.
    QWidget* picturePanel = Named(new QWidget, "PicturePanel");
    Image1 = Named(new TBackgroundPicture, "Image1");
    Label1 = Named(new QLabel(ConnectText), "Label1");
    Label2 = Named(new QLabel(ConnectText), "Label2");
    Label2->hide();
    for (QLabel* label : {Label1, Label2}) {
        label->setAlignment(Qt::AlignCenter);
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 1.3);
        label->setFont(font);
    }
    auto* pictureLayout = new QVBoxLayout(picturePanel);
    pictureLayout->addWidget(Image1, 1);
    pictureLayout->addWidget(Label1);
    pictureLayout->addWidget(Label2);

    // The settings panel lies over the picture while it is shown.
    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->setAutoFillBackground(true);
    TabCar = AddPage("TabCar", "TntTabSheet10", &CarLayout);
    TabSettings = AddPage("TabSettings", "Alarm system settings", &SettingsLayout);
    TabTemplates = AddPage("TabTemplates", "Templates", &TemplatesLayout);
    TabLog = AddPage("TabLog", "Log", &LogLayout);
    TabAutoStart = AddPage("TabAutoStart", "Automatic engine start settings", &AutoStartLayout);

    ReadOnConnectBox = Named(new QCheckBox(QStringLiteral("Read MQR-CAN settings on connect")),
                             "ReadOnConnectBox");
    ReadOnConnectBox->setChecked(true);
    TemplatesLayout->addWidget(ReadOnConnectBox);
    ReadSettingsButton =
        Named(new QPushButton(QStringLiteral("Read settings")), "ReadSettingsButton");
    LogLayout->addWidget(ReadSettingsButton, 0, Qt::AlignLeft);

    auto* centre = new QGridLayout;
    centre->addWidget(picturePanel, 0, 0);
    centre->addWidget(PageControl1, 0, 0);

    auto* layout = new QVBoxLayout(Content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(centre, 1);
    BottomBar = CreateBottomBar();
    centralLayout->addWidget(BottomBar);
    CreateStatusBar(window);
}
