#include "HintStyle.h"

#include <QApplication>
#include <QHelpEvent>
#include <QStyleFactory>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

THintStyle::THintStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void THintStyle::Install() {
    if (qobject_cast<THintStyle*>(QApplication::style()))
        return;
    auto* style = new THintStyle;
    QApplication::setStyle(style);
    qApp->installEventFilter(style);
}

namespace {
const char* const ShortcutProperty = "rv5kShortcutText";
}

void THintStyle::SetShortcutText(QWidget* control, const QKeySequence& keys) {
    control->setProperty(ShortcutProperty, keys.toString(QKeySequence::NativeText));
}

QString THintStyle::HintWithShortcut(const QWidget* control) {
    const QString hint = control->toolTip();
    const QString keys = control->property(ShortcutProperty).toString();
    if (keys.isEmpty())
        return hint;
    return hint.isEmpty() ? keys : hint + QStringLiteral(" (") + keys + QLatin1Char(')');
}

int THintStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return WakeUpDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool THintStyle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return QProxyStyle::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    QString text = HintWithShortcut(widget);
    if (text.isEmpty())
        return QProxyStyle::eventFilter(watched, event);

    // A plain hint wider than the wrap width becomes a wrapping rich text one.
    if (!Qt::mightBeRichText(text) &&
        QFontMetrics(QToolTip::font()).horizontalAdvance(text) > WrapWidth)
        text = QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
                   .arg(WrapWidth)
                   .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), text, widget, QRect(), ShowTimeMs);
    return true;
}
