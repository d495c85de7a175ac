#pragma once
// Waits that keep the program alive: each runs a nested event loop, so UI
// events, timers and link events go on being handled while a caller waits,
// and nothing sleeps or spins. AbortAll ends every wait in progress (the
// window does so when it starts to close, so no caller keeps it waiting).

#include <QList>
#include <QObject>
#include <functional>

class QEventLoop;

class TEventWaiter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Returns once the interval has passed (or AbortAll was called).
    void Wait(int milliseconds);
    // Checks at once, then on every tick of a timer with the given interval,
    // until done() is true (or AbortAll was called).
    void WaitUntil(const std::function<bool()>& done, int pollMilliseconds);
    void AbortAll();

    bool Waiting() const { return !Loops.isEmpty(); }

private:
    void Run(QEventLoop& loop);

    QList<QEventLoop*> Loops;
};
