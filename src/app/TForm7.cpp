#include "TForm7.h"

#include <QListWidget>
#include <QVBoxLayout>

TForm7::TForm7(QWidget* parent) : QWidget(parent, Qt::Window), List(new QListWidget(this)) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Select base"));
    List->setObjectName(QStringLiteral("ListBox1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    resize(320, 280);
}
