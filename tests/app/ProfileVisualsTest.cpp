// What the views draw: profile accents and texts, symbol images, light and dark appearance.
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

TEST(ProfileVisuals, AccentFollowsTheIconAndTextsTheIdentifier) {
    // A custom profile with a preset's icon and title is still a custom profile.
    const Profile lookalike("4C1E", "Focus", ProfileIcon::focus, 0, 0, 0, 25);
    EXPECT_EQ(accent(lookalike), accent(Profile::focus()));
    EXPECT_NE(accent(Profile("x", "X", ProfileIcon::sliders, 5, 0, 300, 0)),
              accent(Profile::normal()));
    EXPECT_EQ(navigationSummary(lookalike), L10n::text("Custom profile"));
    EXPECT_EQ(introduction(lookalike),
              L10n::text("Customize power and display settings for your needs."));
    // A preset keeps its texts whatever icon it carries.
    Profile focus = Profile::focus();
    focus.icon = ProfileIcon::sliders;
    EXPECT_EQ(navigationSummary(focus), L10n::text("Time to focus"));
    EXPECT_EQ(introduction(focus), introduction(Profile::focus()));
}

TEST(Symbols, EverySymbolTheViewsNameHasAnImageThatRendersInTheRequestedTint) {
    const QSet<QString> used = symbolNamesInSources();
    EXPECT_GT(used.size(), 15);
    for (const QString &name : used)
        EXPECT_TRUE(Symbols::names().contains(name)) << name.toStdString();
    for (const QString &name : Symbols::names()) {
        const QImage image = Symbols::render(name, QColor(0, 0, 255), QSize(48, 48));
        ASSERT_FALSE(image.isNull()) << name.toStdString();
        int inked = 0;
        bool tinted = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = QColor::fromRgba(image.pixel(x, y));
                inked += pixel.alpha() > 128 ? 1 : 0;
                tinted = tinted || pixel == QColor(0, 0, 255);
            }
        EXPECT_GT(inked, 40) << name.toStdString() << " draws something";
        EXPECT_LT(inked, 48 * 48 * 3 / 4) << name.toStdString() << " is no filled square";
        EXPECT_TRUE(tinted) << name.toStdString();
    }
    EXPECT_TRUE(Symbols::render("no.such.symbol", Qt::black, QSize(16, 16)).isNull());
    EXPECT_EQ(Symbols::imageUrl("moon.zzz", QColor(1, 2, 3)).toString(),
              "image://symbol/moon.zzz/010203ff");
}

TEST(Appearance, ApplyingAChoiceSwitchesTheThemeAtOnceAndAnyOtherFollowsTheSystem) {
    Theme theme;
    QSignalSpy changed(&theme, &Theme::changed);
    Appearance::apply(Appearance::dark);
    EXPECT_TRUE(theme.dark());
    EXPECT_EQ(changed.size(), 1);
    Appearance::apply(5);
    EXPECT_EQ(theme.dark(), Theme::isDark(QApplication::style()->standardPalette()));
}
