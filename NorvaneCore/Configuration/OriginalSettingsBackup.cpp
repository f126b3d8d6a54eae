#include "OriginalSettingsBackup.h"

#include "ConfigurationError.h"
#include "Localization/L10n.h"
#include "Platform/ApplicationSupport.h"
#include "Platform/DurableFile.h"
#include "Platform/JsonDecoding.h"

#include <QFile>
#include <QFileInfo>

namespace norvane {

OriginalSettingsBackup::OriginalSettingsBackup(QString path) : m_path(std::move(path)) {}

QString OriginalSettingsBackup::defaultPath() {
    return applicationSupportFile(QStringLiteral("original-settings.json"));
}

bool OriginalSettingsBackup::exists() const {
    return QFileInfo::exists(m_path);
}

void OriginalSettingsBackup::saveIfMissing(const MacConfiguration &configuration) const {
    if (exists()) {
        (void)load();
        return;
    }
    createPrivateFolder(QFileInfo(m_path).absolutePath());
    writeFileDurably(m_path, json::encodePretty(configuration.toJson()),
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

MacConfiguration OriginalSettingsBackup::load() const {
    QFile file(m_path);
    if (!file.exists())
        throw ConfigurationError::message(
            L10n::text("No profile has been applied, so there is no original settings backup."));
    try {
        if (!file.open(QIODevice::ReadOnly))
            throw PlatformError(file.errorString());
        MacConfiguration configuration =
            MacConfiguration::fromJson(json::parseObject(file.readAll()));
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

} // namespace norvane
