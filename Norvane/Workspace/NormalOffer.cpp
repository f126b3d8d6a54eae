#include "NormalOffer.h"

#include "Components/MinuteLabel.h"
#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "Status/SystemSettings.h"
#include "WorkspaceModel.h"

#include <QSettings>

namespace norvane {

namespace {

bool answered() {
    return QSettings().value(NormalOffer::answeredKey, false).toBool();
}

void rememberAnswer() {
    QSettings().setValue(NormalOffer::answeredKey, true);
}

} // namespace

NormalOffer::NormalOffer(WorkspaceModel *model) : QObject(model), m_model(model) {
    for (const auto signal : {&WorkspaceModel::snapshotChanged, &WorkspaceModel::profilesChanged,
                              &WorkspaceModel::applyingChanged})
        connect(model, signal, this, &NormalOffer::update);
}

std::optional<Profile> NormalOffer::currentTimesAsNormal(const SystemSettings &settings,
                                                         bool ownScreenSaverTimer) {
    if (settings.error || !settings.displayMinutes || !settings.sleepMinutes)
        return std::nullopt;
    Profile current = Profile::normal();
    current.displayMinutes = *settings.displayMinutes;
    current.sleepMinutes = *settings.sleepMinutes;
    if (ownScreenSaverTimer && settings.screenSaverSeconds)
        current.screenSaverSeconds = *settings.screenSaverSeconds;
    if (current == Profile::normal())
        return std::nullopt;
    try {
        return current.validated();
    } catch (const std::exception &) {
        return std::nullopt; // times Pellor cannot hold, such as a screen saver in seconds
    }
}

void NormalOffer::useCurrentTimes() {
    if (m_state != Asking || !m_model->attempt([this] { m_model->library().save(*m_current); }))
        return;
    rememberAnswer();
    setState(Adopted, L10n::text("Normal now uses this computer's times."));
    m_model->refreshProfiles();
}

void NormalOffer::keepPellorsNormal() {
    if (m_state != Asking)
        return;
    rememberAnswer();
    setState(Hidden);
}

void NormalOffer::undo() {
    if (m_state != Adopted ||
        !m_model->attempt([this] { m_model->library().resetPreset(Profile::normal().id); }))
        return;
    setState(Hidden);
    m_model->refreshProfiles();
}

void NormalOffer::dismiss() {
    if (m_state == Adopted)
        setState(Hidden);
}

void NormalOffer::update() {
    if (m_state == Adopted)
        return; // until the person has seen it
    const bool ownScreenSaverTimer = currentSystem().ownScreenSaverTimer;
    const std::optional<SystemSettings> &snapshot = m_model->snapshot();
    const bool mayAsk = snapshot && !m_model->applying() && !m_model->profilesLocked() &&
                        !m_model->store().hasAppliedProfile() &&
                        m_model->library().normal() == Profile::normal() && !answered();
    m_current = mayAsk ? currentTimesAsNormal(*snapshot, ownScreenSaverTimer) : std::nullopt;
    if (m_current)
        setState(Asking, question(*m_current, ownScreenSaverTimer && snapshot->screenSaverSeconds));
    else
        setState(Hidden);
}

void NormalOffer::setState(State state, const QString &text) {
    if (state == m_state && text == m_text)
        return;
    m_state = state;
    m_text = text;
    emit changed();
}

QString NormalOffer::question(const Profile &current, bool screenSaverRead) {
    const QString now =
        screenSaverRead ? current.subtitle()
                        : L10n::text({"Display {0} · Sleep {1}",
                                      {minuteLabel(current.displayMinutes, L10n::text("Never")),
                                       minuteLabel(current.sleepMinutes, L10n::text("Never"))}});
    return L10n::text(
        {"Now on this computer: {0}. Normal, which Pellor returns to after every timed profile, would set: {1}.",
         {now, Profile::normal().subtitle()}});
}

} // namespace norvane
