#include "Managed/ManagedSettings.h"

#include "ControlledConfiguring.h"
#include "Managed/AdministratorFolderWatcher.h"
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Sessions/SessionStore.h"
#include "TestSupport.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

namespace norvane {
namespace {

using test::writeBytes;

Profile profileWith(qint64 display, qint64 sleep, qint64 screenSaverSeconds) {
    return {"ID", "Kiosk", Profile::focus().icon, display, sleep, screenSaverSeconds, 0};
}

// The administrator's folder in a temporary place, its files written with mode 0644.
struct Folder {
    QTemporaryDir root;
    [[nodiscard]] AdministratorFolder folder() const { return AdministratorFolder(root.path()); }
    void write(const QString &name, const QByteArray &data,
               QFileDevice::Permissions mode = QFile::ReadOwner | QFile::WriteOwner |
                                               QFile::ReadGroup | QFile::ReadOther) const {
        writeBytes(root.filePath(name), data);
        QFile::setPermissions(root.filePath(name), mode);
    }
};

// The limit a profile must keep is the narrowest of the general one and every source's; Never is
// longer than any limit; a value at the limit passes.
TEST(Policy, AProfileMustKeepTheNarrowestLimitOfAnySource) {
    const QByteArray limits =
        R"({"limits": {"displayMinutes": 10, "sleepMinutes": 15, "screenSaverMinutes": 10,
                       "battery": {"sleepMinutes": 5}, "ups": {"displayMinutes": 30}}})";
    const Policy policy = Policy::fromJson(limits);
    const struct {
        Profile profile;
        const char *refusal; // none: applies
    } cases[] = {
        {profileWith(10, 5, 600), nullptr},
        {profileWith(11, 5, 600), "limits “Turn Display Off” to 10 min, so Kiosk"},
        {profileWith(0, 5, 600), "limits “Turn Display Off” to 10 min,"},
        {profileWith(10, 6, 600), "limits “System Sleep” to 5 min (On battery),"},
        {profileWith(10, 0, 600), "limits “System Sleep” to 5 min (On battery),"},
        {profileWith(10, 5, 660), "limits “Screen Saver” to 10 min,"},
        {profileWith(10, 5, 0), "limits “Screen Saver” to 10 min,"},
    };
    for (const auto &[profile, refusal] : cases) {
        const std::optional<QString> violation = policy.violation(profile);
        EXPECT_EQ(violation.has_value(), refusal != nullptr) << profile.subtitle().toStdString();
        if (violation && refusal)
            EXPECT_TRUE(violation->contains(QString::fromUtf8(refusal)))
                << violation->toStdString();
    }
    EXPECT_FALSE(Policy().violation(profileWith(0, 0, 0)));
}

// A policy that cannot be read is left out whole and named with its reason: the default policy,
// which allows everything, is in force.
TEST(ManagedSettings, ADamagedPolicyIsNamedAndLeftOut) {
    const struct {
        QByteArray policy;
        const char *reason;
    } cases[] = {
        {R"({"version": 2})", "The policy file version is unsupported."},
        {R"({"allowRestore": "no"})", "“allowRestore” in the policy must be true or false."},
        {R"({"limits": {"displayMinute": 10}})", "unknown key “limits.displayMinute”"},
        {R"({"limits": {"battery": {"sleepMinutes": 0}}})", "“limits.battery.sleepMinutes”"},
        {R"({"limits": {"sleepMinutes": 2.5}})", "“limits.sleepMinutes”"},
        {"{\"version\": 1,", "policy.json"},
    };
    for (const auto &[data, reason] : cases) {
        const Folder folder;
        folder.write("policy.json", data);
        const ManagedSettings managed = ManagedSettings::load(folder.folder());
        EXPECT_FALSE(managed.policy()) << data.constData();
        ASSERT_EQ(managed.problems().size(), 1) << data.constData();
        EXPECT_TRUE(managed.problems()[0].contains(folder.root.filePath("policy.json")));
        EXPECT_TRUE(managed.problems()[0].contains(QString::fromUtf8(reason)))
            << managed.problems()[0].toStdString();
        EXPECT_TRUE(managed.policyInForce().allowRestore);
    }
}

// Only a file that no one but the administrator can change counts.
TEST(ManagedSettings, AFileOthersCanWriteIsRefused) {
    const QFileDevice::Permissions readable =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    const struct {
        QFileDevice::Permissions mode;
        bool trusted;
    } cases[] = {{readable, true},
                 {readable | QFile::WriteGroup, false},
                 {readable | QFile::WriteOther, false}};
    for (const auto &[mode, trusted] : cases) {
        const Folder folder;
        folder.write("policy.json", R"({"allowRules": false})", mode);
        const ManagedSettings managed = ManagedSettings::load(folder.folder());
        EXPECT_EQ(managed.policy().has_value(), trusted);
        EXPECT_EQ(managed.problems().isEmpty(), trusted);
    }
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const Folder folder;
    folder.write("policy.json", "{}");
    ASSERT_EQ(
        chown(QFile::encodeName(folder.root.filePath("policy.json")).constData(), 65534, 65534), 0);
    EXPECT_TRUE(ManagedSettings::load(folder.folder())
                    .problems()
                    .value(0)
                    .contains("belongs neither to the administrator"));
}

// Managed profiles are listed first, beside a person's with the same title; they are never
// changed, Duplicate makes an editable copy, and the policy can refuse new profiles.
TEST(ManagedSettings, ManagedProfilesAreListedFirstAndNeverChanged) {
    const Folder folder;
    Profile managed = profileWith(5, 5, 300);
    managed.title = "Focus";
    folder.write(
        "profiles.json",
        QJsonDocument(QJsonObject{{"version", 1}, {"profiles", QJsonArray{managed.toJson()}}})
            .toJson());
    ProfileLibrary library(std::make_shared<test::MemoryProfileStorage>());
    ManagedSettings::load(folder.folder()).administer(library);

    ASSERT_EQ(library.profiles().size(), Profile::presets().size() + 1);
    EXPECT_TRUE(library.profiles()[0].managed);
    EXPECT_TRUE(library.profile("focus").has_value()); // the person's Focus stays listed
    const QString refused = test::errorTextFrom([&] { library.save(managed); });
    EXPECT_TRUE(refused.contains("cannot be changed or deleted")) << refused.toStdString();
    EXPECT_EQ(test::errorTextFrom([&] { library.remove("ID"); }), refused);
    Profile copy = library.duplicate("ID");
    EXPECT_FALSE(copy.managed);
    copy.title = "Mine";
    EXPECT_NO_THROW(library.save(copy));

    library.setManaged({managed}, /*customProfilesAllowed*/ false);
    EXPECT_TRUE(test::errorTextFrom([&] {
                    library.duplicate("ID");
                }).contains("does not allow new profiles"));
}

// Every apply and restore asks the policy before anything is written.
TEST(ManagedSettings, TheSessionStoreRefusesWhatThePolicyForbids) {
    const auto service = std::make_shared<test::ControlledConfiguring>();
    SessionStore store(service, {}, [] { return Profile::normal(); });
    store.followPolicy([] {
        return Policy::fromJson(R"({"limits": {"displayMinutes": 10}, "allowRestore": false})");
    });
    test::waitFor(
        store.activate(profileWith(0, 5, 300), std::nullopt, QDateTime::currentDateTime()));
    EXPECT_TRUE(store.errorMessage()->startsWith("A management policy limits “Turn Display Off”"));
    test::waitFor(store.restoreOriginal());
    EXPECT_TRUE(store.errorMessage()->contains("does not allow restoring"));
    EXPECT_TRUE(service->applied.isEmpty());
    EXPECT_EQ(service->restores, 0);
}

// The watcher tells of the folder appearing later, a file added, one replaced by rename (as
// editors and deployment tools save), the new file then written in place, and one removed.
TEST(AdministratorFolderWatcher, TellsOfEveryWayTheFolderChanges) {
    const QTemporaryDir root;
    const QDir folder(root.filePath("pellor"));
    AdministratorFolderWatcher watcher(folder.path());
    // Runs the event loop until the watcher tells; false when it stays silent.
    const auto told = [&watcher] {
        QEventLoop loop;
        QObject::connect(&watcher, &AdministratorFolderWatcher::changed, &loop,
                         [&] { loop.exit(1); });
        QTimer::singleShot(10'000, &loop, [&] { loop.exit(0); });
        return loop.exec() == 1;
    };
    const QString policy = folder.filePath("policy.json");
    const std::pair<const char *, std::function<void()>> steps[] = {
        {"the folder appears", [&] { ASSERT_TRUE(QDir().mkdir(folder.path())); }},
        {"a file is added", [&] { writeBytes(policy, "{}"); }},
        {"a file is replaced by rename",
         [&] {
             writeBytes(folder.filePath(".policy.tmp"), R"({"version": 1})");
             ASSERT_TRUE(::rename(qPrintable(folder.filePath(".policy.tmp")), qPrintable(policy)) ==
                         0);
         }},
        {"the new file is written in place",
         [&] {
             QFile file(policy);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write(" ");
         }},
        {"a file is removed", [&] { ASSERT_TRUE(QFile::remove(policy)); }},
    };
    for (const auto &[step, change] : steps) {
        change();
        EXPECT_TRUE(told()) << step;
    }
}

} // namespace
} // namespace norvane
