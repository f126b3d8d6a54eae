// Cinnamon and MATE through pellorctl, end to end on the real dconf (one executable per desktop,
// NORVANE_TEST_WORLD naming it): every preset applied and read back with `gsettings` in the
// desktop's own units, Never and a time after it, a key an administrator locked, and an exact
// restore.
#include "DesktopTestSupport.h"
#include "Worlds/World.h"
#include "Worlds/WorldChoice.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// What `gsettings get` prints for a key ("schema key") once `profile` is in effect; empty where
// the profile leaves the key as it was.
struct Mapping {
    QString key;
    std::function<QString(const Profile &)> expected;
};

struct Desktop {
    QString name;
    QList<Mapping> mappings;
    QString acSleepType; // "schema key" of the kind of sleep on the power adapter
    QString acSleep;     // and of its timeout
    QString acDisplay;   // "/path/key" of the display-off time on the power adapter, in dconf
};

QString seconds(qint64 minutes) {
    return QString::number(minutes * 60);
}

// Dimming on the battery, on by default: off while the display never turns off.
QString dims(const Profile &profile) {
    return profile.displayMinutes == 0 ? "false" : "true";
}

const Desktop &desktop() {
    static const QString power = NORVANE_TEST_WORLD == QStringLiteral("cinnamon")
                                     ? "org.cinnamon.settings-daemon.plugins.power "
                                     : "org.mate.power-manager ";
    static const Desktop cinnamon{
        "Cinnamon",
        {{power + "sleep-display-ac", [](auto &p) { return seconds(p.displayMinutes); }},
         {power + "sleep-display-battery", [](auto &p) { return seconds(p.displayMinutes); }},
         {power + "sleep-inactive-ac-timeout", [](auto &p) { return seconds(p.sleepMinutes); }},
         {power + "sleep-inactive-battery-timeout",
          [](auto &p) { return seconds(p.sleepMinutes); }},
         {power + "sleep-inactive-ac-type", [](auto &) { return QString("'suspend'"); }},
         {power + "idle-dim-battery", dims},
         {"org.cinnamon.desktop.session idle-delay",
          [](auto &p) { return "uint32 " + QString::number(p.screenSaverSeconds); }},
         {"org.cinnamon.desktop.screensaver idle-activation-enabled",
          [](auto &) { return QString("true"); }}},
        power + "sleep-inactive-ac-type",
        power + "sleep-inactive-ac-timeout",
        "/org/cinnamon/settings-daemon/plugins/power/sleep-display-ac"};
    static const Desktop mate{
        "MATE",
        {{power + "sleep-display-ac", [](auto &p) { return seconds(p.displayMinutes); }},
         {power + "sleep-display-battery", [](auto &p) { return seconds(p.displayMinutes); }},
         {power + "sleep-computer-ac", [](auto &p) { return seconds(p.sleepMinutes); }},
         {power + "sleep-computer-battery", [](auto &p) { return seconds(p.sleepMinutes); }},
         {power + "action-sleep-type-battery", [](auto &) { return QString("'hibernate'"); }},
         {power + "idle-dim-battery", dims},
         {"org.mate.session idle-delay", // minutes; Never leaves the delay
          [](auto &p) {
              return p.screenSaverSeconds ? QString::number(p.screenSaverSeconds / 60) : QString();
          }},
         {"org.mate.screensaver idle-activation-enabled",
          [](auto &p) { return QString(p.screenSaverSeconds ? "true" : "false"); }}},
        power + "action-sleep-type-ac",
        power + "sleep-computer-ac",
        "/org/mate/power-manager/sleep-display-ac"};
    return NORVANE_TEST_WORLD == QStringLiteral("cinnamon") ? cinnamon : mate;
}

QString gsettings(const QString &key) {
    return run("gsettings", QStringList{"get"} + key.split(' ')).out.trimmed();
}

void gsettingsSet(const QString &key, const QString &value) {
    ASSERT_EQ(run("gsettings", QStringList{"set"} + key.split(' ') << value).exitCode, 0);
}

QString dconfDump() {
    return run("dconf", {"dump", "/"}).out;
}

using GSettingsDesktop = FreshDconf;

} // namespace

TEST_F(GSettingsDesktop, EveryPresetIsWrittenInTheDesktopsOwnUnitsAndRestoredExactly) {
    gsettingsSet(desktop().acSleep, "3600");
    const QString before = dconfDump();
    for (const Profile &profile : Profile::presets()) {
        SCOPED_TRACE(profile.id.toStdString());
        const Outcome applied = pellorctl({"apply", profile.id, "--no-return"});
        ASSERT_EQ(applied.exitCode, 0) << applied.err.toStdString();
        EXPECT_EQ(applied.out, "Saved and verified " + desktop().name + " settings for " +
                                   profile.title + ".\n");
        for (const Mapping &mapping : desktop().mappings)
            if (const QString wanted = mapping.expected(profile); !wanted.isEmpty())
                EXPECT_EQ(gsettings(mapping.key), wanted) << mapping.key.toStdString();
    }
    const QJsonObject status =
        QJsonDocument::fromJson(pellorctl({"status", "--json"}).out.toUtf8()).object();
    EXPECT_EQ(status["system"]["id"], NORVANE_TEST_WORLD);
    EXPECT_EQ(status["settings"]["screenSaverSeconds"], 300);
    ASSERT_EQ(pellorctl({"restore"}).exitCode, 0);
    EXPECT_EQ(dconfDump(), before) << "every key as it was, the defaults unset";
}

// Never sleeps by the timeout 0 and leaves the user's kind of sleep alone; a time after it brings
// back the user's own kind, or where that never sleeps, the desktop's default.
TEST_F(GSettingsDesktop, NeverLeavesTheUsersKindOfSleepAndATimeGivesItBack) {
    const std::pair<QString, QString> cases[] = {{"'hibernate'", "'hibernate'"},
                                                 {"'nothing'", "'suspend'"}};
    for (const auto &[own, afterwards] : cases) {
        SCOPED_TRACE(own.toStdString());
        SetUp();
        gsettingsSet(desktop().acSleepType, own);
        ASSERT_EQ(pellorctl({"apply", "Vibe", "--no-return"}).exitCode, 0);
        EXPECT_EQ(gsettings(desktop().acSleep), "0");
        EXPECT_EQ(gsettings(desktop().acSleepType), own);
        ASSERT_EQ(pellorctl({"apply", "Normal", "--no-return"}).exitCode, 0);
        EXPECT_EQ(gsettings(desktop().acSleep), "900");
        EXPECT_EQ(gsettings(desktop().acSleepType), afterwards);
    }
}

TEST_F(GSettingsDesktop, ALockedKeyStopsTheChangeBeforeAnythingIsWritten) {
    QTemporaryDir folder;
    const QString path = desktop().acDisplay;
    const QString group = path.section('/', 1, -2);
    writeBytes(folder.filePath("db.d/00-site"),
               ("[" + group + "]\n" + path.section('/', -1) + "=600\n").toUtf8());
    writeBytes(folder.filePath("db.d/locks/00-site"), (path + "\n").toUtf8());
    ASSERT_EQ(
        run("dconf", {"compile", folder.filePath("site.db"), folder.filePath("db.d")}).exitCode, 0);
    writeBytes(folder.filePath("profile"),
               "user-db:user\nfile-db:" + folder.filePath("site.db").toUtf8() + "\n");
    QProcessEnvironment locked = QProcessEnvironment::systemEnvironment();
    locked.insert("DCONF_PROFILE", folder.filePath("profile"));
    const Outcome focus = pellorctl({"apply", "Focus", "--no-return"}, locked);
    EXPECT_EQ(focus.exitCode, 1);
    EXPECT_TRUE(focus.err.contains("A management policy locks “" + desktop().mappings[0].key + "”"))
        << focus.err.toStdString();
    EXPECT_FALSE(focus.err.contains("Mac")) << focus.err.toStdString();
    EXPECT_EQ(dconfDump(), "") << "nothing written";
}

// The desktop a session names picks its world once its settings are installed: GNOME's family
// where its power panel writes GNOME's keys, Cinnamon and MATE their own; Unity keeps its sleep
// settings in schemas of its own and is not taken for GNOME.
TEST(DesktopChoice, TheSessionsDesktopPicksItsWorld) {
    const std::pair<QString, QString> cases[] = {{"Budgie:GNOME", "gnome"},
                                                 {"Pantheon", "gnome"},
                                                 {"X-Cinnamon", "cinnamon"},
                                                 {"MATE", "mate"},
                                                 {"Unity:Unity7", "simulated"}};
    for (const auto &[desktop, world] : cases)
        EXPECT_EQ(chooseWorld({}, desktop).world->identity().id, world) << desktop.toStdString();
}
