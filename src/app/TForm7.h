#pragma once
// The "Select base" window: the modules that answer through the radio base,
// one row each. A click on a row closes it with that row as the choice;
// closing it in any other way is no choice.

#include <QStringList>
#include <QWidget>

class QEventLoop;
class QListWidget;

class TForm7 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 263;
    static constexpr int ClientHeight = 104;

    explicit TForm7(QWidget* parent = nullptr);

    QListWidget* BaseList() const { return List; }
    // Shows the rows modally, centred over owner; the clicked row, or -1.
    int Choose(QWidget* owner, const QStringList& rows);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Finish(int row);

    QListWidget* List;
    QEventLoop* Loop = nullptr;
    int Choice = -1;
};
