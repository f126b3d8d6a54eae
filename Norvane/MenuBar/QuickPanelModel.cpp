#include "QuickPanelModel.h"

#include "Components/Background.h"
#include "Components/WhenFinished.h"
#include "Localization/L10n.h"
#include "PowerTexts.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "Worlds/World.h"

namespace norvane {

namespace {

QuickPanelModel::Environment completed(QuickPanelModel::Environment environment) {
    if (!environment.clock)
        environment.clock = [] { return QDateTime::currentDateTime(); };
    if (!environment.readPower)
        environment.readPower = [] { return currentWorld()->readPower(); };
    if (!environment.policy)
        environment.policy = [] { return Policy(); };
    return environment;
}

} // namespace

// MARK: QuickPanelModel

QuickPanelModel::QuickPanelModel(SessionStore &store, ProfileLibrary &library,
                                 Environment environment, QObject *parent)
    : QObject(parent), m_store(store), m_library(library),
      m_environment(completed(std::move(environment))), m_profileList(new ProfileRowsModel(this)),
      m_announcement(new Announcement(this)) {
    updateFromStore();
    readPower();
}

QString QuickPanelModel::powerSymbol() const {
    return PowerTexts::symbol(m_power);
}

QString QuickPanelModel::powerTitle() const {
    return PowerTexts::title(m_power);
}

QString QuickPanelModel::powerDetail() const {
    return PowerTexts::detail(m_power);
}

bool QuickPanelModel::powerLow() const {
    return PowerTexts::isLow(m_power);
}

void QuickPanelModel::setFocusedID(const QString &id) {
    if (m_focusedID == id)
        return;
    m_focusedID = id;
    emit focusedIDChanged();
}

int QuickPanelModel::focusedRow() const {
    return int(m_profileList->ids().indexOf(m_focusedID));
}

void QuickPanelModel::refresh(bool forcePower) {
    ++m_revision;
    emit revisionChanged();
    updateFromStore();
    if (!forcePower && m_powerReadAt &&
        m_powerReadAt->msecsTo(m_environment.clock()) < powerReadInterval)
        return;
    readPower();
}

void QuickPanelModel::moveFocus(Direction direction) {
    setFocusedID(movedFocus(m_profileList->ids(), m_focusedID, direction));
}

QString QuickPanelModel::movedFocus(const QStringList &ids, const QString &focused,
                                    Direction direction) {
    if (ids.isEmpty() || (direction != Up && direction != Down))
        return focused;
    const qsizetype position = ids.indexOf(focused);
    if (position < 0)
        return direction == Down ? ids.first() : ids.last();
    const qsizetype step = direction == Down ? 1 : -1;
    return ids.at((position + step + ids.size()) % ids.size());
}

bool QuickPanelModel::activateFocused() {
    if (!m_library.profile(m_focusedID))
        return false;
    activate(m_focusedID);
    return true;
}

void QuickPanelModel::activate(const QString &id) {
    const std::optional<Profile> profile = m_library.profile(id);
    if (profile && !m_store.isApplying() && onActivate &&
        m_environment.policy().excesses(*profile).isEmpty()) {
        m_startedHere = true;
        onActivate(*profile);
    }
}

void QuickPanelModel::reapply() {
    if (m_store.hasAppliedProfile() && !m_store.isApplying() && onActivate) {
        m_startedHere = true;
        onActivate(m_store.profile());
    }
}

void QuickPanelModel::tryAgain() {
    if (!m_store.isApplying()) {
        m_startedHere = true;
        (void)m_store.retryReturn();
    }
}

void QuickPanelModel::setDrifted(bool drifted) {
    if (drifted == m_drifted)
        return;
    m_drifted = drifted;
    emit statusChanged();
}

void QuickPanelModel::setSleepDisabled(bool disabled) {
    if (disabled == m_sleepDisabled)
        return;
    m_sleepDisabled = disabled;
    emit statusChanged();
}

void QuickPanelModel::open() {
    if (onOpen)
        onOpen();
}

void QuickPanelModel::settings() {
    if (onSettings)
        onSettings();
}

void QuickPanelModel::create() {
    if (!m_store.isApplying() && onCreate)
        onCreate();
}

void QuickPanelModel::quit() {
    if (!m_store.isApplying() && onQuit)
        onQuit();
}

void QuickPanelModel::dismiss() {
    if (onDismiss)
        onDismiss();
}

void QuickPanelModel::readPower() {
    // Off the main thread: a desktop's power service may take its time to answer.
    if (m_readingPower)
        return;
    m_readingPower = true;
    m_powerReadAt = m_environment.clock();
    whenFinished(this, inBackground(m_environment.readPower),
                 [this](const QFuture<PowerStatus> &read) {
                     m_readingPower = false;
                     if (read.resultCount() == 0 || read.result() == m_power)
                         return;
                     m_power = read.result();
                     emit powerChanged();
                 });
}

void QuickPanelModel::updateFromStore() {
    const bool hasApplied = m_store.hasAppliedProfile();
    const QString failure = hasApplied ? m_store.returnFailure().value_or(QString()) : QString();
    const QString state = failure.isEmpty() ? m_store.timeLabel()
                          : m_store.rulesSwitchFailed()
                              ? L10n::text("A rule could not switch profiles")
                              : L10n::text("Did not return to Normal");
    const QString status = hasApplied
                               ? m_store.profile().localizedTitle() + QStringLiteral(" · ") + state
                               : L10n::text("Choose a profile");
    const bool applying = m_store.isApplying();
    // A failure tells itself in its alert.
    if (m_applying && !applying && std::exchange(m_startedHere, false) &&
        m_store.lastOutcome().kind != SessionStore::Outcome::Kind::failed && m_store.notice())
        m_announcement->announce(*m_store.notice());
    const QString notice = m_store.resumeNotice().value_or(QString());
    if (status != m_statusText || applying != m_applying || failure != m_returnFailure ||
        notice != m_noticeText) {
        m_statusText = status;
        m_applying = applying;
        m_returnFailure = failure;
        m_noticeText = notice;
        emit statusChanged();
    }

    const int focusedBefore = focusedRow();
    m_profileList->show(m_library.profiles(), m_store, m_environment.policy());
    if (focusedRow() != focusedBefore)
        emit focusedIDChanged();
}

void QuickPanelModel::setReason(SwitchingReason *reason) {
    m_reason = reason;
    emit reasonChanged();
}

} // namespace norvane
