#pragma once
// Whether a host answers, tested once before each GET: one ICMP echo request
// where the system allows it without privileges, otherwise a TCP connection to
// the server's port; either within the time given. Runs in the thread it lives
// in without blocking it.

#include "EchoSocket.h"
#include "FetchTypes.h"

#include <QHostAddress>
#include <QObject>
#include <memory>

class QSocketNotifier;
class QTcpSocket;
class QTimer;

class TReachProbe : public QObject {
    Q_OBJECT
public:
    explicit TReachProbe(QObject* parent = nullptr);
    ~TReachProbe() override;

    void Start(const QHostAddress& address, quint16 port, TReachMethod method, int timeoutMs);
    // The method the test used: Icmp or Tcp.
    TReachMethod MethodUsed() const { return Used; }

signals:
    // Once per Start (possibly from inside it: connect it queued).
    void Done(bool reached);

private:
    bool StartEcho(const QHostAddress& address);
    void EchoReadable();
    void StartConnect(const QHostAddress& address, quint16 port);
    void Finish(bool reached);

    std::unique_ptr<TEchoSocket> Echo;
    QSocketNotifier* EchoNotifier = nullptr;
    QTcpSocket* Connection = nullptr;
    QTimer* Timer;
    quint16 Sequence = 0;
    TReachMethod Used = TReachMethod::Auto;
    bool Running = false;
};
