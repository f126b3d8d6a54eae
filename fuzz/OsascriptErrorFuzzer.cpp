// The reading of osascript's error output: linear in the length of the text, and on short texts
// the same as the reference reading of the rule, a regular expression that takes quadratic time.
#include "Configuration/NativeConfigurationBackend.h"
#include "FuzzSupport.h"

#include <QRegularExpression>

using namespace norvane;

namespace {

AppleScriptError referenceReading(const QString &errorOutput) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?:\d+:\d+:\s*)?(?:execution error:\s*)?(.*?)\s*\((-?\d+)\)$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QString text = errorOutput.trimmed();
    const auto match = pattern.match(text);
    AppleScriptError error;
    if (match.hasMatch()) {
        bool ok = false;
        const int number = match.captured(2).toInt(&ok);
        if (ok)
            error.number = number;
        if (!match.captured(1).isEmpty())
            error.message = match.captured(1);
    } else if (!text.isEmpty()) {
        error.message = text;
    }
    return error;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::utf8(data, size);
    const AppleScriptError error = AppleScriptError::parse(text);
    if (error.message)
        FUZZ_CHECK(!error.message->isEmpty() && text.contains(*error.message));
    // Only short texts: the reference takes time in the square of the length.
    if (text.size() <= 512) {
        const AppleScriptError expected = referenceReading(text);
        if (error.number != expected.number || error.message != expected.message)
            std::fprintf(stderr, "read %d «%s», expected %d «%s»\n", error.number.value_or(-1),
                         qPrintable(error.message.value_or("-")), expected.number.value_or(-1),
                         qPrintable(expected.message.value_or("-")));
        FUZZ_CHECK(error.number == expected.number);
        FUZZ_CHECK(error.message == expected.message);
    }
    return 0;
}
