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
    picker.setCustom("1441");
    picker.commitCustom();
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
