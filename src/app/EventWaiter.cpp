#include "EventWaiter.h"

#include <QEventLoop>
#include <QTimer>

void TEventWaiter::Run(QEventLoop& loop) {
    Loops.append(&loop);
    loop.exec();
    Loops.removeOne(&loop);
}

void TEventWaiter::Wait(int milliseconds) {
    if (IsClosed)
        return;
    QEventLoop loop;
    QTimer timer;
    // A caller asks for at least this long; a coarse timer may end early.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(qMax(0, milliseconds));
    Run(loop);
}

void TEventWaiter::WaitUntil(const std::function<bool()>& done, int pollMilliseconds) {
    if (IsClosed || done())
        return;
    QEventLoop loop;
    QTimer timer;
    connect(&timer, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    timer.start(qMax(1, pollMilliseconds));
    Run(loop);
}

void TEventWaiter::AbortAll() {
    for (QEventLoop* loop : std::as_const(Loops))
        loop->quit();
}

void TEventWaiter::Close() {
    IsClosed = true;
    AbortAll();
}
