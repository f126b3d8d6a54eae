// The reading of `pmset -g assertions`: what it reads, printed again in the Mac's layout, reads
// the same.
#include "FuzzSupport.h"
#include "Status/PowerAssertions.h"

using namespace norvane;

namespace {

QString printed(const PowerAssertions &assertions) {
    QString text = QStringLiteral("Assertion status system-wide:\n");
    for (const auto &[type, count] : assertions.systemWide)
        // One arg() call for both: a type holding "%0" must not take the count's place.
        text += QStringLiteral("   %1 %2\n").arg(type.leftJustified(30), QString::number(count));
    text += QStringLiteral("Listed by owning process:\n");
    for (const PowerAssertion &holder : assertions.holders) {
        text += QStringLiteral("   pid %1(%2): [0x00045477000194b3] ")
                    .arg(QString::number(holder.pid), holder.process);
        if (!holder.age.isEmpty())
            text += holder.age + u' ';
        text += QStringLiteral("%1 named: \"%2\"\n").arg(holder.type, holder.name);
        for (const QString &detail : holder.details)
            text += QStringLiteral("\t%1\n").arg(detail);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const PowerAssertions assertions = PowerAssertions::parse(fuzz::utf8(data, size));
    for (const PowerAssertion &holder : assertions.holders)
        FUZZ_CHECK(!holder.keepsDisplayOn() || holder.keepsMacAwake());
    FUZZ_CHECK(PowerAssertions::parse(printed(assertions)) == assertions);
    return 0;
}
