#pragma once
// The CAN settings of a generated catalogue with both trees shown, as the
// benchmarks of the trees measure them: a session on the simulated bus, the
// settings and their panel, the trees sized and shown.
#include "BenchSession.h"
#include "GeneratedCatalogue.h"
#include "cansettings/CanSettings.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "link/hid/SimHidBus.h"

#include <QTemporaryDir>

struct TBenchTrees {
    // A catalogue of this many lines; Ready() tells whether it loaded.
    explicit TBenchTrees(int lines) {
        const QString path = GeneratedCatalogue::Write(Dir.path(), lines);
        Loaded = !path.isEmpty() && !Settings.LoadCatalogue(path);
        Panel.resize(800, 600);
        Panel.CarTreeBox()->resize(800, 400);
        Panel.show();
        Panel.CarTreeBox()->show();
    }
    bool Ready() const { return Loaded; }

    // Every slot used: PIN, events, sub-parameters, flags, then functions.
    void FillMap() {
        TFnMemoryMap& map = Settings.Map();
        int slot = 0;
        const auto put = [&](int fn, int nn) {
            if (slot < TFnMemoryMap::SlotCount)
                map[slot++] = {quint8(fn), quint8(nn)};
        };
        for (int fn = 0x01; fn <= 0x04; ++fn)
            put(fn, fn);
        for (int fn = 0x71; fn <= 0x73; ++fn)
            put(fn, fn - 0x70);
        for (int i = 0; i < 5; ++i) {
            put(0xC0 + 4 + 5 * i, 0x55);
            put(0xD0 + i, 20);
            put(0xE0 + i, 3);
        }
        for (int fn = 0x10; slot < TFnMemoryMap::SlotCount; ++fn)
            put(fn, 1 + fn % 3);
    }

    QTemporaryDir Dir;
    TSimHidBus Bus;
    TBenchModuleSession Host{&Bus};
    TCanSettings Settings{Host.Session};
    TCanSettingsPanel Panel{Settings};

private:
    bool Loaded = false;
};
