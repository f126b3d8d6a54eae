#include "DamagedFileAlerts.h"

#include "Alerts.h"
#include "Configuration/OriginalSettingsBackup.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/DurableFile.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"

#include <QMessageBox>
#include <QPushButton>

namespace norvane {

DamagedFileAlerts::DamagedFileAlerts(ProfileLibrary &library, Environment environment,
                                     QObject *parent)
    : QObject(parent), m_library(library), m_environment(std::move(environment)) {}

void DamagedFileAlerts::offerToSetAsideBackup(QMessageBox *alert, const QString &path,
                                              const std::optional<QString> &inEffect) {
    if (inEffect)
        alert->setInformativeText(
            alert->informativeText() + QStringLiteral("\n\n") +
            L10n::text(
                {"{0} is in effect now, so if you set the backup aside, the new one will hold the system's default settings for what Pellor changes, not {0}'s.",
                 {*inEffect}}));
    QPushButton *setAside = alert->addButton(L10n::text("Set Aside"), QMessageBox::ActionRole);
    setAside->setObjectName(QStringLiteral("setAsideButton"));
    connect(setAside, &QPushButton::clicked, this,
            [this, path, profileInEffect = inEffect.has_value()] {
                setAsideBackup(path, profileInEffect);
            });
}

void DamagedFileAlerts::setAsideBackup(const QString &path, bool profileInEffect) {
    try {
        const QString aside = setAsideDamagedFile(path, m_environment.today());
        showSetAside(L10n::text("Damaged Backup Set Aside"),
                     OriginalSettingsBackup::setAsideNotice(aside, profileInEffect));
    } catch (const std::exception &error) {
        showAlert(L10n::text("Could Not Set Aside the Backup"), localizedDescription(error));
    }
}

void DamagedFileAlerts::showProfilesLoadError() {
    const std::optional<QString> &error = m_library.loadError();
    if (!error)
        return;
    QMessageBox *alert = showAlert(
        L10n::text("Could Not Read Profiles"),
        *error + QStringLiteral("\n\n") +
            L10n::text(
                {"The profiles file is “{0}”. Until it is set aside, profiles cannot be changed.",
                 {m_library.location()}}));
    alert->setObjectName(QStringLiteral("profilesLoadAlert"));
    QPushButton *setAside =
        alert->addButton(L10n::text("Set Aside and Start Fresh"), QMessageBox::ActionRole);
    setAside->setObjectName(QStringLiteral("setAsideButton"));
    connect(setAside, &QPushButton::clicked, this, &DamagedFileAlerts::setAsideProfiles);
}

void DamagedFileAlerts::setAsideProfiles() {
    try {
        if (const std::optional<QString> aside =
                m_library.setAsideAndStartFresh(m_environment.today()))
            showSetAside(
                L10n::text("Damaged Profiles Set Aside"),
                L10n::text(
                    {"The damaged profiles file is now “{0}”. Pellor starts again from the factory presets.",
                     {*aside}}));
    } catch (const std::exception &error) {
        showAlert(L10n::text("Could Not Set Aside the Profiles"), localizedDescription(error));
    }
}

void DamagedFileAlerts::showRulesLoadError(RuleBook &rules) {
    const std::optional<QString> &error = rules.loadError();
    if (!error)
        return;
    QMessageBox *alert = showAlert(L10n::text("Could Not Read Rules"), *error);
    alert->setObjectName(QStringLiteral("rulesLoadAlert"));
    QPushButton *setAside = alert->addButton(L10n::text("Set Aside"), QMessageBox::ActionRole);
    setAside->setObjectName(QStringLiteral("setAsideButton"));
    connect(setAside, &QPushButton::clicked, this, [this, &rules] {
        try {
            if (const std::optional<QString> aside = rules.setAside(m_environment.today()))
                showSetAside(
                    L10n::text("Damaged Rules Set Aside"),
                    L10n::text(
                        {"The damaged rules file is now “{0}”. Pellor starts again without rules.",
                         {*aside}}));
        } catch (const std::exception &failure) {
            showAlert(L10n::text("Could Not Set Aside the Rules"), localizedDescription(failure));
        }
    });
}

void DamagedFileAlerts::showAdministratorProblems(const QStringList &problems) {
    QStringList untold;
    for (const QString &problem : problems)
        if (!m_administratorProblems.contains(problem))
            untold << problem;
    m_administratorProblems = problems;
    if (untold.isEmpty())
        return;
    QMessageBox *alert = showAlert(
        L10n::text("Some of Your Organisation's Settings Were Left Out"),
        untold.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n") +
            L10n::text(
                "Everything else works as before. Ask your administrator to correct the file."));
    alert->setObjectName(QStringLiteral("administratorFilesAlert"));
}

void DamagedFileAlerts::showSetAside(const QString &title, const QString &message) {
    QMessageBox *done = showAlert(title, message);
    done->setIcon(QMessageBox::Information);
    done->setObjectName(QStringLiteral("setAsideAlert"));
}

QMessageBox *DamagedFileAlerts::showAlert(const QString &title, const QString &message) {
    return Alerts::show(m_environment.window(), title, message, Qt::WindowModal);
}

} // namespace norvane
