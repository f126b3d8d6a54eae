#include "WorldChoice.h"

#include "Localization/L10n.h"
#include "MacWorld.h"

#include <QList>
#include <QMutex>
#include <QProcessEnvironment>

namespace norvane {

namespace {

struct Offers {
    QMutex mutex;
    QList<WorldOffer> list;
};

Offers &offers() {
    static Offers instance;
    return instance;
}

QList<WorldOffer> offered() {
    Offers &all = offers();
    const QMutexLocker locker(&all.mutex);
    return all.list;
}

std::shared_ptr<const World> simulatedMac(const QString &note) {
    SystemIdentity identity = SystemIdentity::simulated();
    identity.note = note;
    return std::make_shared<MacWorld>(Platform::system(), identity);
}

} // namespace

void offerWorld(const WorldOffer &offer) {
    Offers &all = offers();
    const QMutexLocker locker(&all.mutex);
    all.list.removeIf([&](const WorldOffer &earlier) { return earlier.id == offer.id; });
    all.list << offer;
}

WorldChoice chooseWorld(const QString &platform, const QString &currentDesktop) {
    const QList<WorldOffer> worlds = offered();
    if (!platform.isEmpty()) {
        if (platform == u"simulated")
            return {simulatedMac({}), {}};
        for (const WorldOffer &offer : worlds)
            if (offer.id == platform)
                return {offer.make(), {}};
        QStringList known{QStringLiteral("simulated")};
        for (const WorldOffer &offer : worlds)
            known << offer.id;
        const QString note =
            L10n::text({"PELLOR_PLATFORM=“{0}” is not one of {1}; Pellor drives the simulated Mac.",
                        {platform.left(40), known.join(QStringLiteral(", "))}});
        return {simulatedMac(note), note};
    }
#ifdef Q_OS_MACOS
    Q_UNUSED(currentDesktop)
    return {std::make_shared<MacWorld>(Platform::system(), SystemIdentity::mac()), {}};
#else
    for (const QString &desktop : currentDesktop.split(u':', Qt::SkipEmptyParts))
        for (const WorldOffer &offer : worlds)
            if (offer.desktopNames.contains(desktop, Qt::CaseInsensitive) && offer.answers())
                return {offer.make(), {}};
    const QString note =
        L10n::text("No supported desktop was found, so Pellor drives the simulated Mac.");
    return {simulatedMac(note), note};
#endif
}

WorldChoice useSystemWorld() {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    WorldChoice choice = chooseWorld(environment.value(QStringLiteral("PELLOR_PLATFORM")),
                                     environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")));
    setCurrentWorld(choice.world);
    return choice;
}

} // namespace norvane
