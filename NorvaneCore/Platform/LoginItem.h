#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace norvane {

// Whether the application opens when the user logs in.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    // Read from the system each time, so a change made elsewhere shows.
    [[nodiscard]] virtual bool isEnabled() const = 0;
    // Throws PlatformError with the system's text when the change cannot be made.
    virtual void setEnabled(bool enabled) = 0;

    // This application's login item: the main app's login item on macOS 13 and later, an XDG
    // autostart entry elsewhere; none on older macOS.
    [[nodiscard]] static std::unique_ptr<LoginItem> system();
};

// An XDG autostart entry, <folder>/<application id>.desktop, that starts `executable --login`
// (into the status item). Enabled while the file exists and is not marked Hidden=true (how
// desktops switch an entry off).
class AutostartEntry final : public LoginItem {
public:
    // The default folder is $XDG_CONFIG_HOME/autostart (~/.config/autostart); the default
    // executable is the running one.
    explicit AutostartEntry(QString folder = defaultFolder(), QString executable = {});

    [[nodiscard]] static QString defaultFolder();
    [[nodiscard]] QString filePath() const;

    [[nodiscard]] bool isEnabled() const override;
    // Writes the entry atomically and durably, or removes it.
    void setEnabled(bool enabled) override;

    // The entry's text for `executable`, quoted as the Exec key requires.
    [[nodiscard]] static QByteArray contents(const QString &executable);

private:
    QString m_folder;
    QString m_executable;
};

#ifdef Q_OS_MACOS
// The main app's login item (SMAppService); none before macOS 13.
[[nodiscard]] std::unique_ptr<LoginItem> makeMainAppLoginItem();
#endif

} // namespace norvane
