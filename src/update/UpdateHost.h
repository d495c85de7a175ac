#pragma once
// What the end of a fetch and the look at the update list need from the rest
// of the program.

#include <QString>
#include <optional>

class IUpdateHost {
public:
    virtual ~IUpdateHost() = default;

    // "Update car list automatically" is ticked now.
    virtual bool AutoUpdateTicked() const = 0;
    // Loads the file as the program's car list; false leaves the car list as
    // it was.
    virtual bool LoadCarDatabase(const QString& path) = 0;
    // The car list was loaded again: the car choice lists are rebuilt and the
    // selected car's program is applied again.
    virtual void CarDatabaseReloaded() = 0;
    // The firmware version of the module connected over USB; none when no
    // module is, also when one is reached through the base.
    virtual std::optional<qint64> UsbFirmwareVersion() const = 0;
};
