#pragma once
// Demo help while the module is simulated: F12 pulls the simulated module off
// the bus, and F12 again plugs it back in, to show what unplugging does
// without a cable to pull. The key works in every window of the program, also
// while the main window is disabled under the progress window, so that an
// unplug in the middle of a read can be shown.

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class TForm1;
class TSimHidBus;
class TVirtualHidDevice;

class TDemoControl : public QObject {
    Q_OBJECT
public:
    static constexpr int HintMessage = 134;

    // The hint goes on hintTarget, in the main window's language.
    TDemoControl(TForm1* window, QWidget* hintTarget, TSimHidBus* bus, TVirtualHidDevice* module);
    ~TDemoControl() override;

    // The designed English hint, until a language has been read.
    static QString HintText();

    // Unplugs the module when it is on the bus, plugs it in otherwise.
    void TogglePlugged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> HintTarget;
    TSimHidBus* Bus;
    TVirtualHidDevice* Module;
};
