#include "DemoControl.h"

#include "link/hid/SimHidBus.h"

#include <QShortcut>
#include <QWidget>

TDemoControl::TDemoControl(QWidget* window, QWidget* hintTarget, TSimHidBus* bus,
                           TVirtualHidDevice* module)
    : QObject(window), Bus(bus), Module(module) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F12), window);
    key->setContext(Qt::ApplicationShortcut);
    connect(key, &QShortcut::activated, this, &TDemoControl::TogglePlugged);
    if (hintTarget)
        hintTarget->setToolTip(HintText());
}

QString TDemoControl::HintText() {
    return QStringLiteral("Simulated module: press F12 to unplug it, F12 again to plug it back.");
}

void TDemoControl::TogglePlugged() {
    if (!Bus || !Module)
        return;
    if (Bus->IsPlugged(Module))
        Bus->Unplug(Module);
    else
        Bus->Plug(Module);
}
