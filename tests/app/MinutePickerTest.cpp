// The minute picker: its label, its menu items with the check mark, and the custom-duration
// entry with its acceptance rule.
#include "Components/MinuteLabel.h"
#include "Components/MinutePickerModel.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

QString minutesText(int minutes) {
    return L10n::text({"{0} min", {QString::number(minutes)}});
}

// The picker as the workspace uses it: the owner accepts every choice.
struct PickerTest : ::testing::Test {
    PickerTest() {
        picker.setTitle("Screen Saver");
        picker.setZero("Never");
        QObject::connect(&picker, &MinutePickerModel::valueChosen, &picker,
                         [this](int minutes) { picker.setValue(minutes); });
    }

    void typeAndCommit(const QString &text) {
        picker.openCustom();
        picker.setCustom(text);
        picker.commitCustom();
    }

    MinutePickerModel picker;
};

} // namespace

TEST(MinuteLabel, ShowsTheZeroLabelForZeroAndTheMinuteMessageOtherwise) {
    EXPECT_EQ(minuteLabel(0, "Never"), "Never");
    EXPECT_EQ(minuteLabel(0, "No limit"), "No limit");
    EXPECT_EQ(minuteLabel(25, "Never"), minutesText(25));
    EXPECT_EQ(minuteLabel(1440, "No limit"), minutesText(1440));
}

TEST(CustomMinutes, AcceptsWholeNumbersFromOneTo1440WithBlanksAround) {
    EXPECT_EQ(acceptedCustomMinutes(u"45"), 45);
    EXPECT_EQ(acceptedCustomMinutes(u"  45  "), 45);
    EXPECT_EQ(acceptedCustomMinutes(u"\t45\t"), 45);
    EXPECT_EQ(acceptedCustomMinutes(u"\u00a045\u2003"), 45) << "every space separator is a blank";
    EXPECT_EQ(acceptedCustomMinutes(u"1"), 1);
    EXPECT_EQ(acceptedCustomMinutes(u"1440"), 1440);
    EXPECT_EQ(acceptedCustomMinutes(u"0045"), 45) << "leading zeros still form a decimal number";
}

TEST(CustomMinutes, RejectsEverythingElse) {
    for (const QString &text :
         {QString("0"), QString("1441"), QString("2.5"), QString("-5"), QString("+5"),
          QString("12a"), QString(""), QString("   "), QString("4 5"), QString("45\n"),
          QString("\n45"), QString("99999999999999999999999"),
          QString("\u0664\u0665") /* Arabic-Indic 45 */,
          QString("\uff14\uff15") /* full-width 45 */, QString("\u00bd")}) {
        EXPECT_FALSE(acceptedCustomMinutes(text)) << text.toStdString();
    }
}

TEST_F(PickerTest, LabelFollowsTheValueAndTheZeroText) {
    picker.setValue(0);
    EXPECT_EQ(picker.label(), "Never");
    picker.setZero("No limit");
    EXPECT_EQ(picker.label(), "No limit");
    picker.setValue(7);
    EXPECT_EQ(picker.label(), minutesText(7));
}

TEST_F(PickerTest, MenuOffersTheThirteenValuesAndChecksOnlyTheCurrentOne) {
    QList<int> values;
    for (const QVariant &item : picker.items())
        values << item.toMap()["value"].toInt();
    EXPECT_EQ(values, (QList<int>{0, 1, 2, 5, 10, 15, 25, 30, 60, 120, 240, 480, 1440}));
    EXPECT_EQ(picker.items().first().toMap()["label"].toString(), "Never");
    EXPECT_EQ(picker.items().last().toMap()["label"].toString(), minutesText(1440));

    picker.setValue(25);
    EXPECT_EQ(picker.checkedValue(), 25);
    picker.setValue(0);
    EXPECT_EQ(picker.checkedValue(), 0);
    picker.setValue(7);
    EXPECT_EQ(picker.checkedValue(), -1) << "7 is not an option";
    EXPECT_EQ(picker.label(), minutesText(7));
}

TEST_F(PickerTest, ChoosingAnItemReportsItWithoutChangingTheValueByItself) {
    MinutePickerModel standalone;
    standalone.setValue(5);
    QSignalSpy chosen(&standalone, &MinutePickerModel::valueChosen);
    standalone.choose(60);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.first().first().toInt(), 60);
    EXPECT_EQ(standalone.value(), 5) << "the owner decides whether the value changes";
}

TEST_F(PickerTest, OpeningTheCustomEntryPrefillsTheValueAndAtLeastOne) {
    picker.setValue(0);
    picker.openCustom();
    EXPECT_TRUE(picker.showingCustom());
    EXPECT_EQ(picker.custom(), "1");

    picker.cancelCustom();
    EXPECT_FALSE(picker.showingCustom());
    picker.setValue(90);
    picker.openCustom();
    EXPECT_EQ(picker.custom(), "90");
}

TEST_F(PickerTest, CommittingAValidEntrySetsTheValueAndClosesIt) {
    picker.setValue(5);
    QSignalSpy chosen(&picker, &MinutePickerModel::valueChosen);
    typeAndCommit(" 45 ");
    EXPECT_EQ(chosen.size(), 1);
    EXPECT_EQ(picker.value(), 45);
    EXPECT_FALSE(picker.showingCustom());
    EXPECT_FALSE(picker.invalid());
}

TEST_F(PickerTest, RejectedEntryStaysOpenWithItsTextAndTheRedMessageUntilReopened) {
    picker.setValue(5);
    QSignalSpy chosen(&picker, &MinutePickerModel::valueChosen);
    for (const QString &text : {QString("0"), QString("1441"), QString("2.5"), QString("-3"),
                                QString("+3"), QString("3x"), QString("")}) {
        typeAndCommit(text);
        EXPECT_TRUE(picker.invalid()) << text.toStdString();
        EXPECT_TRUE(picker.showingCustom()) << text.toStdString();
        EXPECT_EQ(picker.custom(), text);
    }
    EXPECT_EQ(chosen.size(), 0);
    EXPECT_EQ(picker.value(), 5);

    picker.setCustom("30");
    picker.commitCustom();
    EXPECT_TRUE(picker.invalid()) << "a successful commit leaves the flag for the next opening";
    EXPECT_EQ(picker.value(), 30);
    picker.openCustom();
    EXPECT_FALSE(picker.invalid());
}
