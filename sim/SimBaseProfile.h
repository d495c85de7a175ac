#pragma once
// What a simulated radio base is: its USB strings, its timing, the modules in
// its radio range and the faults to inject. Loaded from the "base" object of
// a JSON profile (docs/simulator.md) or built in code by the tests.

#include "SimProfile.h"

#include <QList>
#include <QString>
#include <optional>

// One module that the base reaches over the radio.
struct TSimRadioModuleProfile {
    quint32 RadioSerial = 1; // 24 bits, what the ping reply tells
    quint8 Major = 6;        // firmware version of the ping reply
    quint8 Minor = 12;
    bool InRange = true;         // answers nothing while out of range
    bool AcknowledgeSets = true; // sends the 0x3F 0x14 acknowledgement of set requests
    TSimProfile Memory;          // map, defaults, write program, programs, zone status
};

struct TSimBaseProfile {
    QString ProductString = QStringLiteral("RF base");
    QString SerialNumber = QStringLiteral("BASE0001");
    int BusyMs = 0; // how long each relayed request keeps the base busy
    QList<TSimRadioModuleProfile> Modules;

    // Faults; relayed frames count from 1, every relay frame the base receives.
    bool StayBusy = false;                // every frame only draws a busy report
    QList<int> RelayFailTo;               // these relays are reported as not carried out
    bool RelayAlwaysFails = false;        // every relay is reported as not carried out
    QList<int> DropReplyTo;               // the replies to these relays are lost
    std::optional<int> UnplugAfterRelays; // pulls itself off the bus after n relays

    static std::optional<TSimBaseProfile> FromJson(const QByteArray& json, QString* error);
};

// A profile file: a base, a module on USB, or both. A file without the key
// "base" is a module profile of its own (TSimProfile).
struct TSimSetup {
    std::optional<TSimBaseProfile> Base;
    std::optional<TSimProfile> UsbModule;
    bool UsbModulePlugged = true; // whether the USB module is on the bus at start

    static std::optional<TSimSetup> LoadFile(const QString& path, QString* error);
    static std::optional<TSimSetup> FromJson(const QByteArray& json, QString* error);
};
