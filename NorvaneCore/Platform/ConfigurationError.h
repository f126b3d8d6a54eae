#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <optional>

namespace norvane {

// The one error type of the core: a failure with a ready, translated text, or the user's
// cancellation of the administrator authorization.
class ConfigurationError : public std::exception {
public:
    enum class Kind { Message, Cancelled };

    static ConfigurationError message(const QString &text) { return {Kind::Message, text}; }
    static ConfigurationError cancelled() { return {Kind::Cancelled, {}}; }
    // A change that failed and could not be undone either: the settings in effect may be neither
    // the ones from before nor the ones asked for.
    static ConfigurationError settingsInDoubt(const QString &text);
    // A setting an administrator locked, named as its system names it: nothing was written.
    static ConfigurationError lockedByPolicy(const QString &setting);
    // A stored file that cannot be used (a damaged original-settings backup): `path` names it, so
    // the user can set it aside.
    static ConfigurationError damaged(const QString &text, const QString &path);

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] bool isCancelled() const { return m_kind == Kind::Cancelled; }
    // Every other failure left the system's settings as they were before the change.
    [[nodiscard]] bool leavesSettingsInDoubt() const { return m_settingsInDoubt; }
    [[nodiscard]] const std::optional<QString> &damagedFile() const { return m_damagedFile; }

    // What callers show: the message text unchanged, or the cancellation text in the current
    // language (looked up each time, so it follows the language).
    [[nodiscard]] QString errorDescription() const;

    [[nodiscard]] const char *what() const noexcept override;

    friend bool operator==(const ConfigurationError &a, const ConfigurationError &b) {
        return a.m_kind == b.m_kind && a.m_text == b.m_text &&
               a.m_settingsInDoubt == b.m_settingsInDoubt && a.m_damagedFile == b.m_damagedFile;
    }

private:
    ConfigurationError(Kind kind, QString text);

    Kind m_kind;
    QString m_text;
    bool m_settingsInDoubt = false;
    std::optional<QString> m_damagedFile;
    mutable QByteArray m_what;
};

// A failure of the platform (a file, a process, JSON decoding), carrying the platform's own text.
class PlatformError : public std::exception {
public:
    explicit PlatformError(QString description);

    [[nodiscard]] const QString &description() const { return m_description; }
    [[nodiscard]] const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

// The text to show for any error: a ConfigurationError's description, a PlatformError's own
// text, or the message of any other exception.
QString localizedDescription(const std::exception &error);
QString localizedDescription(const std::exception_ptr &error);

// The ConfigurationError inside `error`, or none for any other kind of failure.
std::optional<ConfigurationError> configurationErrorIn(const std::exception_ptr &error);

} // namespace norvane
