#include "CaptionLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLayout>
#include <QRadioButton>

namespace {
bool LaidOutBy(const QLayout* layout, const QWidget* widget) {
    if (!layout)
        return false;
    if (layout->indexOf(widget) >= 0)
        return true;
    for (int i = 0; i < layout->count(); ++i)
        if (LaidOutBy(layout->itemAt(i)->layout(), widget))
            return true;
    return false;
}

bool OnSameRow(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// The nearest sibling that starts at or right of the control's old right edge.
QWidget* RightNeighbour(QWidget* control, const QRect& before) {
    QWidget* nearest = nullptr;
    for (QObject* object : control->parentWidget()->children()) {
        auto* sibling = qobject_cast<QWidget*>(object);
        if (!sibling || sibling == control || sibling->isWindow())
            continue;
        const QRect place = sibling->geometry();
        if (place.left() < before.right() || !OnSameRow(place, before))
            continue;
        if (!nearest || place.left() < nearest->x())
            nearest = sibling;
    }
    return nearest;
}

void Fit(QAbstractButton* button) {
    QWidget* parent = button->parentWidget();
    if (!parent || LaidOutBy(parent->layout(), button)) {
        button->updateGeometry();
        return;
    }
    const QRect before = button->geometry();
    QWidget* neighbour = RightNeighbour(button, before);
    button->resize(button->sizeHint().width(), before.height());
    if (neighbour)
        neighbour->move(button->x() + button->width() + TCaptionLayout::Gap, neighbour->y());
}
} // namespace

void TCaptionLayout::FitCaptions(QWidget* window) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
            Fit(button);
}
