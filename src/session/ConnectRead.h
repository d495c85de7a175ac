#pragma once
// Reading a module's settings when it connects (and whenever asked again):
// unlock the module with its USB password if needed, start the active link's
// read and watch it under the progress window until it ends, then show the
// settings panel or tell the user that the read failed.

#include <QObject>

class ILink;
class IShell;
class QTimer;
class TSession;

class TConnectRead : public QObject {
    Q_OBJECT
public:
    static constexpr int StartDelayMs = 1;
    static constexpr int WatchIntervalMs = 100;
    static constexpr int PasswordWaitMs = 200;
    // How often and how long to look for the module's first report.
    static constexpr int StatusPollMs = 10;
    static constexpr int StatusPolls = 100;
    // How often a locked module is looked at again while no language is loaded.
    static constexpr int LanguagePollMs = 100;
    static constexpr int ReadingMessage = 41;
    static constexpr int ReadFailedMessage = 33;

    TConnectRead(TSession& session, IShell& shell, QObject* parent = nullptr);

    // Runs the read a moment later, from the event loop; a read on connect
    // follows "Read MQR-CAN settings on connect", a forced one does not.
    void Start(bool forced = false);
    // Ends the connect read for good (the program is closing): the pending
    // start and the watch stop, and nothing starts them again.
    void Halt();

    bool Pending() const;
    bool Watching() const;

signals:
    // The read ended well; the settings panel shows.
    void Succeeded();

private:
    void Run();
    void StartRead(ILink& link);
    void Watch();
    void Fail();

    TSession& Session;
    IShell& Shell;
    QTimer* StartTimer;
    QTimer* Watcher;
    bool Halted = false;
    bool Forced = false;
    int StatusPollsLeft = StatusPolls;
};
