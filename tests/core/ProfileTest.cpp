#include "Profiles/Profile.h"

#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>

using namespace norvane;
using test::errorTextFrom;

namespace {

Profile custom(const QString &title) {
    return {QStringLiteral("custom-1"), title, ProfileIcon::sliders, 10, 20, 300, 0};
}

QString nameMessage() {
    return L10n::text("Names must contain 1–32 characters and no line breaks.");
}
QString minutesMessage() {
    return L10n::text(
        "Enter a whole number from 0 to 1440 minutes. Zero means never or no automatic return.");
}

} // namespace

TEST(Presets, AreTheFiveFactoryProfilesInOrder) {
    const auto &presets = Profile::presets();
    ASSERT_EQ(presets.size(), 5);
    EXPECT_EQ(presets[0], Profile("normal", "Normal", ProfileIcon::leaf, 5, 15, 300, 0));
    EXPECT_EQ(presets[1], Profile("vibe", "Vibe", ProfileIcon::sparkles, 0, 0, 0, 0));
    EXPECT_EQ(presets[2], Profile("focus", "Focus", ProfileIcon::focus, 0, 0, 0, 25));
    EXPECT_EQ(presets[3],
              Profile("presentation", "Presentation", ProfileIcon::presentation, 0, 0, 0, 60));
    EXPECT_EQ(presets[4], Profile("download", "Download", ProfileIcon::download, 5, 0, 300, 0));
    EXPECT_EQ(&Profile::focus(), &presets[2]);
    for (const Profile &preset : presets)
        EXPECT_EQ(preset.validated(), preset);
}

TEST(Presets, DerivedFlagsFollowTheIdentifier) {
    EXPECT_TRUE(Profile::normal().isNormal());
    EXPECT_TRUE(Profile::download().isPreset());
    EXPECT_TRUE(Profile::download().keepsSystemAwake());
    EXPECT_FALSE(Profile::download().keepsDisplayAwake());
    const Profile lookalike("custom", "Normal", ProfileIcon::leaf, 5, 15, 300, 0);
    EXPECT_FALSE(lookalike.isNormal());
    EXPECT_FALSE(lookalike.isPreset());
    EXPECT_EQ(lookalike.validated().title, "Normal");
}

TEST(ProfileIcons, RawValuesSymbolsAndOrder) {
    const auto &all = ProfileIcon::allCases();
    QStringList raw, symbols;
    for (const ProfileIcon icon : all) {
        raw << icon.rawValue();
        symbols << icon.symbol();
        EXPECT_EQ(ProfileIcon::fromRawValue(icon.rawValue()), icon);
    }
    EXPECT_EQ(raw,
              QStringList({"leaf", "sparkles", "focus", "presentation", "download", "sliders"}));
    EXPECT_EQ(symbols, QStringList({"leaf", "sparkles", "scope", "play.rectangle",
                                    "arrow.down.circle", "slider.horizontal.3"}));
    EXPECT_EQ(ProfileIcon::fromRawValue(u"Leaf"), std::nullopt);
    EXPECT_EQ(ProfileIcon::fromRawValue(u""), std::nullopt);
    EXPECT_EQ(ProfileIcon(ProfileIcon::sliders).title(), L10n::text("Custom"));
}

TEST(Validation, TitleIsTrimmedOfSpacesAndLineBreaksOnly) {
    EXPECT_EQ(custom("  Deep work  ").validated().title, "Deep work");
    EXPECT_EQ(custom("Night\n").validated().title, "Night");
    EXPECT_EQ(custom(QString::fromUtf16(u"\u3000\u2028Zen\u0085\u00A0\t")).validated().title,
              "Zen");
    // A zero-width space is a format character, not white space: it stays and is rejected.
    EXPECT_EQ(errorTextFrom([] { (void)custom(QString::fromUtf16(u"\u200BZen")).validated(); }),
              nameMessage());
}

TEST(Validation, TitleLengthCountsUserPerceivedCharacters) {
    EXPECT_EQ(custom(QString(32, u'a')).validated().title.size(), 32);
    EXPECT_EQ(errorTextFrom([] { (void)custom(QString(33, u'a')).validated(); }), nameMessage());

    QString accented; // 32 × "e" + combining acute accent: 64 code units, 32 characters
    for (int i = 0; i < 32; ++i)
        accented += QString::fromUtf16(u"e\u0301");
    EXPECT_NO_THROW((void)custom(accented).validated());
    QString flags; // regional-indicator pairs are one character each
    for (int i = 0; i < 32; ++i)
        flags += QString::fromUtf16(u"\U0001F1EF\U0001F1F5");
    EXPECT_NO_THROW((void)custom(flags).validated());
    EXPECT_EQ(errorTextFrom([&] { (void)custom(flags + "x").validated(); }), nameMessage());
}

TEST(Validation, RejectsEmptyNamesAndControlOrFormatCharacters) {
    EXPECT_EQ(errorTextFrom([] { (void)custom("   ").validated(); }), nameMessage());
    EXPECT_EQ(errorTextFrom([] { (void)custom("").validated(); }), nameMessage());
    EXPECT_EQ(
        errorTextFrom([] { (void)Profile("", "Fine", ProfileIcon::leaf, 0, 0, 0, 0).validated(); }),
        nameMessage());
    EXPECT_EQ(errorTextFrom([] { (void)custom("Tab\there").validated(); }), nameMessage());
    EXPECT_EQ(errorTextFrom([] { (void)custom("Two\nlines").validated(); }), nameMessage());
    // Family emoji joined by zero-width joiners (U+200D, category Cf).
    EXPECT_EQ(errorTextFrom([] {
                  (void)custom(QString::fromUtf16(u"\U0001F468\u200D\U0001F469\u200D\U0001F467"))
                      .validated();
              }),
              nameMessage());
}

TEST(Validation, DurationsMustBeInRange) {
    auto with = [](qint64 display, qint64 sleep, qint64 saver, qint64 timer) {
        return Profile("c", "C", ProfileIcon::sliders, display, sleep, saver, timer);
    };
    EXPECT_NO_THROW((void)with(1440, 1440, 86400, 1440).validated());
    EXPECT_NO_THROW((void)with(0, 0, 0, 0).validated());
    for (const Profile &bad : {with(-1, 0, 0, 0), with(1441, 0, 0, 0), with(0, -1, 0, 0),
                               with(0, 1441, 0, 0), with(0, 0, 90, 0), with(0, 0, 86460, 0),
                               with(0, 0, -60, 0), with(0, 0, 0, -1), with(0, 0, 0, 1441)})
        EXPECT_EQ(errorTextFrom([&] { (void)bad.validated(); }), minutesMessage())
            << bad.displayMinutes << " " << bad.sleepMinutes << " " << bad.screenSaverSeconds << " "
            << bad.defaultMinutes;
}

TEST(Validation, StepsRunInOrder) {
    // The name is checked before the numbers.
    EXPECT_EQ(
        errorTextFrom([] { (void)Profile("c", "", ProfileIcon::leaf, -1, 0, 0, 0).validated(); }),
        nameMessage());
    // The Normal timer rule comes before the preset-name rule.
    EXPECT_EQ(
        errorTextFrom([] {
            (void)Profile("normal", "Renamed", ProfileIcon::leaf, 5, 15, 300, 10).validated();
        }),
        L10n::text("Normal is the return profile and cannot have an automatic return timer."));
    EXPECT_EQ(errorTextFrom([] {
                  (void)Profile("focus", "focus", ProfileIcon::focus, 0, 0, 0, 25).validated();
              }),
              L10n::text("Preset names cannot be changed. Create a custom profile instead."));
    const Profile edited("focus", " Focus ", ProfileIcon::sparkles, 10, 20, 600, 5);
    EXPECT_EQ(edited.validated(), Profile("focus", "Focus", ProfileIcon::sparkles, 10, 20, 600, 5));
}

TEST(DerivedTexts, SubtitleAndDetailInEnglish) {
    // Built from the catalogue's own messages so the test holds in any UI language.
    const auto never = L10n::text("Never");
    const auto minutes = [](int n) {
        return L10n::text(L10n::Message("{0} min", {QString::number(n)}));
    };
    EXPECT_EQ(Profile::normal().subtitle(),
              L10n::text(L10n::Message("Display {0} · Sleep {1} · Screen saver {2}",
                                       {minutes(5), minutes(15), minutes(5)})));
    EXPECT_EQ(Profile::focus().detail(),
              L10n::text(L10n::Message("Display {0} · Sleep {1} · Screen saver {2}",
                                       {never, never, never})) +
                  L10n::text(L10n::Message(" · Return to Normal after {0} min", {"25"})));
    EXPECT_EQ(Profile::vibe().detail(), Profile::vibe().subtitle());
}

TEST(DerivedTexts, LocalizedTitleTranslatesPresetsByIdentifierOnly) {
    EXPECT_EQ(Profile::focus().localizedTitle("en"), "Focus");
    EXPECT_EQ(Profile::focus().localizedTitle("ja"), L10n::text("Focus", "ja"));
    EXPECT_NE(Profile::focus().localizedTitle("ja"), "Focus");
    Profile stored = Profile::focus();
    stored.title = "Whatever";
    EXPECT_EQ(stored.localizedTitle("ja"), L10n::text("Focus", "ja"));
    EXPECT_EQ(custom("Normal").localizedTitle("ja"), "Normal");
}

TEST(ProfileJson, RoundTripsAndRejectsMissingOrWrongValues) {
    const Profile original("x", "Title", ProfileIcon::presentation, 1, 2, 180, 4);
    EXPECT_EQ(Profile::fromJson(original.toJson()), original);
    EXPECT_EQ(
        QJsonDocument(original.toJson()).toJson(QJsonDocument::Compact),
        R"({"defaultMinutes":4,"displayMinutes":1,"icon":"presentation","id":"x","screenSaverSeconds":180,"sleepMinutes":2,"title":"Title"})");

    QJsonObject extra = original.toJson();
    extra.insert("future", true);
    EXPECT_EQ(Profile::fromJson(extra), original);

    const auto decodeFails = [](QJsonObject object) {
        try {
            (void)Profile::fromJson(object);
        } catch (const PlatformError &) {
            return true;
        }
        return false;
    };
    for (const char *key : {"id", "title", "icon", "displayMinutes", "sleepMinutes",
                            "screenSaverSeconds", "defaultMinutes"}) {
        QJsonObject missing = original.toJson();
        missing.remove(key);
        EXPECT_TRUE(decodeFails(missing)) << key;
    }
    const std::pair<const char *, QJsonValue> wrong[] = {{"icon", "rocket"},
                                                         {"icon", 3},
                                                         {"title", 7},
                                                         {"displayMinutes", 1.5},
                                                         {"sleepMinutes", "2"},
                                                         {"defaultMinutes", true},
                                                         {"id", QJsonValue::Null},
                                                         {"screenSaverSeconds", 1e300}};
    for (const auto &[key, value] : wrong) {
        QJsonObject object = original.toJson();
        object.insert(key, value);
        EXPECT_TRUE(decodeFails(object)) << key;
    }
}

TEST(Presets, FirstUseIsSafeFromManyThreads) {
    // Run under the sanitizers, this catches a racy one-time initialisation.
    std::vector<QString> ids(16);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < ids.size(); ++i)
        threads.emplace_back(
            [&ids, i] { ids[i] = Profile::presets()[int(i % 5)].id + Profile::focus().title; });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(ids[7], "focusFocus");
    EXPECT_EQ(ids[10], "normalFocus");
}
