#include "UpdateThread.h"

#include "HttpGet.h"
#include "UpdateFiles.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QThread>

// Lives on the fetch thread; everything it touches is its own.
class TFetchWorker : public QObject {
    Q_OBJECT
public:
    explicit TFetchWorker(TFetchJob job) : Job(std::move(job)) {
        Result.DataFolder = Job.DataFolder;
    }
    // The GET first: its reply belongs to the network.
    ~TFetchWorker() override {
        delete Get;
        delete Network;
    }

    void Run();

signals:
    void Done(const TFetchResult& result);

private:
    struct TFile {
        QString RemoteName;
        QString LocalName;
        qint64 MaxBytes;
        TGetOutcome TFetchResult::*Outcome;
    };

    void GetNext();
    void Got(TGetOutcome outcome, const QByteArray& body);
    TGetOutcome Store(const QString& name, const QByteArray& body) const;
    void End();

    TFetchJob Job;
    TFetchResult Result;
    QNetworkAccessManager* Network = nullptr;
    THttpGet* Get = nullptr;
    std::vector<TFile> Files;
    std::size_t Next = 0;
};

void TFetchWorker::Run() {
    Network = new QNetworkAccessManager(this);
    Network->setAutoDeleteReplies(false);
    Files = {{UpdateFiles::CarListName, UpdateFiles::DownloadName, Job.Limits.CarListMaxBytes,
              &TFetchResult::CarList},
             {UpdateFiles::UpdateListName, UpdateFiles::UpdateListName,
              Job.Limits.UpdateListMaxBytes, &TFetchResult::UpdateList}};
    GetNext();
}

void TFetchWorker::GetNext() {
    if (Next >= Files.size()) {
        Result.Stored = true;
        End();
        return;
    }
    Get = new THttpGet(*Network, this);
    connect(Get, &THttpGet::Done, this, &TFetchWorker::Got, Qt::QueuedConnection);
    Get->Start(Job.BaseUrl.resolved(QUrl(Files[Next].RemoteName)), Files[Next].MaxBytes, Job.Limits,
               Job.Reach);
}

void TFetchWorker::Got(TGetOutcome outcome, const QByteArray& body) {
    const TFile& file = Files[Next];
    if (Get->ReachUsed() != TReachMethod::Auto)
        Result.ReachUsed = Get->ReachUsed();
    Get->deleteLater();
    Get = nullptr;
    if (outcome == TGetOutcome::Received)
        outcome = Store(file.LocalName, body);
    Result.*file.Outcome = outcome;
    if (outcome != TGetOutcome::Stored) {
        End();
        return;
    }
    ++Next;
    GetNext();
}

TGetOutcome TFetchWorker::Store(const QString& name, const QByteArray& body) const {
    if (!Job.DataFolder.isEmpty() && !QDir().mkpath(Job.DataFolder))
        return TGetOutcome::WriteFailed;
    return UpdateFiles::Store(Job.DataFolder + name, UpdateFiles::CrLfLines(body))
               ? TGetOutcome::Stored
               : TGetOutcome::WriteFailed;
}

void TFetchWorker::End() {
    // The network goes with the thread it was made in.
    delete Network;
    Network = nullptr;
    emit Done(Result);
}

TUpdateThread::TUpdateThread(QObject* parent) : QObject(parent) {
    qRegisterMetaType<TFetchResult>();
    qRegisterMetaType<TGetOutcome>();
}

TUpdateThread::~TUpdateThread() {
    if (!Thread)
        return;
    // Ending the thread's event loop drops the GET under way; the worker and
    // its network are deleted on that thread as it ends.
    Thread->quit();
    if (!Thread->wait(StopWaitMs))
        Thread->setParent(nullptr); // still stuck: left to the end of the process
    else
        delete Thread;
}

bool TUpdateThread::Start(const TFetchJob& job) {
    if (Thread)
        return false;
    Result = {};
    Thread = new QThread;
    Thread->setObjectName(QStringLiteral("TUpdateThread"));
    Worker = new TFetchWorker(job);
    Worker->moveToThread(Thread);
    connect(Thread, &QThread::started, Worker, &TFetchWorker::Run);
    connect(Thread, &QThread::finished, Worker, &QObject::deleteLater);
    connect(Worker, &TFetchWorker::Done, this, &TUpdateThread::WorkerDone, Qt::QueuedConnection);
    connect(Thread, &QThread::finished, this, &TUpdateThread::ThreadEnded, Qt::QueuedConnection);
    Thread->start();
    return true;
}

void TUpdateThread::WorkerDone(const TFetchResult& result) {
    Result = result;
    if (Thread)
        Thread->quit();
}

void TUpdateThread::ThreadEnded() {
    if (!Thread)
        return;
    Thread->wait();
    delete Thread;
    Thread = nullptr;
    Worker = nullptr; // deleted on its thread as that ended
    emit Finished(Result);
}

#include "UpdateThread.moc"
