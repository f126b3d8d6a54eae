#include "SettingsModel.h"

#include "Components/MinuteLabel.h"
#include "Components/WhenFinished.h"
#include "Localization/L10n.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Platform/SystemIdentity.h"
#include "Sessions/SessionStore.h"

#include <QDesktopServices>
#include <QDir>
#include <QLocale>
#include <QProcess>

namespace norvane {

namespace {

SettingsModel::Environment completed(SettingsModel::Environment environment) {
    if (!environment.clock)
        environment.clock = [] { return QDateTime::currentDateTime(); };
    if (!environment.readSystem)
        environment.readSystem = readSystemInBackground;
    if (!environment.openUrl)
        environment.openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    if (!environment.startProgram)
        environment.startProgram = [](const QStringList &command) {
            return QProcess::startDetached(command.first(), command.mid(1));
        };
    return environment;
}

QString readingText() {
    return L10n::text("Reading…");
}

} // namespace

SettingsModel::SettingsModel(SessionStore &store, Environment environment, QObject *parent)
    : QObject(parent), m_store(store), m_environment(completed(std::move(environment))) {}

QString SettingsModel::sourceText() const {
    return m_snapshot ? m_snapshot->source : readingText();
}

QString SettingsModel::displayText() const {
    return m_snapshot ? SystemSettings::duration(m_snapshot->displayMinutes) : readingText();
}

QString SettingsModel::sleepText() const {
    if (!m_snapshot)
        return readingText();
    // Then the Mac never sleeps on idle, whatever its sleep timer says.
    if (m_snapshot->sleepDisabled.value_or(false))
        return L10n::text("Never: sleep is disabled system-wide");
    return SystemSettings::duration(m_snapshot->sleepMinutes);
}

QString SettingsModel::screenSaverText() const {
    if (!currentSystem().ownScreenSaverTimer)
        return L10n::text("Follows Turn Display Off");
    return m_snapshot ? screenSaverText(m_snapshot->screenSaverSeconds) : readingText();
}

QString SettingsModel::assertionText() const {
    return assertionText(m_snapshot);
}

QString SettingsModel::statusLine() const {
    return statusLine(m_snapshot);
}

QString SettingsModel::screenSaverText(std::optional<qint64> seconds) {
    if (!seconds)
        return L10n::text("System default");
    return minuteLabel(*seconds / 60, L10n::text("Never"));
}

QString SettingsModel::assertionText(const std::optional<SystemSettings> &snapshot) {
    if (!snapshot)
        return readingText();
    if (snapshot->systemAssertion.value_or(false) || snapshot->displayAssertion.value_or(false)) {
        const QString preventers = snapshot->sleepPreventers.value_or(QString());
        return systemText(
                   "Wake requests are active. Other apps may prevent your Mac from sleeping.\n",
                   "Wake requests are active. Other apps may keep this computer awake.\n") +
               (preventers.isEmpty() ? L10n::text("The system did not provide process information.")
                                     : preventers);
    }
    if (!snapshot->systemAssertion)
        return L10n::text("Wake requests are currently unavailable.");
    return L10n::text("No requests preventing sleep were detected.");
}

QString SettingsModel::statusLine(const std::optional<SystemSettings> &snapshot) {
    if (!snapshot)
        return readingText();
    if (snapshot->error)
        return *snapshot->error;
    return L10n::text(
        {"Last updated {0}", {QLocale().toString(snapshot->readAt.time(), QLocale::ShortFormat)}});
}

QUrl SettingsModel::systemSettingsUrl() {
#ifdef Q_OS_MACOS
    return QUrl::fromLocalFile(QStringLiteral("/System/Applications/System Settings.app"));
#else
    return QUrl::fromLocalFile(simulatorHome());
#endif
}

void SettingsModel::update(bool force) {
    const bool applyJustEnded = m_busy && !m_store.isApplying();
    m_busy = m_store.isApplying();
    emit busyChanged();
    if (m_reading)
        return;
    const bool due = !m_lastRead || m_lastRead->msecsTo(m_environment.clock()) >= readInterval;
    if (!force && !applyJustEnded && !due)
        return;
    startRead();
}

void SettingsModel::markStale() {
    m_lastRead.reset();
    m_staleWhileReading = m_reading;
}

void SettingsModel::restoreOriginal() {
    setRestoreNotice({});
    whenFinished(this, m_store.restoreOriginal(), [this](const QFuture<void> &) {
        setRestoreNotice(m_store.notice().value_or(QString()));
        update(true);
    });
}

void SettingsModel::setRestoreNotice(const QString &notice) {
    if (notice == m_restoreNotice)
        return;
    m_restoreNotice = notice;
    emit restoreNoticeChanged();
}

void SettingsModel::openSystemSettings() {
    const SystemIdentity system = currentSystem();
    const QUrl url = systemSettingsUrl();
    QString failure;
    if (!system.powerSettingsCommand.isEmpty()) {
        if (!m_environment.startProgram(system.powerSettingsCommand))
            failure = L10n::text({"The {0} power settings could not be opened.", {system.name}});
    } else if (!m_environment.openUrl(url)) {
#ifdef Q_OS_MACOS
        failure = L10n::text("System Settings could not be opened.");
#else
        failure = L10n::text({"No application could open the simulated Mac's folder: {0}",
                              {QDir::toNativeSeparators(url.toLocalFile())}});
#endif
    }
    if (failure == m_openFailure)
        return;
    m_openFailure = failure;
    emit openFailureChanged();
}

void SettingsModel::startRead() {
    m_reading = true;
    whenFinished(this, m_environment.readSystem(), [this](const QFuture<SystemSettings> &read) {
        m_reading = false;
        if (read.isCanceled() || read.resultCount() == 0)
            return;
        m_snapshot = read.result();
        m_lastRead = std::exchange(m_staleWhileReading, false)
                         ? std::nullopt
                         : std::optional(m_environment.clock());
        emit snapshotChanged();
    });
}

} // namespace norvane
