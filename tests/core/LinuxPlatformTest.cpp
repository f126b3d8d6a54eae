// The Linux platform pieces: the sysfs power-supply reader, the views' working set and the
// running applications.
#include "Platform/Linux/ProcessApplications.h"
#include "Platform/Linux/SysfsPowerSources.h"
#include "Platform/Linux/ViewWorkingSet.h"
#include "Status/PowerStatus.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using Source = PowerStatus::Source;

namespace {

// The status read from a fake /sys/class/power_supply described as
// "SUPPLY: attribute=value, …; SUPPLY: …": one folder per supply, one file per attribute, each
// value ending with a newline as in sysfs.
PowerStatus statusOf(const QString &supplies) {
    QTemporaryDir root;
    for (const QString &supply : supplies.split(u';', Qt::SkipEmptyParts)) {
        const QString name = supply.section(u':', 0, -2).trimmed();
        EXPECT_TRUE(QDir(root.path()).mkpath(name));
        for (const QString &attribute : supply.section(u':', -1).split(u',')) {
            QFile file(root.filePath(name + u'/' + attribute.section(u'=', 0, 0).trimmed()));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(attribute.section(u'=', 1).toUtf8() + '\n');
        }
    }
    return PowerStatus::read(SysfsPowerSources(root.path()));
}

} // namespace

TEST(SysfsPowerSources, AMissingFolderGivesNoInformation) {
    QTemporaryDir folder;
    const SysfsPowerSources sources(folder.filePath(QStringLiteral("absent")));
    EXPECT_FALSE(sources.snapshot());
    EXPECT_EQ(PowerStatus::read(sources), PowerStatus{});
}

TEST(SysfsPowerSources, ReadAsTheMacsPowerSources) {
    const QString on = QStringLiteral("AC: type=Mains, online=1;");
    const QString off = QStringLiteral("AC: type=Mains, online=0;");
    const QString least = QString::number(std::numeric_limits<qint64>::min());
    const QString most = QString::number(std::numeric_limits<qint64>::max());
    const struct {
        QString supplies;
        PowerStatus expected;
    } rows[] = {
        {{}, {Source::adapter}}, // a desktop
        // 30 of 50 Wh at 20 W: an hour to full.
        {on + "BAT0: type=Battery, status=Charging, scope=System, present=1, energy_now=30000000, "
              "energy_full=50000000, power_now=20000000",
         {Source::adapter, true, 60, true, false, 60, {}}},
        // The kernel's capacity first; 2000 mAh at a current some drivers give as negative: 1.5 h.
        {off + "BAT0: type=Battery, status=Discharging, capacity=41, charge_now=2000000, "
               "charge_full=4800000, current_now=-1333333",
         {Source::battery, true, 41, false, false, {}, 90}},
        // The kernel's own estimate is in seconds: 121.5 minutes, rounded up.
        {"BAT0: type=Battery, status=Discharging, capacity=50, time_to_empty_now=7290, "
         "energy_now=1, power_now=1",
         {Source::battery, true, 50, false, false, {}, 122}},
        {on + "BAT0: type=Battery, status=Charging, charge_now=1, charge_full=4, current_now=0",
         {Source::adapter, true, 25, true}},
        {on + "BAT0: type=Battery, status=Unknown, present=0", {Source::adapter}},
        {"ucsi-source-psy-USBC000:001: type=USB, online=1, scope=System;"
         "BAT0: type=Battery, status=Full, capacity=100",
         {Source::adapter, true, 100, false, true}},
        // A mouse's battery is not the Mac's.
        {"hidpp_battery_0: type=Battery, scope=Device, status=Discharging", {Source::adapter}},
        {off + "BAT0: type=Battery, status=Not charging, capacity=80", {Source::unknown, true, 80}},
        // Charging without any mains supply listed shows that external power is on.
        {"BAT0: type=Battery, status=Charging", {Source::adapter, true, {}, true}},
        {off + "ups: type=UPS, status=Discharging, capacity=70, time_to_empty_now=1200",
         {Source::ups, false, 70, false, false, {}, 20}},
        {on + "BAT0: type=Battery, status=Charging, capacity=lots, energy_now=1",
         {Source::adapter, true, {}, true}},
        // Absurd counters give no estimate rather than an overflow.
        {"BAT0: type=Battery, status=Charging, current_now=1, charge_now=" + least +
             ", charge_full=" + most,
         {Source::adapter, true, {}, true}},
        {"BAT0: type=Battery, status=Discharging, power_now=1, energy_now=" + most,
         {Source::battery, true}},
        {"BAT0: type=Battery, status=Discharging, power_now=" + least + ", energy_now=" + most,
         {Source::battery, true, {}, false, false, {}, 60}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(statusOf(row.supplies), row.expected) << row.supplies.toStdString();
}

// Mesa's and Qt Quick's libraries and QML plugins by their file names; everything else stays
// (the status item draws with Qt Gui), as do lines that are no mapping.
TEST(ViewWorkingSet, OnlyTheLibrariesOfViewsAreTrimmed) {
    const QByteArray maps =
        "1000-2000 r-xp 0 08:01 1 /usr/lib/x86_64-linux-gnu/libLLVM-15.so.1\n"
        "2000-3000 r--p 0 08:01 2 /usr/lib/dri/swrast_dri.so\n"
        "3000-4000 r-xp 0 08:01 3 /usr/lib/libQt6QuickTemplates2.so.6\n"
        "4000-5000 r-xp 0 08:01 4 /usr/lib/qt6/qml/QtQuick/libqtquick2plugin.so\n"
        "5000-6000 r-xp 0 08:01 5 /usr/lib/libGLX.so.0\n" // the vendor's
        "6000-7000 r-xp 0 08:01 6 /usr/lib/libQt6Gui.so.6\n"
        "7000-8000 r--p 0 08:01 7 /home/libLLVM/notes.txt\n"
        "8000-9000 r--p 0 08:01 8 /home/qml/notes.txt\n"
        "9000-a000 rw-p 0 00:00 0 [heap]\n"
        "a000-b000 rw-p 0 00:00 0\n"
        "zz-c000 r-xp 0 08:01 9 /usr/lib/libLLVM-16.so\n";
    EXPECT_EQ(ViewWorkingSet::viewMappings(maps),
              (QList<ViewWorkingSet::Mapping>{
                  {0x1000, 0x2000}, {0x2000, 0x3000}, {0x3000, 0x4000}, {0x4000, 0x5000}}));
    EXPECT_EQ(ViewWorkingSet::trim(), 0) << "this process has no view library to trim";
}

// A copy of cat, which runs until its standard input closes, started through a link (its comm, of
// which the kernel keeps 15 bytes) under another argv[0], its file deleted once it runs.
TEST(RunningLinuxApplications, AreFoundByProgramOrDesktopEntryWhileTheyRun) {
    const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/pellor apps-XXXXXX"));
    const QString program = folder.filePath(QStringLiteral("pellor-test-sleeper"));
    const QString link = folder.filePath(QStringLiteral("pellor-alias-for-sleeper"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/cat"), program));
    ASSERT_TRUE(QFile::link(program, link));
    const QString entries = folder.filePath(QStringLiteral("data/applications/"));
    test::writeBytes(entries + "pellor-app.desktop",
                     "[Desktop Entry]\nExec=\"" + program.toUtf8() + "\" %U\n");
    test::writeBytes(entries + "pellor/sub-app.desktop",
                     "[Desktop Entry]\nExec=pellor-launcher\nTryExec=/bin/pellor-argv-name\n");
    test::writeBytes(entries + "pellor-action.desktop",
                     "[Desktop Entry]\nExec=pellor-launcher\n[Desktop Action new]\nExec=\"" +
                         program.toUtf8() + "\"\n");
    const test::ScopedVariable dataHome("XDG_DATA_HOME", folder.filePath("data").toUtf8());
    const test::ScopedVariable dataDirs("XDG_DATA_DIRS", folder.filePath("none").toUtf8());

    QProcess sleeper;
    sleeper.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral("exec -a /nowhere/pellor-argv-name \"$0\""), link});
    sleeper.write("ready\n");
    ASSERT_TRUE(sleeper.waitForReadyRead()) << "cat echoes once bash has become cat";
    ASSERT_TRUE(QFile::remove(program));

    const struct {
        QString name;
        bool running;
    } rows[] = {
        {"pellor-test-sleeper", true},      // its executable, deleted
        {"pellor-argv-name", true},         // argv[0]
        {"pellor-alias-for-sleeper", true}, // comm: the first 15 bytes
        {"pellor-alias-f", false},          // less than comm
        {"pellor-app.desktop", true},       // Exec: a quoted path with a blank, a field code
        {"pellor-sub-app.desktop", true},   // in a subfolder; TryExec
        {"pellor-action.desktop", false},   // only an action starts it
        {"pellor-absent.desktop", false},   {"pellor-not-running", false},
    };
    QStringList names;
    for (const auto &row : rows)
        names << row.name;
    const QSet<QString> whileRunning = runningLinuxApplications(names);
    sleeper.closeWriteChannel();
    ASSERT_TRUE(sleeper.waitForFinished());
    const QSet<QString> afterwards = runningLinuxApplications(names);
    for (const auto &row : rows)
        EXPECT_EQ(whileRunning.contains(row.name), row.running) << row.name.toStdString();
    EXPECT_EQ(afterwards, QSet<QString>());
}

// In a fake /proc: a process of a Flatpak app, whose sandbox names the app, and the flatpak
// command itself, which runs no app.
TEST(RunningLinuxApplications, AFlatpakAppRunsWhereItsSandboxNamesIt) {
    const QTemporaryDir proc;
    const auto process = [&proc](const QString &pid, const QByteArray &program) {
        test::writeBytes(proc.filePath(pid + "/comm"), program + '\n');
        test::writeBytes(proc.filePath(pid + "/cmdline"), "/app/bin/" + program + '\0');
    };
    process(QStringLiteral("4242"), "viewer");
    test::writeBytes(proc.filePath("sandbox/.flatpak-info"),
                     "[Application]\nname=org.example.Viewer\n");
    ASSERT_TRUE(QFile::link(proc.filePath("sandbox"), proc.filePath("4242/root")));
    process(QStringLiteral("4243"), "flatpak");
    const QString entries = proc.filePath(QStringLiteral("data/applications/"));
    test::writeBytes(entries + "org.example.Viewer.desktop",
                     "[Desktop Entry]\nExec=/usr/bin/flatpak run --branch=stable "
                     "--command=viewer org.example.Viewer @@u %U @@\n");
    test::writeBytes(entries + "org.example.Editor.desktop",
                     "[Desktop Entry]\nExec=flatpak run org.example.Editor\n");
    const test::ScopedVariable dataHome("XDG_DATA_HOME", proc.filePath("data").toUtf8());
    const test::ScopedVariable dataDirs("XDG_DATA_DIRS", proc.filePath("none").toUtf8());

    EXPECT_EQ(runningLinuxApplications({QStringLiteral("org.example.Viewer.desktop"),
                                        QStringLiteral("org.example.Editor.desktop")},
                                       proc.path()),
              QSet<QString>{QStringLiteral("org.example.Viewer.desktop")});
}
