// GNOME's idle settings through the real GSettings and dconf: every preset applied and read back,
// the user's own dimming and kind of sleep, an exact restore, and a failed write rolled back.
#include "DesktopTestSupport.h"
#include "Gnome/GnomeIdleSettings.h"
#include "Gnome/GnomeSettingsAdapter.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Keys = GnomeIdleSettings;

struct GnomeBackendTest : ::testing::Test {
    QTemporaryDir folder;
    std::shared_ptr<DesktopConfigurationBackend> backend =
        test::desktopBackend<GnomeSettingsAdapter>(folder.filePath("original-settings-gnome.json"),
                                                   "gnome");
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

// Never keeps the screen lit (no dimming) and does not sleep; a later time gives back the user's
// own dimming and kind of sleep; restore gives back every key, also from a backup made before
// Pellor knew idle-dim. The display reads when the screen first darkens.
TEST_F(GnomeBackendTest, NeverKeepsTheScreenLitAndALaterTimeGivesBackTheUsersOwn) {
    const std::pair<QJsonObject, qint64> cases[] = {
        {{}, 5},                                               // GNOME's defaults
        {{{Keys::kIdleDelay, 0}}, 1},                          // never blanked, dimmed after 60 s
        {{{Keys::kIdleDelay, 0}, {Keys::kIdleDim, false}}, 0}, // really never
        {{{Keys::kIdleDelay, 90}, {Keys::kIdleDim, true}, {Keys::kBatteryType, "hibernate"}}, 2},
    };
    for (const auto &[own, reads] : cases) {
        SetUp();
        QFile::remove(folder.filePath("original-settings-gnome.json"));
        GnomeIdleSettings().write(own);
        const QJsonObject before = values();
        const QJsonObject ownValues = GnomeIdleSettings().userValues();
        EXPECT_EQ(GnomeIdleSettings().configuration().sources[1].display, reads);
        (void)transaction.apply(Profile::focus()); // verified: not dimmed either
        (void)transaction.apply(Profile::normal());
        EXPECT_EQ(GnomeIdleSettings().userValues()[Keys::kIdleDim], ownValues[Keys::kIdleDim]);
        EXPECT_EQ(values()[Keys::kBatteryType], before[Keys::kBatteryType]);
        (void)transaction.apply(Profile::focus());
        (void)transaction.restore();
        EXPECT_EQ(GnomeIdleSettings().userValues(), ownValues);
    }
    GnomeIdleSettings().write({{Keys::kIdleDim, false}});
    (void)transaction.apply(Profile::normal());
    EXPECT_EQ(values()[Keys::kIdleDim], false) << "a time after a time leaves the dimming alone";
    (void)transaction.apply(Profile::focus());
    test::forgetInBackup(folder.filePath("original-settings-gnome.json"), Keys::kIdleDim);
    (void)transaction.restore();
    EXPECT_EQ(values()[Keys::kIdleDim], false) << "a key the backup does not name stays";
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
