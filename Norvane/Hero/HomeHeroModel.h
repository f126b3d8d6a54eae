#pragma once

#include "AnimationClock.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <QUrl>
#include <functional>

namespace norvane {

// The hero's state: the first-visit welcome and its reveal, when the backdrop animates, the
// animation time that survives pauses, whether the shader or the gradient is drawn, and the
// gradient's colours.
class HomeHeroModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString profileId READ profileId WRITE setProfileId NOTIFY profileIdChanged)
    Q_PROPERTY(QString introduction READ introduction WRITE setIntroduction NOTIFY textsChanged)
    Q_PROPERTY(double energy READ energy WRITE setEnergy NOTIFY energyChanged)
    Q_PROPERTY(QColor accent READ accent WRITE setAccent NOTIFY backdropChanged)
    Q_PROPERTY(double family READ family WRITE setFamily NOTIFY backdropChanged)
    Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY backdropChanged)
    // The graphics API of the window's scene (QSGRendererInterface::GraphicsApi, as QML's
    // GraphicsInfo.api tells it): the shader needs one of Qt's GPU APIs.
    Q_PROPERTY(int graphicsApi READ graphicsApi WRITE setGraphicsApi NOTIFY usesShaderChanged)
    Q_PROPERTY(bool effectsActive READ effectsActive WRITE setEffectsActive NOTIFY animatingChanged)
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY animatingChanged)
    Q_PROPERTY(bool reduceTransparency READ reduceTransparency WRITE setReduceTransparency NOTIFY
                   animatingChanged)
    Q_PROPERTY(bool animating READ animating NOTIFY animatingChanged)
    Q_PROPERTY(int frameInterval READ frameInterval NOTIFY energyChanged)
    Q_PROPERTY(bool firstVisit READ firstVisit NOTIFY textsChanged)
    Q_PROPERTY(bool revealed READ revealed NOTIFY revealedChanged)
    Q_PROPERTY(bool revealAnimated READ revealAnimated NOTIFY revealedChanged)
    Q_PROPERTY(QString eyebrow READ eyebrow NOTIFY textsChanged)
    Q_PROPERTY(QString body READ body NOTIFY textsChanged)
    Q_PROPERTY(bool usesShader READ usesShader NOTIFY usesShaderChanged)
    Q_PROPERTY(QUrl shaderUrl READ shaderUrl NOTIFY usesShaderChanged)
    Q_PROPERTY(QVariantList backdropBands READ backdropBands NOTIFY backdropChanged)
    Q_PROPERTY(QColor backdropGlow READ backdropGlow NOTIFY backdropChanged)

public:
    using Clock = std::function<QDateTime()>;

    static constexpr char introductionKey[] = "hasSeenHomeShaderIntroduction";

    explicit HomeHeroModel(QObject *parent = nullptr);

    // Replaces the time source (tests); the default reads the system time.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Replaces the shader file found in the application bundle (tests); empty: no shader.
    void setShaderFile(const QString &file);

    [[nodiscard]] const QString &profileId() const { return m_profileId; }
    void setProfileId(const QString &id);
    [[nodiscard]] const QString &introduction() const { return m_introduction; }
    void setIntroduction(const QString &introduction);
    [[nodiscard]] double energy() const { return m_energy; }
    void setEnergy(double energy);
    [[nodiscard]] const QColor &accent() const { return m_accent; }
    void setAccent(const QColor &accent);
    [[nodiscard]] double family() const { return m_family; }
    void setFamily(double family);
    [[nodiscard]] bool dark() const { return m_dark; }
    void setDark(bool dark);
    [[nodiscard]] int graphicsApi() const { return m_graphicsApi; }
    void setGraphicsApi(int api);
    [[nodiscard]] bool effectsActive() const { return m_effectsActive; }
    void setEffectsActive(bool active);
    [[nodiscard]] bool reduceMotion() const { return m_reduceMotion; }
    void setReduceMotion(bool reduce);
    [[nodiscard]] bool reduceTransparency() const { return m_reduceTransparency; }
    void setReduceTransparency(bool reduce);

    // Effects are allowed and neither Reduce Motion nor Reduce Transparency is on.
    [[nodiscard]] bool animating() const;
    // Milliseconds between animation frames: slower for calm profiles.
    [[nodiscard]] int frameInterval() const { return m_energy < 0.35 ? 50 : 33; }
    [[nodiscard]] bool firstVisit() const { return m_firstVisit; }
    [[nodiscard]] bool revealed() const { return m_revealed; }
    [[nodiscard]] bool revealAnimated() const { return m_revealAnimated; }
    [[nodiscard]] QString eyebrow() const;
    [[nodiscard]] QString body() const;
    // A shader file, one of Qt's GPU APIs, and no Reduce Transparency; else the gradient.
    [[nodiscard]] bool usesShader() const;
    [[nodiscard]] QUrl shaderUrl() const;
    // The gradient (see HeroBackdrop): the colours of its stops from top to bottom, and the glow.
    [[nodiscard]] QVariantList backdropBands() const;
    [[nodiscard]] QColor backdropGlow() const;
    [[nodiscard]] const AnimationClock &clock() const { return m_animation; }

    // The hero came on screen: decides the welcome, reveals the backdrop, starts the clock.
    Q_INVOKABLE void appear();
    // The hero left the screen: pauses the clock.
    Q_INVOKABLE void disappear();
    // The shader's time in seconds: 0 under Reduce Motion.
    [[nodiscard]] Q_INVOKABLE double time() const;
    // The shader could not be used after all; the gradient takes its place.
    Q_INVOKABLE void reportShaderFailure();
    // The GPU accepted the shader; noted in the resources log.
    Q_INVOKABLE void reportShaderCompiled() const;

signals:
    void profileIdChanged();
    void energyChanged();
    void animatingChanged();
    void textsChanged();
    void revealedChanged();
    void usesShaderChanged();
    void backdropChanged();

private:
    void changeAnimation(const std::function<void()> &change);
    void changeShader(const std::function<void()> &change);
    void setRevealed(bool revealed, bool animated);
    [[nodiscard]] QDateTime now() const;

    Clock m_clock;
    QString m_shaderFile;
    bool m_shaderFailed = false;
    QString m_profileId;
    QString m_introduction;
    double m_energy = 0;
    QColor m_accent;
    double m_family = 0;
    bool m_dark = false;
    int m_graphicsApi = 0; // QSGRendererInterface::Unknown until the scene is drawn
    bool m_effectsActive = false;
    bool m_reduceMotion = false;
    bool m_reduceTransparency = false;
    bool m_shown = false;
    bool m_firstVisit = false;
    bool m_revealed = false;
    bool m_revealAnimated = false;
    AnimationClock m_animation;
};

} // namespace norvane
