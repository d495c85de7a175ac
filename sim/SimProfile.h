#pragma once
// What a simulated RV5K module is: its USB strings, its function memory map
// and defaults, its car data, its timing and the faults to inject. Loaded from
// a JSON profile file (docs/simulator.md) or built in code by the tests.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

// The modem and TCP state that the module reports while monitoring.
struct TSimModemState {
    quint8 MC55iFlags = 0x4F; // powered up, present, set up, GSM attached, connected
    quint8 MC55iCR = 0x00;
    quint8 MC55iSR = 0x00;
    quint16 TCPSR = 0x3002; // connected, signal 3
    quint8 OutBufMessCount = 0;
    quint8 SentCounter = 0;
};

// Registers a line of modem traffic changes when it is played; the others keep
// their values.
struct TSimModemChange {
    std::optional<quint8> MC55iFlags;
    std::optional<quint8> MC55iCR;
    std::optional<quint8> MC55iSR;
    std::optional<quint16> TCPSR;
    std::optional<quint8> OutBufMessCount;
    std::optional<quint8> SentCounter;

    void ApplyTo(TSimModemState& state) const;
};

struct TSimUsartLine {
    TSimUsartLine() = default;
    TSimUsartLine(bool outGoing, QByteArray text, std::optional<TSimModemChange> modem = {})
        : OutGoing(outGoing), Text(std::move(text)), Modem(std::move(modem)) {}

    bool OutGoing = true; // true: text the tool's side sent to the modem
    QByteArray Text;
    std::optional<TSimModemChange> Modem; // the state from this line on
};

struct TSimResponseBlock {
    quint8 Code = 0;    // 0x80..0xA1
    QByteArray Payload; // block bytes 2 onward
};

struct TSimProfile {
    QString ProductString = QStringLiteral("RV5K CAN v6.12");
    QString SerialNumber = QStringLiteral("000000");
    QByteArray Password; // USB password; empty: the module never locks
    bool StartLocked = false;

    // FN/NN pairs in slot order (at most 128) and the factory defaults.
    std::vector<std::pair<quint8, quint8>> Map;
    std::vector<std::pair<quint8, quint8>> Defaults;
    QByteArray WriteProgram;                         // the write-program bytes
    std::vector<std::pair<quint8, quint8>> Programs; // GR/PGR list
    QList<TSimResponseBlock> Responses;              // response blocks the module holds
    QList<TSimResponseBlock> SentOnConnect;          // blocks sent once the host listens
    // Blocks told again and again while the host listens: the next one (round
    // and round) with every PeriodicEveryReports-th status report (0: never).
    QList<TSimResponseBlock> PeriodicBlocks;
    int PeriodicEveryReports = 0;
    quint32 ZoneStatus = 0;

    bool ModuleError = false; // the error bit of every status report
    bool Monitoring = false;
    TSimModemState ModemState;
    QList<TSimUsartLine> UsartScript; // repeated while monitoring

    int LatencyMs = 0;         // delay of every answer
    int StatusIntervalMs = 50; // period of status reports while the host listens

    // Faults.
    QList<int> DropAnswerTo;               // 1-based numbers of requests left unanswered
    bool StayBusy = false;                 // busy in every report, answers nothing
    std::optional<int> UnplugAfterReports; // pulls itself off the bus after n input reports
    int GarbageEvery = 0;                  // every n-th input report is garbage (0: never)
    quint32 GarbageSeed = 1;               // the garbage repeats from run to run
    // SetFN_NN for these FNs is taken and dropped: the slot keeps its value,
    // as on a module whose firmware does not accept those functions.
    QList<quint8> IgnoreSetFn;

    // Returns no profile and sets error (the file, then what is wrong) on a
    // file that cannot be read or holds a damaged profile.
    static std::optional<TSimProfile> LoadFile(const QString& path, QString* error);
    static std::optional<TSimProfile> FromJson(const QByteArray& json, QString* error);
};
