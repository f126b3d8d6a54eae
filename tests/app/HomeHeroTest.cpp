// The hero: atmosphere, welcome, animation clock, accessibility settings, shader or gradient.
#include "Hero/HeroBackdrop.h"
#include "Hero/HomeAtmosphere.h"
#include "Hero/HomeHeroModel.h"
#include "Hero/HomeShaders.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QSGRendererInterface>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

struct HeroTest : ::testing::Test {
    HeroTest() {
        QSettings().remove(HomeHeroModel::introductionKey);
        hero.setClock([this] { return now; });
        hero.setShaderFile("/bundle/Shaders/homeAurora.frag.qsb");
        hero.setGraphicsApi(QSGRendererInterface::OpenGL);
        hero.setReduceMotion(false);
        hero.setReduceTransparency(false);
        hero.setIntroduction("Everyday power settings.");
        hero.setProfileId("normal");
    }
    void advance(double seconds) { now = now.addMSecs(qint64(seconds * 1000)); }

    QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000);
    HomeHeroModel hero;
};

} // namespace

TEST(HomeAtmosphere, EnergyFollowsTheTimersOnALogarithmicScaleAndFamilyTheIdentifier) {
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile::normal()).energy, 0.29436549f);
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile::vibe()).energy, 1.0f) << "awake without limit";
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile("a", "A", ProfileIcon::leaf, 500, 0, 300, 200)).energy,
                    1.0f)
        << "120 minutes or more saturate";
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile("a", "A", ProfileIcon::leaf, -5, -5, 300, 0)).energy,
                    0.0f);
    // Sliders take the FNV-1a hash modulo 5: a custom profile always gets the same family.
    EXPECT_EQ(
        HomeAtmosphere(Profile("other-custom", "A", ProfileIcon::sliders, 9, 9, 300, 9)).family,
        3.0f);
}

TEST_F(HeroTest, TheWelcomeShowsOnTheFirstVisitUntilAnotherProfileIsSelected) {
    hero.appear();
    EXPECT_TRUE(hero.firstVisit());
    EXPECT_TRUE(hero.revealAnimated());
    EXPECT_EQ(hero.eyebrow(), L10n::text("Welcome to Pellor"));
    hero.setProfileId("focus");
    EXPECT_FALSE(hero.firstVisit());
    EXPECT_EQ(hero.eyebrow(), L10n::text("Power & Display Profiles"));
    EXPECT_EQ(hero.body(), "Everyday power settings.");

    HomeHeroModel next; // a later launch
    next.appear();
    EXPECT_FALSE(next.firstVisit());
    EXPECT_FALSE(next.revealAnimated()) << "only the welcome fades in";
}

TEST_F(HeroTest, AnimationTimeRunsOnlyWhileAnimatingAndResumesWhereItStopped) {
    hero.appear();
    hero.setEffectsActive(true);
    advance(2.5);
    hero.setEffectsActive(false); // the window was hidden
    advance(100);
    EXPECT_DOUBLE_EQ(hero.time(), 2.5);
    hero.setEffectsActive(true);
    advance(1);
    EXPECT_DOUBLE_EQ(hero.time(), 3.5);
    hero.disappear();
    advance(10);
    EXPECT_DOUBLE_EQ(hero.time(), 3.5);
}

TEST_F(HeroTest, ReduceMotionRevealsAtOnceAndStopsTheClock) {
    hero.setReduceMotion(true);
    hero.appear();
    EXPECT_TRUE(hero.firstVisit());
    EXPECT_FALSE(hero.revealAnimated());
    hero.setReduceMotion(false);
    hero.setEffectsActive(true);
    advance(3);
    hero.setReduceMotion(true); // turned on while animating: the clock pauses where it was
    EXPECT_DOUBLE_EQ(hero.clock().elapsed(), 3.0);
    advance(5);
    EXPECT_EQ(hero.time(), 0.0);
}

TEST_F(HeroTest, ReduceTransparencyNoGpuAShaderFailureOrNoShaderDrawTheGradient) {
    QSignalSpy changed(&hero, &HomeHeroModel::usesShaderChanged);
    hero.setEffectsActive(true);
    hero.setReduceTransparency(true);
    EXPECT_FALSE(hero.animating());
    hero.setReduceTransparency(false);
    for (const auto api : {QSGRendererInterface::Unknown, QSGRendererInterface::Software}) {
        hero.setGraphicsApi(api); // before the first frame, and Qt Quick's software renderer
        EXPECT_FALSE(hero.usesShader()) << api;
    }
    hero.setGraphicsApi(QSGRendererInterface::Vulkan);
    hero.setShaderFile({});
    EXPECT_FALSE(hero.usesShader());
    hero.setShaderFile("/bundle/Shaders/homeAurora.frag.qsb");
    EXPECT_TRUE(hero.usesShader());
    hero.reportShaderFailure(); // the GPU could not use it after all
    EXPECT_FALSE(hero.usesShader());
    EXPECT_EQ(changed.size(), 7);
}

// The still gradient is the aurora at rest: the base of the appearance at the top, the accent
// (green here) where its band runs, stronger for a livelier profile.
TEST(HeroBackdrop, TheGradientTakesTheAccentOnTheLightOrDarkBaseAsStrongAsTheProfileIsLively) {
    const auto green = [](const QColor &c) { return c.greenF() - c.redF(); };
    for (const bool dark : {false, true}) {
        const QList<QColor> calm = HeroBackdrop::bands(QColor(0x2f, 0x8f, 0x6a), 0, 0.0, dark);
        const QList<QColor> lively = HeroBackdrop::bands(QColor(0x2f, 0x8f, 0x6a), 0, 1.0, dark);
        EXPECT_EQ(calm.first().lightness() > 128, !dark);
        EXPECT_GT(green(calm[2]), green(calm.first())) << "dark " << dark;
        EXPECT_GT(green(lively[2]), green(calm[2])) << "dark " << dark;
    }
}

TEST(HomeShaders, TheShaderIsFoundInTheFirstBundleThatExists) {
    QTemporaryDir root;
    const auto bundle = [&](const char *name) { return root.filePath(name); };
    QDir().mkpath(bundle("empty"));
    test::writeBytes(bundle("full/Shaders/homeAurora.frag.qsb"), "qsb");
    EXPECT_EQ(HomeShaders::locate({bundle("missing"), bundle("full")}),
              bundle("full/Shaders/homeAurora.frag.qsb"));
    EXPECT_FALSE(HomeShaders::locate({bundle("missing"), bundle("empty"), bundle("full")}))
        << "a bundle without the shader ends the search";
}
