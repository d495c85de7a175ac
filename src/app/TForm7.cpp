#include "TForm7.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

TForm7::TForm7(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), List(new QListWidget(this)) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Select base"));
    List->setObjectName(QStringLiteral("ListBox1"));
    List->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List);
    setFixedSize(ClientWidth, ClientHeight);
    connect(List, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Finish(List->row(item)); });
    // Enter takes the row with the focus, as a click does.
    connect(List, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Finish(List->row(item)); });
}

void TForm7::keyPressEvent(QKeyEvent* event) {
    // Escape is no choice, as closing the window is.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        List->currentRow() >= 0) {
        Finish(List->currentRow());
        return;
    }
    QWidget::keyPressEvent(event);
}

int TForm7::Choose(QWidget* owner, const QStringList& rows) {
    if (Loop)
        return -1; // already choosing
    List->clear();
    List->addItems(rows);
    List->setCurrentRow(0);
    List->setFocus();
    Choice = -1;
    if (owner) {
        const QRect frame = owner->geometry();
        move(frame.left() + (frame.width() - width()) / 2,
             frame.top() + (frame.height() - height()) / 2);
    }
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    Loop = &loop;
    loop.exec();
    Loop = nullptr;
    hide();
    return Choice;
}

void TForm7::Finish(int row) {
    Choice = row;
    if (Loop)
        Loop->quit();
}

void TForm7::closeEvent(QCloseEvent* event) {
    event->accept();
    if (Loop)
        Loop->quit();
}
