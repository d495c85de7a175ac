#include "HidLayerFactory.h"

#include "link/hid/HidapiLayer.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimProfile.h"
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
    const std::optional<TSimProfile> profile = TSimProfile::LoadFile(profilePath, &error);
    if (!profile) {
        backend.Error =
            error.isEmpty()
                ? QStringLiteral("The simulator profile %1 cannot be loaded.").arg(profilePath)
                : error;
        return backend;
    }
    backend.SimModule = std::make_unique<TSimRv5kModule>(*profile);
    backend.SimBus->Plug(backend.SimModule.get());
    return backend;
}
