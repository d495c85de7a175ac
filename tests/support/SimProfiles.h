#pragma once
// The shipped simulator profiles as the tests start from them.

#include "sim/SimBaseProfile.h"
#include "sim/SimProfile.h"

#include <QtGlobal>

// data/sim/demo.json: a module fitted to a car.
inline TSimProfile DemoProfile() {
    QString error;
    const auto profile = TSimProfile::LoadFile(
        qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/demo.json", &error);
    if (!profile)
        qFatal("%s", qPrintable(error));
    return *profile;
}

// data/sim/base-demo.json: a radio base with three modules in range, its
// modules quick to answer.
inline TSimBaseProfile DemoBaseProfile() {
    QString error;
    const auto setup = TSimSetup::LoadFile(
        qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/base-demo.json", &error);
    if (!setup || !setup->Base)
        qFatal("%s", qPrintable(error));
    TSimBaseProfile base = *setup->Base;
    base.BusyMs = 1;
    return base;
}
