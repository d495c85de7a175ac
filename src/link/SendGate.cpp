#include "SendGate.h"

#include <QEventLoop>
#include <QTimer>

TSendGate::TSendGate(QObject* parent) : QObject(parent), Pause(new QTimer(this)) {
    Pause->setSingleShot(true);
    Pause->setTimerType(Qt::PreciseTimer);
    Pause->setInterval(PauseMs);
    connect(Pause, &QTimer::timeout, this, &TSendGate::Wake);
}

bool TSendGate::WaitUntil(const std::function<bool()>& done, int limitMs) {
    bool expired = false;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    if (limitMs > 0) {
        connect(&limit, &QTimer::timeout, this, [&] { expired = true; });
        limit.start(limitMs);
    }
    // A wait nested inside this one may leave done() false again by the time
    // control returns here, hence the outer loop.
    while (!done() && !expired && !IsClosed) {
        QEventLoop loop;
        connect(this, &TSendGate::Woken, &loop, [&] {
            if (done() || IsClosed)
                loop.quit();
        });
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        // Once the application is quitting a new loop returns at once without
        // handling anything: looping on would spin and never see the limit.
        if (loop.exec() < 0)
            return done();
    }
    return done() || (!expired && !IsClosed);
}

void TSendGate::Close() {
    IsClosed = true;
    Pause->stop();
    Wake();
}

void TSendGate::StartPause() {
    Pause->start();
}

bool TSendGate::Pausing() const {
    return Pause->isActive();
}
