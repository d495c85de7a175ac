#include "SpinGauge.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {
// Takes any number as it is typed, in range or not: whether it may stay is
// decided at Enter, where a refusal can be shown.
class TTypedSpin : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    QValidator::State validate(QString& text, int& position) const override {
        const QValidator::State state = QDoubleSpinBox::validate(text, position);
        if (state != QValidator::Invalid)
            return state;
        const QString bare = text.trimmed();
        for (const QChar c : bare)
            if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char(',') &&
                c != QLatin1Char('-') && c != locale().decimalPoint().front())
                return QValidator::Invalid;
        return QValidator::Intermediate;
    }
};

constexpr int GaugeHeight = 3;
const QColor GaugeColour(232, 116, 0);
} // namespace

TSpinGauge::TSpinGauge(QWidget* parent) : QWidget(parent), Spin(new TTypedSpin(this)) {
    setObjectName(QStringLiteral("SpinGauge"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, GaugeHeight);
    layout->addWidget(Spin);
    Spin->setDecimals(1);
    Spin->setFrame(false);
    Spin->setKeyboardTracking(false);
    Spin->installEventFilter(this);
    // Out-of-range text is kept as typed so that Enter can refuse it visibly
    // instead of quietly putting the last value back.
    Spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    if (auto* edit = Spin->findChild<QLineEdit*>())
        edit->installEventFilter(this);
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
            if (Accept())
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
            ShowRefused(false);
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TSpinGauge::Accept() {
    const QString typed = Spin->cleanText().trimmed();
    if (typed.isEmpty())
        return true; // an empty editor means the minimum
    bool ok = false;
    double value = Spin->locale().toDouble(typed, &ok);
    if (!ok)
        value =
            QLocale::c().toDouble(QString(typed).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    const double step = Spin->singleStep() > 0 ? Spin->singleStep() : 1.0;
    const double tolerance = step / 1000;
    if (!ok || value < Spin->minimum() - tolerance || value > Spin->maximum() + tolerance) {
        ShowRefused(true);
        return false;
    }
    const double steps = std::round((value - Spin->minimum()) / step);
    Spin->setValue(std::clamp(Spin->minimum() + steps * step, Spin->minimum(), Spin->maximum()));
    return true;
}

void TSpinGauge::ShowRefused(bool refused) {
    if (refused == IsRefused)
        return;
    IsRefused = refused;
    Spin->setStyleSheet(refused ? QStringLiteral("QDoubleSpinBox { background: #ffd6d6; }")
                                : QString());
    // The limits as numbers: the same in every language.
    Spin->setToolTip(refused ? QStringLiteral("%1 … %2").arg(Spin->textFromValue(Spin->minimum()),
                                                             Spin->textFromValue(Spin->maximum()))
                             : QString());
    if (refused)
        QToolTip::showText(mapToGlobal(QPoint(0, height())), Spin->toolTip(), this);
}
