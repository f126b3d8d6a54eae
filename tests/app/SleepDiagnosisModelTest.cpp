// "Why isn't my Mac sleeping?": one assertions read per snapshot at a time, and Copy Report.
#include "Settings/SleepDiagnosisModel.h"

#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Settings/SettingsModel.h"

#include <QPromise>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

using Read = QPromise<std::optional<PowerAssertions>>;

struct SleepDiagnosisModelTest : ::testing::Test, test::SessionFixture {
    void deliverSnapshot(const SystemSettings &settings) {
        model.update(true);
        reader.deliver(settings);
        test::processQueuedEvents();
    }
    void deliverAssertions(const std::optional<PowerAssertions> &assertions) {
        auto read = std::move(reads.front());
        reads.erase(reads.begin());
        if (assertions)
            read->addResult(assertions);
        read->finish();
        test::processQueuedEvents();
    }

    test::ControlledSystemReader reader;
    SettingsModel model{store,
                        {{}, [this] { return reader.read(); }, [](const QUrl &) { return true; }}};
    std::vector<std::unique_ptr<Read>> reads;
    QStringList copied;
    SleepDiagnosisModel diagnosis{model,
                                  store,
                                  {[this] {
                                       reads.push_back(std::make_unique<Read>());
                                       reads.back()->start();
                                       return reads.back()->future();
                                   },
                                   [this](const QString &text) { copied << text; }}};
};

} // namespace

TEST_F(SleepDiagnosisModelTest, EachSnapshotBringsOneAssertionsReadAndTheDiagnosisOfBoth) {
    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    EXPECT_TRUE(reads.empty()) << "a closed section reads nothing";
    diagnosis.setExpanded(true);
    ASSERT_EQ(reads.size(), 1u) << "opening it reads at once";
    deliverAssertions(PowerAssertions{});
    diagnosis.setExpanded(false);
    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    EXPECT_TRUE(reads.empty());
    diagnosis.setExpanded(true);
    deliverAssertions(PowerAssertions{});

    SystemSettings settings = test::snapshot(10, 1, "Power adapter");
    settings.sleepDisabled = true;
    deliverSnapshot(settings);
    ASSERT_EQ(reads.size(), 1u);
    deliverSnapshot(settings); // while the first read runs: it waits its turn
    EXPECT_EQ(reads.size(), 1u);

    PowerAssertions assertions;
    assertions.holders = {
        {7, "caffeinate", "PreventUserIdleSystemSleep", "00:00:01", "caffeinate", {}},
        {8, "Keynote", "PreventUserIdleDisplaySleep", "00:00:01", "Playing slideshow", {}}};
    deliverAssertions(assertions);
    const SleepDiagnosis expected = SleepDiagnosis::make(settings, assertions);
    EXPECT_EQ(diagnosis.sleepText(), expected.sleep);
    EXPECT_EQ(diagnosis.displayHolders(), QStringList{expected.displayHolders[0].text()});
    EXPECT_EQ(model.sleepText(), L10n::text("Never: sleep is disabled system-wide"));

    ASSERT_EQ(reads.size(), 1u); // the second snapshot's read
    deliverAssertions(std::nullopt);
    EXPECT_TRUE(reads.empty());
    EXPECT_EQ(diagnosis.sleepHolders(), QStringList()); // no holders known, no remarks
}

TEST_F(SleepDiagnosisModelTest, CopyReportPutsTheReportOnTheClipboard) {
    EXPECT_EQ(diagnosis.sleepText(), L10n::text("Reading…"));
    diagnosis.setExpanded(true);
    diagnosis.copyReport();
    EXPECT_TRUE(copied.isEmpty()); // nothing read yet

    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    deliverAssertions(PowerAssertions{});
    diagnosis.copyReport();
    ASSERT_EQ(copied.size(), 1);
    EXPECT_TRUE(copied[0].contains(L10n::text("Using system settings")));
    EXPECT_TRUE(diagnosis.reportCopied());

    deliverSnapshot(test::snapshot(10, 1, "Power adapter"));
    deliverAssertions(PowerAssertions{});
    EXPECT_FALSE(diagnosis.reportCopied());
}
