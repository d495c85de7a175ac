#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {
const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");
constexpr int ConnectTimeoutMs = 1000;
} // namespace

TSingleInstance::TSingleInstance(QString key, QObject* parent)
    : QObject(parent), Key(std::move(key)) {}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::KeyFor(const QString& programPath, const QString& userName) {
    const QByteArray identity = programPath.toUtf8() + '\0' + userName.toUtf8();
    return QStringLiteral("rv5kloader-") +
           QString::fromLatin1(
               QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex().left(16));
}

QString TSingleInstance::CurrentKey() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return KeyFor(QCoreApplication::applicationFilePath(), user);
}

bool TSingleInstance::AskRunningInstance() {
    QLocalSocket socket;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool sent = false;
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(RaiseRequest); });
    connect(&socket, &QLocalSocket::bytesWritten, &loop, [&] {
        if (socket.bytesToWrite() == 0) {
            sent = true;
            loop.quit();
        }
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    socket.connectToServer(Key);
    limit.start(ConnectTimeoutMs);
    if (socket.state() != QLocalSocket::UnconnectedState)
        loop.exec();
    socket.disconnectFromServer();
    return sent;
}

bool TSingleInstance::Claim() {
    if (AskRunningInstance())
        return false;
    // Nobody answered: a socket left behind by a crashed instance is stale.
    QLocalServer::removeServer(Key);
    Server = new QLocalServer(this);
    Server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(Server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = Server->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains(RaiseRequest.trimmed()))
                    emit RaiseRequested();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    // A server that cannot listen must not keep the program from starting.
    Server->listen(Key);
    return true;
}
