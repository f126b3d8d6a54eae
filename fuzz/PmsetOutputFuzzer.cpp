// The reading of pmset's "name value" lines and of `pmset -g live` and `-g batt` into the
// system-settings snapshot, against a reference reading of the line rule.
#include "FuzzSupport.h"
#include "Platform/Platform.h"
#include "Status/SystemSettings.h"

#include <QRegularExpression>

using namespace norvane;

namespace {

// First word → second word, when that is a base-10 integer that fits; words are separated by
// any whitespace; later lines replace earlier ones.
QHash<QString, qint64> referenceReading(const QString &text) {
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    QHash<QString, qint64> values;
    for (const QString &line : text.split(u'\n')) {
        const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.size() < 2 || !integer.match(words[1]).hasMatch())
            continue;
        bool ok = false;
        const qint64 value = words[1].toLongLong(&ok);
        if (ok)
            values.insert(words[0], value);
    }
    return values;
}

class Runner final : public ToolRunner {
public:
    Runner(QByteArray live, QByteArray batt) : m_live(std::move(live)), m_batt(std::move(batt)) {}
    [[nodiscard]] ToolResult run(const QString &, const QStringList &arguments,
                                 StandardError) const override {
        return {0, arguments.value(1) == QLatin1String("live") ? m_live : m_batt, {}};
    }

private:
    QByteArray m_live, m_batt;
};

class NoPreferences final : public HostPreferences {
public:
    bool synchronize(const QString &) override { return true; }
    std::optional<QVariant> copyValue(const QString &, const QString &) override {
        return std::nullopt;
    }
    void setValue(const QString &, const std::optional<QVariant> &, const QString &) override {}
    void postNotification(const QString &) override {}
};

class NoAssertions final : public AssertionStatus {
public:
    [[nodiscard]] std::optional<QVariantMap> copyStatus() const override { return std::nullopt; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzz::Input input(data, size);
    const QByteArray live = input.bytes();
    const QByteArray batt = input.rest();
    const QString liveText = QString::fromUtf8(live);
    const QHash<QString, qint64> values = SystemSettings::parse(liveText);
    FUZZ_CHECK(values == referenceReading(liveText));

    Platform platform{{QStringLiteral("pmset"), QStringLiteral("osascript")},
                      std::make_shared<Runner>(live, batt),
                      std::make_shared<NoPreferences>(),
                      std::make_shared<NoAssertions>(),
                      nullptr};
    const SystemSettings settings = SystemSettings::read(platform);
    FUZZ_CHECK(!settings.error);
    const auto value = [&](const char *key) {
        const auto it = values.constFind(QLatin1String(key));
        return it == values.cend() ? std::nullopt : std::optional(*it);
    };
    FUZZ_CHECK(settings.displayMinutes == value("displaysleep"));
    FUZZ_CHECK(settings.sleepMinutes == value("sleep"));
    // Low Power Mode: "lowpowermode" non-zero, else "powermode" 1 (Apple silicon).
    if (const auto lowPowerMode = value("lowpowermode"))
        FUZZ_CHECK(settings.lowPower == (*lowPowerMode != 0));
    else if (const auto powerMode = value("powermode"))
        FUZZ_CHECK(settings.lowPower == (*powerMode == 1));
    else
        FUZZ_CHECK(!settings.lowPower);
    // A remark is read within its line, to a closing bracket.
    for (const auto &[opening, remark] :
         {std::pair{QStringLiteral("(sleep prevented by "), settings.sleepPreventers},
          {QStringLiteral("(display sleep prevented by "), settings.displaySleepPreventers}})
        if (remark)
            FUZZ_CHECK(!remark->contains(u'\n') && liveText.contains(opening + *remark + u')'));
    return 0;
}
