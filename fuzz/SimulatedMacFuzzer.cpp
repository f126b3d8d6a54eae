// The simulated Mac's readers of its files: the state file (read by both stand-ins and by the
// assertion status) and a preferences domain. A state that reads is saved and reads the same
// again; numbers of any size in either file read without overflow, whole ones as integers.
#include "FuzzSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Platform/VariantNumbers.h"
#include "SimulatorState.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace norvane;

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir home;
    static const bool made = QDir(home.path()).mkpath(QStringLiteral("preferences"));
    FUZZ_CHECK(made);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString statePath = SimulatedSystemState::filePath(home.path());

    writeFile(statePath, bytes);
    try {
        const sim::SimulatorState state = sim::SimulatorState::load(home.path());
        state.save(home.path());
        FUZZ_CHECK(sim::SimulatorState::load(home.path()) == state);
        writeFile(statePath, bytes);
    } catch (const PlatformError &) {
    }
    (void)SimulatedAssertionStatus(home.path()).copyStatus();

    const QString domain = QStringLiteral("com.apple.screensaver");
    SimulatedHostPreferences preferences(home.path());
    writeFile(preferences.domainFilePath(domain), bytes);
    if (!preferences.synchronize(domain))
        return 0;
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto value = preferences.copyValue(it.key(), domain);
        FUZZ_CHECK(value.has_value() == !(it->isNull() || it->isUndefined()));
        if (!value || !isNumber(*value))
            continue;
        const auto whole = integerValue(*value);
        // Whole numbers that fit in 53 bits are exact in either representation.
        const double number = it->toDouble();
        if (it->isDouble() && std::trunc(number) == number && std::abs(number) < 9007199254740992.0)
            FUZZ_CHECK(whole == qint64(number));
    }
    return 0;
}
