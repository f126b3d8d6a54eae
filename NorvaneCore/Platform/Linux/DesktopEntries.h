#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// Installed applications in freedesktop.org's desktop-entry format: their entries in
// $XDG_DATA_HOME/applications and each $XDG_DATA_DIRS/applications, named by desktop-file id.
namespace norvane {

// What an application's entry starts, as far as telling that it runs goes.
struct DesktopLaunch {
    QStringList programs; // the file names of Exec's program and of TryExec
    QString flatpakApp;   // "org.example.App" for `flatpak run … org.example.App`, whose program
                          // (flatpak) is then not one of `programs`
};

// The launch of the entry with this desktop-file id ("firefox-esr.desktop"; "kde-kate.desktop"
// for kde/kate.desktop), from the first folder that has it; none when none has it.
[[nodiscard]] std::optional<DesktopLaunch> desktopLaunch(const QString &desktopId);

// An application a person can choose: its desktop-file id and its name in `language`.
struct InstalledApplication {
    QString id;
    QString name;
};

// The applications the desktop's menus show (entries of type Application, neither hidden nor
// NoDisplay), each id once as the first folder has it, ordered by name. `language`: "ja",
// "zh_TW"…, for the localized names.
[[nodiscard]] QList<InstalledApplication> installedApplications(const QString &language);

// The keys of one group ("[Desktop Entry]") of a desktop or key file, their values unescaped
// (\s, \n, \t, \r, \\); localized keys ("Name[de]") keep their suffix.
[[nodiscard]] QHash<QString, QString> keyFileGroup(const QByteArray &contents, QStringView group);

} // namespace norvane
