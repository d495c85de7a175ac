#pragma once
// What the simulated module keeps and how it answers for it: the function
// memory map with its factory defaults, the write-program bytes, the car
// program list, the settings it holds as response blocks, the zone status and
// the USB password, and the functions whose writes it does not take. It
// knows nothing of timing, locking or the link's faults.

#include "SimProfile.h"

#include <QByteArray>
#include <optional>
#include <utility>
#include <vector>

class TSimModuleMemory {
public:
    using FnMap = std::vector<std::pair<quint8, quint8>>;

    explicit TSimModuleMemory(const TSimProfile& profile);

    const FnMap& Map() const { return Slots; }

    // A CAN memory request, given its argument bytes (the request code
    // first): carries out the request and returns the reply report, if the
    // request has one.
    std::optional<QByteArray> CanMemoryRequest(const QByteArray& args);
    // A framed request, given its command array (the request code first):
    // carries it out and returns the block to report, if it has one.
    std::optional<TSimResponseBlock> FramedRequest(const QByteArray& command);
    QByteArray ZoneStatusReply() const;
    // Whether a SendUSBPassword command array carries the module's password.
    bool PasswordMatches(const QByteArray& command) const;

private:
    quint8 SlotFn(int slot) const;
    quint8 SlotNn(int slot) const;
    int FindSlot(quint8 fn) const;
    void SetFn(quint8 fn, quint8 nn);

    QByteArray ReadMapPage(quint8 page) const;
    QByteArray WriteProgPage(quint8 page) const;
    QByteArray ProgramCount() const;
    QByteArray FnValue(quint8 fn) const;
    QByteArray ProgramsFrom(int position) const;
    void SetFnNn(quint8 fn, quint8 nn);

    void Hold(const TSimResponseBlock& block);
    std::optional<TSimResponseBlock> Held(quint8 code, quint8 index) const;
    TSimResponseBlock SmsPhrase(quint8 number) const;
    TSimResponseBlock ParametersMap(quint8 block) const;

    FnMap Slots;
    FnMap Defaults;
    QByteArray WriteProgram;
    FnMap Programs;
    QList<TSimResponseBlock> HeldBlocks;
    quint32 ZoneStatus = 0;
    QByteArray Password;
    QList<quint8> RefusedFns;
};
