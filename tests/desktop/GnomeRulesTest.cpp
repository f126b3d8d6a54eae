// Rules end to end on GNOME: UPower (python-dbusmock) tells of the battery and the adapter, the
// battery rule applies its profile through the real dconf, and the adapter gives back the one
// before.
#include "Configuration/MacConfigurationService.h"
#include "DBusMock.h"
#include "DesktopTestSupport.h"
#include "Gnome/GnomeIdleSettings.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleSwitcher.h"
#include "Sessions/SessionStore.h"
#include "Worlds/World.h"

#include <QDBusVariant>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

TEST(GnomeRules, OnBatteryTheRuleAppliesThroughDconfAndTheAdapterGivesBackWhatWasBefore) {
    DBusMock upower(QDBusConnection::SystemBus, "upower", R"({"OnBattery": false})");
    ASSERT_TRUE(upower.ready());
    ASSERT_TRUE(upower.mock("AddChargingBattery", {"mock_BAT", "Mock Battery", 80.0, qint64(600)}));
    QTemporaryDir folder;
    ProfileLibrary library(std::make_shared<FileProfileStorage>(folder.filePath("profiles.json")));
    RuleBook book(folder.filePath("rules.json"));
    book.add(Rule{"on-battery", {Condition::Kind::battery, 0, {}, {}, {}, {}}, "vibe", true});
    SessionStore store(std::make_shared<MacConfigurationService>(
                           [] { return currentWorld()->configurationBackend(); }),
                       {}, [&] { return library.normal(); });
    store.takeTurnsWith(std::make_shared<WriterLock>(folder.filePath("writer.lock")));
    QDateTime clock = QDateTime::currentDateTime();
    RuleSwitcher switcher(store, library, book, {currentWorld(), [&] { return clock; }});
    switcher.start(false);

    const auto plugIn = [&](bool adapter, const QString &expected) {
        clock = clock.addSecs(RuleEngine::kSourceSettleSeconds + 1);
        QEventLoop loop;
        store.onChange = [&] {
            if (!store.isApplying() && store.profile().id == expected)
                loop.quit();
        };
        QTimer::singleShot(60'000, &loop, [&] {
            ADD_FAILURE() << "never applied " << expected.toStdString();
            loop.quit();
        });
        upower.call(
            "/org/freedesktop/UPower", "org.freedesktop.DBus.Properties", "Set",
            {"org.freedesktop.UPower", "OnBattery", QVariant::fromValue(QDBusVariant(!adapter))});
        loop.exec();
        store.onChange = {};
    };
    plugIn(false, "vibe");
    EXPECT_EQ(GnomeIdleSettings().values()[GnomeIdleSettings::kIdleDelay], 0) << "Vibe's";
    EXPECT_EQ(store.session().rule->description, "On battery");
    plugIn(true, "normal");
    EXPECT_EQ(GnomeIdleSettings().values()[GnomeIdleSettings::kIdleDelay], 300) << "Normal's";
}
