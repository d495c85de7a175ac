#pragma once
// What a fetch is given and what it reports.

#include <QMetaType>
#include <QString>
#include <QUrl>

// How a host is tested before a GET. Auto: one ICMP echo where the system
// lets an ordinary user send one (a Linux "ping" socket, allowed by
// net.ipv4.ping_group_range), otherwise a TCP connection to the server's port.
enum class TReachMethod { Auto, Icmp, Tcp };

struct TFetchLimits {
    // Each GET, from the name lookup to the last byte.
    int GetTimeLimitMs = 120'000;
    // The echo answer, or the TCP connection.
    int ReachTimeoutMs = 3'000;
    // Far above a real car list (a few hundred kB) and update list (a few lines).
    qint64 CarListMaxBytes = 32LL * 1024 * 1024;
    qint64 UpdateListMaxBytes = 1024 * 1024;
};

struct TFetchJob {
    QUrl BaseUrl;       // ends with "/"
    QString DataFolder; // empty or ending with the separator
    TFetchLimits Limits;
    TReachMethod Reach = TReachMethod::Auto;
};

// How one GET ended.
enum class TGetOutcome {
    NotTried,
    Received,     // the whole answer arrived (it is stored next)
    Stored,       // the answer was stored
    NoAddress,    // the host did not resolve to an IPv4 address other than 0.0.0.0
    Unreachable,  // no echo answer, or no TCP connection, in time
    TimeLimit,    // the whole GET took too long
    TooLarge,     // the answer was, or said it would be, over the size limit
    HttpError,    // an HTTP status other than 2xx
    NetworkError, // refused, closed mid-answer, not HTTP, ...
    Empty,        // no line in the answer
    NotText,      // a NUL byte: not a text file
    WriteFailed,  // the file could not be written
};

struct TFetchResult {
    // Both files were stored.
    bool Stored = false;
    QString DataFolder;
    TGetOutcome CarList = TGetOutcome::NotTried;
    TGetOutcome UpdateList = TGetOutcome::NotTried;
    // The method the last reachability test used (Auto when none ran).
    TReachMethod ReachUsed = TReachMethod::Auto;
};

Q_DECLARE_METATYPE(TFetchResult)
