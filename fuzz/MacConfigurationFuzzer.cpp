// The reading of `pmset -g custom` into power-source settings and the original-settings backup
// file: whatever reads must read the same again after printing, and the privileged command built
// from a backup is either refused or made only of pmset runs with whole numbers.
#include "Configuration/MacConfiguration.h"
#include "FuzzSupport.h"
#include "Platform/ConfigurationError.h"
#include "Platform/JsonDecoding.h"

#include <QRegularExpression>

using namespace norvane;

namespace {

QString sectionHeader(const QString &flag) {
    return flag == QLatin1String("-b")   ? QStringLiteral("Battery Power:")
           : flag == QLatin1String("-c") ? QStringLiteral("AC Power:")
                                         : QStringLiteral("UPS Power:");
}

void fuzzCustom(const QString &output) {
    QList<PowerSourceConfiguration> sources;
    try {
        sources = MacConfiguration::parsePowerSources(output);
    } catch (const ConfigurationError &) {
        return;
    }
    FUZZ_CHECK(!sources.isEmpty());
    QString printed;
    QString previous;
    for (const PowerSourceConfiguration &source : sources) {
        FUZZ_CHECK(source.flag > previous); // "-b" < "-c" < "-u", each once
        FUZZ_CHECK(source.display >= 0 && source.sleep >= 0);
        previous = source.flag;
        printed += QStringLiteral("%1\n displaysleep         %2\n sleep                %3\n")
                       .arg(sectionHeader(source.flag))
                       .arg(source.display)
                       .arg(source.sleep);
    }
    FUZZ_CHECK(MacConfiguration::parsePowerSources(printed) == sources);
}

void fuzzBackup(const QByteArray &file) {
    MacConfiguration configuration;
    try {
        configuration = MacConfiguration::fromJson(json::parseObject(file));
    } catch (const PlatformError &) {
        return;
    }
    const QByteArray saved = json::encodePretty(configuration.toJson());
    FUZZ_CHECK(MacConfiguration::fromJson(json::parseObject(saved)) == configuration);

    static const QRegularExpression safe(QStringLiteral(
        R"(^/usr/bin/pmset -[bcu] displaysleep [0-9]+ sleep [0-9]+( && /usr/bin/pmset -[bcu] displaysleep [0-9]+ sleep [0-9]+)*$)"));
    try {
        FUZZ_CHECK(safe.match(configuration.privilegedCommand()).hasMatch());
    } catch (const ConfigurationError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the reader.
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1)
        fuzzBackup(rest);
    else
        fuzzCustom(QString::fromUtf8(rest));
    return 0;
}
