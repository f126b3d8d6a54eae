// Every key the sources pass to the catalogue must be translated by all five tables, and every
// translation must carry exactly the placeholders of its key.
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Table = QMap<QString, QString>;

// Keys passed literally as L10n::text("…"), L10n::text({"…", …}), L10n::noop("…"), both keys of
// systemText("…", "…") or, from QML, L10n.text("…") and L10n.systemText("…", "…"); a key may be
// a raw string, R"(…)".
QSet<QString> keysInSources() {
    static const QRegularExpression call(QStringLiteral(
        R"re((?:L10n(?:::|\.)(?:text|noop)\(\s*\{?|systemText\(|\G\s*,)\s*(?:"((?:[^"\\]|\\.)*)"|R"\((.*?)\)"))re"));
    QSet<QString> keys;
    for (const char *folder : {"NorvaneCore", "NorvaneDesktop", "Norvane", "PellorCtl"}) {
        QDirIterator it(QStringLiteral(NORVANE_SOURCE_DIR "/") + folder,
                        {"*.cpp", "*.h", "*.qml", "*.mm"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = test::readTextFile(it.next());
            for (const auto &match : call.globalMatch(source))
                keys.insert(match.capturedLength(2) > 0
                                ? match.captured(2)
                                : match.captured(1) // only the escapes the sources use
                                      .replace("\\n", "\n")
                                      .replace("\\\"", "\"")
                                      .replace("\\t", "\t"));
        }
    }
    return keys;
}

Table readTable(const QString &code) {
    const QString path = QStringLiteral(
        NORVANE_SOURCE_DIR "/Resources/Norvane_NorvaneCore.bundle/%1.lproj/Localizable.json");
    const QJsonObject object = QJsonDocument::fromJson(test::readBytes(path.arg(code))).object();
    Table table;
    for (auto it = object.begin(); it != object.end(); ++it)
        table.insert(it.key(), it.value().toString());
    return table;
}

// A translation may repeat a placeholder.
QSet<QString> placeholders(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral(R"(\{[0-9]+\})"));
    QSet<QString> found;
    for (const auto &match : pattern.globalMatch(text))
        found << match.captured();
    return found;
}

// Entries whose translation gained or lost a placeholder.
QStringList placeholderProblems(const Table &table) {
    QStringList problems;
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        if (placeholders(it.key()) != placeholders(it.value()))
            problems << it.key();
    return problems;
}

} // namespace

// The checks themselves must be able to fail.
TEST(CatalogueCoverage, ScannerFindsTheKeysAndPlaceholderCheckCatchesAddedAndLostOnes) {
    const QSet<QString> keys = keysInSources();
    EXPECT_TRUE(keys.contains("Names must contain 1–32 characters and no line breaks."));
    EXPECT_TRUE(keys.contains("Display {0} · Sleep {1} · Screen saver {2}"));
    EXPECT_TRUE(keys.contains("Saved and verified macOS settings for {0}."));
    EXPECT_TRUE(keys.contains("Saved and verified {1} settings for {0}."))
        << "both keys of systemText()";
    EXPECT_GT(keys.size(), 15);
    EXPECT_EQ(
        placeholderProblems({{"{0}/{1}", "{1}/{0}{0}"}, {"{1} h", "時"}, {"{2} s", "{2}{3} 秒"}}),
        QStringList({"{1} h", "{2} s"}));
}

TEST(CatalogueCoverage, EveryTableTranslatesEverySourceKeyWithItsPlaceholders) {
    const QSet<QString> keys = keysInSources();
    const Table english = readTable("en");
    ASSERT_FALSE(english.isEmpty());
    for (const QString &code : L10n::supportedLanguages()) {
        const Table table = readTable(code);
        SCOPED_TRACE(code.toStdString());
        EXPECT_EQ(QSet<QString>(table.keyBegin(), table.keyEnd()),
                  QSet<QString>(english.keyBegin(), english.keyEnd()))
            << "every table holds the same keys";
        for (const QString &key : keys)
            EXPECT_TRUE(table.contains(key)) << "missing key: " << key.toStdString();
        EXPECT_EQ(placeholderProblems(table), QStringList{});
        for (auto it = table.cbegin(); it != table.cend(); ++it)
            EXPECT_FALSE(it.value().trimmed().isEmpty()) << it.key().toStdString();
    }
}
