#include "HttpGet.h"

#include "ReachProbe.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
constexpr quint16 HttpPort = 80;
// Held back by the reply between reads, so a fast server cannot fill memory
// faster than the size limit is checked.
constexpr qint64 ReadBufferBytes = 64 * 1024;
constexpr int MaxRedirects = 5;

bool IsLoopbackHost(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool Succeeded(int status) {
    return status >= 200 && status < 300;
}
} // namespace

THttpGet::THttpGet(QNetworkAccessManager& network, QObject* parent)
    : QObject(parent), Network(network), Limit(new QTimer(this)) {
    Limit->setSingleShot(true);
    connect(Limit, &QTimer::timeout, this, [this] { Finish(TGetOutcome::TimeLimit); });
}

THttpGet::~THttpGet() {
    if (LookupId >= 0)
        QHostInfo::abortHostLookup(LookupId);
    if (Reply) {
        Reply->disconnect(this);
        Reply->abort();
        delete Reply;
    }
}

QNetworkProxy THttpGet::ProxyFor(const QUrl& url) {
    if (IsLoopbackHost(url.host()))
        return QNetworkProxy::NoProxy;
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.first();
}

void THttpGet::Start(const QUrl& url, qint64 maxBytes, const TFetchLimits& limits,
                     TReachMethod reach) {
    Url = url;
    MaxBytes = maxBytes;
    Limits = limits;
    ReachMethod = reach;
    Body.clear();
    Running = true;
    Limit->start(Limits.GetTimeLimitMs);

    const QNetworkProxy proxy = ProxyFor(url);
    Network.setProxy(proxy);
    if (proxy.type() != QNetworkProxy::NoProxy) {
        // The proxy resolves and reaches the host: the local name lookup and
        // echo may well fail where the GET through the proxy works.
        SendRequest();
        return;
    }
    const QString host = url.host();
    const QHostAddress literal(host);
    if (!literal.isNull()) {
        Reach(literal);
        return;
    }
    LookupId = QHostInfo::lookupHost(host, this, &THttpGet::Resolved);
}

void THttpGet::Resolved(const QHostInfo& info) {
    LookupId = -1;
    if (!Running)
        return;
    for (const QHostAddress& address : info.addresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            Reach(address);
            return;
        }
    Finish(TGetOutcome::NoAddress);
}

void THttpGet::Reach(const QHostAddress& address) {
    // The first IPv4 address counts; 0.0.0.0 is what a blocking name server
    // gives for a name it will not resolve.
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.toIPv4Address() == 0) {
        QTimer::singleShot(0, this, [this] { Finish(TGetOutcome::NoAddress); });
        return;
    }
    Probe = new TReachProbe(this);
    connect(Probe, &TReachProbe::Done, this, &THttpGet::Reached, Qt::QueuedConnection);
    Probe->Start(address, quint16(Url.port(HttpPort)), ReachMethod, Limits.ReachTimeoutMs);
}

void THttpGet::Reached(bool reached) {
    if (!Running)
        return;
    UsedReach = Probe->MethodUsed();
    Probe->deleteLater();
    Probe = nullptr;
    if (!reached) {
        Finish(TGetOutcome::Unreachable);
        return;
    }
    SendRequest();
}

void THttpGet::SendRequest() {
    QNetworkRequest request(Url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    // Asked for as it is: a compressed answer could unpack far beyond what
    // the size limit sees arriving.
    request.setRawHeader("Accept-Encoding", "identity");
    Reply = Network.get(request);
    Reply->setReadBufferSize(ReadBufferBytes);
    connect(Reply, &QNetworkReply::metaDataChanged, this, &THttpGet::HeadersArrived);
    connect(Reply, &QNetworkReply::readyRead, this, &THttpGet::ReadArrived);
    connect(Reply, &QNetworkReply::finished, this, &THttpGet::ReplyFinished);
}

void THttpGet::HeadersArrived() {
    const QVariant status = Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // An error page is not read at all, however long it is.
    if (status.isValid() && status.toInt() >= 400) {
        Finish(TGetOutcome::HttpError);
        return;
    }
    const QVariant length = Reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxBytes)
        Finish(TGetOutcome::TooLarge);
}

void THttpGet::ReadArrived() {
    Body += Reply->read(MaxBytes + 1 - Body.size());
    if (Body.size() > MaxBytes)
        Finish(TGetOutcome::TooLarge);
}

void THttpGet::ReplyFinished() {
    const QVariant status = Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && !Succeeded(status.toInt())) {
        Finish(TGetOutcome::HttpError);
        return;
    }
    if (Reply->error() != QNetworkReply::NoError || !status.isValid()) {
        Finish(TGetOutcome::NetworkError);
        return;
    }
    ReadArrived();
    if (!Running)
        return;
    if (Body.isEmpty())
        Finish(TGetOutcome::Empty);
    else if (Body.contains('\0'))
        Finish(TGetOutcome::NotText);
    else
        Finish(TGetOutcome::Received);
}

void THttpGet::Finish(TGetOutcome outcome) {
    if (!Running)
        return;
    Running = false;
    Limit->stop();
    if (LookupId >= 0) {
        QHostInfo::abortHostLookup(LookupId);
        LookupId = -1;
    }
    if (Probe) {
        Probe->disconnect(this);
        Probe->deleteLater();
        Probe = nullptr;
    }
    if (Reply) {
        // Often called from inside one of the reply's own signals: it is
        // aborted once control is back in the event loop.
        Reply->disconnect(this);
        QNetworkReply* reply = std::exchange(Reply, nullptr);
        QTimer::singleShot(0, reply, [reply] {
            reply->abort();
            reply->deleteLater();
        });
    }
    QByteArray body;
    if (outcome == TGetOutcome::Received)
        body = std::move(Body);
    Body.clear();
    emit Done(outcome, body);
}
