#pragma once

#include <QDate>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class QMessageBox;
class QWidget;

namespace norvane {

class ProfileLibrary;
class RuleBook;

// Tells of a file Pellor cannot read (the original-settings backup, the profiles file), where it
// is, and offers the way out: setting it aside, after which Pellor starts afresh without it.
class DamagedFileAlerts : public QObject {
    Q_OBJECT

public:
    struct Environment {
        std::function<QDate()> today;      // names the file set aside
        std::function<QWidget *()> window; // the alerts' parent: none for free-standing alerts
    };

    DamagedFileAlerts(ProfileLibrary &library, Environment environment, QObject *parent = nullptr);

    // Adds a Set Aside button for the damaged backup at `path` to `alert`. While a profile of
    // Pellor's is in effect (`inEffect`, its title), the alert first says that the new backup
    // will then hold the system's defaults rather than that profile's settings.
    void offerToSetAsideBackup(QMessageBox *alert, const QString &path,
                               const std::optional<QString> &inEffect);
    // The alert for a profiles file that could not be read, if it could not.
    void showProfilesLoadError();
    void setAsideProfiles();
    // The alert for a rules file that could not be read, if it could not, with Set Aside.
    void showRulesLoadError(RuleBook &rules);
    // One alert naming each file of the administrator's folder that was left out and why (one
    // sentence each, as ManagedSettings::problems() says). A problem already told is not told
    // again while it lasts; nothing is offered, since the folder is the administrator's.
    void showAdministratorProblems(const QStringList &problems);

private:
    void setAsideBackup(const QString &path, bool profileInEffect);
    void showSetAside(const QString &title, const QString &message);
    QMessageBox *showAlert(const QString &title, const QString &message);

    ProfileLibrary &m_library;
    Environment m_environment;
    QStringList m_administratorProblems; // told, and still there at the latest read
};

} // namespace norvane
