// KDE's configuration files edited line by line: what KConfig reads in them (checked against
// kreadconfig5 where it matters), and edits that leave every other byte alone and undo exactly.
#include "Kde/KConfigText.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

// A file as KConfig writes it, and what people add by hand: comments, spacing, markers.
const QByteArray kFile = "# PowerDevil's profiles\n"
                         "[AC]\n"
                         "icon=battery-charging\n"
                         "\n"
                         "[AC][DPMSControl]\n"
                         "idleTime = 600\n"
                         "Name[de]=Bildschirm\n"
                         "\n"
                         "# dimming, set by hand\n"
                         "[AC][DimDisplay]\n"
                         "idleTime[$i]=300000\n"
                         "\n"
                         "# the battery\n"
                         "[Battery][$i]\n"
                         "icon=battery-060\n"
                         "\n"
                         "[Battery][SuspendSession]\n"
                         "idleTime=600000\n"
                         "suspendType=1\n";

const QStringList kDpms{"AC", "DPMSControl"};
const QStringList kDim{"AC", "DimDisplay"};
const QStringList kSuspend{"Battery", "SuspendSession"};

QString kreadconfig(const QByteArray &bytes, const QStringList &group, const QString &key) {
    QTemporaryDir folder;
    QFile file(folder.filePath("testrc"));
    if (!file.open(QIODevice::WriteOnly))
        return "<unwritable>";
    file.write(bytes);
    file.close();
    QStringList arguments{"--file", file.fileName(), "--key", key, "--default", "<none>"};
    for (const QString &part : group)
        arguments << "--group" << part;
    QProcess program;
    program.start("kreadconfig5", arguments);
    program.waitForFinished(30'000);
    return QString::fromUtf8(program.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(KConfigText, ReadsValuesAndMarkersAsKConfigDoes) {
    const KConfigText text(kFile);
    EXPECT_EQ(text.value(kDpms, "idleTime"), "600");
    EXPECT_EQ(kreadconfig(kFile, kDpms, "idleTime"), "600") << "spaces around = are not the value";
    EXPECT_EQ(text.value(kDpms, "Name"), std::nullopt) << "a localized entry is another key";
    EXPECT_TRUE(text.hasGroup(kSuspend));
    EXPECT_FALSE(text.hasGroup({"LowBattery"}));

    EXPECT_TRUE(text.isImmutable(kDim, "idleTime")) << "the entry's [$i]";
    EXPECT_FALSE(text.isImmutable(kDpms, "idleTime"));
    EXPECT_TRUE(text.isImmutable({"Battery"}, "icon")) << "the group's [$i]";
    EXPECT_FALSE(text.isImmutable(kSuspend, "idleTime")) << "KConfig does not lock subgroups";
    EXPECT_TRUE(text.isGroupLocked(kDim));
    EXPECT_TRUE(KConfigText("[$i]\n" + kFile).isImmutable(kSuspend, "idleTime")) << "the file's";
}

TEST(KConfigText, AnEditChangesItsLineOnlyAndNewGroupsGoWhereKConfigKeepsThem) {
    struct Case {
        const char *what;
        std::function<void(KConfigText &)> edit;
        QByteArray before; // the lines replaced …
        QByteArray after;  // … by these
    };
    const Case cases[] = {
        {"a value, its spacing kept", [](KConfigText &t) { t.setValue(kDpms, "idleTime", "60"); },
         "idleTime = 600\n", "idleTime = 60\n"},
        {"a key added after the group's last entry",
         [](KConfigText &t) { t.setValue(kSuspend, "suspendThenHibernate", "false"); },
         "suspendType=1\n", "suspendType=1\nsuspendThenHibernate=false\n"},
        {"a group before the first that sorts after it, above that group's comment",
         [](KConfigText &t) {
             t.setValue({"AC", "Display"}, "TurnOffDisplayWhenIdle", "false");
         },
         "\n# the battery", "\n[AC][Display]\nTurnOffDisplayWhenIdle=false\n\n# the battery"},
        {"a group after the last",
         [](KConfigText &t) { t.setValue({"LowBattery"}, "icon", "battery-low"); },
         "suspendType=1\n", "suspendType=1\n\n[LowBattery]\nicon=battery-low\n"},
        {"the last key of a group takes the group with it",
         [](KConfigText &t) { t.removeEntry({"Battery"}, "icon"); },
         "[Battery][$i]\nicon=battery-060\n\n", ""},
    };
    for (const Case &c : cases) {
        KConfigText text(kFile);
        c.edit(text);
        QByteArray expected = kFile;
        expected.replace(expected.indexOf(c.before), c.before.size(), c.after);
        EXPECT_EQ(text.bytes(), expected) << c.what;
    }
}

// Plasma 5's "never" removes a group; a restore puts its lines back: the file is as it was.
TEST(KConfigText, AGroupRemovedAndPutBackLeavesTheFileAsItWas) {
    for (const QByteArray &file :
         {kFile, kFile + "\n", QByteArray("[Battery][SuspendSession]\nidleTime=1\n")}) {
        for (const QStringList &group : {kDpms, kSuspend}) {
            KConfigText text(file);
            const QByteArray lines = text.groupText(group);
            if (lines.isEmpty())
                continue;
            text.removeGroup(group);
            EXPECT_FALSE(text.hasGroup(group));
            EXPECT_TRUE(text.groupText(group).isEmpty());
            text.insertGroupText(group, lines);
            EXPECT_EQ(text.bytes(), file) << group.join('/').toStdString();
        }
    }
    // A group Pellor added goes again with its last key.
    KConfigText text(kFile);
    text.setValue({"AC", "Display"}, "TurnOffDisplayWhenIdle", "false");
    text.setValue({"Battery", "Display"}, "TurnOffDisplayWhenIdle", "false");
    text.removeEntry({"AC", "Display"}, "TurnOffDisplayWhenIdle");
    text.removeEntry({"Battery", "Display"}, "TurnOffDisplayWhenIdle");
    EXPECT_EQ(text.bytes(), kFile);
}
