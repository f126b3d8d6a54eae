#include "Localization/L10n.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/StringCatalogue.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;

TEST(LanguageChoice, ChineseVariantsCollapseToScripts) {
    EXPECT_EQ(L10n::language({"zh-TW"}), "zh-Hant");
    EXPECT_EQ(L10n::language({"zh_HK"}), "zh-Hant");
    EXPECT_EQ(L10n::language({"zh-MO"}), "zh-Hant");
    EXPECT_EQ(L10n::language({"zh-Hant-CN"}), "zh-Hant");
    EXPECT_EQ(L10n::language({"zh-Hans-HK"}), "zh-Hans");
    EXPECT_EQ(L10n::language({"zh-SG"}), "zh-Hans");
    EXPECT_EQ(L10n::language({"zh"}), "zh-Hans");
    EXPECT_EQ(L10n::language({"ZH_tw"}), "zh-Hant");
}

TEST(LanguageChoice, NormalizationOnlyTurnsUnderscoresIntoDashesOutsideChinese) {
    EXPECT_EQ(L10n::normalizedIdentifier("en_GB"), "en-GB");
    EXPECT_EQ(L10n::normalizedIdentifier("pt_BR"), "pt-BR");
    EXPECT_EQ(L10n::normalizedIdentifier("zh-hk"), "zh-Hant");
}

TEST(LanguageChoice, MatchesByCodeThenScriptThenLanguage) {
    EXPECT_EQ(L10n::language({"en-GB"}), "en");
    EXPECT_EQ(L10n::language({"ja-JP"}), "ja");
    EXPECT_EQ(L10n::language({"ko_KR"}), "ko");
    EXPECT_EQ(L10n::language({"zh-Hant-TW"}), "zh-Hant");
    EXPECT_EQ(L10n::language({"JA"}), "ja");
}

TEST(LanguageChoice, FirstMatchingPreferenceWinsAndNothingGivesEnglish) {
    EXPECT_EQ(L10n::language({"fr", "de-DE", "ko", "ja"}), "ko");
    EXPECT_EQ(L10n::language({"ja", "en"}), "ja");
    EXPECT_EQ(L10n::language({"fr"}), "en");
    EXPECT_EQ(L10n::language({}), "en");
    EXPECT_EQ(L10n::language({""}), "en");
}

TEST(Substitution, ReordersRepeatsAndKeepsUnmatchedPlaceholders) {
    EXPECT_EQ(L10n::substitute(u"{1}/{0}", {"a", "b"}), "b/a");
    EXPECT_EQ(L10n::substitute(u"{0}{0}", {"x"}), "xx");
    EXPECT_EQ(L10n::substitute(u"{0} and {2}", {"a", "b"}), "a and {2}");
    EXPECT_EQ(L10n::substitute(u"{a} {} { 0} {0", {"x"}), "{a} {} { 0} {0");
    EXPECT_EQ(L10n::substitute(u"{{0}}", {"x"}), "{x}");
    EXPECT_EQ(L10n::substitute(u"{007}", {"a", "b", "c", "d", "e", "f", "g", "h"}), "h");
    EXPECT_EQ(L10n::substitute(u"{99999999999999999999}", {"x"}), "{99999999999999999999}");
}

TEST(Substitution, InsertedValuesAreNeverScannedAgain) {
    EXPECT_EQ(L10n::substitute(u"{0}-{1}", {"{1}", "b"}), "{1}-b");
    EXPECT_EQ(L10n::substitute(u"{0}", {"{0}"}), "{0}");
}

TEST(Message, InterpolationNumbersPlaceholdersInOrder) {
    L10n::Message::StringInterpolation builder(25, 1);
    builder.appendLiteral(u"After ");
    builder.appendInterpolation(15);
    builder.appendLiteral(u" min of inactivity");
    const L10n::Message message = builder;
    EXPECT_EQ(message.key, "After {0} min of inactivity");
    EXPECT_EQ(message.arguments, QStringList{"15"});

    L10n::Message::StringInterpolation two(0, -3);
    two.appendInterpolation(QStringLiteral("a"));
    two.appendLiteral(u"/");
    two.appendInterpolation(qint64(-7));
    EXPECT_EQ(two.message(), L10n::Message("{0}/{1}", QStringList{"a", "-7"}));
}

TEST(Message, PlainLiteralKeepsItsPlaceholders) {
    EXPECT_EQ(L10n::text(QStringLiteral("Nothing {0} here"), "en"), "Nothing {0} here");
}

class CatalogueFixture : public ::testing::Test {
protected:
    void writeTable(const QString &code, const QByteArray &json) {
        QDir().mkpath(dir.filePath(code + ".lproj"));
        QFile file(dir.filePath(code + ".lproj/Localizable.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(json);
    }
    QTemporaryDir dir;
};

TEST_F(CatalogueFixture, FallsBackFromLanguageToEnglishTableToKey) {
    writeTable("en", R"({"Hello": "Hello there", "Bye {0}": "Goodbye {0}"})");
    writeTable("ja", R"({"Hello": "こんにちは", "Pair {0} {1}": "{1}と{0}"})");
    const auto catalogue = StringCatalogue::load(dir.path());

    EXPECT_EQ(catalogue.text("Hello", "ja"), "こんにちは");
    EXPECT_EQ(catalogue.text(L10n::Message("Bye {0}", QStringList{"x"}), "ja"), "Goodbye x");
    EXPECT_EQ(catalogue.text("Missing", "ja"), "Missing");
    EXPECT_EQ(catalogue.text("Hello", "ko"), "Hello there"); // no ko folder at all
    EXPECT_EQ(catalogue.text(L10n::Message("Pair {0} {1}", QStringList{"A", "B"}), "ja"), "BとA");
}

TEST_F(CatalogueFixture, DamagedTablesCountAsMissing) {
    writeTable("en", R"({"Hello": "Hi"})");
    writeTable("ja", R"({"Hello": 5})");
    writeTable("ko", R"(["Hello"])");
    writeTable("zh-Hans", "{not json");
    QDir().mkpath(dir.filePath("zh-Hant.lproj")); // a folder without its table
    const auto catalogue = StringCatalogue::load(dir.path());

    EXPECT_TRUE(catalogue.hasLanguage("en"));
    for (const char *code : {"ja", "ko", "zh-Hans", "zh-Hant"}) {
        EXPECT_FALSE(catalogue.hasLanguage(code)) << code;
        EXPECT_EQ(catalogue.text("Hello", code), "Hi") << code;
    }
}

TEST_F(CatalogueFixture, WithoutAnyTableTheKeyItselfIsTheText) {
    const auto catalogue = StringCatalogue::load(dir.filePath("nowhere"));
    EXPECT_EQ(catalogue.text(L10n::Message("{0} min", QStringList{"5"}), "ja"), "5 min");
}

TEST(ResourceBundle, FirstExistingCandidateWins) {
    QTemporaryDir dir;
    const QString second = dir.filePath("second");
    QDir().mkpath(second);
    EXPECT_EQ(L10n::locateResourceBundle({dir.filePath("first"), second}), second);
    EXPECT_EQ(L10n::locateResourceBundle({dir.filePath("first")}), std::nullopt);

    const QStringList candidates = L10n::resourceBundleCandidates();
    ASSERT_GE(candidates.size(), 2);
    EXPECT_TRUE(candidates.first().endsWith("/Norvane_NorvaneCore.bundle"));
}

TEST(RealCatalogue, TranslatesIntoEverySupportedLanguage) {
    for (const QString &code : L10n::supportedLanguages()) {
        const QString text =
            L10n::text(L10n::Message("After {0} min of inactivity", QStringList{"15"}), code);
        EXPECT_TRUE(text.contains("15")) << code.toStdString();
        if (code != "en")
            EXPECT_NE(text, "After 15 min of inactivity") << code.toStdString();
    }
    EXPECT_EQ(L10n::text("Never", "en"), "Never");
    EXPECT_EQ(L10n::text("Never", "en_GB"), "Never");
    EXPECT_EQ(L10n::text("Never", "zh-TW"), L10n::text("Never", "zh-Hant"));
}

TEST(ErrorDescription, MessageIsShownUnchangedAndCancellationIsTranslated) {
    const auto message = ConfigurationError::message("Exactly this.\nSecond line");
    EXPECT_EQ(message.errorDescription(), "Exactly this.\nSecond line");
    EXPECT_EQ(localizedDescription(message), "Exactly this.\nSecond line");
    EXPECT_FALSE(message.isCancelled());

    const auto cancelled = ConfigurationError::cancelled();
    EXPECT_TRUE(cancelled.isCancelled());
    EXPECT_EQ(
        cancelled.errorDescription(),
        L10n::text("Administrator authorization was cancelled. No new settings were applied."));
    EXPECT_FALSE(cancelled.errorDescription().isEmpty());

    EXPECT_EQ(localizedDescription(PlatformError("disk full")), "disk full");
    EXPECT_EQ(localizedDescription(std::make_exception_ptr(std::runtime_error("boom"))), "boom");
}
