// Output of pmset and osascript published by Mac users (tests/data/mac-samples, each NAME.txt with
// its NAME.source), read the way a person reads it. Every capture in the folder must have a row.
#include "Configuration/MacConfiguration.h"
#include "Configuration/NativeConfigurationBackend.h"
#include "Localization/L10n.h"
#include "SimulatedMacHome.h"
#include "Status/SystemSettings.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace norvane;
using test::capture;

namespace {

struct Live {
    QString name;
    std::optional<qint64> display;
    std::optional<qint64> sleep;
    std::optional<bool> lowPower;
    std::optional<bool> sleepDisabled;
    std::optional<QString> sleepPreventers;
    std::optional<QString> displaySleepPreventers;
};

const QList<Live> kLive{
    {"live-hackintosh-laptop-hbfx-2022", 5, 5, {}, {}, "Intel Power Gadget, sharingd", {}},
    {"live-imac2019-display-and-sleep-prevented-2026",
     5,
     0,
     {},
     false,
     "bluetoothd, sharingd, coreaudiod",
     "TargetBridgeReceiver"},
    {"live-osx-activeprofiles-on-battery", 5, 60, {}, {}, "storedownloadd, storedownloadd", {}},
};

const QList<std::pair<QString, QList<PowerSourceConfiguration>>> kCustom{
    {"custom-applesilicon-laptop-powermode-2026", {{"-b", 2, 1}, {"-c", 10, 0}}},
    {"custom-hackintosh-desktop-macos13.2", {{"-c", 10, 1}}},
};

const QList<std::pair<QString, const char *>> kBatt{
    {"batt-applesilicon-2026-ac-notcharging", "Power adapter"},
    {"batt-elcapitan-battery-discharging", "Battery"},
    {"batt-elcapitan-charging-noestimate", "Power adapter"},
    {"batt-imac-desktop-no-battery", "Power adapter"},
};

// The name, the number and how the message starts.
const QList<std::tuple<QString, int, QString>> kOsa{
    {"osa-cancel-128-app-prefix", -128, "Test got an error: User canceled."},
    // Published with a logging tool's prefix in front of osascript's own text.
    {"osa-syntax-error-2740-admin", -2740, "VError: code1err:48:59: syntax error: A identifier"},
};

} // namespace

TEST(RealMacCaptures, LiveSettingsReadAsPublished) {
    for (const Live &row : kLive) {
        SystemSettings settings;
        SystemSettings::readLive(settings, capture(row.name));
        SCOPED_TRACE(row.name.toStdString());
        EXPECT_EQ(settings.displayMinutes, row.display);
        EXPECT_EQ(settings.sleepMinutes, row.sleep);
        EXPECT_EQ(settings.lowPower, row.lowPower);
        EXPECT_EQ(settings.sleepDisabled, row.sleepDisabled);
        EXPECT_EQ(settings.sleepPreventers, row.sleepPreventers);
        EXPECT_EQ(settings.displaySleepPreventers, row.displaySleepPreventers);
    }
}

TEST(RealMacCaptures, CustomSettingsReadPerSource) {
    for (const auto &[name, sources] : kCustom)
        EXPECT_EQ(MacConfiguration::parsePowerSources(capture(name)), sources)
            << name.toStdString();
}

TEST(RealMacCaptures, BatteryOutputNamesTheSource) {
    for (const auto &[name, source] : kBatt) {
        SystemSettings settings;
        SystemSettings::readBattery(settings, capture(name));
        EXPECT_EQ(settings.source, L10n::text(source)) << name.toStdString();
    }
}

TEST(RealMacCaptures, OsascriptErrorsGiveTheirNumberAndMessage) {
    for (const auto &[name, number, messageStart] : kOsa) {
        const AppleScriptError error = AppleScriptError::parse(capture(name));
        EXPECT_EQ(error.number, number) << name.toStdString();
        EXPECT_TRUE(error.message && error.message->startsWith(messageStart))
            << error.message.value_or(QString()).toStdString();
    }
}

// osascript separates the lines of a failing command's standard error with carriage returns;
// the published capture shows them overprinted by a terminal, so the raw text is put together
// again from its pieces: the lines, then the shell's exit status.
TEST(RealMacCaptures, MultiLineErrorsKeepTheirLinesAndTheExitStatus) {
    const QString rendered = capture(QStringLiteral("osa-admin-multiline-stderr-CR-RENDERED"));
    const QStringList lines{
        "-p policy           Specify policy constraint (ssl, smime, codeSign, IPSec,",
        "-e allowedError     Specify allowed error (certExpired, hostnameMismatch) or",
        "        Add trusted certificate(s)."};
    for (const QString &line : lines)
        ASSERT_TRUE(rendered.contains(line)) << line.toStdString();
    ASSERT_TRUE(rendered.contains(lines.last() + QStringLiteral(" (2)")));

    const AppleScriptError error = AppleScriptError::parse(
        QStringLiteral("0:171: execution error: ") + lines.join(u'\r') + QStringLiteral(" (2)\n"));
    EXPECT_EQ(error.number, 2);
    EXPECT_EQ(error.message, lines.join(u'\r').trimmed()); // shown as lines by the backend
}

TEST(RealMacCaptures, EveryCaptureHasARow) {
    QStringList covered;
    for (const Live &row : kLive)
        covered << row.name;
    for (const auto &row : kCustom)
        covered << row.first;
    for (const auto &row : kBatt)
        covered << row.first;
    for (const auto &row : kOsa)
        covered << std::get<0>(row);
    covered << QStringLiteral("osa-admin-multiline-stderr-CR-RENDERED")
            << QStringLiteral("assertions-caffeinate-2025")       // PowerAssertionsTest
            << QStringLiteral("assertions-hackintosh-tabs-2019"); // MacSimulatorTest
    const QDir folder(QStringLiteral(NORVANE_TEST_DATA_DIR "/mac-samples"));
    for (const QString &file : folder.entryList({QStringLiteral("*.txt")})) {
        const QString name = file.chopped(4);
        EXPECT_TRUE(covered.contains(name)) << name.toStdString();
        EXPECT_TRUE(folder.exists(name + QStringLiteral(".source"))) << name.toStdString();
    }
}
