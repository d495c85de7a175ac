// Closes the program's main window in the middle of something and reports how
// long the program took to end: the real windows, the real event loop of the
// program and a simulated module or base from a profile file.
//
//   close_probe PROFILE.json WHEN
//
// WHEN: module-read or base-read (while the settings are read), module-save or
// base-save (while they are written), car-wait (in the three-second wait after
// the car program is sent). A base profile's first module is chosen through
// the base. Prints "closed after N ms" and ends with 0, or with 3 when the
// program had not ended 10 s after the close.

#include "app/AppWindows.h"
#include "app/HidLayerFactory.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "app/TForm7.h"
#include "cansettings/CanSettings.h"
#include "cansettings/MapCycle.h"
#include "cansettings/view/CarPage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<bool> Ended{false};

// Ends the process if the program has not ended in time after the close.
void StartDeadline() {
    std::thread([] {
        for (int i = 0; i < 100 && !Ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!Ended) {
            std::printf("still running 10 s after the close\n");
            std::fflush(stdout);
            std::_Exit(3);
        }
    }).detach();
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: close_probe PROFILE.json WHEN\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString when = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir dir;
    qputenv("RV5K_APPDATA", dir.path().toLocal8Bit());
    QFile::copy(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/Functions.csv",
                dir.filePath("Functions.csv"));
    QDir::setCurrent(dir.path());

    THidBackend backend = THidLayerFactory::CreateSimulated(QString::fromLocal8Bit(argv[1]));
    if (!backend.Error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(backend.Error));
        return 2;
    }
    QElapsedTimer sinceClose;
    int result = 0;
    {
        TAppWindows windows(backend.Layer.get());
        TForm1* form = windows.Form1();
        QObject::connect(form, &TForm1::Closed, &app, &QCoreApplication::quit);
        form->show();

        const bool throughBase = when.startsWith(QStringLiteral("base"));
        const bool saving =
            when.endsWith(QStringLiteral("save")) || when == QStringLiteral("car-wait");
        bool scanned = false;
        bool saveClicked = false;
        bool closing = false;
        const auto close = [&] {
            if (closing)
                return;
            closing = true;
            // A moment into it, so that the close comes from inside its waits.
            QTimer::singleShot(100, form, [&] {
                StartDeadline();
                sinceClose.start();
                form->close();
            });
        };
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, form, [&] {
            if (auto* select = qobject_cast<TForm7*>(QApplication::activeModalWidget())) {
                QListWidget* list = select->BaseList();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(list->item(0)).center());
                return;
            }
            // The review before Save is answered at once: the close is meant
            // for the writes.
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == QLatin1String("ChangesReview") && window->isVisible())
                    if (auto* save =
                            window->findChild<QPushButton*>(QStringLiteral("ReviewSaveButton")))
                        save->click();
            TMainWindowUi& ui = form->Controls();
            if (throughBase && !scanned && ui.ScanBaseButton->isVisible()) {
                scanned = true;
                ui.ScanBaseButton->click();
            }
            const bool reading = form->LinkBusy() != 0 || form->CanSettings()->Cycle().ReadingMap();
            if (!saving && reading) {
                close();
                return;
            }
            if (saving && !saveClicked && form->SettingsPanelVisible() && !reading &&
                !windows.Form5()->isVisible()) {
                saveClicked = true;
                if (when == QStringLiteral("car-wait"))
                    form->CarPage()->ModeChoice(CarModeManual)->click();
                // Save runs its writes from the click on; the close comes meanwhile.
                QTimer::singleShot(0, form, [&] {
                    close();
                    ui.SaveButton->click();
                });
            }
        });
        poll.start(5);

        result = app.exec();
    }
    // The windows and the links are gone too: the program has ended.
    Ended = true;
    if (!sinceClose.isValid()) {
        std::printf("never closed\n");
        return 4;
    }
    std::printf("closed after %lld ms\n", static_cast<long long>(sinceClose.elapsed()));
    return result;
}
