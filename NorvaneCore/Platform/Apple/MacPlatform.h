#pragma once

#include "Platform/HostPreferences.h"
#include "Platform/PowerSources.h"
#include "Platform/RunningApplications.h"

// The real Mac's facilities behind the platform seams, built on macOS only. They only translate
// between Apple's types and Qt's; every decision lives in the shared code above them.
namespace norvane {

// CFPreferences of the current user on the current host; notifications through the distributed
// notification center, delivered immediately.
class MacHostPreferences final : public HostPreferences {
public:
    [[nodiscard]] bool synchronize(const QString &domain) override;
    [[nodiscard]] std::optional<QVariant> copyValue(const QString &key,
                                                    const QString &domain) override;
    void setValue(const QString &key, const std::optional<QVariant> &value,
                  const QString &domain) override;
    void postNotification(const QString &name) override;
};

// IOKit's power-source snapshot (IOPSCopyPowerSourcesInfo and friends).
class MacPowerSources final : public PowerSources {
public:
    [[nodiscard]] std::optional<PowerSourceSnapshot> snapshot() const override;
};

// IOPMCopyAssertionsStatus.
class MacAssertionStatus final : public AssertionStatus {
public:
    [[nodiscard]] std::optional<QVariantMap> copyStatus() const override;
};

// NSWorkspace's running applications. Safe on any thread; the list follows launches and quits as
// the main run loop turns, which Qt's event loop does.
class MacRunningApplications final : public RunningApplications {
public:
    [[nodiscard]] QStringList bundleIdentifiers() const override;
};

} // namespace norvane
