#include "SystemSettings.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/Platform.h"
#include "Platform/PmsetValues.h"
#include "Platform/VariantNumbers.h"

#include <algorithm>
#include <limits>

namespace norvane {

namespace {

// The characters of the remark that starts with the first `opening`, unchanged: up to the ")"
// that closes the remark's "(", so that a process name with its own brackets ("Google Chrome
// Helper (Renderer)") stays whole. A remark whose brackets do not pair up within its line ends at
// the line's last ")"; none without a ")" on the line.
std::optional<QString> textInside(const QString &output, const QString &opening) {
    const qsizetype start = output.indexOf(opening);
    if (start < 0)
        return std::nullopt;
    const qsizetype from = start + opening.size();
    qsizetype lineEnd = output.indexOf(u'\n', from);
    if (lineEnd < 0)
        lineEnd = output.size();
    int depth = 1;
    qsizetype lastClosing = -1;
    for (qsizetype i = from; i < lineEnd; ++i) {
        if (output[i] == u'(') {
            ++depth;
        } else if (output[i] == u')') {
            lastClosing = i;
            if (--depth == 0)
                break;
        }
    }
    if (lastClosing < 0)
        return std::nullopt;
    return output.mid(from, lastClosing - from);
}

// The lines of the block that starts with the line `header`, up to the next header (a line that
// is not indented); none when no line is the header.
std::optional<QString> block(const QString &output, QStringView header) {
    const QList<QStringView> lines = QStringView(output).split(u'\n');
    const auto found = std::find_if(lines.cbegin(), lines.cend(),
                                    [&](QStringView line) { return line.trimmed() == header; });
    if (found == lines.cend())
        return std::nullopt;
    QString text;
    for (auto line = found + 1; line != lines.cend(); ++line) {
        if (!line->isEmpty() && !line->front().isSpace())
            break;
        text += line->toString() + u'\n';
    }
    return text;
}

std::optional<bool> assertionFlag(const QVariantMap &status, const QString &name) {
    const auto entry = status.constFind(name);
    return entry == status.cend() ? std::nullopt : truthValue(*entry);
}

} // namespace

QHash<QString, qint64> SystemSettings::parse(const QString &text) {
    return pmsetValues(text);
}

QString SystemSettings::duration(std::optional<qint64> minutes) {
    if (!minutes || *minutes < 0)
        return L10n::text("Unavailable");
    if (*minutes == 0)
        return L10n::text("Never (system setting)");
    return L10n::text({"After {0} min of inactivity", {QString::number(*minutes)}});
}

QString SystemSettings::command(const Platform &platform, const QStringList &arguments) {
    const ToolResult result = platform.runner->run(platform.tools.pmset, arguments);
    if (result.exitStatus != 0)
        throw PlatformError(QStringLiteral("pmset %1 exited with status %2")
                                .arg(arguments.join(u' '))
                                .arg(result.exitStatus));
    return QString::fromUtf8(result.standardOutput);
}

SystemSettings SystemSettings::read() {
    return read(Platform::system());
}

SystemSettings SystemSettings::read(const Platform &platform) {
    SystemSettings settings;
    settings.readAt = QDateTime::currentDateTime();
    settings.source = L10n::text("Unavailable");

    const auto failed = [&] {
        settings.error =
            L10n::text("Some system settings could not be read. Refresh to try again.");
    };
    try {
        readLive(settings, command(platform, {QStringLiteral("-g"), QStringLiteral("live")}));
    } catch (const std::exception &) {
        failed();
    }
    if (!settings.error) {
        try {
            readBattery(settings,
                        command(platform, {QStringLiteral("-g"), QStringLiteral("batt")}));
        } catch (const std::exception &) {
            // pmset -g batt names the source the power sources say provides; asked directly
            // (as the quick panel asks them), they give the window the same answer.
            if (!readProvidingSource(settings, platform))
                failed();
        }
    }

    readAssertions(settings, platform);
    readScreenSaver(settings, platform);
    return settings;
}

void SystemSettings::readLive(SystemSettings &settings, const QString &output) {
    const QHash<QString, qint64> values = parse(output);
    const auto value = [&](const char *key) -> std::optional<qint64> {
        const auto it = values.constFind(QLatin1String(key));
        return it == values.cend() ? std::nullopt : std::optional(*it);
    };
    settings.displayMinutes = value("displaysleep");
    settings.sleepMinutes = value("sleep");
    if (const auto lowPowerMode = value("lowpowermode"))
        settings.lowPower = *lowPowerMode != 0;
    else if (const auto powerMode = value("powermode"))
        settings.lowPower = *powerMode == 1;

    if (const auto systemWide = block(output, u"System-wide power settings:"))
        settings.sleepDisabled = parse(*systemWide).value(QStringLiteral("SleepDisabled")) != 0;
    settings.sleepPreventers = textInside(output, QStringLiteral("(sleep prevented by "));
    settings.displaySleepPreventers =
        textInside(output, QStringLiteral("(display sleep prevented by "));
}

void SystemSettings::readBattery(SystemSettings &settings, const QString &output) {
    if (output.contains(QLatin1String("'AC Power'")))
        settings.source = L10n::text("Power adapter");
    else if (output.contains(QLatin1String("'Battery Power'")))
        settings.source = L10n::text("Battery");
    else if (output.contains(QLatin1String("'UPS Power'")))
        settings.source = QStringLiteral("UPS");
}

bool SystemSettings::readProvidingSource(SystemSettings &settings, const Platform &platform) {
    try {
        const auto snapshot =
            platform.powerSources ? platform.powerSources->snapshot() : std::nullopt;
        if (snapshot && snapshot->providingType)
            readBattery(settings, u'\'' + *snapshot->providingType + u'\'');
    } catch (const std::exception &) {
        // The source stays unavailable.
    }
    return settings.source != L10n::text("Unavailable");
}

void SystemSettings::readAssertions(SystemSettings &settings, const Platform &platform) {
    try {
        const auto status = platform.assertions->copyStatus();
        if (!status || status->isEmpty())
            return;
        if (!std::all_of(status->cbegin(), status->cend(),
                         [](const QVariant &count) { return isNumber(count); }))
            return;
        settings.displayAssertion =
            assertionFlag(*status, QStringLiteral("PreventUserIdleDisplaySleep"));
        settings.systemAssertion =
            assertionFlag(*status, QStringLiteral("PreventUserIdleSystemSleep"));
    } catch (const std::exception &) {
        // The flags stay empty.
    }
}

void SystemSettings::readScreenSaver(SystemSettings &settings, const Platform &platform) {
    const QString domain = QStringLiteral("com.apple.screensaver");
    try {
        (void)platform.preferences->synchronize(domain);
        if (const auto value = platform.preferences->copyValue(QStringLiteral("idleTime"), domain))
            settings.screenSaverSeconds = integerValue(*value);
    } catch (const std::exception &) {
        // The screen-saver time stays empty.
    }
}

} // namespace norvane
