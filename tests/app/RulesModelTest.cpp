// The rules page and the rule editor without a display: the order and states of the rows, the
// moves a person may make, refusals, and the editor's field-by-field checks.
#include "Rules/RulesModel.h"

#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleEditorModel.h"
#include "TestSupport.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace norvane;
using Kind = Condition::Kind;

namespace {

Rule rule(const QString &id, Condition when, const QString &profile, bool enabled = true) {
    return {id, std::move(when), profile, enabled};
}

struct RulesTest : ::testing::Test {
    QTemporaryDir folder;
    ProfileLibrary library{std::make_shared<FileProfileStorage>(folder.filePath("profiles.json"))};
    RuleBook book{folder.filePath("rules.json")};

    void SetUp() override {
        book.add(rule("battery", {Kind::battery}, "download"));
        book.add(rule("low", {Kind::batteryBelow, 15}, "normal"));
        book.add(rule("firefox", {.kind = Kind::application, .application = "firefox"}, "gone"));
        book.add(rule("work", {Kind::schedule, 0, {1, 2, 3, 4, 5}, QTime(9, 0), QTime(17, 30)},
                      "focus", false));
    }
    [[nodiscard]] QStringList bookOrder() const {
        QStringList ids;
        const RuleBook written(book.path());
        for (const Rule &rule : written.rules())
            ids << rule.id;
        return ids;
    }
};

} // namespace

TEST_F(RulesTest, RowsGoInTheOrderThatDecidesAndSayWhatEachRuleIsDoing) {
    RulesModel model(book, library, nullptr);
    const auto states = [&] {
        QList<std::pair<QString, RulesModel::State>> rows;
        for (const RulesModel::Row &row : model.rows())
            rows.append({row.rule.id, row.state});
        return rows;
    };
    using S = RulesModel::State;
    EXPECT_EQ(states(), (QList<std::pair<QString, S>>{{"low", S::Waiting},
                                                      {"battery", S::Waiting},
                                                      {"firefox", S::Broken},
                                                      {"work", S::Off}}));
    EXPECT_EQ(model.rows()[2].sentence, "While firefox runs, use a deleted profile");
    EXPECT_FALSE(model.data(model.index(0), RulesModel::NoteRole).toString().isEmpty())
        << "the low-battery rule says why it is first";
    EXPECT_FALSE(model.data(model.index(1), RulesModel::CanMoveUpRole).toBool())
        << "nothing goes above the low-battery rule";
    EXPECT_TRUE(model.data(model.index(3), RulesModel::CanMoveUpRole).toBool());
    EXPECT_FALSE(model.data(model.index(3), RulesModel::CanMoveDownRole).toBool());

    model.setPaused(true);
    EXPECT_TRUE(RuleBook(book.path()).isPaused()) << "written at once";
    EXPECT_EQ(
        states(),
        (QList<std::pair<QString, S>>{
            {"low", S::Paused}, {"battery", S::Paused}, {"firefox", S::Broken}, {"work", S::Off}}));
    model.setPaused(false);
    model.setEnabled(3, true);
    EXPECT_EQ(model.rows()[3].state, S::Waiting);
    EXPECT_TRUE(RuleBook(book.path()).rules()[3].enabled);
}

TEST_F(RulesTest, MovesReachTheBookAndNeverPassTheLowBatteryRule) {
    struct Case {
        int row;
        int target;
        QStringList book; // the book's order after the move
    };
    // Rows: low (0), battery (1), firefox (2), work (3); the book holds battery, low, firefox,
    // work.
    for (const Case &move : {
             Case{1, 2, {"low", "firefox", "battery", "work"}},
             Case{3, 1, {"work", "battery", "low", "firefox"}},
             Case{1, 0, {"battery", "low", "firefox", "work"}}, // onto the low-battery rule
             Case{0, 3, {"battery", "low", "firefox", "work"}}, // the low-battery rule itself
             Case{2, 4, {"battery", "low", "firefox", "work"}}, // past the end
         }) {
        QFile::remove(book.path());
        RuleBook fresh(book.path());
        for (const Rule &each : book.rules())
            fresh.add(each);
        RulesModel model(fresh, library, nullptr);
        model.moveTo(move.row, move.target);
        EXPECT_EQ(bookOrder(), move.book) << move.row << " to " << move.target;
        EXPECT_EQ(model.rows()[0].rule.id, "low");
    }
}

TEST_F(RulesTest, AnUnreadableRulesFileTurnsChangesOffAndSaysWhy) {
    QFile file(book.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{ not json");
    file.close();
    RuleBook damaged(book.path());
    RulesModel model(damaged, library, nullptr);
    EXPECT_FALSE(model.editable());
    EXPECT_FALSE(model.notice().isEmpty());
    model.setPaused(true);
    EXPECT_FALSE(model.error().isEmpty()) << "refused, and said so";
    QFile kept(book.path());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "{ not json") << "the damaged file is left as it was";
}

TEST_F(RulesTest, TheEditorShowsWhatIsWrongBesideItsFieldAndSavesOnlyAPossibleRule) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    struct Case {
        const char *name;
        std::function<void(RuleEditorModel &)> edit;
        const char *field; // "condition", "time", "profile" or "" (saved)
    };
    const auto choose = [](Kind kind) {
        return [kind](RuleEditorModel &editor) {
            const QList<Kind> order{Kind::battery,        Kind::adapter,  Kind::ups,
                                    Kind::batteryBelow,   Kind::schedule, Kind::application,
                                    Kind::externalDisplay};
            editor.setCondition(int(order.indexOf(kind)));
        };
    };
    for (const Case &row : std::initializer_list<Case>{
             {"battery level 99", [&](auto &e) { choose(Kind::batteryBelow)(e), e.setPercent(99); },
              ""},
             {"battery level 100",
              [&](auto &e) { choose(Kind::batteryBelow)(e), e.setPercent(100); }, "condition"},
             {"no days",
              [&](auto &e) {
                  choose(Kind::schedule)(e);
                  for (int d = 1; d <= 5; ++d)
                      e.toggleDay(d);
              },
              "condition"},
             {"a time of 25 o'clock",
              [&](auto &e) { choose(Kind::schedule)(e), e.setStartText("25:00"); }, "time"},
             {"ending as it starts",
              [&](auto &e) { choose(Kind::schedule)(e), e.setEndText("9:00 AM"); }, "time"},
             {"across midnight, written as HH:MM",
              [&](auto &e) {
                  choose(Kind::schedule)(e), e.setStartText("22:00"), e.setEndText("7:00 AM");
              },
              ""},
             {"no application", [&](auto &e) { choose(Kind::application)(e); }, "condition"},
         }) {
        std::optional<Rule> saved;
        RuleEditorModel editor(std::nullopt, library, {}, [&](const Rule &rule) { saved = rule; });
        row.edit(editor);
        editor.save();
        const QString field = row.field;
        EXPECT_EQ(!editor.conditionError().isEmpty(), field == "condition") << row.name;
        EXPECT_EQ(!editor.timeError().isEmpty(), field == "time") << row.name;
        EXPECT_EQ(saved.has_value(), field.isEmpty()) << row.name;
    }
    // A rule whose profile was deleted asks for another one.
    std::optional<Rule> saved;
    RuleEditorModel broken(book.rules()[2], library, {}, [&](const Rule &rule) { saved = rule; });
    broken.save();
    EXPECT_FALSE(broken.profileError().isEmpty());
    broken.setProfile(1);
    broken.save();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->id, "firefox") << "an edit keeps the rule's identity";
    EXPECT_EQ(saved->profileId, library.profiles()[1].id);
}
