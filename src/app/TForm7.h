#pragma once
// The "Select base" window: the modules that answer through the radio base.
// The base selection fills the list and wires the choice.

#include <QWidget>

class QListWidget;

class TForm7 : public QWidget {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    QListWidget* BaseList() const { return List; }

private:
    QListWidget* List;
};
