#include "Profiles/Profile.h"

#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QSet>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

// The validated title, or the text of the error validation throws.
QString validation(const Profile &profile) {
    try {
        return profile.validated().title;
    } catch (const std::exception &error) {
        return localizedDescription(error);
    }
}

} // namespace

TEST(Presets, ValidateAndDeriveTheirFlagsFromTheIdentifierOnly) {
    for (const Profile &preset : Profile::presets())
        EXPECT_EQ(preset.validated(), preset);
    EXPECT_TRUE(Profile::download().keepsSystemAwake());
    EXPECT_FALSE(Profile::download().keepsDisplayAwake());
    EXPECT_FALSE(Profile("custom", "Normal", ProfileIcon::leaf, 5, 15, 300, 0).isNormal());
    QSet<QString> iconTexts;
    for (const ProfileIcon icon : ProfileIcon::allCases()) {
        EXPECT_EQ(ProfileIcon::fromRawValue(icon.rawValue()), icon);
        iconTexts << icon.title() << icon.symbol();
    }
    EXPECT_EQ(iconTexts.size(), 12);
    EXPECT_EQ(ProfileIcon::fromRawValue(u"Leaf"), std::nullopt);
}

TEST(Validation, TrimsTitlesAndRejectsEachRuleAtItsBoundary) {
    const QString name = L10n::text("Names must contain 1–32 characters and no line breaks.");
    const QString empty = L10n::text("Enter a name for the profile.");
    const QString control =
        L10n::text("Names cannot contain line breaks, tabs or other invisible control characters.");
    const auto tooLong = [](int length) {
        return L10n::text(
            {"Names can have at most 32 characters; this one has {0}.", {QString::number(length)}});
    };
    const QString minutes = L10n::text(
        "Enter a whole number from 0 to 1440 minutes. Zero means never or no automatic return.");
    const auto titled = [](const QString &title) {
        return Profile("c", title, ProfileIcon::sliders, 10, 20, 300, 0);
    };
    const auto timed = [](qint64 display, qint64 sleep, qint64 saver, qint64 timer) {
        return Profile("c", "C", ProfileIcon::sliders, display, sleep, saver, timer);
    };
    // 32 characters each: letters with a combining accent, and flags of four code units.
    const QString accented = QString::fromUtf16(u"e\u0301").repeated(32);
    const QString flags = QString::fromUtf16(u"\U0001F1EF\U0001F1F5").repeated(32);
    const std::pair<Profile, QString> rows[] = {
        {titled(QString::fromUtf16(u"\u3000\u2028Zen\u0085\u00A0\t\n")), "Zen"},
        // A zero-width space or a direction override is a format character on its own: it stays
        // and is rejected. Joiners and tags inside an emoji sequence belong to one character.
        {titled(QString::fromUtf16(u"\u200BZen")), control},
        {titled(QString::fromUtf16(u"\u202Eevil")), control},
        // A joiner outside an emoji, or after one with nothing to join, would make a look-alike;
        // an unpaired surrogate would hide the code unit after it.
        {titled(QString::fromUtf16(u"Edge\u200D")), control},
        {titled(QString::fromUtf16(u"\U0001F44D\u200D")), control},
        {titled(QString(QChar(0xD83C)) + "\tX"), control},
        {titled("X" + QString(QChar(0xDF89))), control},
        {titled("Two\nlines"), control},
        {titled("   "), empty},
        {Profile("", "Fine", ProfileIcon::leaf, 0, 0, 0, 0), name},
        {titled(accented), accented},
        {titled(flags), flags},
        {titled(flags + "x"), tooLong(33)},
        {titled(QString::fromUtf16(u"\U0001F469\u200D\U0001F4BB Coding")),
         QString::fromUtf16(u"\U0001F469\u200D\U0001F4BB Coding")},
        {titled(QString::fromUtf16(u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063"
                                   u"\U000E0074\U000E007F")),
         QString::fromUtf16(u"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074"
                            u"\U000E007F")},
        {timed(1440, 1440, 86400, 1440), "C"},
        {timed(-1, 0, 0, 0), minutes},
        {timed(1441, 0, 0, 0), minutes},
        {timed(0, -1, 0, 0), minutes},
        {timed(0, 1441, 0, 0), minutes},
        {timed(0, 0, 90, 0), minutes},
        {timed(0, 0, 86460, 0), minutes},
        {timed(0, 0, 0, -1), minutes},
        {timed(0, 0, 0, 1441), minutes},
        // The name is checked before the numbers, the Normal timer before the preset name.
        {Profile("c", "", ProfileIcon::leaf, -1, 0, 0, 0), empty},
        {Profile("normal", "Renamed", ProfileIcon::leaf, 5, 15, 300, 10),
         L10n::text("Normal is the return profile and cannot have an automatic return timer.")},
        {Profile("focus", "focus", ProfileIcon::focus, 0, 0, 0, 25),
         L10n::text("Preset names cannot be changed. Create a custom profile instead.")},
        {Profile("focus", " Focus ", ProfileIcon::sparkles, 10, 20, 600, 5), "Focus"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(validation(row.first), row.second) << "row " << &row - rows;
}

TEST(ProfileJson, UsesTheFilesKeysAndRejectsUnknownIconsAndNumbersThatDoNotFit) {
    const Profile original("x", "Title", ProfileIcon::presentation, 1, 2, 180, 4);
    EXPECT_EQ(
        QJsonDocument(original.toJson()).toJson(QJsonDocument::Compact),
        R"({"defaultMinutes":4,"displayMinutes":1,"icon":"presentation","id":"x","screenSaverSeconds":180,"sleepMinutes":2,"title":"Title"})");
    for (const auto &[key, value] :
         {std::pair<QString, QJsonValue>{"icon", "rocket"}, {"screenSaverSeconds", 1e300}}) {
        QJsonObject object = original.toJson();
        object.insert(key, value);
        EXPECT_THROW((void)Profile::fromJson(object), PlatformError) << key.toStdString();
    }
}
