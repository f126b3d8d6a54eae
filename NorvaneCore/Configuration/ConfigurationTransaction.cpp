#include "ConfigurationTransaction.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"

#include <algorithm>

namespace norvane {

ConfigurationTransaction::ConfigurationTransaction(std::shared_ptr<ConfigurationBackend> backend)
    : m_backend(std::move(backend)) {}

MacConfiguration ConfigurationTransaction::apply(const Profile &profile, BackupSource backup) {
    (void)profile.validated();
    const MacConfiguration before = m_backend->read();
    // Runs even when nothing will change, so the first apply always leaves a backup.
    m_backend->saveOriginalIfNeeded(
        backup == BackupSource::systemDefaults ? m_backend->systemDefaults(before) : before);
    MacConfiguration target = before.applying(profile);
    if (!m_backend->holdsScreenSaver())
        target.screenSaverSeconds.reset();
    return commit(target, before);
}

MacConfiguration ConfigurationTransaction::restore() {
    const MacConfiguration original = m_backend->loadOriginal();
    // The backup passes as a whole before any of it is mapped onto today's sources or written.
    original.validate();
    const MacConfiguration before = m_backend->read();
    // The backup holds the power sources of the first apply, and a UPS may have come or gone
    // since. Every source the Mac has now gets its backed-up values (one the backup lacks keeps
    // its own); a backed-up source the Mac no longer has is named once the rest is restored.
    MacConfiguration target{{}, original.screenSaverSeconds, original.native};
    for (const PowerSourceConfiguration &current : before.sources) {
        const auto saved = std::find_if(
            original.sources.cbegin(), original.sources.cend(),
            [&](const PowerSourceConfiguration &source) { return source.flag == current.flag; });
        target.sources << (saved == original.sources.cend() ? current : *saved);
    }
    QStringList missing;
    for (const PowerSourceConfiguration &saved : original.sources) {
        const bool present = std::any_of(
            before.sources.cbegin(), before.sources.cend(),
            [&](const PowerSourceConfiguration &source) { return source.flag == saved.flag; });
        if (!present)
            missing << L10n::text(
                {"The original settings for “{0}” could not be restored because this Mac no longer has this power source.",
                 {MacConfiguration::sourceName(saved.flag)}});
    }
    MacConfiguration restored = commit(target, before);
    if (!missing.isEmpty())
        throw ConfigurationError::message(missing.join(u'\n'));
    return restored;
}

MacConfiguration ConfigurationTransaction::commit(const MacConfiguration &target,
                                                  const MacConfiguration &before) {
    if (target == before)
        return before;
    try {
        m_backend->write(target);
        MacConfiguration after = m_backend->read();
        if (after == target)
            return after;
        throw ConfigurationError::message(L10n::text(
            "The saved settings do not match the requested values. A management policy may restrict changes."));
    } catch (...) {
        rollBack(std::current_exception(), before);
    }
}

void ConfigurationTransaction::rollBack(const std::exception_ptr &failure,
                                        const MacConfiguration &before) {
    // Found unchanged (a refused or cancelled write): the failure stands on its own.
    if (currentSettingsEqual(before))
        std::rethrow_exception(failure);
    const std::exception_ptr rollbackFailure = writeBack(before);
    if (!rollbackFailure)
        throw ConfigurationError::message(
            L10n::text({"Could not apply settings. The previous settings were restored.\n{0}",
                        {localizedDescription(failure)}}));
    QString text = L10n::text(
        {"Could not apply or fully restore settings. Check Current Settings and use Restore Original Settings.\n{0}\n{1}",
         {localizedDescription(failure), localizedDescription(rollbackFailure)}});
    if (const std::optional<MacConfiguration> current = currentSettings())
        text += u'\n' + L10n::text({"In effect now: {0}", {current->description()}});
    throw ConfigurationError::settingsInDoubt(text);
}

std::optional<MacConfiguration> ConfigurationTransaction::currentSettings() {
    try {
        return m_backend->read();
    } catch (...) {
        return std::nullopt;
    }
}

bool ConfigurationTransaction::currentSettingsEqual(const MacConfiguration &expected) {
    // A failed read counts as changed: the rollback goes on.
    return currentSettings() == expected;
}

std::exception_ptr ConfigurationTransaction::writeBack(const MacConfiguration &before) {
    try {
        m_backend->write(before);
        if (m_backend->read() == before)
            return nullptr;
        return std::make_exception_ptr(
            ConfigurationError::message(L10n::text("Could not verify rollback")));
    } catch (...) {
        return std::current_exception();
    }
}

} // namespace norvane
