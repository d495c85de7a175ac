#include "ReachProbe.h"

#include <QNetworkProxy>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTimer>

TReachProbe::TReachProbe(QObject* parent) : QObject(parent), Timer(new QTimer(this)) {
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, [this] { Finish(false); });
}

TReachProbe::~TReachProbe() = default;

void TReachProbe::Start(const QHostAddress& address, quint16 port, TReachMethod method,
                        int timeoutMs) {
    Running = true;
    Timer->start(timeoutMs);
    if (method != TReachMethod::Tcp && StartEcho(address)) {
        Used = TReachMethod::Icmp;
        return;
    }
    if (method == TReachMethod::Icmp) {
        // Asked for an echo the system does not allow: told from the event loop.
        Used = TReachMethod::Icmp;
        QTimer::singleShot(0, this, [this] { Finish(false); });
        return;
    }
    Used = TReachMethod::Tcp;
    StartConnect(address, port);
}

bool TReachProbe::StartEcho(const QHostAddress& address) {
    auto echo = std::make_unique<TEchoSocket>();
    if (!echo->Open())
        return false;
    Echo = std::move(echo);
    Sequence = quint16(QRandomGenerator::global()->generate());
    EchoNotifier = new QSocketNotifier(Echo->Descriptor(), QSocketNotifier::Read, this);
    connect(EchoNotifier, &QSocketNotifier::activated, this, &TReachProbe::EchoReadable);
    if (!Echo->Send(address.toIPv4Address(), Sequence))
        QTimer::singleShot(0, this, [this] { Finish(false); }); // e.g. no route to the network
    return true;
}

void TReachProbe::EchoReadable() {
    if (!Echo)
        return;
    switch (Echo->Read(Sequence)) {
    case TEchoSocket::TReply::Echo:
        Finish(true);
        break;
    case TEchoSocket::TReply::Error:
        Finish(false);
        break;
    case TEchoSocket::TReply::None:
        break;
    }
}

void TReachProbe::StartConnect(const QHostAddress& address, quint16 port) {
    Connection = new QTcpSocket(this);
    // The test is of this very address; no proxy stands in for the host.
    Connection->setProxy(QNetworkProxy::NoProxy);
    connect(Connection, &QTcpSocket::connected, this, [this] { Finish(true); });
    connect(Connection, &QTcpSocket::errorOccurred, this, [this] { Finish(false); });
    Connection->connectToHost(address, port);
}

void TReachProbe::Finish(bool reached) {
    if (!Running)
        return;
    Running = false;
    Timer->stop();
    if (EchoNotifier) {
        EchoNotifier->setEnabled(false);
        EchoNotifier->deleteLater();
        EchoNotifier = nullptr;
    }
    Echo.reset();
    if (Connection) {
        Connection->disconnect(this);
        Connection->abort();
        Connection->deleteLater();
        Connection = nullptr;
    }
    emit Done(reached);
}
