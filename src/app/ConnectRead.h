#pragma once
// Reading a module's settings when it connects (and whenever asked again):
// unlock the module with its USB password if needed, start the active link's
// read and watch it under the progress window until it ends, then show the
// settings panel or tell the user that the read failed.

#include <QObject>

class IModuleOperations;
class IReadHost;
class QTimer;

class TConnectRead : public QObject {
    Q_OBJECT
public:
    static constexpr int StartDelayMs = 1;
    static constexpr int WatchIntervalMs = 100;
    static constexpr int PasswordWaitMs = 200;
    // How often and how long to look for the module's first report.
    static constexpr int StatusPollMs = 10;
    static constexpr int StatusPolls = 100;

    explicit TConnectRead(IReadHost& host, QObject* parent = nullptr);

    // Runs the read a moment later, from the event loop.
    void Start();
    // Ends the connect read for good (the window is closing): the pending
    // start and the watch stop, and nothing starts them again.
    void Halt();

    bool Pending() const;
    bool Watching() const;

private:
    void Run();
    void StartRead(IModuleOperations& operations);
    void Watch();

    IReadHost& Host;
    QTimer* StartTimer;
    QTimer* Watcher;
    bool Halted = false;
    int StatusPollsLeft = StatusPolls;
};
