// The quick panel's model: the power header's rules, rows, keyboard focus and the panel's frame.
#include "MenuBar/QuickPanelModel.h"

#include "AppTestSupport.h"
#include "Components/Contrast.h"
#include "Localization/L10n.h"
#include "MenuBar/MenuBarController.h"
#include "MenuBar/PellorMenuIcon.h"
#include "MenuBar/PowerTexts.h"
#include "Platform/ConfigurationError.h"

#include <QPainter>
#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>

using namespace norvane;
using Source = PowerStatus::Source;

namespace {

PowerStatus battery(qint64 percentage, bool charging = false) {
    return {.source = charging ? Source::adapter : Source::battery,
            .hasBattery = true,
            .percentage = percentage,
            .isCharging = charging};
}

} // namespace

TEST(PowerTexts, SymbolTintAndTitleFollowSourceChargingAndCharge) {
    const PowerStatus desktop{.source = Source::adapter};
    EXPECT_EQ(PowerTexts::symbol(desktop), "powerplug.fill");
    EXPECT_EQ(PowerTexts::symbol(battery(12, true)), "battery.100percent.bolt");
    EXPECT_EQ(PowerTexts::symbol({.source = Source::battery, .hasBattery = true}),
              "battery.0percent");
    // A laptop on its adapter that is not charging shows its charge, not the plug.
    EXPECT_EQ(PowerTexts::symbol({.source = Source::adapter, .hasBattery = true, .percentage = 90}),
              "battery.100percent");
    const std::pair<qint64, int> levels[] = {{12, 0},  {13, 25}, {37, 25}, {38, 50},
                                             {62, 50}, {63, 75}, {87, 75}, {88, 100}};
    for (const auto &[percentage, level] : levels)
        EXPECT_EQ(PowerTexts::symbol(battery(percentage)),
                  QStringLiteral("battery.%1percent").arg(level));

    // Low is below 21 % and only while not charging.
    EXPECT_TRUE(PowerTexts::isLow(battery(20)));
    EXPECT_FALSE(PowerTexts::isLow(battery(21)));
    EXPECT_FALSE(PowerTexts::isLow(battery(12, true)));

    EXPECT_EQ(PowerTexts::title({.source = Source::ups, .percentage = 40}), "UPS · 40%");
    EXPECT_EQ(PowerTexts::title(desktop), L10n::text("External power"));
}

TEST(PowerTexts, DetailTakesTheFirstRuleThatHolds) {
    PowerStatus charging = battery(50, true);
    charging.minutesToFull = 42;
    PowerStatus charged = battery(100, true);
    charged.isCharging = false;
    charged.isCharged = true;
    const std::pair<PowerStatus, QString> cases[] = {
        {charging, L10n::text({"Charging · About {0} min until full", {"42"}})},
        {battery(50, true), L10n::text("Charging")},
        {charged, L10n::text("Fully charged · Plugged in")},
        {{.source = Source::adapter}, L10n::text("Plugged in")},
        {{.source = Source::battery, .minutesRemaining = 59},
         L10n::text({"About {0} hr {1} min remaining", {"0", "59"}})},
        {battery(60), L10n::text("Running on battery")},
        {{.source = Source::ups}, L10n::text("UPS power")},
        {PowerStatus(), L10n::text("Power information is currently unavailable")}};
    for (const auto &[power, expected] : cases)
        EXPECT_EQ(PowerTexts::detail(power), expected) << expected.toStdString();
    EXPECT_EQ(PowerTexts::detail({.source = Source::ups, .minutesRemaining = 125}, "en"),
              "About 2 hr 5 min remaining");
}

namespace {

struct QuickPanelTest : ::testing::Test, test::SessionFixture {
    QuickPanelTest() {
        model.onActivate = [this](const Profile &profile) { calls << profile.id; };
        model.onCreate = [this] { calls << "create"; };
        model.onQuit = [this] { calls << "quit"; };
    }

    [[nodiscard]] QStringList rowIDs(bool appliedOnly = false) const {
        QStringList ids;
        for (const ProfileRowsModel::Row &row : model.profileList()->rows())
            if (row.applied || !appliedOnly)
                ids << row.id;
        return ids;
    }
    void applyAndSucceed(const QString &id) {
        store.activate(*library.profile(id), std::nullopt, now);
        succeed();
    }

    Policy policy;
    QuickPanelModel model{
        store,
        library,
        {[this] { return now; }, [] { return battery(85); }, [this] { return policy; }}};
    QStringList calls;
};

} // namespace

TEST_F(QuickPanelTest, RowsFollowTheLibraryMarkTheAppliedProfileAndChangeInPlace) {
    QSignalSpy reset(model.profileList(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(model.profileList(), &QAbstractItemModel::dataChanged);
    model.refresh(false);
    EXPECT_EQ(reset.count() + changed.count(), 0);

    applyAndSucceed("focus");
    model.refresh(false);
    EXPECT_EQ(rowIDs(true), QStringList{"focus"});
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), 2);

    // The applied mark needs the profile as it was applied: an edit since removes it.
    Profile edited = *library.profile("focus");
    edited.displayMinutes = 7;
    library.save(edited);
    library.save(test::customProfile("night", "Overnight"));
    model.refresh(false);
    EXPECT_EQ(rowIDs().last(), "night");
    EXPECT_TRUE(rowIDs(true).isEmpty());
    EXPECT_EQ(reset.count(), 1);
}

TEST(QuickPanelFocus, MovesThroughTheProfilesAndWrapsAround) {
    using D = QuickPanelModel::Direction;
    const QStringList ids{"a", "b", "c"};
    const std::tuple<QStringList, QString, D, QString> cases[] = {
        {ids, "", D::Down, "a"},  {ids, "gone", D::Up, "c"}, {ids, "a", D::Down, "b"},
        {ids, "c", D::Down, "a"}, {ids, "a", D::Up, "c"},    {ids, "b", D::Left, "b"},
        {{}, "x", D::Up, "x"}};
    for (const auto &[list, focused, direction, expected] : cases)
        EXPECT_EQ(QuickPanelModel::movedFocus(list, focused, direction), expected)
            << focused.toStdString() << " " << int(direction);
}

TEST_F(QuickPanelTest, ReturnActivatesTheFocusedProfileUnlessAnApplyIsRunning) {
    library.save(test::customProfile("night", "Overnight"));
    model.refresh(false);
    model.setFocusedID("night");
    QSignalSpy focus(&model, &QuickPanelModel::focusedIDChanged);
    library.remove("night");
    model.refresh(false);
    EXPECT_EQ(focus.count(), 1); // the row it pointed at went away
    EXPECT_FALSE(model.activateFocused());
    model.moveFocus(QuickPanelModel::Down);
    EXPECT_EQ(model.focusedRow(), 0);

    store.activate(Profile::vibe(), std::nullopt, now);
    model.refresh(false);
    EXPECT_TRUE(model.applying());
    model.activateFocused();
    model.create();
    model.quit();
    EXPECT_TRUE(calls.isEmpty());
    succeed();
    model.refresh(false);
    model.activate("no such profile");
    model.activateFocused();
    model.create();
    model.quit();
    EXPECT_EQ(calls, (QStringList{"normal", "create", "quit"}));
}

// A change started in the panel is told to screen readers when it succeeds, though the main
// window may be closed; one started elsewhere is not the panel's to tell.
TEST_F(QuickPanelTest, ReapplyAppliesTheAppliedProfileAgainWhenItDriftedAndIsAnnounced) {
    QSignalSpy announced(model.announcement(), &Announcement::announced);
    model.setDrifted(true);
    model.reapply();
    EXPECT_TRUE(calls.isEmpty()) << "nothing is applied yet";
    store.activate(Profile::focus(), std::nullopt, now);
    model.refresh(false);
    succeed();
    model.refresh(false);
    EXPECT_EQ(announced.count(), 0);

    model.reapply();
    store.activate(Profile::focus(), std::nullopt, now);
    model.refresh(false);
    EXPECT_FALSE(model.drifted()) << "not while an apply runs";
    model.reapply();
    EXPECT_EQ(calls, QStringList{"focus"});
    succeed();
    model.refresh(false);
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(model.announcement()->text(), *store.notice());
}

TEST_F(QuickPanelTest, TheStatusItemIsNamedWithTheAppliedProfile) {
    const QString item = L10n::text("Pellor Quick Panel");
    EXPECT_EQ(MenuBarController::accessibleName(store), item);
    applyAndSucceed("vibe");
    EXPECT_EQ(
        MenuBarController::accessibleName(store),
        L10n::text({"{0}, {1}",
                    {item, L10n::text({"{0}, applied", {Profile::vibe().localizedTitle()}})}}));
}

TEST(MenuBarController, PanelGrowsWithTheProfilesAndHangsBelowTheItemOnTheScreen) {
    EXPECT_EQ(MenuBarController::panelSize(30, 900), QSize(340, 860));
    EXPECT_EQ(MenuBarController::panelSize(30, std::nullopt), QSize(340, 700));

    const QRect screen(0, 0, 1600, 1000);
    const QSize size(340, 321);
    const std::tuple<QRect, QRect, QPoint> cases[] = {
        {QRect(800, 0, 25, 24), screen, {642, 24}},   // centred under the item
        {QRect(1580, 0, 20, 24), screen, {1260, 24}}, // pushed back onto the screen
        {QRect(100, 976, 24, 24), screen, {0, 655}},  // a tray at the bottom: above the item
        {QRect(), QRect(0, 30, 1600, 970), {1600 - 8 - 340, 38}}}; // no item: top right
    for (const auto &[item, available, topLeft] : cases)
        EXPECT_EQ(MenuBarController::panelGeometry(size, item, available), QRect(topLeft, size));
}

TEST_F(QuickPanelTest, AFailedReturnIsShownWithItsReasonAndTryAgainStartsItOnce) {
    applyAndSucceed("focus");
    store.tick(*store.session().deadline);
    test::processQueuedEvents();
    service->fail(ConfigurationError::message("refused"));
    test::processQueuedEvents();
    model.refresh(false);
    EXPECT_TRUE(model.returnFailed());
    EXPECT_EQ(model.returnFailure(), "refused");
    EXPECT_EQ(model.statusText(),
              Profile::focus().localizedTitle() + " · " + L10n::text("Did not return to Normal"));
    model.tryAgain();
    model.tryAgain(); // while it runs: nothing more
    EXPECT_EQ(service->applied.size(), 3);
    model.refresh(false);
    EXPECT_FALSE(model.returnFailed());
    succeed();
    model.refresh(false);
    EXPECT_EQ(model.statusText(),
              library.normal().localizedTitle() + " · " + L10n::text("Active indefinitely"));
}

namespace {

// How the glyph stands out where it meets what surrounds it on a panel: its ink pixels against
// the pixels two steps beyond them, as drawn on the panel; the median of those contrasts (the
// pixels in between are the smoothing of the edge).
double edgeContrast(const QImage &icon, const QColor &ink, const QColor &panel) {
    QImage shown(icon.size(), QImage::Format_RGB32);
    shown.fill(panel);
    QPainter(&shown).drawImage(0, 0, icon);
    const auto isInk = [&](int x, int y) {
        const QColor pixel = icon.pixelColor(x, y);
        return pixel.alpha() == 255 && std::abs(pixel.red() - ink.red()) +
                                               std::abs(pixel.green() - ink.green()) +
                                               std::abs(pixel.blue() - ink.blue()) <
                                           24;
    };
    QList<double> ratios;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            for (const auto &[dx, dy] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}})
                if (isInk(x, y) && icon.rect().contains(x + dx, y + dy) && !isInk(x + dx, y + dy))
                    ratios << Contrast::ratio(ink, shown.pixelColor(x + dx, y + dy));
    std::sort(ratios.begin(), ratios.end());
    return ratios.isEmpty() ? 0 : ratios[ratios.size() / 2];
}

} // namespace

// The tray's colour is unknown to Qt: whichever ink the palette gives, the status item reads on
// dark panels (openbox and trayer, #1F1F1F) and light ones alike.
TEST(StatusItemIcon, ReadsOnDarkAndLightPanelsWhateverTheInk) {
    for (const QColor ink : {QColor(Qt::black), QColor(0xe8, 0xe8, 0xe8)})
        for (const bool engaged : {false, true}) {
            const QImage icon = PellorMenuIcon::icon(engaged, ink)
                                    .pixmap(QSize(48, 48))
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
            for (const QColor panel : {QColor(0x1f, 0x1f, 0x1f), QColor(0x3c, 0x3c, 0x3c),
                                       QColor(0xef, 0xf0, 0xf1), QColor(Qt::white)})
                EXPECT_GE(edgeContrast(icon, ink, panel), 3.0)
                    << ink.name().toStdString() << " on " << panel.name().toStdString()
                    << (engaged ? ", engaged" : "");
        }
}

// A profile the policy forbids keeps its row, marked, and the panel does not apply it.
TEST_F(QuickPanelTest, AProfileThePolicyForbidsIsMarkedAndNotApplied) {
    policy = Policy::fromJson(R"({"limits": {"displayMinutes": 5}})");
    model.refresh(false);
    EXPECT_EQ(model.profileList()->rows()[1].summary, "Not allowed");
    model.activate("vibe");
    model.activate("normal");
    EXPECT_EQ(calls, QStringList{"normal"});
}
