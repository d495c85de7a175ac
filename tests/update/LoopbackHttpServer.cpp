#include "LoopbackHttpServer.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace {
constexpr qint64 FillerChunk = 64 * 1024;
// Written ahead of what the client has taken: the rest waits for it.
constexpr qint64 WriteAhead = 256 * 1024;

QByteArray Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray Head(int status, std::optional<qint64> length) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + Reason(status) + "\r\n";
    head += "Content-Type: text/plain\r\n";
    if (length)
        head += "Content-Length: " + QByteArray::number(*length) + "\r\n";
    head += "Connection: close\r\n\r\n";
    return head;
}

// One client connection and its scripted answer.
class TConnection : public QObject {
public:
    TConnection(QTcpSocket* socket, TLoopbackHttpServer& server)
        : QObject(socket), Socket(socket), Server(server) {
        connect(Socket, &QTcpSocket::readyRead, this, &TConnection::ReadRequest);
        connect(Socket, &QTcpSocket::disconnected, Socket, &QObject::deleteLater);
    }

private:
    void ReadRequest() {
        Request += Socket->readAll();
        if (Answered || !Request.contains("\r\n\r\n"))
            return;
        Answered = true;
        const QList<QByteArray> words = Request.left(Request.indexOf("\r\n")).split(' ');
        const QString target = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
        Answer = Server.AnswerFor(target);
        Respond();
    }

    void Respond() {
        using K = TLoopbackHttpServer::TKind;
        switch (Answer.Kind) {
        case K::Ok:
            Socket->write(Head(Answer.Status, Answer.Body.size()) + Answer.Body);
            Server.AddSent(Answer.Body.size());
            Socket->disconnectFromHost();
            break;
        case K::Silent:
            break;
        case K::Trickle: {
            Socket->write(Head(Answer.Status, Answer.Body.size()));
            auto* timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, timer] {
                if (Next >= Answer.Body.size()) {
                    timer->stop();
                    Socket->disconnectFromHost();
                    return;
                }
                Socket->write(Answer.Body.mid(Next++, 1));
                Server.AddSent(1);
            });
            timer->start(Answer.IntervalMs);
            break;
        }
        case K::Huge:
            Socket->write(Head(Answer.Status, Answer.DeclareLength
                                                  ? std::optional<qint64>(Answer.HugeBytes)
                                                  : std::nullopt));
            connect(Socket, &QTcpSocket::bytesWritten, this, &TConnection::Fill);
            Fill();
            break;
        case K::CloseMidAnswer:
            Socket->write(Head(Answer.Status, Answer.Body.size()) +
                          Answer.Body.left(Answer.Body.size() / 2));
            Server.AddSent(Answer.Body.size() / 2);
            Socket->disconnectFromHost();
            break;
        case K::Junk:
            Socket->write(Answer.Body);
            Socket->disconnectFromHost();
            break;
        }
    }

    // Writes filler only while the client keeps taking it: never buffered.
    void Fill() {
        static const QByteArray filler(FillerChunk, 'x');
        while (Socket->state() == QAbstractSocket::ConnectedState &&
               Socket->bytesToWrite() < WriteAhead && Next < Answer.HugeBytes) {
            const qint64 size = std::min(FillerChunk, Answer.HugeBytes - Next);
            Socket->write(filler.constData(), size);
            Next += size;
            Server.AddSent(size);
        }
        if (Next >= Answer.HugeBytes && Socket->bytesToWrite() == 0)
            Socket->disconnectFromHost();
    }

    QTcpSocket* Socket;
    TLoopbackHttpServer& Server;
    QByteArray Request;
    TLoopbackHttpServer::TAnswer Answer;
    bool Answered = false;
    qint64 Next = 0;
};
} // namespace

class TLoopbackServerCore : public QTcpServer {
public:
    explicit TLoopbackServerCore(TLoopbackHttpServer& server) : Server(server) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                new TConnection(socket, Server);
        });
    }

private:
    TLoopbackHttpServer& Server;
};

TLoopbackHttpServer::TLoopbackHttpServer() : Thread(std::make_unique<QThread>()) {
    Thread->setObjectName(QStringLiteral("LoopbackHttpServer"));
    Core = new TLoopbackServerCore(*this);
    Core->moveToThread(Thread.get());
    // The server and its connections go with the thread.
    QObject::connect(Thread.get(), &QThread::finished, Core, &QObject::deleteLater);
    Thread->start();
    QMetaObject::invokeMethod(
        Core,
        [this] {
            Core->listen(QHostAddress(QHostAddress::LocalHost), 0);
            ListenPort = Core->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

TLoopbackHttpServer::~TLoopbackHttpServer() {
    Thread->quit();
    Thread->wait();
}

QString TLoopbackHttpServer::Server() const {
    return QStringLiteral("127.0.0.1:%1").arg(ListenPort);
}

void TLoopbackHttpServer::Set(const QString& path, const TAnswer& answer) {
    QMutexLocker locked(&Lock);
    Answers.insert(path, answer);
}

QStringList TLoopbackHttpServer::Requests() const {
    QMutexLocker locked(&Lock);
    return Targets;
}

TLoopbackHttpServer::TAnswer TLoopbackHttpServer::AnswerFor(const QString& target) {
    QMutexLocker locked(&Lock);
    Targets.append(target);
    const QString path = target.startsWith(QLatin1String("http://")) ? QUrl(target).path() : target;
    const auto found = Answers.constFind(path);
    if (found != Answers.cend())
        return *found;
    return Status(404, "not here\n");
}

quint16 ClosedLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
