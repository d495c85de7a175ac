#pragma once
// The Tab key's path through a window in the order people read it: each
// area's controls top to bottom, a row left to right. Qt's own order is the
// order in which the controls were made, which follows how the program is
// put together, not what the user sees.

#include <QList>

class QWidget;

namespace ReadingOrder {
// The controls of area that Tab can reach, as they are placed now (the area
// must be laid out), top to bottom and left to right.
QList<QWidget*> Controls(QWidget* area);

// Makes Tab go through the controls in the order given.
void Chain(const QList<QWidget*>& controls);
} // namespace ReadingOrder
