#include "HomeHeroModel.h"

#include "AccessibilityPreferences.h"
#include "HeroBackdrop.h"
#include "HomeShaders.h"
#include "Localization/L10n.h"

#include <QSGRendererInterface>
#include <QSettings>

namespace norvane {

HomeHeroModel::HomeHeroModel(QObject *parent)
    : QObject(parent), m_clock([] { return QDateTime::currentDateTime(); }),
      m_shaderFile(HomeShaders::library().value_or(QString())),
      m_reduceMotion(AccessibilityPreferences::reduceMotion()),
      m_reduceTransparency(AccessibilityPreferences::reduceTransparency()) {}

void HomeHeroModel::setShaderFile(const QString &file) {
    if (m_shaderFile != file)
        changeShader([&] { m_shaderFile = file; });
}

void HomeHeroModel::setGraphicsApi(int api) {
    if (m_graphicsApi != api)
        changeShader([&] { m_graphicsApi = api; });
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
    emit backdropChanged();
}

void HomeHeroModel::setAccent(const QColor &accent) {
    if (m_accent == accent)
        return;
    m_accent = accent;
    emit backdropChanged();
}

void HomeHeroModel::setFamily(double family) {
    if (m_family == family)
        return;
    m_family = family;
    emit backdropChanged();
}

void HomeHeroModel::setDark(bool dark) {
    if (m_dark == dark)
        return;
    m_dark = dark;
    emit backdropChanged();
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
    changeShader([&] { changeAnimation([&] { m_reduceTransparency = reduce; }); });
}

bool HomeHeroModel::animating() const {
    return m_effectsActive && !m_reduceMotion && !m_reduceTransparency;
}

QString HomeHeroModel::eyebrow() const {
    return m_firstVisit ? L10n::text("Welcome to Pellor") : L10n::text("Power & Display Profiles");
}

QString HomeHeroModel::body() const {
    if (m_firstVisit)
        return L10n::text(
            "Each profile sets how long this computer waits before the display turns off and it sleeps. Choose one and click Apply Profile below.");
    return m_introduction;
}

bool HomeHeroModel::usesShader() const {
    return !m_shaderFile.isEmpty() && !m_shaderFailed && !m_reduceTransparency &&
           QSGRendererInterface::isApiRhiBased(QSGRendererInterface::GraphicsApi(m_graphicsApi));
}

QUrl HomeHeroModel::shaderUrl() const {
    return m_shaderFile.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_shaderFile);
}

QVariantList HomeHeroModel::backdropBands() const {
    QVariantList colours;
    for (const QColor &colour : HeroBackdrop::bands(m_accent, m_family, m_energy, m_dark))
        colours << colour;
    return colours;
}

QColor HomeHeroModel::backdropGlow() const {
    return HeroBackdrop::glow(m_accent, m_energy);
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
    if (!m_shaderFailed)
        changeShader([&] { m_shaderFailed = true; });
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

// Changes what decides between the shader and the gradient, and says when the answer or the
// shader file changed.
void HomeHeroModel::changeShader(const std::function<void()> &change) {
    const bool before = usesShader();
    const QString file = m_shaderFile;
    change();
    if (usesShader() != before || m_shaderFile != file)
        emit usesShaderChanged();
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
