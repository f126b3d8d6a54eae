// The XDG autostart entry behind "Open at Login": written and removed in a private folder, its
// state read from the file, and the Exec line quoted the way desktops parse it.
#include "Platform/LoginItem.h"

#include "Platform/ConfigurationError.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

TEST(AutostartEntry, EnablingWritesTheEntryAndDisablingRemovesIt) {
    QTemporaryDir config;
    const QString folder = config.filePath("autostart"); // created on demand
    AutostartEntry entry(folder, "/usr/bin/pellor");
    EXPECT_EQ(entry.filePath(), folder + "/com.norvane.Pellor.desktop");
    EXPECT_FALSE(entry.isEnabled());
    entry.setEnabled(true);
    EXPECT_TRUE(entry.isEnabled());
    const QByteArray text = test::readBytes(entry.filePath());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n")) << text.constData();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"com.norvane.Pellor.desktop"})
        << "no temporary file is left behind";
    entry.setEnabled(false);
    EXPECT_FALSE(QFile::exists(entry.filePath()));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_NO_THROW(entry.setEnabled(false)) << "nothing to remove is not an error";

    // A desktop's own switch keeps the file and hides it; checking the item again restores it.
    test::writeBytes(entry.filePath(),
                     "[Desktop Entry]\nType=Application\nExec=pellor\nHidden=true\n");
    EXPECT_FALSE(entry.isEnabled());
    entry.setEnabled(true);
    EXPECT_TRUE(entry.isEnabled());
    // A file where the folder should be is a clear error.
    EXPECT_THROW(AutostartEntry(entry.filePath(), "/usr/bin/pellor").setEnabled(true),
                 PlatformError);
}

// The entry starts Pellor into its status item (--login).
TEST(AutostartEntry, TheExecutableIsQuotedForTheExecKey) {
    const std::pair<QString, QByteArray> cases[] = {
        {"/usr/bin/pellor", "Exec=/usr/bin/pellor --login\n"},
        {"/opt/My Apps/pellor", "Exec=\"/opt/My Apps/pellor\" --login\n"},
        // Quoting escapes " ` $ \ with a backslash; the string escape then doubles backslashes.
        {"/tmp/a\"b$c/pellor", "Exec=\"/tmp/a\\\\\"b\\\\$c/pellor\" --login\n"},
        {"/tmp/100%/pellor", "Exec=/tmp/100%%/pellor --login\n"},
    };
    for (const auto &[executable, line] : cases)
        EXPECT_TRUE(AutostartEntry::contents(executable).contains("\n" + line))
            << AutostartEntry::contents(executable).constData();
}
