#pragma once
// Waits that keep the program alive: each runs a nested event loop, so UI
// events, timers and link events go on being handled while a caller waits,
// and nothing sleeps or spins. Close ends every wait in progress and makes
// every later one return at once (the window does so when it starts to close,
// so no caller keeps it waiting).

#include <QList>
#include <QObject>
#include <functional>

class QEventLoop;

class TEventWaiter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Returns once the interval has passed (or the waiter was closed).
    void Wait(int milliseconds);
    // Checks at once, then on every tick of a timer with the given interval,
    // until done() is true (or the waiter was closed).
    void WaitUntil(const std::function<bool()>& done, int pollMilliseconds);
    // Ends the waits in progress; the waiter stays usable.
    void AbortAll();
    // Ends the waits in progress and every later one at once.
    void Close();

    bool Waiting() const { return !Loops.isEmpty(); }
    bool Closed() const { return IsClosed; }

private:
    void Run(QEventLoop& loop);

    QList<QEventLoop*> Loops;
    bool IsClosed = false;
};
