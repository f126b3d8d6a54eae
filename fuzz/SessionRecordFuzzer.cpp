// The stored session (session.json), which Pellor and pellorctl read at start: whatever loads is
// a valid profile with its times, reads the same after it is stored again, and anything else is
// refused with an error, never a crash.
#include "FuzzSupport.h"
#include "Platform/ConfigurationError.h"
#include "Sessions/SessionRecord.h"

#include <QFile>
#include <QTemporaryDir>

using namespace norvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir folder;
    const SessionRecord record(folder.filePath(QStringLiteral("session.json")),
                               QStringLiteral("simulated"));
    QFile file(record.path());
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char *>(data), qsizetype(size));
    file.close();
    std::optional<Session> session;
    try {
        session = record.load();
    } catch (const PlatformError &) {
        return 0;
    } catch (const ConfigurationError &) {
        return 0;
    }
    if (!session)
        return 0;
    bool valid = true;
    try {
        (void)session->profile.validated();
    } catch (const ConfigurationError &) {
        valid = false;
    }
    FUZZ_CHECK(valid);
    FUZZ_CHECK(session->startedAt.isValid() &&
               (!session->deadline || session->deadline->isValid()));
    record.save(session);
    const std::optional<Session> again = record.load();
    FUZZ_CHECK(again && again->profile == session->profile);
    FUZZ_CHECK(again->startedAt == session->startedAt && again->deadline == session->deadline);
    return 0;
}
