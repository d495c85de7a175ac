#include "TForm5.h"

#include "i18n/MessageTable.h"
#include "ui/MovingProgressBar.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

TForm5::TForm5(QWidget* mainWindow, const TMessageTable& messages)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), MainWindow(mainWindow),
      Messages(messages), CaptionLabel(new QLabel(this)), WaitLabel(new QLabel(this)),
      ProgressBar(new TMovingProgressBar(this)) {
    setObjectName(QStringLiteral("Form5"));
    setFixedSize(ClientWidth, ClientHeight);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    CaptionLabel->setObjectName(QStringLiteral("Label1"));
    WaitLabel->setObjectName(QStringLiteral("Label2"));
    ProgressBar->setObjectName(QStringLiteral("MovingProgressBar1"));
    for (QLabel* label : {CaptionLabel, WaitLabel})
        label->setAlignment(Qt::AlignCenter);
    ProgressBar->setFixedHeight(16);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 14);
    layout->addWidget(CaptionLabel);
    layout->addWidget(WaitLabel);
    layout->addWidget(ProgressBar);
}

QPoint TForm5::PlacementOver(const QRect& mainFrame, const QSize& size) {
    // Integer division truncates toward zero, also for a main window narrower
    // than this one (a negative half difference).
    return {mainFrame.left() + (mainFrame.width() - size.width()) / 2,
            mainFrame.top() + (mainFrame.height() - size.height()) / 2};
}

void TForm5::KeepAboveMainWindow() {
    if (!MainWindow)
        return;
    // An owned window stays above its owner without being above other programs.
    winId();
    MainWindow->winId();
    if (QWindow* own = windowHandle())
        own->setTransientParent(MainWindow->windowHandle());
}

void TForm5::ShowProgress(const QString& caption) {
    CaptionLabel->setText(caption);
    if (isVisible())
        return;
    if (MainWindow) {
        MainWindow->setEnabled(false);
        move(PlacementOver(MainWindow->frameGeometry(), frameGeometry().size()));
    }
    WaitLabel->setText(Messages.WideMess(WaitMessage));
    KeepAboveMainWindow();
    show();
}

void TForm5::HideProgress() {
    hide();
    if (MainWindow)
        MainWindow->setEnabled(true);
}

void TForm5::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (MainWindow)
        MainWindow->setEnabled(true);
}

QString TForm5::Line1() const {
    return CaptionLabel->text();
}

QString TForm5::Line2() const {
    return WaitLabel->text();
}
