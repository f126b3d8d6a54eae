// The hero: its atmosphere numbers, the first-visit welcome, the animation clock that pauses and
// resumes, the accessibility settings and the choice between the shader and the gradient.
#include "Hero/HomeAtmosphere.h"
#include "Hero/HomeHeroModel.h"
#include "Hero/HomeShaders.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

Profile withTimers(const QString &id, ProfileIcon icon, qint64 display, qint64 sleep,
                   qint64 timer) {
    return {id, "Custom", icon, display, sleep, 300, timer};
}

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

struct HeroTest : ::testing::Test {
    HeroTest() {
        QSettings().remove(HomeHeroModel::introductionKey);
        hero.setClock([this] { return now; });
        hero.setShaderFile("/bundle/Shaders/homeAurora.frag.qsb");
        hero.setReduceMotion(false);
        hero.setReduceTransparency(false);
        hero.setIntroduction("Everyday power settings.");
        hero.setProfileId("normal");
    }
    void advance(double seconds) { now = now.addMSecs(qint64(seconds * 1000)); }

    QDateTime now = kStart;
    HomeHeroModel hero;
};

} // namespace

TEST(HomeAtmosphere, EnergyFollowsTheTimersOnALogarithmicScale) {
    // display 10 → 0.55 × ln 11 / ln 121 = 0.275; sleep never → 0.45; no timer → factor 1.
    EXPECT_FLOAT_EQ(HomeAtmosphere(withTimers("a", ProfileIcon::leaf, 10, 0, 0)).energy,
                    0.59777921f);
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile::normal()).energy, 0.29436549f);
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile::focus()).energy, 0.85059583f);
    EXPECT_FLOAT_EQ(HomeAtmosphere(Profile::vibe()).energy, 1.0f) << "awake without limit";
    EXPECT_FLOAT_EQ(HomeAtmosphere(withTimers("a", ProfileIcon::leaf, 500, 0, 200)).energy, 1.0f)
        << "120 minutes or more saturate";
    EXPECT_FLOAT_EQ(HomeAtmosphere(withTimers("a", ProfileIcon::leaf, -5, -5, 0)).energy, 0.0f);
}

TEST(HomeAtmosphere, ScreenSaverDoesNotEnter) {
    Profile a = Profile::normal();
    Profile b = a;
    b.screenSaverSeconds = 0;
    EXPECT_EQ(HomeAtmosphere(a).energy, HomeAtmosphere(b).energy);
}

TEST(HomeAtmosphere, SeedAndFamilyComeFromTheIdentifierAndIcon) {
    EXPECT_EQ(HomeAtmosphere::hash(""), 0x811c9dc5u);
    EXPECT_EQ(HomeAtmosphere::hash("a"), 0xe40c292cu);
    EXPECT_EQ(HomeAtmosphere::hash("foobar"), 0xbf9cf968u);

    const HomeAtmosphere normal(Profile::normal()); // FNV-1a("normal") = 0xe68b9c52
    EXPECT_FLOAT_EQ(normal.seed, 3562.0f / 10007.0f);
    EXPECT_EQ(normal.family, 0.0f);
    EXPECT_EQ(HomeAtmosphere(Profile::download()).family, 4.0f);
    EXPECT_EQ(HomeAtmosphere(withTimers("x", ProfileIcon::focus, 1, 1, 0)).family, 2.0f);

    // Sliders take the hash modulo 5: two custom profiles may differ, the same one never does.
    const HomeAtmosphere first(withTimers("4C1E-custom", ProfileIcon::sliders, 1, 1, 0));
    const HomeAtmosphere second(withTimers("other-custom", ProfileIcon::sliders, 1, 1, 0));
    EXPECT_EQ(first.family, 0.0f);
    EXPECT_EQ(second.family, 3.0f);
    EXPECT_EQ(HomeAtmosphere(withTimers("other-custom", ProfileIcon::sliders, 9, 9, 9)).seed,
              second.seed);
}

TEST_F(HeroTest, FirstVisitShowsTheWelcomeUntilAnotherProfileIsSelected) {
    EXPECT_FALSE(hero.revealed());
    hero.appear();
    EXPECT_TRUE(hero.firstVisit());
    EXPECT_TRUE(hero.revealed());
    EXPECT_TRUE(hero.revealAnimated());
    EXPECT_EQ(hero.eyebrow(), L10n::text("Welcome to Pellor"));
    EXPECT_EQ(hero.body(),
              L10n::text("Choose a profile and click Apply Profile below to get started."));
    EXPECT_TRUE(QSettings().value(HomeHeroModel::introductionKey).toBool());

    hero.setProfileId("focus");
    EXPECT_FALSE(hero.firstVisit());
    EXPECT_EQ(hero.eyebrow(), L10n::text("Power & Display Profiles"));
    EXPECT_EQ(hero.body(), "Everyday power settings.");
}

TEST_F(HeroTest, LaterLaunchesStartWithoutTheWelcome) {
    hero.appear();
    HomeHeroModel next;
    next.appear();
    EXPECT_FALSE(next.firstVisit());
    EXPECT_EQ(next.eyebrow(), L10n::text("Power & Display Profiles"));
    EXPECT_TRUE(next.revealed());
    EXPECT_FALSE(next.revealAnimated()) << "only the welcome fades in";
}

TEST_F(HeroTest, AnimationTimeRunsOnlyWhileAnimatingAndResumesWhereItStopped) {
    hero.appear();
    EXPECT_FALSE(hero.animating());
    EXPECT_EQ(hero.time(), 0.0);

    hero.setEffectsActive(true);
    EXPECT_TRUE(hero.animating());
    advance(2.5);
    EXPECT_DOUBLE_EQ(hero.time(), 2.5);

    hero.setEffectsActive(false); // the window was hidden
    EXPECT_DOUBLE_EQ(hero.clock().elapsed(), 2.5);
    EXPECT_FALSE(hero.clock().runningSince());
    advance(100);
    EXPECT_DOUBLE_EQ(hero.time(), 2.5);

    hero.setEffectsActive(true);
    advance(1);
    EXPECT_DOUBLE_EQ(hero.time(), 3.5);

    hero.disappear();
    advance(10);
    EXPECT_DOUBLE_EQ(hero.time(), 3.5);
}

TEST_F(HeroTest, ReduceMotionStopsTheClockAndRevealsAtOnce) {
    hero.setReduceMotion(true);
    hero.setEffectsActive(true);
    hero.appear();
    EXPECT_TRUE(hero.firstVisit());
    EXPECT_TRUE(hero.revealed());
    EXPECT_FALSE(hero.revealAnimated());
    EXPECT_FALSE(hero.animating());
    advance(5);
    EXPECT_EQ(hero.time(), 0.0);
}

TEST_F(HeroTest, ReduceMotionTurningOnRevealsAndPauses) {
    QSettings().setValue(HomeHeroModel::introductionKey, true);
    hero.setEffectsActive(true);
    hero.appear();
    advance(3);
    hero.setReduceMotion(true);
    EXPECT_TRUE(hero.revealed());
    EXPECT_DOUBLE_EQ(hero.clock().elapsed(), 3.0);
    EXPECT_EQ(hero.time(), 0.0);
}

TEST_F(HeroTest, ReduceTransparencyOrNoShaderDrawsTheGradient) {
    EXPECT_TRUE(hero.usesShader());
    QSignalSpy changed(&hero, &HomeHeroModel::usesShaderChanged);
    hero.setEffectsActive(true);
    hero.setReduceTransparency(true);
    EXPECT_FALSE(hero.usesShader());
    EXPECT_FALSE(hero.animating());
    EXPECT_EQ(changed.size(), 1);

    hero.setReduceTransparency(false);
    hero.setShaderFile({});
    EXPECT_FALSE(hero.usesShader());

    hero.setShaderFile("/bundle/Shaders/homeAurora.frag.qsb");
    hero.reportShaderFailure(); // the GPU could not use it after all
    EXPECT_FALSE(hero.usesShader());
}

TEST_F(HeroTest, CalmProfilesAnimateAtALowerFrameRate) {
    hero.setEnergy(0.2);
    EXPECT_EQ(hero.frameInterval(), 50);
    hero.setEnergy(0.35);
    EXPECT_EQ(hero.frameInterval(), 33);
}

TEST(HomeShaders, TheShaderIsFoundInTheFirstBundleThatExists) {
    QTemporaryDir root;
    const QString missing = root.filePath("missing/Norvane_Norvane.bundle");
    const QString empty = root.filePath("empty/Norvane_Norvane.bundle");
    const QString full = root.filePath("full/Norvane_Norvane.bundle");
    QDir().mkpath(empty);
    QDir().mkpath(full + "/Shaders");
    QFile shader(full + "/Shaders/homeAurora.frag.qsb");
    ASSERT_TRUE(shader.open(QIODevice::WriteOnly));
    shader.write("qsb");
    shader.close();

    EXPECT_EQ(HomeShaders::locate({missing, full}), QFileInfo(shader).absoluteFilePath());
    EXPECT_FALSE(HomeShaders::locate({missing, empty, full}))
        << "a bundle without the shader ends the search";
    EXPECT_FALSE(HomeShaders::locate({missing}));
}

TEST(HomeShaders, TheBuildPlacesTheCompiledShaderInTheBundleBesideTheExecutables) {
    const std::optional<QString> &library = HomeShaders::library();
    ASSERT_TRUE(library.has_value());
    EXPECT_TRUE(library->endsWith("Norvane_Norvane.bundle/Shaders/homeAurora.frag.qsb"));
    EXPECT_GT(QFileInfo(*library).size(), 1000);
}
