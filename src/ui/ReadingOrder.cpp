#include "ReadingOrder.h"

#include <QAbstractItemView>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace ReadingOrder {
namespace {
// Controls whose tops are this close stand in one row.
constexpr int RowTolerance = 8;

bool Reachable(const QWidget* widget, const QWidget* area) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(area) &&
           widget->isEnabledTo(area);
}

// A control that is part of another one (a spin box's text field, an item
// view's editor) goes with it.
bool PartOfAnother(const QWidget* widget, const QWidget* area) {
    for (const QWidget* up = widget->parentWidget(); up && up != area; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(up))
            return true;
        if (up->focusProxy() == widget)
            return true;
    }
    return false;
}
} // namespace

QList<QWidget*> Controls(QWidget* area) {
    struct TPlaced {
        QWidget* Widget;
        QPoint At;
    };
    QList<TPlaced> placed;
    for (QWidget* widget : area->findChildren<QWidget*>()) {
        if (!Reachable(widget, area) || PartOfAnother(widget, area))
            continue;
        placed.append({widget, widget->mapTo(area, QPoint(0, 0))});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) {
        if (std::abs(a.At.y() - b.At.y()) > RowTolerance)
            return a.At.y() < b.At.y();
        return a.At.x() < b.At.x();
    });
    QList<QWidget*> controls;
    for (const TPlaced& p : placed)
        controls.append(p.Widget);
    return controls;
}

void Chain(const QList<QWidget*>& controls) {
    for (qsizetype i = 0; i + 1 < controls.size(); ++i)
        QWidget::setTabOrder(controls[i], controls[i + 1]);
}
} // namespace ReadingOrder
