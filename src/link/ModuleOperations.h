#pragma once
// The module operations that both links offer under the same names. The main
// window picks the object that serves a caller (the active link); callers never
// branch on which link it is.

#include "Bytes.h"

#include <QtGlobal>

class IModuleOperations {
public:
    virtual ~IModuleOperations() = default;

    virtual void GetFNandNN(quint8 a, quint8 b) = 0;
    virtual void SetFN_NN(quint8 fn, quint8 nn) = 0;
    virtual void GetGrPgr(quint16 number) = 0;
    virtual void GetWriteProg(quint8 index) = 0;
    virtual void SetCar(quint8 a, quint8 b) = 0;
    virtual void ResetCar() = 0;
    virtual void SetPIN(quint8 p1, quint8 p2, quint8 p3, quint8 p4) = 0;
    virtual void RestoreRV5KDefaults() = 0;
    virtual void GetZoneStatus() = 0;
    virtual void Nuskaitymas() = 0;
    virtual void ResetFlags() = 0;
    virtual bool VykstaNuskaitymas() const = 0;
    virtual bool KlaidaNuskaitant() const = 0;
};
