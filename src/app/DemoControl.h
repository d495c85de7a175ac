#pragma once
// Demo help while the module is simulated: F12 pulls the simulated module off
// the bus, and F12 again plugs it back in, to show what unplugging does
// without a cable to pull.

#include <QObject>
#include <QString>

class QWidget;
class TSimHidBus;
class TVirtualHidDevice;

class TDemoControl : public QObject {
    Q_OBJECT
public:
    // The key works anywhere in the program; the hint goes on hintTarget.
    TDemoControl(QWidget* window, QWidget* hintTarget, TSimHidBus* bus, TVirtualHidDevice* module);

    static QString HintText();

    // Unplugs the module when it is on the bus, plugs it in otherwise.
    void TogglePlugged();

private:
    TSimHidBus* Bus;
    TVirtualHidDevice* Module;
};
