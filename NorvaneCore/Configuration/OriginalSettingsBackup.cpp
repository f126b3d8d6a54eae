#include "OriginalSettingsBackup.h"

#include "Localization/L10n.h"
#include "Platform/ApplicationSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"
#include "Platform/SystemIdentity.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace norvane {

namespace {

const QString kWorldKey = QStringLiteral("world");

// Backups written before they recorded their system came from the Mac of the platform they were
// made on.
QString legacyWorld() {
#ifdef Q_OS_MACOS
    return QStringLiteral("mac");
#else
    return QStringLiteral("simulated");
#endif
}

bool isMac(const QString &world) {
    return world == u"mac" || world == u"simulated";
}

// The stored name, when it looks like one of Pellor's; it goes into a message.
QString shownWorld(const QString &world) {
    static const QRegularExpression name(QStringLiteral("^[a-z][a-z0-9-]{0,31}$"));
    return name.match(world).hasMatch() ? world : QStringLiteral("?");
}

} // namespace

OriginalSettingsBackup::OriginalSettingsBackup(QString path, QString world)
    : m_path(std::move(path)), m_world(std::move(world)) {}

QString OriginalSettingsBackup::defaultPath(const QString &world) {
    return applicationSupportFile(isMac(world)
                                      ? QStringLiteral("original-settings.json")
                                      : QStringLiteral("original-settings-%1.json").arg(world));
}

bool OriginalSettingsBackup::exists() const {
    return QFileInfo::exists(m_path);
}

void OriginalSettingsBackup::saveIfMissing(const MacConfiguration &configuration) const {
    if (exists()) {
        (void)load();
        return;
    }
    QJsonObject object = configuration.toJson();
    object.insert(kWorldKey, m_world);
    createPrivateFolder(QFileInfo(m_path).absolutePath());
    writeFileDurably(m_path, json::encodePretty(object),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

OriginalSettingsBackup OriginalSettingsBackup::ofCurrentSystem() {
    const QString world = currentSystem().id;
    return {defaultPath(world), world};
}

MacConfiguration OriginalSettingsBackup::load() const {
    QFile file(m_path);
    if (!file.exists())
        throw ConfigurationError::message(
            L10n::text("No profile has been applied, so there is no original settings backup."));
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw PlatformError(file.errorString());
        const QJsonObject object = json::parseObject(file.readAll());
        const QString world =
            object.contains(kWorldKey) ? json::requireString(object, kWorldKey) : legacyWorld();
        if (world != m_world)
            throw ConfigurationError::message(
                L10n::text({"It holds the settings of “{0}”, not of “{1}”; nothing was written.",
                            {shownWorld(world), m_world}}));
        MacConfiguration configuration = MacConfiguration::fromJson(object);
        configuration.validate();
        return configuration;
    } catch (const std::exception &error) {
        throw ConfigurationError::damaged(
            L10n::text({"The original-settings backup “{0}” cannot be used: {1}",
                        {m_path, localizedDescription(error)}}),
            m_path);
    }
}

QString OriginalSettingsBackup::setAside(const QDate &today) const {
    return setAsideDamagedFile(m_path, today);
}

QString OriginalSettingsBackup::setAsideNotice(const QString &aside, bool profileInEffect) {
    if (profileInEffect)
        return L10n::text(
            {"The damaged backup is now “{0}”. Because a profile of Pellor's is in effect, the next profile you apply saves the system's default settings as the original settings.",
             {aside}});
    return L10n::text(
        {"The damaged backup is now “{0}”. The next profile you apply saves the settings in effect then as the original settings.",
         {aside}});
}

} // namespace norvane
