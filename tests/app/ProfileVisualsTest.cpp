// What the views draw for a profile and the shared look: accents, summaries, introductions,
// the symbol images and the light and dark colours.
#include "Components/ProfileVisuals.h"

#include "App/Appearance.h"
#include "Components/Symbols.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

Profile custom(const QString &id, ProfileIcon icon) {
    return {id, "Overnight", icon, 5, 0, 300, 0};
}

// Every symbol name the application's sources pass to an image: `symbol: "…"` in QML and the
// icons' own symbol names.
QSet<QString> symbolNamesInSources() {
    static const QRegularExpression pattern(QStringLiteral(R"re(symbol:\s*"([a-z0-9.]+)")re"));
    QSet<QString> names;
    QDirIterator it(QStringLiteral(NORVANE_SOURCE_DIR "/Norvane/qml"), {"*.qml"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        for (const auto &match : pattern.globalMatch(test::readTextFile(it.next())))
            names.insert(match.captured(1));
    for (const ProfileIcon icon : ProfileIcon::allCases())
        names.insert(icon.symbol());
    return names;
}

} // namespace

TEST(ProfileVisuals, AccentDependsOnTheIconOnly) {
    EXPECT_EQ(accent(Profile::normal()), QColor::fromRgbF(0.22f, 0.52f, 0.43f));
    EXPECT_EQ(accent(Profile::presentation()), QColor::fromRgbF(0.79f, 0.48f, 0.29f));
    EXPECT_EQ(accent(custom("x", ProfileIcon::sliders)), QColor::fromRgbF(0.51f, 0.49f, 0.66f));
    EXPECT_EQ(accent(custom("x", ProfileIcon::focus)), accent(Profile::focus()));
    EXPECT_EQ(accent(Profile::normal()).alphaF(), 1.0f);
}

TEST(ProfileVisuals, SummaryAndIntroductionFollowTheIdentifier) {
    EXPECT_EQ(navigationSummary(Profile::normal()), L10n::text("Everyday energy saving"));
    EXPECT_EQ(navigationSummary(Profile::download()), L10n::text("Keep tasks running"));
    EXPECT_EQ(introduction(Profile::vibe()), L10n::text("Keep the display and system awake."));
    // A custom profile with a preset's icon and title is still a custom profile.
    const Profile lookalike("4C1E", "Focus", ProfileIcon::focus, 0, 0, 0, 25);
    EXPECT_EQ(navigationSummary(lookalike), L10n::text("Custom profile"));
    EXPECT_EQ(introduction(lookalike),
              L10n::text("Customize power and display settings for your needs."));
    // A preset keeps its texts whatever icon it carries.
    Profile focus = Profile::focus();
    focus.icon = ProfileIcon::sliders;
    EXPECT_EQ(navigationSummary(focus), L10n::text("Time to focus"));
}

TEST(Symbols, EverySymbolTheViewsNameHasAnImageThatRenders) {
    const QSet<QString> used = symbolNamesInSources();
    EXPECT_GT(used.size(), 15);
    for (const QString &name : used) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(Symbols::names().contains(name));
    }
    for (const QString &name : Symbols::names()) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = Symbols::render(name, QColor(200, 40, 40), QSize(48, 48));
        ASSERT_FALSE(image.isNull());
        int tinted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (QColor::fromRgba(image.pixel(x, y)).alpha() > 128)
                    ++tinted;
        EXPECT_GT(tinted, 40) << "the symbol draws something";
        EXPECT_LT(tinted, 48 * 48 * 3 / 4) << "and is not a filled square";
    }
}

TEST(Symbols, ImagesTakeTheRequestedTint) {
    const QImage image = Symbols::render("bolt", QColor(0, 0, 255), QSize(32, 32));
    bool sawBlue = false;
    for (int y = 0; y < 32 && !sawBlue; ++y)
        for (int x = 0; x < 32 && !sawBlue; ++x) {
            const QColor pixel = QColor::fromRgba(image.pixel(x, y));
            sawBlue = pixel.alpha() == 255 && pixel.blue() == 255 && pixel.red() == 0;
        }
    EXPECT_TRUE(sawBlue);
    EXPECT_TRUE(Symbols::render("no.such.symbol", Qt::black, QSize(16, 16)).isNull());
    EXPECT_EQ(Symbols::imageUrl("moon.zzz", QColor(1, 2, 3)).toString(),
              "image://symbol/moon.zzz/010203ff");
}

TEST(Appearance, LightAndDarkPalettesAndTheStoredChoice) {
    EXPECT_FALSE(Theme::isDark(Appearance::palette(Appearance::light)));
    EXPECT_TRUE(Theme::isDark(Appearance::palette(Appearance::dark)));

    Appearance::storeChoice(2);
    EXPECT_EQ(Appearance::storedChoice(), 2);
    Appearance::storeChoice(5);
    EXPECT_EQ(Appearance::storedChoice(), 5);
}

TEST(Appearance, ApplyingAChoiceSwitchesTheThemeAtOnce) {
    Theme theme;
    QSignalSpy changed(&theme, &Theme::changed);

    Appearance::apply(Appearance::dark);
    EXPECT_TRUE(theme.dark());
    EXPECT_EQ(theme.workspaceBackground(), QColor::fromRgbF(0.115f, 0.12f, 0.135f));
    EXPECT_EQ(theme.panelBackground(), QColor::fromRgbF(0.16f, 0.165f, 0.18f));

    Appearance::apply(Appearance::light);
    EXPECT_FALSE(theme.dark());
    EXPECT_EQ(theme.workspaceBackground(), QColor::fromRgbF(0.96f, 0.965f, 0.975f));
    EXPECT_EQ(theme.panelBackground(), QColor(Qt::white));
    EXPECT_EQ(changed.size(), 2);

    // Any other choice follows the system: here the platform's own (light) palette.
    Appearance::apply(Appearance::dark);
    Appearance::apply(5);
    EXPECT_EQ(theme.dark(), Theme::isDark(QApplication::style()->standardPalette()));
}
