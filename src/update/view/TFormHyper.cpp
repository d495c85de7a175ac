#include "TFormHyper.h"

#include "update/DownloadLink.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

// A button of the fixed width, centred in a row of its own.
QHBoxLayout* CentredRow(QPushButton* button) {
    button->setFixedWidth(TFormHyper::ButtonWidth);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(button);
    row->addStretch(1);
    return row;
}
} // namespace

TFormHyper::TFormHyper(QWidget* mainWindow, TMessageSource messages)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint), MainWindow(mainWindow),
      Messages(std::move(messages)),
      Opener([](const QUrl& url) { QDesktopServices::openUrl(url); }),
      Cancel(
          Named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("CancelButton"))) {
    setObjectName(QStringLiteral("FormHyper"));
    setWindowTitle(QStringLiteral("RV5K Loader"));
    setWindowModality(Qt::NonModal);
    Loader = MakePanel("Loader", QStringLiteral("Loader"), LoaderPanelHeight, LoaderOfferMessage);
    Firmware = MakePanel("Firmware", QStringLiteral("Firmware"), FirmwarePanelHeight,
                         FirmwareOfferMessage);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Loader.Panel);
    layout->addWidget(Firmware.Panel);
    layout->addStretch(1);
    QHBoxLayout* cancelRow = CentredRow(Cancel);
    cancelRow->setContentsMargins(0, 0, 0, 8);
    layout->addLayout(cancelRow);
    setFixedSize(ClientWidth, ClientHeight);

    connect(Loader.Button, &QPushButton::clicked, this, [this] { Open(Loader); });
    connect(Firmware.Button, &QPushButton::clicked, this, [this] { Open(Firmware); });
    connect(Cancel, &QPushButton::clicked, this, &QWidget::close);
}

TFormHyper::TPanel TFormHyper::MakePanel(const char* name, const QString& caption, int height,
                                         int message) {
    TPanel panel;
    const QString prefix = QString::fromLatin1(name);
    panel.Panel = Named(new QWidget(this), prefix + QStringLiteral("Panel"));
    panel.Label = Named(new QLabel(caption, panel.Panel), prefix + QStringLiteral("Label"));
    panel.Button = Named(new QPushButton(QStringLiteral("Download"), panel.Panel),
                         prefix + QStringLiteral("Button"));
    panel.Message = message;
    panel.Panel->setFixedHeight(height);
    panel.Label->setAlignment(Qt::AlignCenter);
    panel.Label->setWordWrap(true);
    auto* layout = new QVBoxLayout(panel.Panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(panel.Label, 1);
    layout->addLayout(CentredRow(panel.Button));
    panel.Panel->hide();
    return panel;
}

void TFormHyper::ShowOffers(const UpdateList::TOffers& offers) {
    Loader.Offer = offers.Loader;
    Firmware.Offer = offers.Firmware;
    ShowPanel(Loader);
    ShowPanel(Firmware);
    if (!isVisible())
        CentreOnScreen();
    show();
    raise();
}

void TFormHyper::ShowPanel(TPanel& panel) {
    const bool openable = panel.Offer.Made && DownloadUrl(panel.Offer.Link).has_value();
    // Without a text of its own the label keeps its caption rather than go blank.
    const QString text = panel.Offer.Made && Messages ? Messages(panel.Message) : QString();
    if (!text.isEmpty())
        panel.Label->setText(text);
    panel.Panel->setVisible(openable);
}

void TFormHyper::LanguageChanged() {
    ShowPanel(Loader);
    ShowPanel(Firmware);
}

void TFormHyper::Open(const TPanel& panel) const {
    // Checked again here: only a web address ever reaches the desktop.
    if (const std::optional<QUrl> url = DownloadUrl(panel.Offer.Link))
        Opener(*url);
}

void TFormHyper::CentreOnScreen() {
    QScreen* screen = MainWindow ? MainWindow->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TFormHyper::showEvent(QShowEvent* event) {
    if (MainWindow)
        setWindowTitle(MainWindow->windowTitle());
    QWidget::showEvent(event);
}
