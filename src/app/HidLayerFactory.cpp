#include "HidLayerFactory.h"

#include "link/hid/HidapiLayer.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimBaseProfile.h"
#include "sim/SimProfile.h"
#include "sim/SimRadioBase.h"
#include "sim/SimRv5kModule.h"

THidBackend::THidBackend() = default;
THidBackend::THidBackend(THidBackend&&) noexcept = default;
THidBackend& THidBackend::operator=(THidBackend&&) noexcept = default;
THidBackend::~THidBackend() = default;

THidBackend THidLayerFactory::Create() {
    const QString profile = qEnvironmentVariable(SimulatorVariable);
    if (!profile.isEmpty())
        return CreateSimulated(profile);
    THidBackend backend;
    backend.Layer = std::make_unique<THidapiLayer>(nullptr);
    return backend;
}

THidBackend THidLayerFactory::CreateSimulated(const QString& profilePath) {
    THidBackend backend;
    auto bus = std::make_unique<TSimHidBus>();
    backend.SimBus = bus.get();
    backend.Layer = std::move(bus);

    QString error;
    const std::optional<TSimSetup> setup = TSimSetup::LoadFile(profilePath, &error);
    if (!setup) {
        backend.Error =
            error.isEmpty()
                ? QStringLiteral("The simulator profile %1 cannot be loaded.").arg(profilePath)
                : error;
        return backend;
    }
    if (setup->Base) {
        backend.SimBase = std::make_unique<TSimRadioBase>(*setup->Base);
        backend.SimBus->Plug(backend.SimBase.get());
    }
    if (setup->UsbModule) {
        backend.SimModule = std::make_unique<TSimRv5kModule>(*setup->UsbModule);
        if (setup->UsbModulePlugged)
            backend.SimBus->Plug(backend.SimModule.get());
    }
    return backend;
}
