#include "Platform/Linux/SysfsPowerSources.h"

#include "Status/PowerStatus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using Attributes = QMap<QString, QString>;

namespace {

// A fake /sys/class/power_supply: one folder per supply, one file per attribute.
class FakePowerSupplyTree {
public:
    void add(const QString &name, const Attributes &attributes) const {
        QDir root(m_root.path());
        ASSERT_TRUE(root.mkpath(name));
        for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
            QFile file(root.filePath(name + u'/' + it.key()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(it.value().toUtf8() + '\n'); // sysfs ends every value with a newline
        }
    }
    void addMains(bool online) const {
        add(QStringLiteral("AC"), {{"type", "Mains"}, {"online", online ? "1" : "0"}});
    }
    void addBattery(const QString &status, Attributes extra = {}) const {
        extra.insert({{"type", "Battery"}, {"status", status}});
        add(QStringLiteral("BAT0"), extra);
    }

    [[nodiscard]] PowerSourceSnapshot snapshot() const {
        const auto snapshot = SysfsPowerSources(m_root.path()).snapshot();
        EXPECT_TRUE(snapshot);
        return snapshot.value_or(PowerSourceSnapshot{});
    }
    [[nodiscard]] PowerSourceDescription onlyDescription() const {
        const auto descriptions = snapshot().descriptions;
        EXPECT_EQ(descriptions.size(), 1);
        return descriptions.value(0);
    }
    [[nodiscard]] PowerStatus status() const {
        return PowerStatus::read(SysfsPowerSources(m_root.path()));
    }

private:
    QTemporaryDir m_root;
};

} // namespace

TEST(SysfsPowerSources, AMissingFolderGivesNoInformation) {
    QTemporaryDir folder;
    const SysfsPowerSources sources(folder.filePath(QStringLiteral("absent")));
    EXPECT_FALSE(sources.snapshot());
    EXPECT_EQ(PowerStatus::read(sources), PowerStatus{});
}

TEST(SysfsPowerSources, ADesktopWithoutSuppliesRunsOnTheAdapter) {
    FakePowerSupplyTree tree;
    const PowerSourceSnapshot snapshot = tree.snapshot();
    EXPECT_TRUE(snapshot.descriptions.isEmpty());
    EXPECT_EQ(snapshot.providingType, QStringLiteral("AC Power"));
    const PowerStatus status = tree.status();
    EXPECT_EQ(status.source, PowerStatus::Source::adapter);
    EXPECT_FALSE(status.hasBattery);
}

TEST(SysfsPowerSources, ALaptopChargingWithATimeToFull) {
    FakePowerSupplyTree tree;
    tree.addMains(true);
    // 30 Wh of 50 Wh at 20 W: an hour to full.
    tree.addBattery(QStringLiteral("Charging"), {{"scope", "System"},
                                                 {"present", "1"},
                                                 {"energy_now", "30000000"},
                                                 {"energy_full", "50000000"},
                                                 {"power_now", "20000000"}});
    EXPECT_EQ(tree.snapshot().providingType, QStringLiteral("AC Power"));
    const PowerSourceDescription battery = tree.onlyDescription();
    EXPECT_EQ(battery.value("Type"), QStringLiteral("InternalBattery"));
    EXPECT_EQ(battery.value("Is Present"), true);
    EXPECT_EQ(battery.value("Current Capacity").toLongLong(), 60);
    EXPECT_EQ(battery.value("Max Capacity").toLongLong(), 100);
    EXPECT_EQ(battery.value("Is Charging"), true);
    EXPECT_EQ(battery.value("Is Charged"), false);
    EXPECT_EQ(battery.value("Time to Full Charge").toLongLong(), 60);
    EXPECT_FALSE(battery.contains("Time to Empty"));

    const PowerStatus expected{
        PowerStatus::Source::adapter, true, 60, true, false, 60, std::nullopt};
    EXPECT_EQ(tree.status(), expected);
}

TEST(SysfsPowerSources, ALaptopDischargingWithATimeToEmpty) {
    FakePowerSupplyTree tree;
    tree.addMains(false);
    // 2000 mAh left at a current the driver reports as negative: 1.5 hours.
    tree.addBattery(QStringLiteral("Discharging"), {{"capacity", "41"},
                                                    {"charge_now", "2000000"},
                                                    {"charge_full", "4800000"},
                                                    {"current_now", "-1333333"}});
    EXPECT_EQ(tree.snapshot().providingType, QStringLiteral("Battery Power"));
    const PowerSourceDescription battery = tree.onlyDescription();
    EXPECT_EQ(battery.value("Current Capacity").toLongLong(), 41); // the kernel's own figure first
    EXPECT_EQ(battery.value("Time to Empty").toLongLong(), 90);
    EXPECT_FALSE(battery.contains("Time to Full Charge"));

    const PowerStatus expected{
        PowerStatus::Source::battery, true, 41, false, false, std::nullopt, 90};
    EXPECT_EQ(tree.status(), expected);
}

TEST(SysfsPowerSources, KernelTimeEstimatesAreSeconds) {
    FakePowerSupplyTree tree;
    tree.addBattery(QStringLiteral("Discharging"), {{"capacity", "50"},
                                                    {"time_to_empty_now", "7290"},
                                                    {"energy_now", "1"},
                                                    {"power_now", "1"}});
    EXPECT_EQ(tree.onlyDescription().value("Time to Empty").toLongLong(), 122); // 121.5 rounds up
    EXPECT_EQ(tree.snapshot().providingType, QStringLiteral("Battery Power"));
}

TEST(SysfsPowerSources, NoRateMeansNoEstimate) {
    FakePowerSupplyTree tree;
    tree.addMains(true);
    tree.addBattery(QStringLiteral("Charging"),
                    {{"charge_now", "1000"}, {"charge_full", "4000"}, {"current_now", "0"}});
    const PowerSourceDescription battery = tree.onlyDescription();
    EXPECT_EQ(battery.value("Current Capacity").toLongLong(), 25);
    EXPECT_FALSE(battery.contains("Time to Full Charge"));
}

TEST(SysfsPowerSources, ABatteryThatIsNotPresent) {
    FakePowerSupplyTree tree;
    tree.addMains(true);
    tree.addBattery(QStringLiteral("Unknown"), {{"present", "0"}});
    const PowerSourceDescription battery = tree.onlyDescription();
    EXPECT_EQ(battery.value("Is Present"), false);
    EXPECT_FALSE(battery.contains("Current Capacity"));
    const PowerStatus status = tree.status();
    EXPECT_EQ(status.source, PowerStatus::Source::adapter);
    EXPECT_FALSE(status.hasBattery);
}

TEST(SysfsPowerSources, FullBatteryOnUsbPower) {
    FakePowerSupplyTree tree;
    tree.add(QStringLiteral("ucsi-source-psy-USBC000:001"),
             {{"type", "USB"}, {"online", "1"}, {"scope", "System"}});
    tree.addBattery(QStringLiteral("Full"), {{"capacity", "100"}});
    const PowerStatus status = tree.status();
    EXPECT_EQ(status.source, PowerStatus::Source::adapter);
    EXPECT_TRUE(status.isCharged);
    EXPECT_EQ(status.percentage, 100);
}

TEST(SysfsPowerSources, PeripheralBatteriesAreNotTheMacsBattery) {
    FakePowerSupplyTree tree;
    tree.add(
        QStringLiteral("hidpp_battery_0"),
        {{"type", "Battery"}, {"scope", "Device"}, {"status", "Discharging"}, {"capacity", "20"}});
    const PowerSourceSnapshot snapshot = tree.snapshot();
    EXPECT_TRUE(snapshot.descriptions.isEmpty());
    EXPECT_EQ(snapshot.providingType, QStringLiteral("AC Power")); // still a desktop
}

TEST(SysfsPowerSources, ProvidingTypeIsUnknownWhenNothingTellsIt) {
    FakePowerSupplyTree tree;
    tree.addMains(false);
    tree.addBattery(QStringLiteral("Not charging"), {{"capacity", "80"}});
    EXPECT_EQ(tree.snapshot().providingType, std::nullopt);
    EXPECT_EQ(tree.status().source, PowerStatus::Source::unknown);
}

TEST(SysfsPowerSources, AChargingBatteryWithoutMainsSupplyMeansExternalPower) {
    FakePowerSupplyTree tree;
    tree.addBattery(QStringLiteral("Charging"), {{"capacity", "80"}});
    EXPECT_EQ(tree.snapshot().providingType, QStringLiteral("AC Power"));
}

TEST(SysfsPowerSources, AUpsThatDischargesProvidesPower) {
    FakePowerSupplyTree tree;
    tree.addMains(false);
    tree.add(QStringLiteral("ups"), {{"type", "UPS"},
                                     {"status", "Discharging"},
                                     {"capacity", "70"},
                                     {"time_to_empty_now", "1200"}});
    const PowerSourceSnapshot snapshot = tree.snapshot();
    EXPECT_EQ(snapshot.providingType, QStringLiteral("UPS Power"));
    ASSERT_EQ(snapshot.descriptions.size(), 1);
    EXPECT_EQ(snapshot.descriptions.first().value("Type"), QStringLiteral("UPS"));
    const PowerStatus expected{PowerStatus::Source::ups, false, 70, false, false, std::nullopt, 20};
    EXPECT_EQ(tree.status(), expected);
}

TEST(SysfsPowerSources, UnreadableOrMalformedAttributesCountAsMissing) {
    FakePowerSupplyTree tree;
    tree.addMains(true);
    tree.addBattery(QStringLiteral("Charging"), {{"capacity", "lots"}, {"energy_now", "1"}});
    const PowerSourceDescription battery = tree.onlyDescription();
    EXPECT_FALSE(battery.contains("Current Capacity"));
    EXPECT_FALSE(battery.contains("Time to Full Charge"));
}

TEST(SysfsPowerSources, AbsurdCountersGiveNoEstimateRatherThanOverflow) {
    const QString least = QString::number(std::numeric_limits<qint64>::min());
    const QString most = QString::number(std::numeric_limits<qint64>::max());
    struct Case {
        QString status;
        Attributes counters;
        const char *estimate;
        std::optional<qint64> minutes;
    };
    const QList<Case> cases{
        {"Charging",
         {{"charge_now", least}, {"charge_full", most}, {"current_now", "1"}},
         "Time to Full Charge",
         std::nullopt},
        {"Discharging", {{"energy_now", most}, {"power_now", "1"}}, "Time to Empty", std::nullopt},
        {"Discharging", {{"energy_now", most}, {"power_now", least}}, "Time to Empty", 60},
    };
    for (const Case &c : cases) {
        FakePowerSupplyTree tree;
        tree.addBattery(c.status, c.counters);
        const PowerSourceDescription battery = tree.onlyDescription();
        EXPECT_EQ(battery.contains(c.estimate), c.minutes.has_value())
            << c.counters.first().toStdString();
        if (c.minutes)
            EXPECT_EQ(battery.value(c.estimate).toLongLong(), *c.minutes);
    }
}
