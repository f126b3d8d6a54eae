#include "HomeHeroModel.h"

#include "AccessibilityPreferences.h"
#include "HomeShaders.h"
#include "Localization/L10n.h"

#include <QSettings>

namespace norvane {

HomeHeroModel::HomeHeroModel(QObject *parent)
    : QObject(parent), m_clock([] { return QDateTime::currentDateTime(); }),
      m_shaderFile(HomeShaders::library().value_or(QString())),
      m_reduceMotion(AccessibilityPreferences::reduceMotion()),
      m_reduceTransparency(AccessibilityPreferences::reduceTransparency()) {}

void HomeHeroModel::setShaderFile(const QString &file) {
    const bool before = usesShader();
    m_shaderFile = file;
    if (usesShader() != before)
        emit usesShaderChanged();
}

void HomeHeroModel::setProfileId(const QString &id) {
    if (m_profileId == id)
        return;
    m_profileId = id;
    if (m_firstVisit) {
        m_firstVisit = false;
        emit textsChanged();
    }
    emit profileIdChanged();
}

void HomeHeroModel::setIntroduction(const QString &introduction) {
    if (m_introduction == introduction)
        return;
    m_introduction = introduction;
    emit textsChanged();
}

void HomeHeroModel::setEnergy(double energy) {
    if (m_energy == energy)
        return;
    m_energy = energy;
    emit energyChanged();
}

void HomeHeroModel::setEffectsActive(bool active) {
    if (m_effectsActive != active)
        changeAnimation([&] { m_effectsActive = active; });
}

void HomeHeroModel::setReduceMotion(bool reduce) {
    if (m_reduceMotion == reduce)
        return;
    changeAnimation([&] { m_reduceMotion = reduce; });
    if (reduce)
        setRevealed(true, false);
}

void HomeHeroModel::setReduceTransparency(bool reduce) {
    if (m_reduceTransparency == reduce)
        return;
    const bool shaderBefore = usesShader();
    changeAnimation([&] { m_reduceTransparency = reduce; });
    if (usesShader() != shaderBefore)
        emit usesShaderChanged();
}

bool HomeHeroModel::animating() const {
    return m_effectsActive && !m_reduceMotion && !m_reduceTransparency;
}

QString HomeHeroModel::eyebrow() const {
    return m_firstVisit ? L10n::text("Welcome to Pellor") : L10n::text("Power & Display Profiles");
}

QString HomeHeroModel::body() const {
    if (m_firstVisit)
        return L10n::text("Choose a profile and click Apply Profile below to get started.");
    return m_introduction;
}

bool HomeHeroModel::usesShader() const {
    return !m_shaderFile.isEmpty() && !m_shaderFailed && !m_reduceTransparency;
}

QUrl HomeHeroModel::shaderUrl() const {
    return m_shaderFile.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_shaderFile);
}

void HomeHeroModel::reportShaderCompiled() const {
    HomeShaders::reportCompiled(shaderUrl());
}

void HomeHeroModel::appear() {
    if (m_shown)
        return;
    m_shown = true;
    QSettings settings;
    const bool firstVisit = !settings.value(introductionKey, false).toBool();
    if (firstVisit != m_firstVisit) {
        m_firstVisit = firstVisit;
        emit textsChanged();
    }
    setRevealed(true, m_firstVisit && !m_reduceMotion);
    settings.setValue(introductionKey, true);
    if (animating())
        m_animation.start(now());
}

void HomeHeroModel::disappear() {
    if (!m_shown)
        return;
    m_shown = false;
    m_animation.pause(now());
}

double HomeHeroModel::time() const {
    return m_reduceMotion ? 0.0 : m_animation.time(now());
}

void HomeHeroModel::reportShaderFailure() {
    if (m_shaderFailed)
        return;
    const bool before = usesShader();
    m_shaderFailed = true;
    if (before)
        emit usesShaderChanged();
}

void HomeHeroModel::changeAnimation(const std::function<void()> &change) {
    const bool before = animating();
    change();
    if (animating() == before)
        return;
    if (m_shown) {
        if (animating())
            m_animation.start(now());
        else
            m_animation.pause(now());
    }
    emit animatingChanged();
}

void HomeHeroModel::setRevealed(bool revealed, bool animated) {
    if (m_revealed == revealed)
        return;
    m_revealed = revealed;
    m_revealAnimated = animated;
    emit revealedChanged();
}

QDateTime HomeHeroModel::now() const {
    return m_clock();
}

} // namespace norvane
