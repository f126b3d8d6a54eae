// The minute picker: label, check mark and the custom-duration entry with its acceptance rule.
#include "Components/MinuteLabel.h"
#include "Components/MinutePickerModel.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace norvane;

TEST(CustomMinutes, AcceptsOnlyWholeNumbersFromOneTo1440WithBlanksAround) {
    // Every space separator is a blank; leading zeros still form a decimal number.
    const std::pair<QString, int> accepted[] = {
        {"1", 1}, {"1440", 1440}, {"\t45  ", 45}, {"\u00a045\u2003", 45}, {"0045", 45}};
    for (const auto &[text, minutes] : accepted)
        EXPECT_EQ(acceptedCustomMinutes(text), minutes) << text.toStdString();
    // Arabic-Indic and full-width digits are digits, but not ASCII ones.
    const QStringList rejected =
        QStringLiteral("0|1441|99999999999999999999999||   |4 5|45\n|2.5|-5|+5|"
                       "12a|\u0664\u0665|\uff14\uff15")
            .split(u'|');
    for (const QString &text : rejected)
        EXPECT_FALSE(acceptedCustomMinutes(text)) << text.toStdString();
}

TEST(MinutePicker, TheCustomEntryStartsFromTheValueAndStaysOpenUntilAValidEntry) {
    MinutePickerModel picker;
    picker.openCustom();
    EXPECT_EQ(picker.custom(), "1") << "at least one";
    picker.cancelCustom();
    EXPECT_FALSE(picker.showingCustom());
    picker.setValue(90);
    picker.openCustom();
    EXPECT_EQ(picker.custom(), "90");

    QSignalSpy chosen(&picker, &MinutePickerModel::valueChosen);
    QSignalSpy announced(picker.announcement(), &Announcement::announced);
    picker.setCustom("1441");
    picker.commitCustom();
    picker.commitCustom();
    EXPECT_EQ(announced.size(), 2) << "each refusal is told";
    EXPECT_EQ(picker.announcement()->text(),
              L10n::text("Enter a whole number from 1 to 1440 minutes"));
    EXPECT_TRUE(picker.invalid());
    EXPECT_TRUE(picker.showingCustom());
    EXPECT_EQ(picker.custom(), "1441");
    picker.setCustom(" 45 ");
    picker.commitCustom();
    EXPECT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.value(0).value(0), 45);
    EXPECT_FALSE(picker.showingCustom());
    EXPECT_TRUE(picker.invalid()) << "a successful commit leaves the flag for the next opening";
    picker.openCustom();
    EXPECT_FALSE(picker.invalid());
}

TEST(MinutePicker, IsNamedByItsTitleAndValue) {
    MinutePickerModel picker;
    picker.setTitle("Turn Display Off");
    picker.setZero(L10n::text("Never"));
    const std::pair<int, QString> values[] = {{0, L10n::text("Never")},
                                              {1, L10n::text("1 minute")},
                                              {5, L10n::text({"{0} minutes", {"5"}})}};
    for (const auto &[minutes, spoken] : values) {
        picker.setValue(minutes);
        EXPECT_EQ(picker.accessibleName(), L10n::text({"{0}, {1}", {"Turn Display Off", spoken}}));
    }
    EXPECT_EQ(picker.fieldName(),
              L10n::text({"{0}, {1}", {"Turn Display Off", L10n::text("minutes")}}));
    picker.setValue(7);
    EXPECT_EQ(picker.checkedIndex(), -1) << "a value of its own opens the menu on Custom Duration…";
}
