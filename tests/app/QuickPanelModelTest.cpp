// The quick panel's model and the status item: the power header for each kind of power source,
// the profile rows, keyboard focus, the power-reading cadence, the panel's size and place, the
// tooltip, and the status-item image.
#include "MenuBar/QuickPanelModel.h"

#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Localization/L10n.h"
#include "MenuBar/MenuBarController.h"
#include "MenuBar/PellorMenuIcon.h"
#include "MenuBar/PowerTexts.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace norvane;
using Source = PowerStatus::Source;

namespace {

const QDateTime kStart = QDateTime::fromSecsSinceEpoch(1'800'000'000);

PowerStatus battery(qint64 percentage, bool charging = false) {
    PowerStatus power;
    power.source = charging ? Source::adapter : Source::battery;
    power.hasBattery = true;
    power.percentage = percentage;
    power.isCharging = charging;
    return power;
}

PowerStatus desktop() {
    PowerStatus power;
    power.source = Source::adapter;
    return power;
}

} // namespace

// MARK: Power texts

TEST(PowerTexts, SymbolFollowsSourceChargingAndCharge) {
    EXPECT_EQ(PowerTexts::symbol(desktop()), "powerplug.fill");
    EXPECT_EQ(PowerTexts::symbol(battery(12, true)), "battery.100percent.bolt");

    PowerStatus unknownCharge = battery(0);
    unknownCharge.percentage.reset();
    EXPECT_EQ(PowerTexts::symbol(unknownCharge), "battery.0percent");

    const std::pair<qint64, const char *> levels[] = {
        {0, "battery.0percent"},    {12, "battery.0percent"},  {13, "battery.25percent"},
        {37, "battery.25percent"},  {38, "battery.50percent"}, {62, "battery.50percent"},
        {63, "battery.75percent"},  {87, "battery.75percent"}, {88, "battery.100percent"},
        {100, "battery.100percent"}};
    for (const auto &[percentage, symbol] : levels)
        EXPECT_EQ(PowerTexts::symbol(battery(percentage)), symbol) << percentage;

    // A laptop on its adapter that is not charging shows its charge, not the plug.
    PowerStatus plugged = battery(90);
    plugged.source = Source::adapter;
    EXPECT_EQ(PowerTexts::symbol(plugged), "battery.100percent");
}

TEST(PowerTexts, LowBatteryIsOrangeOnlyWhileNotCharging) {
    const QColor green = PowerTexts::tint(battery(85));
    EXPECT_EQ(PowerTexts::symbol(battery(12)), "battery.0percent");
    EXPECT_EQ(PowerTexts::tint(battery(12)), Theme::warning());
    EXPECT_EQ(PowerTexts::tint(battery(20)), Theme::warning());
    EXPECT_EQ(PowerTexts::tint(battery(21)), green);
    EXPECT_EQ(PowerTexts::tint(battery(12, true)), green);
    EXPECT_EQ(PowerTexts::tint(desktop()), green);
    EXPECT_NE(green, Theme::warning());
}

TEST(PowerTexts, TitleShowsTheChargeOrTheSource) {
    EXPECT_EQ(PowerTexts::title(battery(85)), L10n::text("Battery") + " · 85%");
    PowerStatus ups = battery(40);
    ups.source = Source::ups;
    EXPECT_EQ(PowerTexts::title(ups), "UPS · 40%");

    EXPECT_EQ(PowerTexts::title(desktop()), L10n::text("External power"));
    PowerStatus noCharge;
    noCharge.source = Source::battery;
    noCharge.hasBattery = true;
    EXPECT_EQ(PowerTexts::title(noCharge), L10n::text("Battery"));
    EXPECT_EQ(PowerTexts::title(PowerStatus()), L10n::text("Power status"));
}

TEST(PowerTexts, DetailTakesTheFirstRuleThatHolds) {
    PowerStatus charging = battery(50, true);
    charging.minutesToFull = 42;
    EXPECT_EQ(PowerTexts::detail(charging),
              L10n::text({"Charging · About {0} min until full", {"42"}}));
    charging.minutesToFull.reset();
    EXPECT_EQ(PowerTexts::detail(charging), L10n::text("Charging"));

    PowerStatus charged = battery(100);
    charged.source = Source::adapter;
    charged.isCharged = true;
    EXPECT_EQ(PowerTexts::detail(charged), L10n::text("Fully charged · Plugged in"));
    EXPECT_EQ(PowerTexts::detail(desktop()), L10n::text("Plugged in"));

    PowerStatus draining = battery(60);
    draining.minutesRemaining = 125;
    EXPECT_EQ(PowerTexts::detail(draining),
              L10n::text({"About {0} hr {1} min remaining", {"2", "5"}}));
    EXPECT_EQ(PowerTexts::detail(draining, "en"), "About 2 hr 5 min remaining");
    draining.minutesRemaining = 59;
    EXPECT_EQ(PowerTexts::detail(draining),
              L10n::text({"About {0} hr {1} min remaining", {"0", "59"}}));
    draining.minutesRemaining.reset();
    EXPECT_EQ(PowerTexts::detail(draining), L10n::text("Running on battery"));

    PowerStatus ups;
    ups.source = Source::ups;
    EXPECT_EQ(PowerTexts::detail(ups), L10n::text("UPS power"));
    ups.minutesRemaining = 61;
    EXPECT_EQ(PowerTexts::detail(ups), L10n::text({"About {0} hr {1} min remaining", {"1", "1"}}));
    EXPECT_EQ(PowerTexts::detail(PowerStatus()),
              L10n::text("Power information is currently unavailable"));
}

// MARK: The model

namespace {

struct QuickPanelTest : ::testing::Test {
    QuickPanelTest() {
        model.onActivate = [this](const Profile &profile) { activated << profile.id; };
    }

    QStringList rowIDs() const {
        QStringList ids;
        for (const ProfileRowsModel::Row &row : model.profileList()->rows())
            ids << row.id;
        return ids;
    }
    QStringList appliedRows() const {
        QStringList ids;
        for (const ProfileRowsModel::Row &row : model.profileList()->rows())
            if (row.applied)
                ids << row.id;
        return ids;
    }
    void applyAndSucceed(const Profile &profile) {
        store.activate(profile, std::nullopt, now);
        service->succeed();
        test::processQueuedEvents();
    }

    std::shared_ptr<test::MemoryProfileStorage> storage =
        std::make_shared<test::MemoryProfileStorage>();
    ProfileLibrary library{storage};
    std::shared_ptr<test::ControlledConfiguring> service =
        std::make_shared<test::ControlledConfiguring>();
    QDateTime now = kStart;
    SessionStore store{service, [this] { return now; }, [this] { return library.normal(); }};
    PowerStatus power = battery(85);
    int powerReads = 0;
    QuickPanelModel model{store,
                          library,
                          {[this] { return now; },
                           [this] {
                               ++powerReads;
                               return power;
                           }}};
    QStringList activated;
};

} // namespace

TEST_F(QuickPanelTest, ReadsThePowerSourceAtCreationAndOnlyEveryFiveSecondsUnlessForced) {
    EXPECT_EQ(powerReads, 1);
    EXPECT_EQ(model.powerTitle(), L10n::text("Battery") + " · 85%");

    // The first refresh reads: the creation's reading does not count as a timed one.
    model.refresh(false);
    EXPECT_EQ(powerReads, 2);
    EXPECT_EQ(model.revision(), 1);

    now = now.addMSecs(4999);
    model.refresh(false);
    EXPECT_EQ(powerReads, 2);
    EXPECT_EQ(model.revision(), 2);

    model.refresh(true);
    EXPECT_EQ(powerReads, 3);
    now = now.addSecs(1);
    model.refresh(false); // 1 s after the forced reading
    EXPECT_EQ(powerReads, 3);

    power = battery(12);
    QSignalSpy changed(&model, &QuickPanelModel::powerChanged);
    now = now.addSecs(4);
    model.refresh(false);
    EXPECT_EQ(powerReads, 4);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.powerSymbol(), "battery.0percent");
    EXPECT_EQ(model.powerTint(), Theme::warning());
    EXPECT_EQ(model.revision(), 5);
}

TEST_F(QuickPanelTest, RowsFollowTheLibraryAndMarkTheAppliedProfile) {
    EXPECT_EQ(rowIDs(), (QStringList{"normal", "vibe", "focus", "presentation", "download"}));
    EXPECT_TRUE(appliedRows().isEmpty());
    EXPECT_EQ(model.statusText(), L10n::text("Choose a profile"));

    applyAndSucceed(library.profile("focus").value());
    model.refresh(false);
    EXPECT_EQ(appliedRows(), QStringList{"focus"});
    EXPECT_EQ(model.statusText(), Profile::focus().localizedTitle() + " · " + store.timeLabel());

    // The applied mark needs the profile as it was applied: an edit since removes it.
    Profile edited = library.profile("focus").value();
    edited.displayMinutes = 7;
    library.save(edited);
    library.save(test::customProfile("night", "Overnight"));
    model.refresh(false);
    EXPECT_EQ(rowIDs().last(), "night");
    EXPECT_TRUE(appliedRows().isEmpty());
}

TEST_F(QuickPanelTest, RowsChangeInPlaceWhenOnlyTheirContentChanges) {
    QSignalSpy reset(model.profileList(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(model.profileList(), &QAbstractItemModel::dataChanged);
    model.refresh(false);
    EXPECT_EQ(reset.count() + changed.count(), 0);

    applyAndSucceed(library.profile("vibe").value());
    model.refresh(false);
    EXPECT_EQ(reset.count(), 0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), 1);

    library.save(test::customProfile("night", "Overnight"));
    model.refresh(false);
    EXPECT_EQ(reset.count(), 1);
}

TEST(QuickPanelFocus, MovesThroughTheProfilesAndWrapsAround) {
    using D = QuickPanelModel::Direction;
    const QStringList ids{"a", "b", "c"};
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "", D::Down), "a");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "", D::Up), "c");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "gone", D::Down), "a");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "gone", D::Up), "c");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "a", D::Down), "b");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "b", D::Up), "a");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "c", D::Down), "a");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "a", D::Up), "c");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "b", D::Left), "b");
    EXPECT_EQ(QuickPanelModel::movedFocus(ids, "", D::Right), "");
    EXPECT_EQ(QuickPanelModel::movedFocus({}, "", D::Down), "");
    EXPECT_EQ(QuickPanelModel::movedFocus({}, "x", D::Up), "x");
    EXPECT_EQ(QuickPanelModel::movedFocus({"only"}, "only", D::Down), "only");
}

TEST_F(QuickPanelTest, ReturnActivatesTheFocusedProfileUnlessAnApplyIsRunning) {
    QSignalSpy focus(&model, &QuickPanelModel::focusedIDChanged);
    EXPECT_FALSE(model.activateFocused());
    model.moveFocus(QuickPanelModel::Up);
    EXPECT_EQ(model.focusedID(), "download");
    EXPECT_EQ(model.focusedRow(), 4);
    model.moveFocus(QuickPanelModel::Down);
    EXPECT_EQ(model.focusedID(), "normal");
    EXPECT_EQ(focus.count(), 2);
    EXPECT_TRUE(model.activateFocused());
    EXPECT_EQ(activated, QStringList{"normal"});

    store.activate(Profile::vibe(), std::nullopt, now);
    ASSERT_TRUE(store.isApplying());
    model.refresh(false);
    EXPECT_TRUE(model.applying());
    model.activate("vibe");
    model.create();
    model.quit();
    EXPECT_EQ(activated, QStringList{"normal"});
    service->succeed();
    test::processQueuedEvents();
    model.refresh(false);
    EXPECT_FALSE(model.applying());
}

TEST_F(QuickPanelTest, ReapplyAppliesTheAppliedProfileAgainWhenItDrifted) {
    model.setDrifted(true);
    model.reapply();
    EXPECT_TRUE(activated.isEmpty()) << "nothing is applied yet";

    applyAndSucceed(Profile::focus());
    model.refresh(false);
    EXPECT_TRUE(model.drifted());
    model.reapply();
    EXPECT_EQ(activated, QStringList{"focus"});

    store.activate(Profile::focus(), std::nullopt, now);
    model.refresh(false);
    EXPECT_FALSE(model.drifted()) << "not while an apply runs";
    model.reapply();
    EXPECT_EQ(activated, QStringList{"focus"});
    service->succeed();
    test::processQueuedEvents();
}

TEST_F(QuickPanelTest, FocusOnADeletedProfileStartsAgainFromTheEnds) {
    library.save(test::customProfile("night", "Overnight"));
    model.refresh(false);
    model.setFocusedID("night");
    EXPECT_EQ(model.focusedRow(), 5);
    QSignalSpy focus(&model, &QuickPanelModel::focusedIDChanged);
    library.remove("night");
    model.refresh(false);
    EXPECT_EQ(model.focusedRow(), -1);
    EXPECT_EQ(focus.count(), 1); // the row it pointed at went away
    EXPECT_FALSE(model.activateFocused());
    model.moveFocus(QuickPanelModel::Down);
    EXPECT_EQ(model.focusedID(), "normal");
}

TEST_F(QuickPanelTest, ActionsGoThroughTheirCallbacks) {
    QStringList calls;
    model.onOpen = [&] { calls << "open"; };
    model.onSettings = [&] { calls << "settings"; };
    model.onCreate = [&] { calls << "create"; };
    model.onQuit = [&] { calls << "quit"; };
    model.onDismiss = [&] { calls << "dismiss"; };
    model.open();
    model.settings();
    model.create();
    model.quit();
    model.dismiss();
    model.activate("no such profile");
    EXPECT_EQ(calls, (QStringList{"open", "settings", "create", "quit", "dismiss"}));
    EXPECT_TRUE(activated.isEmpty());
}

// MARK: The status item and the panel's frame

TEST(MenuBarController, PanelHeightGrowsWithTheProfilesUpToTheScreen) {
    EXPECT_EQ(MenuBarController::panelSize(30, 900), QSize(340, 860));
    EXPECT_EQ(MenuBarController::panelSize(2, 900), QSize(340, 321));
    EXPECT_EQ(MenuBarController::panelSize(2, std::nullopt), QSize(340, 321));
    EXPECT_EQ(MenuBarController::panelSize(30, std::nullopt), QSize(340, 700));
    EXPECT_EQ(MenuBarController::panelSize(5, 500), QSize(340, 460));
}

TEST(MenuBarController, PanelHangsBelowTheStatusItemAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize size(340, 321);
    // Centred under the item.
    EXPECT_EQ(MenuBarController::panelGeometry(size, QRect(800, 0, 25, 24), screen),
              QRect(QPoint(642, 24), size));
    // Near the right edge it is pushed back onto the screen.
    EXPECT_EQ(MenuBarController::panelGeometry(size, QRect(1580, 0, 20, 24), screen),
              QRect(QPoint(1260, 24), size));
    // A tray at the bottom of the screen: the panel opens above the item.
    EXPECT_EQ(MenuBarController::panelGeometry(size, QRect(100, 976, 24, 24), screen),
              QRect(QPoint(0, 655), size));
    // No status item: the top right corner.
    EXPECT_EQ(MenuBarController::panelGeometry(size, QRect(), QRect(0, 30, 1600, 970)),
              QRect(QPoint(1600 - 8 - 340, 38), size));
}

TEST_F(QuickPanelTest, TooltipAndRingFollowTheAppliedProfile) {
    EXPECT_FALSE(MenuBarController::engaged(store));
    EXPECT_EQ(MenuBarController::toolTip(store), "Pellor · " +
                                                     L10n::text("Current System Configuration") +
                                                     " · " + L10n::text("Using system settings"));

    applyAndSucceed(library.normal());
    EXPECT_FALSE(MenuBarController::engaged(store));
    EXPECT_EQ(MenuBarController::toolTip(store),
              "Pellor · " + Profile::normal().localizedTitle() + " · " + store.timeLabel());

    applyAndSucceed(library.profile("focus").value());
    EXPECT_TRUE(MenuBarController::engaged(store));
    EXPECT_EQ(MenuBarController::toolTip(store),
              "Pellor · " + Profile::focus().localizedTitle() + " · " + store.timeLabel());
}

namespace {

// Whether any pixel near the dial at `degrees` (measured from the right, clockwise on screen)
// is drawn.
bool inkOnDial(const QImage &image, double degrees) {
    const double u = image.width() / 1024.0;
    const double radians = degrees * std::numbers::pi / 180.0;
    const int x = int(std::lround((512 + 390 * std::cos(radians)) * u));
    const int y = int(std::lround((512 + 390 * std::sin(radians)) * u));
    return qAlpha(image.pixel(x, y)) > 128;
}

} // namespace

TEST(PellorMenuIcon, TheRingClosesOnlyWhenEngaged) {
    const QImage idle = PellorMenuIcon::image(false, 256);
    const QImage engaged = PellorMenuIcon::image(true, 256);
    ASSERT_EQ(idle.size(), QSize(256, 256));

    // The quarter the idle arc leaves open: below and to the right of the hub.
    for (const double degrees : {30.0, 67.5, 100.0}) {
        EXPECT_FALSE(inkOnDial(idle, degrees)) << degrees;
        EXPECT_TRUE(inkOnDial(engaged, degrees)) << degrees;
    }
    for (const double degrees : {150.0, 180.0, 270.0, 340.0}) {
        EXPECT_TRUE(inkOnDial(idle, degrees)) << degrees;
        EXPECT_TRUE(inkOnDial(engaged, degrees)) << degrees;
    }
    // The hand points right from the hub; nothing to the left of the hub inside the dial.
    const auto at = [](const QImage &image, double x, double y) {
        return qAlpha(image.pixel(int(x * image.width() / 1024), int(y * image.width() / 1024)));
    };
    EXPECT_GT(at(idle, 512, 512), 128);
    EXPECT_GT(at(idle, 680, 512), 128);
    EXPECT_EQ(at(idle, 300, 512), 0);
    EXPECT_EQ(at(idle, 512, 700), 0);
    EXPECT_EQ(idle.pixelColor(512 / 4, 512 / 4).rgb() & 0xffffff, 0u); // black ink
}

TEST(PellorMenuIcon, IconOffersTheStatusBarSizes) {
    const QIcon icon = PellorMenuIcon::icon(true);
    EXPECT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(18, 18)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(48, 48)));
}
