#pragma once
// A small HTTP/1.1 server on 127.0.0.1, on a thread of its own, for the update
// tests and benchmark: each path gets a scripted answer, good or bad. Nothing
// it does reaches any other address. One request per connection; the
// connection closes after the answer (or is held open, for a silent server).

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>

class QThread;
class TLoopbackServerCore;

class TLoopbackHttpServer {
public:
    enum class TKind {
        Ok,             // Status with Body and its Content-Length
        Silent,         // reads the request, never answers, keeps the connection open
        Trickle,        // headers with the full length, then one byte every IntervalMs
        Huge,           // HugeBytes of filler, written only as the client takes it
        CloseMidAnswer, // the full length announced, half the body, then closed
        Junk,           // Body as it is, no HTTP at all, then closed
    };
    struct TAnswer {
        TKind Kind = TKind::Ok;
        int Status = 200;
        QByteArray Body;
        int IntervalMs = 1000;
        qint64 HugeBytes = 0;
        bool DeclareLength = true; // Huge: with Content-Length, else closed at the end
    };

    TLoopbackHttpServer();
    ~TLoopbackHttpServer();

    quint16 Port() const { return ListenPort; }
    // "127.0.0.1:<port>", as the update server setting takes it.
    QString Server() const;

    // The answer for a request path (also matched against the path of an
    // absolute URL, as a proxy is asked); other paths get 404.
    void Set(const QString& path, const TAnswer& answer);
    static TAnswer Ok(const QByteArray& body) { return Status(200, body); }
    static TAnswer Status(int status, const QByteArray& body) {
        TAnswer answer;
        answer.Status = status;
        answer.Body = body;
        return answer;
    }
    static TAnswer Silent() { return With(TKind::Silent, {}); }
    static TAnswer Trickle(const QByteArray& body, int intervalMs) {
        TAnswer answer = With(TKind::Trickle, body);
        answer.IntervalMs = intervalMs;
        return answer;
    }
    static TAnswer Huge(qint64 bytes, bool declareLength, int status = 200) {
        TAnswer answer = With(TKind::Huge, {});
        answer.HugeBytes = bytes;
        answer.DeclareLength = declareLength;
        answer.Status = status;
        return answer;
    }
    static TAnswer CloseMidAnswer(const QByteArray& body) {
        return With(TKind::CloseMidAnswer, body);
    }
    static TAnswer Junk(const QByteArray& bytes) { return With(TKind::Junk, bytes); }

    // Request targets in arrival order, as written in the request line.
    QStringList Requests() const;
    qint64 BodyBytesSent() const { return BytesSent.load(); }

    // For the core, on the server's thread.
    TAnswer AnswerFor(const QString& target);
    void AddSent(qint64 bytes) { BytesSent += bytes; }

private:
    static TAnswer With(TKind kind, const QByteArray& body) {
        TAnswer answer;
        answer.Kind = kind;
        answer.Body = body;
        return answer;
    }

    mutable QMutex Lock;
    QHash<QString, TAnswer> Answers;
    QStringList Targets;
    std::atomic<qint64> BytesSent{0};
    quint16 ListenPort = 0;
    std::unique_ptr<QThread> Thread;
    TLoopbackServerCore* Core = nullptr;
};

// A port on 127.0.0.1 where nothing listens (it was free a moment ago).
quint16 ClosedLoopbackPort();
