#pragma once

#include "ConfigurationBackend.h"
#include "Configuring.h"

#include <memory>
#include <optional>

namespace norvane {

// Every change as a transaction: read what is there, back it up once, write, read back and
// compare; on any failure write the previous settings back and verify them too, so the caller
// always learns whether the system was left as before. Synchronous; runs on a background thread.
class ConfigurationTransaction {
public:
    explicit ConfigurationTransaction(std::shared_ptr<ConfigurationBackend> backend);

    // Applies the profile and returns the configuration read back (or the unchanged current one).
    // `backup` says what a missing original-settings backup is made from.
    MacConfiguration apply(const Profile &profile,
                           BackupSource backup = BackupSource::settingsInEffect);
    // Writes the backed-up original settings back and returns the configuration read back.
    MacConfiguration restore();

private:
    MacConfiguration commit(const MacConfiguration &target, const MacConfiguration &before);
    [[noreturn]] void rollBack(const std::exception_ptr &failure, const MacConfiguration &before);
    bool currentSettingsEqual(const MacConfiguration &expected);
    // What the system holds now, or none when it cannot be read.
    std::optional<MacConfiguration> currentSettings();
    // Writes `before` back and verifies it; returns the failure, or null when verified.
    std::exception_ptr writeBack(const MacConfiguration &before);

    std::shared_ptr<ConfigurationBackend> m_backend;
};

} // namespace norvane
