#pragma once
// Picks the program's one HID layer. With RV5K_SIMULATOR naming a simulator
// profile, the layer is a simulated bus with the profile's module and radio
// base plugged in (a module the profile keeps unplugged waits for F12);
// a profile that cannot be loaded leaves the bus empty and its error text for
// the caller to show. Without it, the layer is the real USB HID backend.

#include <QString>
#include <memory>

class THidLayer;
class TSimHidBus;
class TSimRv5kModule;
class TSimRadioBase;

struct THidBackend {
    THidBackend();
    THidBackend(THidBackend&&) noexcept;
    THidBackend& operator=(THidBackend&&) noexcept;
    ~THidBackend();

    std::unique_ptr<THidLayer> Layer;
    TSimHidBus* SimBus = nullptr; // the layer itself when simulated, else none
    std::unique_ptr<TSimRv5kModule> SimModule;
    std::unique_ptr<TSimRadioBase> SimBase;
    QString Error; // why the profile could not be loaded
};

class THidLayerFactory {
public:
    static constexpr const char* SimulatorVariable = "RV5K_SIMULATOR";

    static THidBackend Create();
    static THidBackend CreateSimulated(const QString& profilePath);
};
