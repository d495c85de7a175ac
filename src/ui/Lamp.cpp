#include "Lamp.h"

#include <QPainter>

TLamp::TLamp(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TLamp::SetColor(const QColor& color) {
    if (color == LampColor)
        return;
    LampColor = color;
    update();
}

void TLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QRadialGradient shine(circle.center() - QPointF(side / 5.0, side / 5.0), side / 1.2);
    shine.setColorAt(0, LampColor.lighter(150));
    shine.setColorAt(1, LampColor);
    painter.setBrush(shine);
    painter.setPen(QPen(LampColor.darker(160), 1));
    painter.drawEllipse(circle);
}
