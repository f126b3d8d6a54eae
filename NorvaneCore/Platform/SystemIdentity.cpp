#include "SystemIdentity.h"

#include "Localization/L10n.h"

#include <QReadWriteLock>

namespace norvane {

namespace {

struct Current {
    QReadWriteLock lock;
#ifdef Q_OS_MACOS
    SystemIdentity identity = SystemIdentity::mac();
#else
    SystemIdentity identity = SystemIdentity::simulated();
#endif
};

Current &current() {
    static Current instance;
    return instance;
}

} // namespace

SystemIdentity SystemIdentity::mac() {
    SystemIdentity identity;
    identity.id = QStringLiteral("mac");
    identity.name = QStringLiteral("macOS");
    return identity;
}

SystemIdentity SystemIdentity::simulated() {
    SystemIdentity identity = mac();
    identity.id = QStringLiteral("simulated");
    return identity;
}

SystemIdentity currentSystem() {
    Current &state = current();
    const QReadLocker locker(&state.lock);
    return state.identity;
}

void setCurrentSystem(const SystemIdentity &identity) {
    Current &state = current();
    const QWriteLocker locker(&state.lock);
    state.identity = identity;
}

QString systemText(const QString &macKey, const QString &desktopKey, QStringList arguments) {
    const SystemIdentity system = currentSystem();
    if (system.isMac)
        return L10n::text({macKey, arguments});
    arguments << system.name;
    return L10n::text({desktopKey, arguments});
}

} // namespace norvane
