#include "ConfigurationError.h"

#include "Localization/L10n.h"

namespace norvane {

ConfigurationError::ConfigurationError(Kind kind, QString text)
    : m_kind(kind), m_text(std::move(text)) {}

ConfigurationError ConfigurationError::settingsInDoubt(const QString &text) {
    ConfigurationError error{Kind::Message, text};
    error.m_settingsInDoubt = true;
    return error;
}

ConfigurationError ConfigurationError::lockedByPolicy(const QString &setting) {
    return message(L10n::text(
        {"A management policy locks “{0}”, so Pellor cannot change it. Nothing was changed.",
         {setting}}));
}

ConfigurationError ConfigurationError::damaged(const QString &text, const QString &path) {
    ConfigurationError error{Kind::Message, text};
    error.m_damagedFile = path;
    return error;
}

QString ConfigurationError::errorDescription() const {
    if (m_kind == Kind::Cancelled)
        return L10n::text(
            "Administrator authorization was cancelled. No new settings were applied.");
    return m_text;
}

const char *ConfigurationError::what() const noexcept {
    try {
        m_what = errorDescription().toUtf8();
    } catch (...) {
        return "configuration error";
    }
    return m_what.constData();
}

PlatformError::PlatformError(QString description)
    : m_description(std::move(description)), m_what(m_description.toUtf8()) {}

QString localizedDescription(const std::exception &error) {
    if (const auto *configuration = dynamic_cast<const ConfigurationError *>(&error))
        return configuration->errorDescription();
    if (const auto *platform = dynamic_cast<const PlatformError *>(&error))
        return platform->description();
    return QString::fromUtf8(error.what());
}

QString localizedDescription(const std::exception_ptr &error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return localizedDescription(e);
    } catch (...) {
        return L10n::text("Unknown error");
    }
}

std::optional<ConfigurationError> configurationErrorIn(const std::exception_ptr &error) {
    try {
        std::rethrow_exception(error);
    } catch (const ConfigurationError &configurationError) {
        return configurationError;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace norvane
