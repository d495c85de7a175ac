#pragma once
// What a simulated RV5K module is: its USB strings, its function memory map
// and defaults, its car data, its timing and the faults to inject. Loaded from
// a JSON profile file (docs/simulator.md) or built in code by the tests.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

struct TSimUsartLine {
    bool OutGoing = true; // true: text the tool's side sent to the modem
    QByteArray Text;
};

struct TSimResponseBlock {
    quint8 Code = 0;    // 0x80..0xA1
    QByteArray Payload; // block bytes 2 onward
};

struct TSimProfile {
    QString ProductString = QStringLiteral("RV5K CAN v6.12");
    QString SerialNumber = QStringLiteral("000000");
    QByteArray Password;  // USB password; empty: the module never locks
    bool StartLocked = false;

    // FN/NN pairs in slot order (at most 128) and the factory defaults.
    std::vector<std::pair<quint8, quint8>> Map;
    std::vector<std::pair<quint8, quint8>> Defaults;
    QByteArray WriteProgram;                   // the write-program bytes
    std::vector<std::pair<quint8, quint8>> Programs; // GR/PGR list
    QList<TSimResponseBlock> Responses;          // response blocks the module holds
    QList<TSimResponseBlock> SentOnConnect;      // blocks sent once the host listens
    quint32 ZoneStatus = 0;

    bool Monitoring = false;
    QList<TSimUsartLine> UsartScript;          // repeated while monitoring

    int LatencyMs = 0;         // delay of every answer
    int StatusIntervalMs = 50; // period of status reports while the host listens

    // Faults.
    QList<int> DropAnswerTo;          // 1-based numbers of requests left unanswered
    bool StayBusy = false;            // busy in every report, answers nothing
    std::optional<int> UnplugAfterReports; // pulls itself off the bus after n input reports
    int GarbageEvery = 0;             // every n-th input report is garbage (0: never)

    // Returns no profile and sets error on a file that cannot be read or parsed.
    static std::optional<TSimProfile> LoadFile(const QString& path, QString* error);
    static std::optional<TSimProfile> FromJson(const QByteArray& json, QString* error);
};
