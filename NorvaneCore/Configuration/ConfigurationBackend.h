#pragma once

#include "MacConfiguration.h"

namespace norvane {

// Where the transaction reads and writes the system's settings and keeps the original-settings
// backup. All operations block and may throw.
class ConfigurationBackend {
public:
    virtual ~ConfigurationBackend() = default;

    [[nodiscard]] virtual MacConfiguration read() = 0;
    // Stores the backup unless one exists; an existing backup must still be readable.
    virtual void saveOriginalIfNeeded(const MacConfiguration &configuration) = 0;
    [[nodiscard]] virtual MacConfiguration loadOriginal() = 0;
    // Makes the system's settings equal to `configuration`. Does not read back.
    virtual void write(const MacConfiguration &configuration) = 0;
    // What the system holds for Pellor's settings when nobody has changed them, for the power
    // sources of `current`: a restore of it gives the system its defaults back.
    [[nodiscard]] virtual MacConfiguration
    systemDefaults(const MacConfiguration &current) const = 0;
    // False where the system has no screen-saver timer of its own: a profile's screen saver is
    // then neither written nor expected back.
    [[nodiscard]] virtual bool holdsScreenSaver() const { return true; }
};

} // namespace norvane
