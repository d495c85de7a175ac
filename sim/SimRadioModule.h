#pragma once
// One module in the simulated base's radio range: what it keeps (the same
// memory as a module on USB) and how it answers a relayed request, in the
// short reply layout that the base passes back.

#include "SimBaseProfile.h"
#include "SimModuleMemory.h"

#include <QByteArray>
#include <optional>

class TSimRadioModule {
public:
    explicit TSimRadioModule(const TSimRadioModuleProfile& profile);

    const TSimRadioModuleProfile& Profile() const { return Settings; }
    const TSimModuleMemory::FnMap& Map() const { return Memory.Map(); }
    bool InRange() const { return Settings.InRange; }
    void SetInRange(bool inRange) { Settings.InRange = inRange; }
    // Whether the base's addressed value (serial times 256) is this module.
    bool Addressed(quint64 address) const;

    // Carries out a relayed request (payload, request code first) and returns
    // the reply's data bytes (the status byte left 0), if it has one.
    std::optional<QByteArray> Request(const QByteArray& payload);

private:
    QByteArray Reply(quint8 code) const;
    QByteArray MapPage(quint8 page) const;
    std::optional<QByteArray> FromMemory(const QByteArray& payload);

    TSimRadioModuleProfile Settings;
    TSimModuleMemory Memory;
};
