#include "SpinGauge.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr int GaugeHeight = 3;
const QColor GaugeColour(232, 116, 0);
} // namespace

TSpinGauge::TSpinGauge(QWidget* parent) : QWidget(parent), Spin(new QDoubleSpinBox(this)) {
    setObjectName(QStringLiteral("SpinGauge"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, GaugeHeight);
    layout->addWidget(Spin);
    Spin->setDecimals(1);
    Spin->setFrame(false);
    Spin->setKeyboardTracking(false);
    Spin->installEventFilter(this);
    if (auto* edit = Spin->findChild<QLineEdit*>()) {
        edit->setReadOnly(true);
        edit->installEventFilter(this);
    }
    setFocusProxy(Spin);
    connect(Spin, &QDoubleSpinBox::valueChanged, this, [this] { update(); });
}

void TSpinGauge::SetRange(double minimum, double maximum, double step) {
    Spin->setRange(minimum, qMax(minimum, maximum));
    Spin->setSingleStep(step);
}

void TSpinGauge::SetValue(double value) {
    Spin->setValue(value);
}

double TSpinGauge::Value() const {
    return Spin->value();
}

QString TSpinGauge::Text() const {
    return Spin->cleanText();
}

void TSpinGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double span = Spin->maximum() - Spin->minimum();
    const double part = span > 0 ? (Spin->value() - Spin->minimum()) / span : 0.0;
    const QRect bar(0, height() - GaugeHeight, width(), GaugeHeight);
    painter.fillRect(bar, Qt::white);
    painter.fillRect(QRect(bar.left(), bar.top(), int(bar.width() * part), GaugeHeight),
                     GaugeColour);
}

bool TSpinGauge::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit Finished();
            return true;
        case Qt::Key_Escape:
            emit Cancelled();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            break;
        default:
            return true; // typed characters do not change the value
        }
    }
    return QWidget::eventFilter(watched, event);
}
