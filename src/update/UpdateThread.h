#pragma once
// The background fetch: GET the car list and store it as
// CANDATA_FULL_DWNLD.csv, then GET the update list and store it as
// Updates.txt, both in the data folder. It runs on a thread of its own that
// touches only its own copy of the job and the two files it stores; its end
// is reported to the thread that started it with a queued signal. One fetch
// at a time: the thread is created for a fetch and freed when it ends.

#include "FetchTypes.h"

#include <QObject>

class QThread;
class TFetchWorker;

class TUpdateThread : public QObject {
    Q_OBJECT
public:
    // How long the owner's destruction waits for a running fetch to wind down.
    static constexpr int StopWaitMs = 5000;

    explicit TUpdateThread(QObject* parent = nullptr);
    // A fetch still running is stopped: nothing more is stored.
    ~TUpdateThread() override;

    // False, and nothing starts, while a fetch runs.
    bool Start(const TFetchJob& job);
    bool Running() const { return Thread != nullptr; }

signals:
    // In the starting thread, after the fetch thread has ended.
    void Finished(const TFetchResult& result);

private:
    void WorkerDone(const TFetchResult& result);
    void ThreadEnded();

    QThread* Thread = nullptr;
    TFetchWorker* Worker = nullptr;
    TFetchResult Result;
};
