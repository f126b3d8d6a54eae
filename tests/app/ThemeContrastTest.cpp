// Every text, symbol and focus ring of the views against what lies under it, from the theme's
// own colours, in light and dark: WCAG 2.1 AA (4.5:1 for text, 3:1 for large text, symbols and
// focus rings). The table it prints is the one to read when a colour changes.
#include "Components/Contrast.h"
#include "Components/ProfileVisuals.h"
#include "Components/Theme.h"
#include "Profiles/ProfileIcon.h"

#include <QList>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>

using namespace norvane;

namespace {

struct Sample {
    QColor ink;
    QColor under; // opaque
};

// One use of a colour, sampled on every surface it is drawn on, for every accent it takes.
struct Use {
    const char *what;
    double minimum;
    std::function<QList<Sample>(const Theme::Colours &c, bool dark)> samples;
};

QColor alpha(QColor colour, float a) {
    colour.setAlphaF(a);
    return colour;
}

QList<QColor> accents() {
    QList<QColor> all;
    for (const ProfileIcon icon : ProfileIcon::allCases())
        all << accent(icon);
    return all;
}

// The hue of `colour` turned by `angle` around the grey axis, as the hero's aurora turns it.
QColor rotated(const QColor &colour, double angle) {
    const double g = 1 / std::sqrt(3.0);
    const double v[3] = {colour.redF(), colour.greenF(), colour.blueF()};
    const double dot = g * (v[0] + v[1] + v[2]);
    const double cross[3] = {g * (v[2] - v[1]), g * (v[0] - v[2]), g * (v[1] - v[0])};
    double out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = std::clamp(v[i] * std::cos(angle) + cross[i] * std::sin(angle) +
                                g * dot * (1 - std::cos(angle)),
                            0.0, 1.0);
    return QColor::fromRgbF(float(out[0]), float(out[1]), float(out[2]));
}

// What lies under the hero's texts: the plain gradient, and the aurora where one of its three
// hues is at full strength, for the liveliest profile of that icon (homeAurora.frag).
QList<QColor> heroBackdrops(const QColor &accent, int family, bool dark) {
    const Theme::Colours c = Theme::colours(dark);
    const QColor base =
        dark ? QColor::fromRgbF(0.10f, 0.105f, 0.12f) : QColor::fromRgbF(0.972f, 0.976f, 0.984f);
    const float strength = 0.56f * (dark ? 1.15f : 0.85f);
    QList<QColor> backdrops{Contrast::over(alpha(accent, 0.2f), c.workspaceBackground)};
    for (const QColor &hue :
         {accent, rotated(accent, 0.55 + family * 0.32), rotated(accent, -0.45 - family * 0.21)})
        backdrops << Contrast::over(alpha(hue, strength), base);
    for (QColor &backdrop : backdrops)
        backdrop = Contrast::over(c.heroScrim, backdrop);
    return backdrops;
}

QList<QColor> heroBackdrops(bool dark) {
    QList<QColor> all;
    for (const ProfileIcon icon : ProfileIcon::allCases())
        for (int family = 0; family < 5; ++family)
            if (icon.value() == ProfileIcon::sliders || family == int(icon.value()))
                all << heroBackdrops(accent(icon), family, dark);
    return all;
}

// The hero's value pills: a translucent capsule over the aurora.
QList<QColor> heroPills(bool dark) {
    const QColor pill = dark ? QColor::fromRgbF(0, 0, 0, 0.28f) : QColor::fromRgbF(1, 1, 1, 0.62f);
    QList<QColor> pills;
    for (const QColor &backdrop : heroBackdrops(dark))
        pills << Contrast::over(pill, backdrop);
    return pills;
}

// `ink` on each of `surfaces`.
QList<Sample> on(const QColor &ink, const QList<QColor> &surfaces) {
    QList<Sample> samples;
    for (const QColor &surface : surfaces)
        samples << Sample{ink, surface};
    return samples;
}

// The translucent `ink` as drawn on each of `surfaces`.
QList<Sample> drawnOn(const QColor &ink, const QList<QColor> &surfaces) {
    QList<Sample> samples;
    for (const QColor &surface : surfaces)
        samples << Sample{Contrast::over(ink, surface), surface};
    return samples;
}

// `make(accent)` for every accent.
QList<Sample> perAccent(const std::function<QList<Sample>(const QColor &)> &make) {
    QList<Sample> samples;
    for (const QColor &a : accents())
        samples << make(a);
    return samples;
}

const QList<Use> &uses() {
    using C = Theme::Colours;
    static const auto surfaces = [](const C &c) {
        return QList<QColor>{c.workspaceBackground, c.panelBackground, c.sidebarBackground};
    };
    static const auto selectedRow = [](const C &c, const QColor &a) {
        return Contrast::over(alpha(a, 0.16f), c.sidebarBackground);
    };
    static const QList<Use> all = {
        {"titles and values (primary) on window, panel, sidebar, selected row", Contrast::text,
         [](const C &c, bool) {
             return on(c.primary, surfaces(c)) +
                    perAccent([&](const QColor &a) { return on(c.primary, {selectedRow(c, a)}); });
         }},
        {"subtitles, summaries, notes (secondary) on the same", Contrast::text,
         [](const C &c, bool) {
             const QColor box = Contrast::over(alpha(c.primary, 0.035f), c.workspaceBackground);
             return drawnOn(c.secondary, surfaces(c) + QList{box}) +
                    perAccent(
                        [&](const QColor &a) { return drawnOn(c.secondary, {selectedRow(c, a)}); });
         }},
        {"placeholders (tertiary) in the search, name and minutes fields", Contrast::text,
         [](const C &c, bool) {
             return drawnOn(c.tertiary,
                            {Contrast::over(c.controlFill, c.sidebarBackground),
                             Contrast::over(c.controlFill, c.panelBackground), c.panelBackground});
         }},
        {"warnings (live status, Open failure) on the window", Contrast::text,
         [](const C &c, bool) { return on(c.warning, {c.workspaceBackground}); }},
        {"failures (editor, custom minutes, quick panel, Delete) on window and panel",
         Contrast::text,
         [](const C &c, bool) {
             return on(c.failure, {c.workspaceBackground, c.panelBackground});
         }},
        {"\"Active\" badge text on its capsule, in rows and the hero", Contrast::text,
         [](const C &c, bool dark) {
             return perAccent([&](const QColor &a) {
                 QList<Sample> samples;
                 QList<QColor> unders{selectedRow(c, a), c.sidebarBackground};
                 unders << heroBackdrops(dark);
                 for (const QColor &under : unders) {
                     const QColor capsule = Contrast::over(Theme::badgeFill(a, dark), under);
                     samples << Sample{Theme::accentText(a, dark), capsule};
                 }
                 return samples;
             });
         }},
        {"button titles and symbols on an accent fill (Apply, Create, OK)", Contrast::text,
         [](const C &c, bool dark) {
             return perAccent([&](const QColor &a) {
                        return on(Theme::onAccent(), {Theme::accentFill(a, dark)});
                    }) +
                    on(Theme::onAccent(), {Theme::accentFill(c.highlight, dark)});
         }},
        {"highlighted menu item", Contrast::text,
         [](const C &c, bool) { return on(Theme::onAccent(), {c.highlight}); }},
        {"hero eyebrow, title and introduction (primary) on the aurora", Contrast::text,
         [](const C &c, bool dark) { return on(c.primary, heroBackdrops(dark)); }},
        {"hero value pills, text and symbol (primary), on their capsule", Contrast::text,
         [](const C &c, bool dark) { return on(c.primary, heroPills(dark)); }},
        {"profile symbols (accent) on their tile (in the hero on the panel colour), panels, window",
         Contrast::graphics,
         [](const C &c, bool dark) {
             return perAccent([&](const QColor &a) {
                 QList<QColor> unders;
                 for (const QColor &surface : surfaces(c) + QList{selectedRow(c, a)})
                     unders << surface << Contrast::over(alpha(a, 0.12f), surface);
                 unders << Contrast::over(alpha(a, 0.16f), c.workspaceBackground);
                 return on(Theme::accentSymbol(a, dark), unders);
             });
         }},
        {"control symbols (secondary) on panel, sidebar and fields", Contrast::graphics,
         [](const C &c, bool) {
             return drawnOn(c.secondary, surfaces(c) + QList{Contrast::over(c.controlFill,
                                                                            c.sidebarBackground)});
         }},
        {"power symbol (warning, success) on the quick panel", Contrast::graphics,
         [](const C &c, bool) {
             return on(c.warning, {c.panelBackground}) + on(c.success, {c.panelBackground});
         }},
        {"focus ring on window, panel, sidebar and selected row", Contrast::graphics,
         [](const C &c, bool) {
             return on(c.focusRing, surfaces(c)) + perAccent([&](const QColor &a) {
                        return on(c.focusRing, {selectedRow(c, a)});
                    });
         }},
    };
    return all;
}

} // namespace

TEST(ThemeContrast, EveryTextSymbolAndFocusRingMeetsWcagAaInLightAndDark) {
    std::cout << "| what | light | dark | AA |\n|---|---|---|---|\n";
    for (const Use &use : uses()) {
        double worst[2];
        for (const bool dark : {false, true}) {
            const QList<Sample> samples = use.samples(Theme::colours(dark), dark);
            ASSERT_FALSE(samples.isEmpty()) << use.what;
            worst[dark] = 21;
            for (const Sample &sample : samples)
                worst[dark] = std::min(worst[dark], Contrast::ratio(sample.ink, sample.under));
            EXPECT_GE(worst[dark], use.minimum)
                << use.what << (dark ? " in dark" : " in light") << ": " << worst[dark] << ":1";
        }
        std::cout << "| " << use.what << " | " << QString::number(worst[0], 'f', 1).toStdString()
                  << " | " << QString::number(worst[1], 'f', 1).toStdString() << " | "
                  << use.minimum << " |\n";
    }
}

// The measure itself: black on white is 21:1, a colour on itself 1:1, and a translucent ink is
// measured as it is shown.
TEST(ThemeContrast, RatiosFollowWcag) {
    EXPECT_NEAR(Contrast::ratio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(Contrast::ratio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(Contrast::ratio(Qt::red, Qt::red), 1.0, 1e-9);
    EXPECT_NEAR(Contrast::over(QColor::fromRgbF(0, 0, 0, 0.5f), Qt::white).red(), 128, 1);
    // Darkened on white just far enough; on a dark background it already reads.
    const QColor orange(0xe8, 0x8a, 0x1a);
    const QColor ink = Contrast::readable(orange, Qt::white, Contrast::text);
    EXPECT_GE(Contrast::ratio(ink, Qt::white), Contrast::text);
    EXPECT_LT(Contrast::ratio(ink, Qt::white), Contrast::text + 0.5);
    EXPECT_EQ(Contrast::readable(orange, QColor(0x1d, 0x1e, 0x22), Contrast::text), orange);
}
