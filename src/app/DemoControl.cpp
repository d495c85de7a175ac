#include "DemoControl.h"

#include "LanguageSwitch.h"
#include "TForm1.h"

#include "link/hid/SimHidBus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

TDemoControl::TDemoControl(TForm1* window, QWidget* hintTarget, TSimHidBus* bus,
                           TVirtualHidDevice* module)
    : QObject(window), HintTarget(hintTarget), Bus(bus), Module(module) {
    // A shortcut would not fire while its window is disabled, which is just
    // when a read runs; the application's own filter sees the key in any case.
    qApp->installEventFilter(this);
    if (hintTarget)
        hintTarget->setToolTip(HintText());
    connect(window->Languages(), &TLanguageSwitch::LanguageChanged, this, [this, window] {
        const QString text = window->Messages().WideMess(HintMessage);
        if (HintTarget)
            HintTarget->setToolTip(text.isEmpty() ? HintText() : text);
    });
}

TDemoControl::~TDemoControl() {
    qApp->removeEventFilter(this);
}

QString TDemoControl::HintText() {
    return QStringLiteral("Simulated module: press F12 to unplug it, F12 again to plug it back.");
}

bool TDemoControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F12 && key->modifiers() == Qt::NoModifier) {
            if (!key->isAutoRepeat())
                TogglePlugged();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TDemoControl::TogglePlugged() {
    if (!Bus || !Module)
        return;
    if (Bus->IsPlugged(Module))
        Bus->Unplug(Module);
    else
        Bus->Plug(Module);
}
