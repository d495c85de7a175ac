#include "BackgroundPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor SkyTop(28, 52, 84);
const QColor SkyBottom(58, 104, 140);
const QColor ModuleBody(236, 239, 242);
const QColor ModuleEdge(150, 158, 166);
const QColor Accent(232, 116, 0);
const QColor Cable(30, 30, 34);
} // namespace

TBackgroundPicture::TBackgroundPicture(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TBackgroundPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();

    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, SkyTop);
    sky.setColorAt(1, SkyBottom);
    painter.fillRect(area, sky);

    // Everything scales with the smaller side so the picture keeps its shape.
    const qreal unit = qMin(area.width() / 14.0, area.height() / 7.5);
    const QPointF centre = area.center();

    // The module: a rounded box with its name and three status lights.
    const QRectF module(centre.x() - 2.5 * unit, centre.y() - 1.6 * unit, 5 * unit, 3.2 * unit);
    painter.setPen(QPen(ModuleEdge, qMax(1.0, unit / 12)));
    painter.setBrush(ModuleBody);
    painter.drawRoundedRect(module, unit / 3, unit / 3);
    painter.fillRect(QRectF(module.left(), module.top() + 0.5 * unit, module.width(), unit / 8),
                     Accent);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(8, int(unit * 0.9)));
    painter.setFont(font);
    painter.setPen(SkyTop);
    painter.drawText(module.adjusted(0, 0.6 * unit, 0, -0.9 * unit), Qt::AlignCenter,
                     QStringLiteral("RV5K"));
    const QColor lights[] = {QColor(90, 200, 90), Accent, QColor(120, 120, 120)};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(lights[i]);
        painter.drawEllipse(
            QPointF(module.left() + (1.7 + 0.8 * i) * unit, module.bottom() - 0.55 * unit),
            unit / 6, unit / 6);
    }

    // The CAN cable runs off to the car on the right...
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Cable, unit / 5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath can(QPointF(module.right(), centre.y()));
    can.cubicTo(module.right() + 1.5 * unit, centre.y(), module.right() + 1.2 * unit,
                centre.y() + 2 * unit, area.right(), centre.y() + 2.2 * unit);
    painter.drawPath(can);

    // ...while the USB cable hangs loose on the left, its plug not yet in.
    QPainterPath usb(QPointF(module.left(), centre.y() + 0.4 * unit));
    const QPointF plug(module.left() - 3 * unit, centre.y() + 1.4 * unit);
    usb.cubicTo(module.left() - 1.2 * unit, centre.y() + 0.4 * unit, module.left() - 1.5 * unit,
                plug.y(), plug.x() + 0.6 * unit, plug.y());
    painter.drawPath(usb);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ModuleEdge);
    painter.drawRoundedRect(
        QRectF(plug.x() - 0.3 * unit, plug.y() - 0.3 * unit, 0.9 * unit, 0.6 * unit), unit / 10,
        unit / 10);
    painter.setBrush(ModuleBody);
    painter.drawRect(QRectF(plug.x() - 0.8 * unit, plug.y() - 0.2 * unit, 0.5 * unit, 0.4 * unit));
}
