#include "Localization/L10n.h"

#include "Localization/StringCatalogue.h"
#include "Platform/ConfigurationError.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

TEST(LanguageChoice, MatchesByCodeThenScriptThenLanguageAndChineseRegionsByScript) {
    // The language chosen, and preferences (separated by commas) that choose it.
    const std::pair<QString, QStringList> rows[] = {
        {"zh-Hant", {"zh-TW", "zh_HK", "ZH_mo", "zh-Hant-CN"}},
        {"zh-Hans", {"zh-Hans-HK", "zh-SG", "zh"}},
        {"en", {"en-GB", "fr", "", ","}},
        {"ko", {"ko_KR", "fr,de-DE,ko,ja"}},
        {"ja", {"JA"}}};
    for (const auto &[expected, preferences] : rows)
        for (const QString &preferred : preferences)
            EXPECT_EQ(L10n::language(preferred.split(',')), expected) << preferred.toStdString();
    EXPECT_EQ(L10n::normalizedIdentifier("pt_BR"), "pt-BR");
}

TEST(Substitution, ReordersRepeatsAndKeepsUnmatchedPlaceholdersWithoutRescanningValues) {
    const QStringList eight{"a", "b", "c", "d", "e", "f", "g", "h"};
    const std::tuple<const char16_t *, QStringList, QString> rows[] = {
        {u"{1}/{0}", {"a", "b"}, "b/a"},
        {u"{0}{0}", {"x"}, "xx"},
        {u"{0} and {2}", {"a", "b"}, "a and {2}"},
        {u"{a} {} { 0} {0", {"x"}, "{a} {} { 0} {0"},
        {u"{{0}}", {"x"}, "{x}"},
        {u"{007}", eight, "h"},
        {u"{99999999999999999999}", {"x"}, "{99999999999999999999}"},
        {u"{0}-{1}", {"{1}", "b"}, "{1}-b"}};
    for (const auto &[text, arguments, expected] : rows)
        EXPECT_EQ(L10n::substitute(text, arguments), expected);
}

TEST(Message, InterpolationNumbersPlaceholdersInOrder) {
    L10n::Message::StringInterpolation builder(0, -3);
    builder.appendLiteral(u"After ");
    builder.appendInterpolation(-7);
    builder.appendLiteral(u" min of ");
    builder.appendInterpolation(QStringLiteral("a"));
    EXPECT_EQ(L10n::Message(builder),
              L10n::Message("After {0} min of {1}", QStringList{"-7", "a"}));
    EXPECT_EQ(L10n::text(QStringLiteral("Nothing {0} here"), "en"), "Nothing {0} here");
}

TEST(Catalogue, FallsBackFromLanguageToEnglishToKeyAndTreatsDamagedTablesAsMissing) {
    QTemporaryDir dir;
    const auto writeTable = [&](const QString &code, const QByteArray &json) {
        QDir().mkpath(dir.filePath(code + ".lproj"));
        test::writeBytes(dir.filePath(code + ".lproj/Localizable.json"), json);
    };
    writeTable("en", R"({"Hello": "Hello there", "Bye {0}": "Goodbye {0}"})");
    writeTable("ja", R"({"Hello": "こんにちは", "Pair {0} {1}": "{1}と{0}"})");
    writeTable("ko", R"({"Hello": 5})");
    writeTable("zh-Hans", "{not json");
    QDir().mkpath(dir.filePath("zh-Hant.lproj")); // a folder without its table
    const auto catalogue = StringCatalogue::load(dir.path());
    EXPECT_EQ(catalogue.text("Hello", "ja"), "こんにちは");
    EXPECT_EQ(catalogue.text(L10n::Message("Bye {0}", QStringList{"x"}), "ja"), "Goodbye x");
    EXPECT_EQ(catalogue.text("Missing", "ja"), "Missing");
    EXPECT_EQ(catalogue.text(L10n::Message("Pair {0} {1}", QStringList{"A", "B"}), "ja"), "BとA");
    for (const char *code : {"ko", "zh-Hans", "zh-Hant"}) {
        EXPECT_FALSE(catalogue.hasLanguage(code)) << code;
        EXPECT_EQ(catalogue.text("Hello", code), "Hello there") << code;
    }
    const auto none = StringCatalogue::load(dir.filePath("nowhere"));
    EXPECT_EQ(none.text(L10n::Message("{0} min", QStringList{"5"}), "ja"), "5 min");
    EXPECT_EQ(L10n::locateResourceBundle({dir.filePath("nowhere"), dir.path()}), dir.path());
    EXPECT_EQ(L10n::locateResourceBundle({dir.filePath("nowhere")}), std::nullopt);
}

TEST(ErrorDescription, OtherExceptionsShowTheirOwnText) {
    EXPECT_EQ(localizedDescription(std::make_exception_ptr(std::runtime_error("boom"))), "boom");
}
