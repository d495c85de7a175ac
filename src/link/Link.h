#pragma once
// The one interface both links offer: the module over USB and a module reached
// through the radio base. The module operations keep the names both links
// share; what only one link needs (the base's wait for its set acknowledgement,
// its keep-alive after a read, its trace; the module's USB password and
// template recording) is behind the same calls, a no-op where it does not
// apply, so that no caller ever asks which link it holds.

#include "Bytes.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class ILink {
public:
    virtual ~ILink() = default;

    // --- the module operations -----------------------------------------------
    virtual void GetFNandNN(quint8 a, quint8 b) = 0;
    virtual void SetFN_NN(quint8 fn, quint8 nn) = 0;
    virtual void GetGrPgr(quint16 number) = 0;
    virtual void GetWriteProg(quint8 index) = 0;
    virtual void SetCar(quint8 a, quint8 b) = 0;
    virtual void ResetCar() = 0;
    virtual void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) = 0;
    virtual void RestoreRV5KDefaults() = 0;
    virtual void GetZoneStatus() = 0;
    // The read of the function list (and the two program values).
    virtual void Nuskaitymas() = 0;
    virtual void ResetFlags() = 0;
    virtual bool VykstaNuskaitymas() const = 0;
    virtual bool KlaidaNuskaitant() const = 0;

    // --- state -------------------------------------------------------------------
    virtual bool Connected() const = 0;
    // The device still carries the previous request.
    virtual bool Busy() const = 0;
    // The module has reported since it connected, so Locked() is its own,
    // and has told what it had to tell on connecting: a read may start.
    virtual bool StatusKnown() const = 0;
    // The module waits for its USB password; SendUSBPassword answers it.
    virtual bool Locked() const = 0;
    virtual void SendUSBPassword(const QByteArray& password) = 0;
    // Framed requests are being recorded for a template instead of sent.
    virtual bool Recording() const = 0;

    // --- what differs between the links ----------------------------------------
    // Waits, with events flowing, until the link may take the next setting;
    // false when it still may not after limitMs (or it went, or closing began).
    virtual bool WaitUntilWritable(int limitMs) = 0;
    // A read of the function map through this link has ended.
    virtual void ReadCycleEnded() = 0;
    // Diagnostic lines of the exchange.
    virtual void Trace(const QString& line) = 0;
    virtual void ClearTrace() = 0;

    // Once set, nothing more is written and every wait of the link ends.
    virtual void SetClosing() = 0;
    virtual bool Closing() const = 0;
};
