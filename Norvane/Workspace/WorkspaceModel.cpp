#include "WorkspaceModel.h"

#include "Components/WhenFinished.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "Status/Drift.h"
#include "WorkspaceViews.h"

#include <QGuiApplication>
#include <QLocale>

namespace norvane {

namespace {

struct MinuteBinding {
    qint64 Profile::*field;
    qint64 scale;
    std::optional<Policy::Setting> limited; // the policy's setting that limits it
};

MinuteBinding binding(WorkspaceModel::MinuteField field) {
    switch (field) {
    case WorkspaceModel::DisplayMinutes:
        return {&Profile::displayMinutes, 1, Policy::Setting::display};
    case WorkspaceModel::SleepMinutes:
        return {&Profile::sleepMinutes, 1, Policy::Setting::sleep};
    case WorkspaceModel::ScreenSaver:
        return {&Profile::screenSaverSeconds, 60, Policy::Setting::screenSaver};
    case WorkspaceModel::AutomaticReturn:
        break;
    }
    return {&Profile::defaultMinutes, 1, std::nullopt};
}

WorkspaceModel::Environment completed(WorkspaceModel::Environment environment) {
    if (!environment.clock)
        environment.clock = [] { return QDateTime::currentDateTime(); };
    if (!environment.readSystem)
        environment.readSystem = readSystemInBackground;
    if (!environment.policy)
        environment.policy = [] { return Policy(); };
    if (!environment.applicationActive)
        environment.applicationActive = [] {
            return QGuiApplication::applicationState() == Qt::ApplicationActive;
        };
    return environment;
}

bool titleContains(const Profile &profile, const QString &search) {
    const QLocale locale;
    return locale.toLower(profile.localizedTitle())
        .contains(locale.toLower(search), Qt::CaseInsensitive);
}

} // namespace

WorkspaceModel::WorkspaceModel(SessionStore &store, ProfileLibrary &library,
                               Environment environment, QObject *parent)
    : QObject(parent), m_store(store), m_library(library),
      m_environment(completed(std::move(environment))), m_profiles(library.profiles()),
      m_profileList(sidebarRows(this)), m_selected(new SelectedProfileView(this)),
      m_liveStatus(new LiveStatusView(this)), m_footer(new ApplyFooterView(this)),
      m_announcement(new Announcement(this)), m_normalOffer(new NormalOffer(this)) {
    m_applying = m_store.isApplying();
    updateDerivedFlags();
    // After the rows have followed the same change.
    for (const auto signal : {&WorkspaceModel::profilesChanged, &WorkspaceModel::selectedIDChanged,
                              &WorkspaceModel::searchChanged})
        connect(this, signal, this, &WorkspaceModel::selectedRowChanged);
}

WorkspaceModel::~WorkspaceModel() = default;

void WorkspaceModel::setSearch(const QString &search) {
    if (m_search == search)
        return;
    m_search = search;
    emit searchChanged();
    updateDerivedFlags();
}

void WorkspaceModel::setListScroll(double offset) {
    if (m_listScroll == offset)
        return;
    m_listScroll = offset;
    emit scrollChanged();
}

void WorkspaceModel::setDetailScroll(double offset) {
    if (m_detailScroll == offset)
        return;
    m_detailScroll = offset;
    emit scrollChanged();
}

Profile WorkspaceModel::selectedProfile() const {
    return m_library.profile(m_selectedID).value_or(m_library.normal());
}

QList<Profile> WorkspaceModel::visibleProfiles() const {
    if (m_search.isEmpty())
        return m_profiles;
    QList<Profile> visible;
    for (const Profile &profile : m_profiles)
        if (titleContains(profile, m_search))
            visible << profile;
    return visible;
}

bool WorkspaceModel::noMatches() const {
    return m_noMatches;
}

bool WorkspaceModel::isApplied(const Profile &profile) const {
    return m_store.hasAppliedProfile() && m_store.session().profile == profile;
}

bool WorkspaceModel::applying() const {
    return m_applying;
}

Policy WorkspaceModel::policy() const {
    return m_environment.policy();
}

std::optional<Policy::Excess> WorkspaceModel::forbidden(const Profile &profile) const {
    const QList<Policy::Excess> excesses = policy().excesses(profile);
    if (excesses.isEmpty())
        return std::nullopt;
    return excesses.first();
}

bool WorkspaceModel::profilesLocked() const {
    return m_library.loadError().has_value();
}

bool WorkspaceModel::returnFailed() const {
    return m_store.hasAppliedProfile() && m_store.returnFailure().has_value();
}

qint64 WorkspaceModel::minutes(MinuteField field) const {
    const MinuteBinding b = binding(field);
    return selectedProfile().*b.field / b.scale;
}

void WorkspaceModel::setMinutes(MinuteField field, qint64 value) {
    const MinuteBinding b = binding(field);
    if (b.limited) {
        // Every limited control counts in minutes.
        if (const std::optional<Policy::Excess> over = policy().excess(*b.limited, value * 60)) {
            setError(over->editRefusal());
            return;
        }
    }
    Profile profile = selectedProfile();
    profile.*b.field = value * b.scale;
    if (attempt([&] { m_library.save(profile); }))
        refreshProfiles();
}

void WorkspaceModel::refreshProfiles() {
    m_profiles = m_library.profiles();
    emit profilesChanged();
    if (!m_library.profile(m_selectedID))
        setSelectedID(m_library.normal().id);
    updateDerivedFlags();
}

void WorkspaceModel::refresh(bool readSystem) {
    const bool lowPower = m_snapshot && m_snapshot->lowPower.value_or(false);
    const bool effects = readSystem && m_environment.applicationActive() && !lowPower;
    if (effects != m_effectsActive) {
        m_effectsActive = effects;
        emit effectsActiveChanged();
    }

    ++m_revision;
    const bool applyingNow = m_store.isApplying();
    if (m_wasApplying && !applyingNow) {
        m_lastRead.reset(); // an apply just ended: read at once
        // A failure tells itself in its alert.
        if (m_store.lastOutcome().kind != SessionStore::Outcome::Kind::failed && m_store.notice())
            m_announcement->announce(*m_store.notice());
    }
    m_wasApplying = applyingNow;
    if (m_applying != applyingNow) {
        m_applying = applyingNow;
        emit applyingChanged();
    }
    emit revisionChanged();

    if (readSystem && !m_reading &&
        (!m_lastRead || m_lastRead->msecsTo(m_environment.clock()) >= readInterval))
        startRead();
}

void WorkspaceModel::markStale() {
    m_lastRead.reset();
    m_staleWhileReading = m_reading;
}

void WorkspaceModel::select(const QString &id) {
    setSelectedID(id);
    if (std::exchange(m_showingRules, false))
        emit pageChanged();
}

void WorkspaceModel::showRules() {
    if (m_rules && !std::exchange(m_showingRules, true))
        emit pageChanged();
}

void WorkspaceModel::setRules(RulesModel *rules, SwitchingReason *reason) {
    m_rules = rules;
    m_reason = reason;
    emit pageChanged();
}

void WorkspaceModel::moveSelection(Move move) {
    const QStringList ids = m_profileList->ids();
    if (ids.isEmpty())
        return;
    const qsizetype row = ids.indexOf(m_selectedID);
    qsizetype target = 0;
    switch (move) {
    case Up:
        target = row < 0 ? ids.size() - 1 : std::max<qsizetype>(row - 1, 0);
        break;
    case Down:
        target = row < 0 ? 0 : std::min(row + 1, ids.size() - 1);
        break;
    case Home:
        target = 0;
        break;
    case End:
        target = ids.size() - 1;
        break;
    }
    setSelectedID(ids.at(target));
}

int WorkspaceModel::selectedRow() const {
    return int(m_profileList->ids().indexOf(m_selectedID));
}

bool WorkspaceModel::clearSearch() {
    if (m_search.isEmpty())
        return false;
    setSearch({});
    return true;
}

void WorkspaceModel::edit() {
    if (onEdit)
        onEdit(selectedProfile());
}

void WorkspaceModel::newProfile() {
    if (onEdit)
        onEdit(std::nullopt);
}

void WorkspaceModel::readNow() {
    if (!m_reading)
        startRead();
}

void WorkspaceModel::openSettings() {
    if (onSettings)
        onSettings();
}

void WorkspaceModel::apply() {
    if (m_store.isApplying() || !onActivate)
        return;
    const Profile profile = selectedProfile();
    // On the applied profile whose return failed, the footer's button is Try Again.
    if (returnFailed() && isApplied(profile))
        (void)m_store.retryReturn();
    else if (const std::optional<QString> refusal = policy().violation(profile))
        setError(refusal);
    else
        onActivate(profile, profile.defaultMinutes);
}

void WorkspaceModel::duplicate() {
    const QString id = selectedProfile().id;
    std::optional<Profile> copy;
    if (!attempt([&] { copy = m_library.duplicate(id); }))
        return;
    setSelectedID(copy->id);
    refreshProfiles();
}

void WorkspaceModel::resetToFactorySettings() {
    const QString id = selectedProfile().id;
    if (attempt([&] { m_library.resetPreset(id); }))
        refreshProfiles();
}

void WorkspaceModel::deleteProfile() {
    deleteProfile(selectedProfile().id);
}

void WorkspaceModel::deleteProfile(const QString &id) {
    const std::optional<Profile> deleted = m_library.profile(id);
    if (!deleted || !attempt([&] { m_library.remove(id); }))
        return;
    refreshProfiles();
    const qsizetype rules = m_environment.rulesUsing ? m_environment.rulesUsing(id) : 0;
    if (rules > 0)
        setError(L10n::text(
            {"{0} rules use “{1}”. They are kept, and do nothing until you choose another profile for them or undo the deletion.",
             {QLocale().toString(rules), deleted->localizedTitle()}}));
}

void WorkspaceModel::dismissError() {
    setError(std::nullopt);
}

void WorkspaceModel::setAsideDamagedProfiles() {
    if (onSetAsideProfiles)
        onSetAsideProfiles();
}

void WorkspaceModel::perform(const QString &action) {
    if (action == u"edit")
        edit();
    else if (action == u"duplicate")
        duplicate();
    else if (action == u"reset")
        resetToFactorySettings();
    else if (action == u"delete")
        deleteProfile();
}

void WorkspaceModel::setSelectedID(const QString &id) {
    if (m_selectedID == id)
        return;
    m_selectedID = id;
    emit selectedIDChanged();
}

void WorkspaceModel::setError(const std::optional<QString> &error) {
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void WorkspaceModel::updateDerivedFlags() {
    const bool noMatches = !m_search.isEmpty() && visibleProfiles().isEmpty();
    if (noMatches != m_noMatches) {
        m_noMatches = noMatches;
        emit noMatchesChanged();
    }
}

bool WorkspaceModel::drifted() const {
    if (!m_snapshot || !m_store.hasAppliedProfile() || m_store.isApplying() ||
        m_snapshotSession != m_store.session())
        return false;
    return !Drift::between(*m_snapshot, m_store.profile()).isEmpty();
}

void WorkspaceModel::startRead() {
    m_reading = true;
    std::optional<Session> session;
    if (m_store.hasAppliedProfile() && !m_store.isApplying())
        session = m_store.session();
    // A read that outlives the model is simply dropped.
    whenFinished(this, m_environment.readSystem(),
                 [this, session](const QFuture<SystemSettings> &read) {
                     m_reading = false;
                     if (read.isCanceled() || read.resultCount() == 0)
                         return;
                     m_snapshotSession = session;
                     m_snapshot = read.result();
                     m_lastRead = std::exchange(m_staleWhileReading, false)
                                      ? std::nullopt
                                      : std::optional(m_environment.clock());
                     emit snapshotChanged();
                     announceDrift();
                 });
}

void WorkspaceModel::announceDrift() {
    const bool drifted = this->drifted();
    if (drifted && !m_wasDrifted)
        m_announcement->announce(L10n::text(
            {"{0} applied · changed outside Pellor", {m_store.profile().localizedTitle()}}));
    m_wasDrifted = drifted;
}

bool WorkspaceModel::attempt(const std::function<void()> &operation) {
    try {
        operation();
        return true;
    } catch (const std::exception &error) {
        setError(localizedDescription(error));
        return false;
    }
}

} // namespace norvane
