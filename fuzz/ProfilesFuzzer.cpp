// One profile, then a whole profiles file followed by library operations. A profile reads the same
// after writing; validation is settled after one pass; after every operation, a library loaded
// afresh from what was stored equals the library in use (profiles, undo, load error).
#include "FuzzSupport.h"
#include "Platform/JsonDecoding.h"
#include "Profiles/ProfileLibrary.h"

#include <QJsonObject>

using namespace norvane;

namespace {

class MemoryStorage final : public ProfileStorage {
public:
    explicit MemoryStorage(std::optional<QByteArray> data) : bytes(std::move(data)) {}
    std::optional<QByteArray> read() override { return bytes; }
    void write(const QByteArray &data) override { bytes = data; }
    [[nodiscard]] QString location() const override { return {}; }
    QString setAside(const QDate &) override {
        bytes.reset();
        return {};
    }
    std::optional<QByteArray> bytes;
};

void fuzzProfile(const QByteArray &bytes) {
    try {
        const Profile profile = Profile::fromJson(json::parseObject(bytes));
        FUZZ_CHECK(Profile::fromJson(profile.toJson()) == profile);
        const Profile valid = profile.validated();
        FUZZ_CHECK(valid.validated() == valid);
    } catch (...) {
        // Refused profiles are fine; only what is accepted has to hold up.
    }
}

Profile pick(const ProfileLibrary &library, fuzz::Input &input) {
    const QList<Profile> &profiles = library.profiles();
    if (profiles.isEmpty())
        return Profile::normal();
    return profiles[input.byte() % profiles.size()];
}

void operate(ProfileLibrary &library, fuzz::Input &input) {
    switch (input.byte() % 6) {
    case 0: {
        Profile changed = pick(library, input);
        changed.title = input.text();
        changed.displayMinutes = input.small();
        changed.sleepMinutes = input.small();
        changed.screenSaverSeconds = input.small() * 60;
        changed.defaultMinutes = input.small();
        library.save(changed);
        break;
    }
    case 1: {
        const Profile like = pick(library, input);
        library.save(Profile(input.text(), input.text(), like.icon, input.small(), input.small(),
                             input.small(), input.small()));
        break;
    }
    case 2:
        library.remove(pick(library, input).id);
        break;
    case 3:
        (void)library.duplicate(pick(library, input).id);
        break;
    case 4:
        library.resetPreset(pick(library, input).id);
        break;
    default:
        library.undoDeletion();
        break;
    }
}

void checkReload(const ProfileLibrary &library, const std::shared_ptr<MemoryStorage> &storage) {
    const ProfileLibrary reloaded(std::make_shared<MemoryStorage>(storage->bytes));
    FUZZ_CHECK(reloaded.profiles() == library.profiles());
    FUZZ_CHECK(reloaded.canUndoDeletion() == library.canUndoDeletion());
    FUZZ_CHECK(reloaded.loadError() == library.loadError());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input input(data, size);
    fuzzProfile(input.bytes());

    const QByteArray file = input.bytes();
    auto storage =
        std::make_shared<MemoryStorage>(file.isEmpty() ? std::nullopt : std::optional(file));
    ProfileLibrary library(storage);
    checkReload(library, storage);
    for (int operations = 0; !input.atEnd() && operations < 16; ++operations) {
        try {
            operate(library, input);
        } catch (...) {
            // A refused change leaves the library as it was; the reload below checks that.
        }
        checkReload(library, storage);
    }
    return 0;
}
