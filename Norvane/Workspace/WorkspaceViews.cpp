#include "WorkspaceViews.h"

#include "Components/MinuteLabel.h"
#include "Components/ProfileRowsModel.h"
#include "Components/ProfileVisuals.h"
#include "Hero/HomeAtmosphere.h"
#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"
#include "Sessions/SessionStore.h"
#include "WorkspaceModel.h"

namespace norvane {

namespace {

QString liveMinutes(const std::optional<SystemSettings> &snapshot,
                    std::optional<qint64> SystemSettings::*field) {
    if (!snapshot)
        return L10n::text("Reading");
    const std::optional<qint64> &minutes = (*snapshot).*field;
    if (!minutes)
        return L10n::text("Unavailable");
    return minuteLabel(*minutes, L10n::text("Never"));
}

QVariantMap action(const char *name, const QString &title, bool destructive = false) {
    return {{QStringLiteral("action"), QString::fromLatin1(name)},
            {QStringLiteral("title"), title},
            {QStringLiteral("destructive"), destructive}};
}

// A factory preset can be reset, a profile of the user's own deleted; one the organisation
// provides can only be copied.
QVariantList profileActions(const Profile &profile) {
    if (profile.managed)
        return {action("duplicate", L10n::text("Duplicate Profile"))};
    QVariantList actions{action("edit", L10n::text("Edit Name & Icon…")),
                         action("duplicate", L10n::text("Duplicate Profile"))};
    if (profile.isPreset())
        actions << action("reset", L10n::text("Reset to Factory Settings"));
    else
        actions << action("delete", L10n::text("Delete Profile"), true);
    return actions;
}

// Connects the model signals that can change a derived part to its update.
template <typename View, typename Update>
void follow(WorkspaceModel *model, View *view, Update update) {
    for (const auto signal : {&WorkspaceModel::profilesChanged, &WorkspaceModel::selectedIDChanged,
                              &WorkspaceModel::revisionChanged, &WorkspaceModel::snapshotChanged,
                              &WorkspaceModel::searchChanged})
        QObject::connect(model, signal, view, update);
}

} // namespace

// MARK: Sidebar rows

ProfileRowsModel *sidebarRows(WorkspaceModel *model) {
    auto *rows = new ProfileRowsModel(model);
    // While the rules page shows, no profile row is the selected one.
    const auto update = [model, rows] {
        rows->show(model->visibleProfiles(), model->store(), model->policy(),
                   model->showingRules() ? QString() : model->selectedID());
    };
    follow(model, rows, update);
    QObject::connect(model, &WorkspaceModel::pageChanged, rows, update);
    update();
    return rows;
}

// MARK: SelectedProfileView

SelectedProfileView::SelectedProfileView(WorkspaceModel *model) : QObject(model), m_model(model) {
    follow(model, this, &SelectedProfileView::update);
    update();
}

void SelectedProfileView::update() {
    const Profile profile = m_model->selectedProfile();
    const HomeAtmosphere atmosphere(profile);
    const QString never = L10n::text("Never");
    State state;
    state.id = profile.id;
    state.title = profile.localizedTitle();
    state.symbol = profile.symbol();
    state.accent = norvane::accent(profile);
    state.introduction = norvane::introduction(profile);
    state.isPreset = profile.isPreset();
    state.managed = profile.managed;
    state.isNormal = profile.isNormal();
    state.applied = m_model->isApplied(profile);
    state.displayMinutes = int(m_model->minutes(WorkspaceModel::DisplayMinutes));
    state.sleepMinutes = int(m_model->minutes(WorkspaceModel::SleepMinutes));
    state.screenSaverMinutes = int(m_model->minutes(WorkspaceModel::ScreenSaver));
    state.returnMinutes = int(m_model->minutes(WorkspaceModel::AutomaticReturn));
    state.displayPill = L10n::text({"Display {0}", {minuteLabel(profile.displayMinutes, never)}});
    state.sleepPill = L10n::text({"Sleep {0}", {minuteLabel(profile.sleepMinutes, never)}});
    state.screenSaverPill = L10n::text(
        {"Screen saver {0}",
         {currentSystem().ownScreenSaverTimer ? minuteLabel(profile.screenSaverSeconds / 60, never)
                                              : L10n::text("follows display")}});
    state.returnSubtitle = profile.isNormal()
                               ? L10n::text("Other profiles return here when their timer ends")
                               : L10n::text("Return to Normal when time is up; keep Pellor open");
    state.energy = atmosphere.energy;
    state.seed = atmosphere.seed;
    state.family = atmosphere.family;
    state.actions = profileActions(profile);
    if (state == m_state)
        return;
    m_state = state;
    emit changed();
}

// MARK: LiveStatusView

LiveStatusView::LiveStatusView(WorkspaceModel *model) : QObject(model), m_model(model) {
    connect(model, &WorkspaceModel::snapshotChanged, this, &LiveStatusView::update);
    update();
}

// A property getter, so a member although it reads no state.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
QString LiveStatusView::systemNote() const {
    return currentSystem().note;
}

void LiveStatusView::update() {
    const std::optional<SystemSettings> &snapshot = m_model->snapshot();
    m_displayValue = liveMinutes(snapshot, &SystemSettings::displayMinutes);
    // Then the Mac never sleeps on idle, whatever its sleep timer says.
    m_sleepValue = snapshot && snapshot->sleepDisabled.value_or(false)
                       ? L10n::text("Disabled system-wide")
                       : liveMinutes(snapshot, &SystemSettings::sleepMinutes);
    m_sourceValue = snapshot ? snapshot->source : L10n::text("Reading");
    m_error = snapshot ? snapshot->error.value_or(QString()) : QString();
    emit changed();
}

// MARK: ApplyFooterView

ApplyFooterView::ApplyFooterView(WorkspaceModel *model) : QObject(model), m_model(model) {
    follow(model, this, &ApplyFooterView::update);
    update();
}

void ApplyFooterView::update() {
    const Profile profile = m_model->selectedProfile();
    const SessionStore &store = m_model->store();
    const bool applied = m_model->isApplied(profile);
    const QString title = profile.localizedTitle();
    const QString applying = systemText(
        "Apply Profile writes these times to macOS and may ask for administrator authorization.",
        "Apply Profile writes these times to your {0} settings.");
    QString status;
    QString explanation;
    QString button = applied ? L10n::text("Reapply") : L10n::text("Apply Profile");
    const auto &snapshot = m_model->snapshot();
    const std::optional<Policy::Excess> forbidden = m_model->forbidden(profile);
    bool canApply = true;
    if (store.isApplying()) {
        status = L10n::text("Applying profile…");
        explanation = store.isWaitingForTurn()
                          ? store.notice().value_or(QString())
                          : systemText("Complete the action in the system authorization dialog",
                                       "Saving and checking your {0} settings…");
    } else if (forbidden && !(applied && m_model->returnFailed())) {
        status = L10n::text("Not allowed by your organisation");
        explanation = forbidden->reason();
        canApply = false;
    } else if (!applied) {
        status = L10n::text("This profile is not applied");
        explanation = applying;
    } else if (m_model->returnFailed()) {
        status = store.rulesSwitchFailed() ? L10n::text("A rule could not switch profiles")
                                           : L10n::text({"{0} did not return to Normal", {title}});
        explanation = *store.returnFailure();
        button = L10n::text("Try Again");
    } else if (m_model->drifted()) {
        status = L10n::text({"{0} applied · changed outside Pellor", {title}});
        explanation = L10n::text(
            "Display, sleep or screen saver settings were changed outside Pellor. Reapply to set them again.");
    } else {
        status =
            store.session().deadline
                ? L10n::text({"{0} applied · returns to Normal in {1}", {title, store.timeLabel()}})
                : L10n::text({"{0} applied", {title}});
        // The profile's sleep timer was written, but the Mac ignores it while this is set.
        if (profile.sleepMinutes > 0 && snapshot && snapshot->sleepDisabled.value_or(false))
            explanation =
                L10n::text("The Mac will still not sleep: sleep is disabled system-wide.");
        else if (store.lastOutcome().kind == SessionStore::Outcome::Kind::failed ||
                 store.lastOutcome().kind == SessionStore::Outcome::Kind::cancelled)
            // A change of another profile failed: this one's line says what that left.
            explanation = L10n::text(
                {"The last change did not go through, so {0} is still in effect.", {title}});
        else
            // The outcome of the latest apply, wherever it was started; never a stale progress
            // line.
            explanation = store.resumeNotice().value_or(store.notice().value_or(applying));
    }
    if (status == m_statusLine && explanation == m_explanationLine && button == m_applyTitle &&
        canApply == m_canApply)
        return;
    m_canApply = canApply;
    m_statusLine = status;
    m_explanationLine = explanation;
    m_applyTitle = button;
    emit changed();
}

} // namespace norvane
