#include "PowerAssertions.h"

#include "Platform/Platform.h"
#include "SystemSettings.h"

#include <QRegularExpression>

namespace norvane {

namespace {

enum class Block { other, systemWide, byProcess };

Block blockFor(QStringView header) {
    if (header == u"Assertion status system-wide:")
        return Block::systemWide;
    if (header == u"Listed by owning process:")
        return Block::byProcess;
    return Block::other;
}

// A line that starts a block: "Listed by owning process:", "Kernel Assertions: 0x4=USB", …
// Published copies sometimes lose the indentation of the lines inside the blocks, so only
// unindented lines of these shapes count.
bool isHeader(QStringView line) {
    if (line.front().isSpace())
        return false;
    const QStringView trimmed = line.trimmed();
    return trimmed.endsWith(u':') || trimmed.startsWith(u"Kernel Assertions:") ||
           trimmed.startsWith(u"Idle sleep preventers:");
}

// "pid 98217(caffeinate): [0x00045477000194b3] 00:00:03 PreventUserIdleSystemSleep named: "…"".
// The process name runs to the first "): " that the rest of the line fits after, so names with
// blanks and brackets stay whole; the id and the age are missing on some macOS versions.
const QRegularExpression &holderLine() {
    static const QRegularExpression pattern(QStringLiteral(
        R"re(^\s*pid (\d+)\((.*?)\): (?:\[0x[0-9A-Fa-f]+\] )?(?:(\d+:\d\d:\d\d) )?(\S+) named: "(.*)"\s*$)re"));
    return pattern;
}

// A Linux desktop's holders name the kinds they inhibit ("idle", "sleep", "idle:sleep").
bool holdsKind(const QString &type, QStringView kind) {
    return type.split(u':').contains(kind);
}

} // namespace

bool PowerAssertion::keepsDisplayOn() const {
    return type == u"PreventUserIdleDisplaySleep" || type == u"NoDisplaySleepAssertion" ||
           holdsKind(type, u"idle");
}

bool PowerAssertion::keepsMacAwake() const {
    return keepsDisplayOn() || type == u"PreventUserIdleSystemSleep" ||
           type == u"PreventSystemSleep" || type == u"NoIdleSleepAssertion" ||
           holdsKind(type, u"sleep");
}

PowerAssertions PowerAssertions::parse(const QString &text) {
    PowerAssertions result;
    Block block = Block::other;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (isHeader(line)) {
            block = blockFor(trimmed);
            continue;
        }
        if (block == Block::systemWide) {
            const auto values = SystemSettings::parse(trimmed.toString());
            if (values.size() == 1)
                result.systemWide.append({values.cbegin().key(), values.cbegin().value()});
        } else if (block == Block::byProcess) {
            // Matched without the indentation, which the line was trimmed of, so that a line
            // read as a detail never reads as a holder once indented differently.
            const auto match = holderLine().match(trimmed.toString());
            if (match.hasMatch())
                result.holders.append({match.captured(1).toLongLong(),
                                       match.captured(2),
                                       match.captured(4),
                                       match.captured(3),
                                       match.captured(5),
                                       {}});
            else if (!result.holders.isEmpty())
                result.holders.last().details << trimmed.toString();
        }
    }
    return result;
}

std::optional<PowerAssertions> PowerAssertions::read() {
    return read(Platform::system());
}

std::optional<PowerAssertions> PowerAssertions::read(const Platform &platform) {
    try {
        const ToolResult result = platform.runner->run(
            platform.tools.pmset, {QStringLiteral("-g"), QStringLiteral("assertions")});
        if (result.exitStatus != 0)
            return std::nullopt;
        return parse(QString::fromUtf8(result.standardOutput));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace norvane
