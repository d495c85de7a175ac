// RV5K Loader: configures an RV5K CAN-bus module over USB HID.

#include "AppWindows.h"
#include "DemoControl.h"
#include "HidLayerFactory.h"
#include "SingleInstance.h"
#include "TForm1.h"
#include "link/hid/HidLayer.h"
#include "link/hid/HidTrace.h"
#include "session/Shell.h"
#include "sim/SimRv5kModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

namespace {
void BringToFront(QWidget* window) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

int main(int argc, char* argv[]) {
    THidTrace::StartClock();
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    // The application title; window captions stay as each window sets them.
    QApplication::setApplicationName(QStringLiteral("RV5K"));

    TSingleInstance instance(TSingleInstance::CurrentKey());
    if (!instance.Claim())
        return 0;

    THidBackend backend = THidLayerFactory::Create();
    TAppWindows windows(backend.Layer.get());
    TForm1* form1 = windows.Form1();
    QObject::connect(&instance, &TSingleInstance::RaiseRequested, form1,
                     [form1] { BringToFront(form1); });
    if (backend.SimBus)
        new TDemoControl(form1, form1->statusBar(), backend.SimBus, backend.SimModule.get());

    // The program ends with its main window, whatever else is still open.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(form1, &TForm1::Closed, &app, &QCoreApplication::quit);
    form1->show();
    // For the start-up benchmark: report once the shown window has been
    // handled by the event loop, then end.
    if (qEnvironmentVariableIsSet("RV5K_STARTUP_PROBE"))
        QTimer::singleShot(0, form1, [sinceStart] {
            std::printf("main window shown after %lld ms in main\n",
                        static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    if (!backend.Error.isEmpty())
        form1->ShowNotice(backend.Error, Box::Error);
    return app.exec();
}
