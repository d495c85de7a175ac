#include "RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent), Group(new QButtonGroup(this)), Layout(new QVBoxLayout(this)) {
    connect(Group, &QButtonGroup::idClicked, this, &TRadioGroup::ItemClicked);
}

void TRadioGroup::SetItems(const QStringList& items) {
    for (QAbstractButton* button : Group->buttons()) {
        Group->removeButton(button);
        delete button;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        Group->addButton(button, i);
        Layout->addWidget(button);
    }
}

QList<QRadioButton*> TRadioGroup::Buttons() const {
    QList<QRadioButton*> buttons;
    for (int i = 0; i < Group->buttons().size(); ++i)
        buttons << static_cast<QRadioButton*>(Group->button(i));
    return buttons;
}

QStringList TRadioGroup::Items() const {
    QStringList items;
    for (const QRadioButton* button : Buttons())
        items << button->text();
    return items;
}

int TRadioGroup::ItemIndex() const {
    return Group->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* button = Group->button(index)) {
        button->setChecked(true);
        return;
    }
    // Unchecking needs the exclusive group to let go for a moment.
    if (QAbstractButton* checked = Group->checkedButton()) {
        Group->setExclusive(false);
        checked->setChecked(false);
        Group->setExclusive(true);
    }
}
