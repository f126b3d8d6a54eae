#include "NativeConfigurationBackend.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/VariantNumbers.h"

namespace norvane {

namespace {

constexpr qint64 kMaxScreenSaverSeconds = 86400;
constexpr int kUserCancelled = -128;

[[noreturn]] void fail(const char *key) {
    throw ConfigurationError::message(L10n::text(key));
}

// `text` without a leading run of the characters that `accept` takes.
QStringView skipping(QStringView text, bool (*accept)(QChar)) {
    qsizetype i = 0;
    while (i < text.size() && accept(text[i]))
        ++i;
    return text.sliced(i);
}

// osascript writes its numbers and separators in ASCII.
bool isSpace(QChar c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// osascript's "<start>:<end>:" prefix and the blanks after it, when `text` starts with one.
QStringView withoutRange(QStringView text) {
    QStringView rest = text;
    for (int field = 0; field < 2; ++field) {
        const QStringView afterDigits = skipping(rest, isDigit);
        if (afterDigits.size() == rest.size() || !afterDigits.startsWith(u':'))
            return text;
        rest = afterDigits.sliced(1);
    }
    return skipping(rest, isSpace);
}

// Where the "(" of a trailing "(N)" or "(-N)" is, or -1.
qsizetype numberStart(QStringView text) {
    if (!text.endsWith(u')'))
        return -1;
    qsizetype i = text.size() - 1;
    while (i > 0 && isDigit(text[i - 1]))
        --i;
    if (i == text.size() - 1)
        return -1;
    if (i > 0 && text[i - 1] == u'-')
        --i;
    return i > 0 && text[i - 1] == u'(' ? i - 1 : -1;
}

} // namespace

AppleScriptError AppleScriptError::parse(const QString &errorOutput) {
    // osascript reports "0:92: execution error: User canceled. (-128)"; only an exact trailing
    // "(N)" is the error number. Every step looks at each character a bounded number of times,
    // since a failing command can print any amount of text.
    const QString trimmed = errorOutput.trimmed();
    const QStringView text = trimmed;
    AppleScriptError error;
    const qsizetype open = numberStart(text);
    if (open < 0) {
        if (!text.isEmpty())
            error.message = trimmed;
        return error;
    }
    bool ok = false;
    const int number = text.sliced(open + 1, text.size() - open - 2).toInt(&ok);
    if (ok)
        error.number = number;
    QStringView message = withoutRange(text.first(open));
    static constexpr QStringView kExecutionError = u"execution error:";
    if (message.startsWith(kExecutionError))
        message = skipping(message.sliced(kExecutionError.size()), isSpace);
    while (!message.isEmpty() && isSpace(message.back()))
        message.chop(1);
    if (!message.isEmpty())
        error.message = message.toString();
    return error;
}

NativeConfigurationBackend::NativeConfigurationBackend()
    : NativeConfigurationBackend(Platform::system(),
                                 OriginalSettingsBackup::defaultPath(currentSystem().id)) {}

NativeConfigurationBackend::NativeConfigurationBackend(Platform platform, QString backupPath,
                                                       const QString &world)
    : m_platform(std::move(platform)), m_backup(std::move(backupPath), world) {}

MacConfiguration NativeConfigurationBackend::read() {
    const ToolResult result = m_platform.runner->run(
        m_platform.tools.pmset, {QStringLiteral("-g"), QStringLiteral("custom")});
    if (result.exitStatus != 0)
        fail(L10n::noop("Could not read pmset settings."));
    if (!m_platform.preferences->synchronize(domain))
        fail(L10n::noop("Could not synchronize screen saver settings. No changes were made."));

    MacConfiguration configuration;
    if (const auto stored = m_platform.preferences->copyValue(key, domain)) {
        // A stored number of any kind counts; its integer value is used, fractions cut off.
        configuration.screenSaverSeconds = integerValue(*stored);
        if (!configuration.screenSaverSeconds)
            fail(L10n::noop("The screen saver timeout format is unsupported."));
    }
    configuration.sources =
        MacConfiguration::parsePowerSources(QString::fromUtf8(result.standardOutput));
    return configuration;
}

MacConfiguration NativeConfigurationBackend::systemDefaults(const MacConfiguration &current) const {
    MacConfiguration defaults;
    for (const PowerSourceConfiguration &source : current.sources)
        defaults.sources << MacConfiguration::factorySettings(source.flag);
    return defaults;
}

void NativeConfigurationBackend::write(const MacConfiguration &target) {
    const MacConfiguration current = read();
    if (current.sources != target.sources)
        writePowerSettings(target);
    writeScreenSaver(current.screenSaverSeconds, target.screenSaverSeconds);
}

QString NativeConfigurationBackend::authorizationScript(const QString &command) {
    QString escaped = command;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'"', QStringLiteral("\\\""));
    return QStringLiteral("do shell script \"") + escaped +
           QStringLiteral("\" with administrator privileges");
}

void NativeConfigurationBackend::writePowerSettings(const MacConfiguration &target) {
    const QString script = authorizationScript(target.privilegedCommand());
    // The argument list reaches osascript directly; no shell sees the script.
    const ToolResult result =
        m_platform.runner->run(m_platform.tools.osascript, {QStringLiteral("-e"), script},
                               ToolRunner::StandardError::Capture);
    if (result.exitStatus == 0)
        return;
    const AppleScriptError error = AppleScriptError::parse(QString::fromUtf8(result.standardError));
    if (error.number == kUserCancelled)
        throw ConfigurationError::cancelled();
    // A failing command's lines reach osascript's error text separated by carriage returns.
    const QString message =
        error.message.value_or(L10n::text("Unknown error")).replace(u'\r', u'\n');
    throw ConfigurationError::message(
        L10n::text({"Could not save power settings: {0}", {message}}));
}

void NativeConfigurationBackend::writeScreenSaver(const std::optional<qint64> &current,
                                                  const std::optional<qint64> &target) {
    if (current == target)
        return;
    if (target && (*target < 0 || *target > kMaxScreenSaverSeconds))
        fail(L10n::noop("The screen saver timeout is outside the supported range."));
    m_platform.preferences->setValue(
        key, target ? std::optional<QVariant>(QVariant::fromValue(*target)) : std::nullopt, domain);
    if (!m_platform.preferences->synchronize(domain))
        fail(L10n::noop("Could not save the screen saver timeout."));
    m_platform.preferences->postNotification(QStringLiteral("com.apple.screensaver.didchange"));
}

void NativeConfigurationBackend::saveOriginalIfNeeded(const MacConfiguration &configuration) {
    m_backup.saveIfMissing(configuration);
}

MacConfiguration NativeConfigurationBackend::loadOriginal() {
    return m_backup.load();
}

} // namespace norvane
