// Waiting with events flowing: WaitWithEvents and the wait for pending device
// installations, and how closing the window ends them.

#include "app/AppWindows.h"
#include "app/TForm1.h"
#include "link/TRV5K.h"
#include "link/hid/SimHidBus.h"
#include "session/Session.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A bus whose system is still installing devices until told otherwise.
class TInstallingBus : public TSimHidBus {
public:
    bool Pending = true;
    mutable int Polls = 0;
    bool InstallationsPending() const override {
        ++Polls;
        return Pending;
    }
};

struct TWaitFixture {
    TWaitFixture() {
        qputenv("RV5K_APPDATA", Dir.path().toLocal8Bit());
        Windows = std::make_unique<TAppWindows>(&Bus);
    }
    ~TWaitFixture() { Windows.reset(); }
    TForm1* Form() const { return Windows->Form1(); }

    QTemporaryDir Dir;
    TInstallingBus Bus;
    std::unique_ptr<TAppWindows> Windows;
};

// Counts the ticks of a fast timer while the code under test waits.
struct TTicker {
    TTicker() {
        QObject::connect(&Timer, &QTimer::timeout, [this] { ++Ticks; });
        Timer.start(10);
    }
    QTimer Timer;
    int Ticks = 0;
};
} // namespace

class TestWait : public QObject {
    Q_OBJECT
private slots:
    void waitKeepsEventsFlowing();
    void waitReturnsAtOnceInTemplateMode();
    void closingEndsWait();
    void installationWaitPollsUntilDone();
    void installationWaitWithNothingPending();
    void closingEndsInstallationWait();
};

void TestWait::waitKeepsEventsFlowing() {
    TWaitFixture f;
    TTicker ticker;
    QElapsedTimer clock;
    clock.start();
    f.Form()->WaitWithEvents(250);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 240 && elapsed < 1500, qPrintable(QString::number(elapsed)));
    QVERIFY2(ticker.Ticks >= 10, qPrintable(QString::number(ticker.Ticks)));
}

void TestWait::waitReturnsAtOnceInTemplateMode() {
    TWaitFixture f;
    f.Form()->ModuleLink()->StartTemplate();
    QElapsedTimer clock;
    clock.start();
    f.Form()->WaitWithEvents(3000);
    QVERIFY(clock.elapsed() < 100);
    f.Form()->ModuleLink()->StopTemplate();
    clock.restart();
    f.Form()->WaitWithEvents(100);
    QVERIFY(clock.elapsed() >= 90);
}

void TestWait::closingEndsWait() {
    TWaitFixture f;
    f.Form()->show();
    QSignalSpy closed(f.Form(), &TForm1::Closed);
    QTimer::singleShot(50, f.Form(), &QWidget::close);
    QElapsedTimer clock;
    clock.start();
    f.Form()->WaitWithEvents(10000);
    // The close itself pauses three times 100 ms before it is done.
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(closed.count(), 1);
    QVERIFY(f.Form()->ModuleLink()->Closing());
    QVERIFY(!f.Form()->isVisible());
}

void TestWait::installationWaitPollsUntilDone() {
    TWaitFixture f;
    TTicker ticker;
    QTimer::singleShot(250, [&] { f.Bus.Pending = false; });
    QElapsedTimer clock;
    clock.start();
    f.Form()->Session().WaitForInstallations();
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 240 && elapsed < 1500, qPrintable(QString::number(elapsed)));
    QVERIFY(ticker.Ticks >= 10);
    // Checked once at the start, then about every 100 ms: a poll, not a spin.
    QVERIFY2(f.Bus.Polls >= 3 && f.Bus.Polls <= 6, qPrintable(QString::number(f.Bus.Polls)));
}

void TestWait::installationWaitWithNothingPending() {
    TWaitFixture f;
    f.Bus.Pending = false;
    QElapsedTimer clock;
    clock.start();
    f.Form()->Session().WaitForInstallations();
    QVERIFY(clock.elapsed() < 50);
    QCOMPARE(f.Bus.Polls, 1);
}

void TestWait::closingEndsInstallationWait() {
    TWaitFixture f;
    f.Form()->show();
    QTimer::singleShot(50, f.Form(), &QWidget::close);
    QElapsedTimer clock;
    clock.start();
    f.Form()->Session().WaitForInstallations();
    QVERIFY(clock.elapsed() < 2000);
    QVERIFY(f.Bus.Pending);
}

QTEST_MAIN(TestWait)
#include "tst_wait.moc"
