// GNOME's idle settings through the real GSettings and dconf: every preset applied and read back,
// the user's own kind of sleep, an exact restore, and a failed write rolled back.
#include "DesktopTestSupport.h"
#include "Gnome/GnomeConfigurationBackend.h"
#include "Gnome/GnomeIdleSettings.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Keys = GnomeIdleSettings;

struct GnomeBackendTest : ::testing::Test {
    QTemporaryDir folder;
    std::shared_ptr<GnomeConfigurationBackend> backend =
        std::make_shared<GnomeConfigurationBackend>(
            OriginalSettingsBackup(folder.filePath("original-settings-gnome.json"), "gnome"));
    ConfigurationTransaction transaction{backend};

    void SetUp() override {
        // Every key back at GNOME's default.
        QJsonObject defaults;
        for (const QString &key : Keys::kKeys)
            defaults.insert(key, QJsonValue::Null);
        GnomeIdleSettings().write(defaults);
    }
    static QJsonObject values() { return GnomeIdleSettings().values(); }
};

} // namespace

TEST_F(GnomeBackendTest, EveryPresetIsWrittenAndReadBackInGnomesOwnUnits) {
    for (const Profile &profile : Profile::presets()) {
        SCOPED_TRACE(profile.id.toStdString());
        const QJsonObject before = values();
        const MacConfiguration after = transaction.apply(profile);
        const QJsonObject written = values();
        EXPECT_EQ(written[Keys::kIdleDelay].toInteger(), profile.displayMinutes * 60);
        for (const auto &[timeout, type] : {std::pair{Keys::kAcTimeout, Keys::kAcType},
                                            std::pair{Keys::kBatteryTimeout, Keys::kBatteryType}}) {
            if (profile.sleepMinutes == 0) {
                EXPECT_EQ(written[type], "nothing") << "never sleeps on idle";
                EXPECT_EQ(written[timeout], before[timeout]) << "the timeout stays as it was";
            } else {
                EXPECT_EQ(written[type], "suspend");
                EXPECT_EQ(written[timeout].toInteger(), profile.sleepMinutes * 60);
            }
        }
        EXPECT_EQ(after.sources[0].display, profile.displayMinutes);
        EXPECT_EQ(after.sources[1].sleep, profile.sleepMinutes);
        EXPECT_FALSE(after.screenSaverSeconds) << "the screen saver follows the display";
    }
}

TEST_F(GnomeBackendTest, NeverThenATimeoutBringsBackTheUsersOwnSleepAndRestoreIsExact) {
    GnomeIdleSettings().write({{Keys::kIdleDelay, 90}, {Keys::kBatteryType, "hibernate"}});
    const QJsonObject own = GnomeIdleSettings().userValues();

    (void)transaction.apply(Profile::focus()); // never sleeps
    EXPECT_EQ(values()[Keys::kBatteryType], "nothing");
    (void)transaction.apply(Profile::normal());
    EXPECT_EQ(values()[Keys::kBatteryType], "hibernate") << "the user's own, from the backup";
    EXPECT_EQ(values()[Keys::kAcType], "suspend") << "GNOME's default where the user chose none";

    (void)transaction.restore();
    EXPECT_EQ(GnomeIdleSettings().userValues(), own)
        << "90 seconds, hibernate, and every other key at its default again";
}

TEST_F(GnomeBackendTest, AWriteThatFailsHalfWayIsRolledBackExactly) {
    GnomeIdleSettings().write({{Keys::kAcTimeout, 1800}});
    const QJsonObject own = GnomeIdleSettings().userValues();
    test::applyFailingHalfWay(backend);
    EXPECT_EQ(GnomeIdleSettings().userValues(), own);
}

TEST_F(GnomeBackendTest, ValuesGnomeCannotHoldAreRefusedBeforeAnythingIsWritten) {
    const QJsonObject before = values();
    const QJsonObject refused[] = {
        {{Keys::kIdleDelay, 0}, {Keys::kAcType, "melt"}},       // not one of the choices
        {{Keys::kIdleDelay, 0}, {Keys::kAcTimeout, "soon"}},    // not a number
        {{Keys::kIdleDelay, 0}, {Keys::kBatteryTimeout, 1e12}}, // out of the key's range
    };
    for (const QJsonObject &values : refused) {
        EXPECT_EQ(test::errorTextFrom([&] { GnomeIdleSettings().write(values); }),
                  "Settings are outside the supported range. No command was run.");
        EXPECT_EQ(GnomeIdleSettings().values(), before);
    }
}
