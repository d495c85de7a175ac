#pragma once
// Where the link's senders wait: for the module's busy bit to clear, for the
// pause after a write, or for the link to go away. A wait is a nested event
// loop woken by the link whenever something it looks at changes, so waiting
// costs no CPU and reports go on being processed meanwhile. Once the gate is
// closed (the program is closing) every wait ends and no new one starts.

#include <QObject>
#include <functional>

class QTimer;

class TSendGate : public QObject {
    Q_OBJECT
public:
    static constexpr int PauseMs = 20;

    explicit TSendGate(QObject* parent = nullptr);

    // A module that keeps reporting busy gets the report anyway after this
    // long, so that no sender waits for ever.
    static constexpr int BusyLimitMs = 2000;

    // Returns false when the limit ran out first (a limit of 0: none), or
    // when the gate was closed or the event loop could not run any more.
    bool WaitUntil(const std::function<bool()>& done, int limitMs = 0);
    // Something a wait may be looking at has changed.
    void Wake() { emit Woken(); }
    // Ends every wait now and any later one at once.
    void Close();
    bool Closed() const { return IsClosed; }

    // Started after every write; no write goes out while it runs.
    void StartPause();
    bool Pausing() const;

signals:
    void Woken();

private:
    QTimer* Pause;
    bool IsClosed = false;
};
