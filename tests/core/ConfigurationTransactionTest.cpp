// The transaction's outcomes and every branch of its rollback, over an in-memory backend that can
// fail or lie at any step.
#include "Configuration/ConfigurationTransaction.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <map>

using namespace norvane;
using test::errorTextFrom;

namespace {

const MacConfiguration kFactory{{{"-b", 2, 1}, {"-c", 10, 1}}, std::nullopt};

class MemoryBackend : public ConfigurationBackend {
public:
    MacConfiguration system;
    std::optional<MacConfiguration> backup;
    QStringList calls;
    // Hooks keyed by the 1-based number of the read or write call: they may throw, or change
    // what the call does.
    std::map<int, std::function<void()>> beforeRead;
    std::map<int, std::function<void(MacConfiguration &stored)>> onWrite;
    MacConfiguration read() override {
        calls << "read";
        if (const auto hook = beforeRead.find(int(calls.count("read"))); hook != beforeRead.end())
            hook->second();
        return system;
    }
    void saveOriginalIfNeeded(const MacConfiguration &configuration) override {
        calls << "save";
        if (!backup)
            backup = configuration;
    }
    MacConfiguration loadOriginal() override {
        calls << "load";
        if (!backup)
            throw ConfigurationError::message("no backup");
        return *backup;
    }
    [[nodiscard]] MacConfiguration systemDefaults(const MacConfiguration &) const override {
        return kFactory;
    }
    void write(const MacConfiguration &configuration) override {
        calls << "write";
        MacConfiguration stored = configuration;
        if (const auto hook = onWrite.find(int(calls.count("write"))); hook != onWrite.end())
            hook->second(stored); // may throw before storing, or alter what is stored
        system = stored;
    }
};

const MacConfiguration kLaptop{{{"-b", 10, 20}, {"-c", 0, 0}}, 300};

QString restoredMessage(const QString &cause) {
    return L10n::text(
        {"Could not apply settings. The previous settings were restored.\n{0}", {cause}});
}

// Ends with what the system holds after the failed rollback.
QString notRestoredMessage(const QString &cause, const QString &rollback,
                           const MacConfiguration &inEffect) {
    return L10n::text(
               {"Could not apply or fully restore settings. Check Current Settings and use Restore Original Settings.\n{0}\n{1}",
                {cause, rollback}}) +
           u'\n' + L10n::text({"In effect now: {0}", {inEffect.description()}});
}

QString policyMessage() {
    return L10n::text(
        "The saved settings do not match the requested values. A management policy may restrict changes.");
}

struct TransactionTest : ::testing::Test {
    std::shared_ptr<MemoryBackend> backend = std::make_shared<MemoryBackend>();
    ConfigurationTransaction transaction{backend};
    void SetUp() override { backend->system = kLaptop; }
    QString applyFocusError() {
        return errorTextFrom([&] { (void)transaction.apply(Profile::focus()); });
    }
};

} // namespace

TEST_F(TransactionTest, CancellationReachesTheCallerAsExactlyCancelled) {
    backend->onWrite[1] = [](MacConfiguration &) { throw ConfigurationError::cancelled(); };
    const ConfigurationError error =
        test::configurationErrorFrom([&] { (void)transaction.apply(Profile::focus()); });
    EXPECT_TRUE(error.isCancelled());
    EXPECT_EQ(backend->system, kLaptop);
}

TEST_F(TransactionTest, ReadBackMismatchIsRolledBackWithThePolicyMessage) {
    // A management policy keeps `sleep` at its value.
    backend->onWrite[1] = [](MacConfiguration &stored) {
        for (int i = 0; i < stored.sources.size(); ++i)
            stored.sources[i].sleep = kLaptop.sources[i].sleep;
    };
    const ConfigurationError error =
        test::configurationErrorFrom([&] { (void)transaction.apply(Profile::focus()); });
    EXPECT_EQ(error.errorDescription(), restoredMessage(policyMessage()));
    EXPECT_FALSE(error.leavesSettingsInDoubt()) << "the settings from before are back";
    EXPECT_EQ(backend->system, kLaptop);
}

TEST_F(TransactionTest, HalfDoneWriteIsRolledBackWithTheScreenSaverError) {
    const QString saverError = L10n::text("Could not save the screen saver timeout.");
    // The power settings of the half-done write land before the failure.
    backend->onWrite[1] = [this, saverError](MacConfiguration &stored) {
        backend->system = {stored.sources, kLaptop.screenSaverSeconds};
        throw ConfigurationError::message(saverError);
    };
    EXPECT_EQ(applyFocusError(), restoredMessage(saverError));
    EXPECT_EQ(backend->system, kLaptop);
}

TEST_F(TransactionTest, FailedRollbackWriteKeepsBothErrorsAndLeavesTheSettingsInDoubt) {
    backend->beforeRead[2] = [] { throw ConfigurationError::message("read-back failed"); };
    backend->onWrite[2] = [](MacConfiguration &) {
        throw ConfigurationError::message("rollback refused");
    };
    const ConfigurationError error =
        test::configurationErrorFrom([&] { (void)transaction.apply(Profile::focus()); });
    EXPECT_EQ(error.errorDescription(), notRestoredMessage("read-back failed", "rollback refused",
                                                           kLaptop.applying(Profile::focus())));
    EXPECT_TRUE(error.leavesSettingsInDoubt());
}

TEST_F(TransactionTest, RollbackThatDoesNotVerifySaysSo) {
    backend->onWrite[1] = [](MacConfiguration &stored) { stored.sources[0].display = 99; };
    backend->onWrite[2] = [](MacConfiguration &stored) { stored.sources[1].display = 77; };
    MacConfiguration halfRestored = kLaptop;
    halfRestored.sources[1].display = 77;
    EXPECT_EQ(
        applyFocusError(),
        notRestoredMessage(policyMessage(), L10n::text("Could not verify rollback"), halfRestored));
}

TEST_F(TransactionTest, RollbackVerificationReadFailureIsTheRollbackError) {
    backend->onWrite[1] = [](MacConfiguration &stored) { stored.sources[0].display = 99; };
    backend->beforeRead[4] = [] { throw PlatformError("verify read failed"); };
    EXPECT_EQ(applyFocusError(),
              notRestoredMessage(policyMessage(), "verify read failed", kLaptop));
}

TEST_F(TransactionTest, ReadFailureRightAfterAFailedWriteStillRollsBack) {
    backend->onWrite[1] = [this](MacConfiguration &stored) {
        backend->system = stored;
        throw ConfigurationError::message("write failed late");
    };
    backend->beforeRead[2] = [] { throw PlatformError("check read failed"); };
    EXPECT_EQ(applyFocusError(), restoredMessage("write failed late"));
    EXPECT_EQ(backend->system, kLaptop);
    EXPECT_EQ(backend->calls.count("write"), 2);
}

TEST_F(TransactionTest, RestoreWritesTheBackupExactlyOrFailsWithoutOne) {
    EXPECT_EQ(errorTextFrom([&] { (void)transaction.restore(); }), "no backup");
    EXPECT_EQ(backend->calls, QStringList({"load"}));

    // A backup that is not valid as a whole is refused before anything is read or written,
    // before any of it is mapped onto the sources the Mac has now.
    const QString invalid = L10n::text("The power settings are invalid.");
    const QString range =
        L10n::text("Settings are outside the supported range. No command was run.");
    const std::pair<MacConfiguration, QString> refused[] = {
        {{{{"-b; touch /tmp/x", 1, 1}, {"-c", 3, 4}}, std::nullopt}, range},
        {{{{"-c", 3, 4}, {"-c", 5, 6}}, std::nullopt}, invalid},
        {{{{"-c", 99999, 4}}, std::nullopt}, range},
        {{{{"-c", 3, 4}}, 86401},
         L10n::text("The screen saver timeout is outside the supported range.")},
        {{{}, 60}, invalid},
    };
    for (const auto &[backup, message] : refused) {
        backend->backup = backup;
        backend->calls.clear();
        EXPECT_EQ(errorTextFrom([&] { (void)transaction.restore(); }), message);
        EXPECT_EQ(backend->calls, QStringList({"load"}));
    }

    // The Mac has a battery and an adapter now; the backup knows the adapter and a UPS.
    backend->backup = MacConfiguration{{{"-c", 3, 4}, {"-u", 5, 6}}, std::nullopt};
    EXPECT_EQ(
        errorTextFrom([&] { (void)transaction.restore(); }),
        L10n::text(
            {"The original settings for “{0}” could not be restored because this Mac no longer has this power source.",
             {L10n::text("UPS power")}}));
    EXPECT_EQ(backend->system, (MacConfiguration{{{"-b", 10, 20}, {"-c", 3, 4}}, std::nullopt}))
        << "the backup's values for the sources the Mac has, the others kept; no screen saver";
    backend->backup = MacConfiguration{{{"-c", 3, 4}}, std::nullopt};
    backend->calls.clear();
    EXPECT_EQ(transaction.restore(), backend->system);
    EXPECT_EQ(backend->calls, QStringList({"load", "read"})) << "already equal: no write";
}
