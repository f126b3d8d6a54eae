#include "SleepDiagnosisModel.h"

#include "Components/Background.h"
#include "Components/WhenFinished.h"
#include "Localization/L10n.h"
#include "Sessions/SessionStore.h"
#include "SettingsModel.h"
#include "Worlds/World.h"

#include <QClipboard>
#include <QGuiApplication>

namespace norvane {

namespace {

QFuture<std::optional<PowerAssertions>> readAssertionsInBackground() {
    return inBackground([] { return currentWorld()->readHolders(); });
}

SleepDiagnosisModel::Environment completed(SleepDiagnosisModel::Environment environment) {
    if (!environment.readAssertions)
        environment.readAssertions = readAssertionsInBackground;
    if (!environment.copy)
        environment.copy = [](const QString &text) {
            if (QClipboard *clipboard = QGuiApplication::clipboard())
                clipboard->setText(text);
        };
    return environment;
}

QStringList texts(const QList<SleepDiagnosis::Holder> &holders) {
    QStringList result;
    for (const SleepDiagnosis::Holder &holder : holders)
        result << holder.text();
    return result;
}

} // namespace

SleepDiagnosisModel::SleepDiagnosisModel(const SettingsModel &settings, const SessionStore &store,
                                         Environment environment, QObject *parent)
    : QObject(parent), m_settings(settings), m_store(store),
      m_environment(completed(std::move(environment))) {
    connect(&settings, &SettingsModel::snapshotChanged, this,
            &SleepDiagnosisModel::snapshotArrived);
}

QString SleepDiagnosisModel::displayText() const {
    return m_diagnosis ? m_diagnosis->display : L10n::text("Reading…");
}

QStringList SleepDiagnosisModel::displayHolders() const {
    return m_diagnosis ? texts(m_diagnosis->displayHolders) : QStringList();
}

QString SleepDiagnosisModel::sleepText() const {
    return m_diagnosis ? m_diagnosis->sleep : L10n::text("Reading…");
}

QStringList SleepDiagnosisModel::sleepHolders() const {
    return m_diagnosis ? texts(m_diagnosis->sleepHolders) : QStringList();
}

QString SleepDiagnosisModel::lowPowerText() const {
    return m_diagnosis ? m_diagnosis->lowPower : L10n::text("Reading…");
}

QString SleepDiagnosisModel::report() const {
    const auto &snapshot = m_settings.snapshot();
    if (!snapshot)
        return {};
    ReportSession session;
    if (m_store.hasAppliedProfile()) {
        session.profileName = m_store.profile().localizedTitle();
        if (m_store.session().deadline)
            session.timeLeft = m_store.timeLabel();
    }
    return sleepReport(*snapshot, m_assertions, session);
}

void SleepDiagnosisModel::copyReport() {
    const QString text = report();
    if (text.isEmpty())
        return;
    m_environment.copy(text);
    m_reportCopied = true;
    emit changed();
}

void SleepDiagnosisModel::setExpanded(bool expanded) {
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    emit expandedChanged();
    if (m_expanded && m_settings.snapshot())
        snapshotArrived();
}

void SleepDiagnosisModel::snapshotArrived() {
    if (!m_expanded)
        return;
    if (m_reading) {
        m_readAgain = true; // one read at a time; the newest snapshot gets its own
        return;
    }
    m_reading = true;
    whenFinished(this, m_environment.readAssertions(),
                 [this](const QFuture<std::optional<PowerAssertions>> &read) {
                     m_reading = false;
                     m_reportCopied = false;
                     m_assertions = read.resultCount() > 0 ? read.result() : std::nullopt;
                     if (const auto &snapshot = m_settings.snapshot())
                         m_diagnosis = SleepDiagnosis::make(*snapshot, m_assertions);
                     emit changed();
                     if (std::exchange(m_readAgain, false))
                         snapshotArrived();
                 });
}

} // namespace norvane
