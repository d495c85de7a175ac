#pragma once
// A framed group of mutually exclusive radio buttons built from a list of
// item texts; the frame's title is the group's caption.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;
class QVBoxLayout;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    // Replaces all radio buttons; none is chosen afterwards.
    void SetItems(const QStringList& items);
    QStringList Items() const;
    QList<QRadioButton*> Buttons() const;
    // The chosen item, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int index);

signals:
    void ItemClicked(int index);

private:
    QButtonGroup* Group;
    QVBoxLayout* Layout;
};
