#pragma once
// Reads the function memory map through the active link and writes it back.
// Once the FN list is complete a one-shot step timer walks three stages, one
// request per tick, each answer re-arming the timer: the write-program pages,
// one GetFNandNN per function, the car program list. A watchdog ends the read
// when an answer does not come.

#include "FnMemoryMap.h"
#include "link/Bytes.h"

#include <QObject>
#include <utility>
#include <vector>

class ILink;
class QTimer;
class TSession;

class TMapCycle : public QObject {
    Q_OBJECT
public:
    static constexpr int StepMs = 10;
    static constexpr int WatchdogMs = 3000;
    static constexpr int ModuleFnPages = 16;
    static constexpr quint8 ErrorPageIndex = 0x65;
    static constexpr int WriteProgPageBytes = 6;
    static constexpr int ProgramsPerRequest = 4;
    static constexpr int WriteGapMs = 10;

    static constexpr int SetAcknowledgeLimitMs = 1000;
    static constexpr int BaseStayedBusyMessage = 66;

    TMapCycle(TSession& session, TFnMemoryMap& map, QObject* parent = nullptr);

    // Answers of either link.
    void StoreFnPage(quint8 page, const tduomenys& fns);                     // module: 8 FNs a page
    void StoreBaseFnPage(quint8 fnCount, quint8 page, const tduomenys& fns); // base: 6 a page
    void StoreNnPage(quint8 page, const tduomenys& nns);
    void OnFNandNN(quint8 fn, quint8 nn);
    void OnWriteProg(const tduomenys& data);
    void OnReadProgCnt(quint16 count);
    void OnReadProg(const tduomenys& data);

    // Sends every pair with FN 0x10..0xFE; false when the link would not take
    // one (the base stayed busy), went, or the program is closing.
    bool WriteMemoryMap();
    // The link the read went through is gone: the read ends as failed.
    void Abort();
    bool ReadingMap() const;
    bool ReadError() const;

    QTimer* NuskTimer() const { return StepTimer; }
    QTimer* NuskaitymoKlaidosTimer() const { return Watchdog; }

    int ReadPos = 0;
    int WriteProgPages = 0;
    std::vector<quint8> WriteProgBytes;
    int GrPgrRequests = 0;
    std::vector<std::pair<quint8, quint8>> GrPgrList;
    bool ClearGrPgrOnNext = false;
    bool WriteProgRead = false;
    bool ProgListRead = false;
    bool StagePending[3] = {false, false, false};

signals:
    // The whole map is to be shown in the trees.
    void ApplyRequested();
    // A template's first page of values: the trees are to be cleared first.
    void ResetViewRequested();
    // A list the car selection needs has been read.
    void CarListsRead();

private:
    void ListComplete();
    void Tick();
    bool Step(ILink& link);
    void WatchdogFired();
    void ArmStep();
    void Trace(const QString& line);

    TSession& Session;
    TFnMemoryMap& Map;
    QTimer* StepTimer;
    QTimer* Watchdog;
    // A tick's request waits in the link's pause; a tick that comes meanwhile
    // is held until that request has gone out.
    bool InTick = false;
    bool TickHeld = false;
};
