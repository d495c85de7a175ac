#pragma once
// One GET of the update: the host must resolve to an IPv4 address other than
// 0.0.0.0 and answer the reachability test, then the whole answer must arrive
// with a 2xx status, within the time limit and the size limit, and be text
// with at least one line. Runs in the thread it lives in without blocking it;
// the body is read as it arrives, so a huge answer is cut off at the limit
// instead of being held in memory.

#include "FetchTypes.h"

#include <QByteArray>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QObject>

class QHostInfo;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class TReachProbe;

class THttpGet : public QObject {
    Q_OBJECT
public:
    THttpGet(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~THttpGet() override;

    void Start(const QUrl& url, qint64 maxBytes, const TFetchLimits& limits, TReachMethod reach);
    TReachMethod ReachUsed() const { return UsedReach; }

    // The proxy the system names for this URL; none for a loopback host,
    // which no proxy could reach on our behalf.
    static QNetworkProxy ProxyFor(const QUrl& url);

signals:
    // Once per Start (possibly from inside it: connect it queued). With the
    // outcome Received the body is the whole answer; it is empty otherwise.
    void Done(TGetOutcome outcome, const QByteArray& body);

private:
    void Resolved(const QHostInfo& info);
    void Reach(const QHostAddress& address);
    void Reached(bool reached);
    void SendRequest();
    void HeadersArrived();
    void ReadArrived();
    void ReplyFinished();
    void Finish(TGetOutcome outcome);

    QNetworkAccessManager& Network;
    QTimer* Limit;
    QUrl Url;
    qint64 MaxBytes = 0;
    TFetchLimits Limits;
    TReachMethod ReachMethod = TReachMethod::Auto;
    TReachMethod UsedReach = TReachMethod::Auto;
    int LookupId = -1;
    TReachProbe* Probe = nullptr;
    QNetworkReply* Reply = nullptr;
    QByteArray Body;
    bool Running = false;
};
