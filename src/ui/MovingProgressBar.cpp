#include "MovingProgressBar.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int BorderWidth = 1;
const QColor BorderColor(160, 160, 160);
} // namespace

TMovingProgressBar::TMovingProgressBar(QWidget* parent)
    : QWidget(parent), StepTimer(new QTimer(this)) {
    StepTimer->setInterval(StepIntervalMs);
    connect(StepTimer, &QTimer::timeout, this, &TMovingProgressBar::Step);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool TMovingProgressBar::Moving() const {
    return StepTimer->isActive();
}

int TMovingProgressBar::BlockWidth() const {
    return qMax(8, (width() - 2 * BorderWidth) / 4);
}

void TMovingProgressBar::Step() {
    const int inner = width() - 2 * BorderWidth;
    BlockLeft += StepPixels;
    // The block slides fully out on the right before it enters again on the left.
    if (BlockLeft >= inner)
        BlockLeft = -BlockWidth();
    update();
}

void TMovingProgressBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    BlockLeft = -BlockWidth();
    StepTimer->start();
}

void TMovingProgressBar::hideEvent(QHideEvent* event) {
    StepTimer->stop();
    QWidget::hideEvent(event);
}

void TMovingProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, Qt::white);
    painter.setPen(BorderColor);
    painter.drawRect(outer.adjusted(0, 0, -1, -1));

    const QRect inner = outer.adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    const QRect block(inner.left() + BlockLeft, inner.top(), BlockWidth(), inner.height());
    painter.fillRect(block.intersected(inner), BlockColor());
}
