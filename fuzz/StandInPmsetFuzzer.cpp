// The stand-in pmset's argument reader, run in process on a simulated Mac in a temporary folder:
// after any write it accepts, its state holds only values it can print, and `pmset -g custom`
// prints every setting of every source on one line of its own section, reading back the same.
// The machine model is chosen by the input too, as it decides how Low Power Mode is printed.
#include "Configuration/MacConfiguration.h"
#include "FuzzSupport.h"

#include <QTemporaryDir>
#include <cstdio>

#define main standInPmsetMain
#include "PmsetMain.cpp" // NOLINT: the stand-in's own code, its main() renamed
#undef main

using namespace norvane;
using namespace norvane::sim;

namespace {

// Runs the stand-in with `arguments` as its main() does (a failure is exit status 1); returns the
// status and the standard output. Standard error is dropped.
std::pair<int, QString> runPmset(const QString &home, const QStringList &arguments) {
    char *output = nullptr;
    size_t outputSize = 0;
    FILE *outputStream = open_memstream(&output, &outputSize);
    FILE *const savedOutput = stdout;
    FILE *const savedError = stderr;
    FILE *const discarded = std::fopen("/dev/null", "w");
    stdout = outputStream;
    stderr = discarded;
    int status = 1;
    try {
        status = Pmset(home, SimulatorState::load(home)).run(arguments);
    } catch (const std::exception &) {
    }
    stdout = savedOutput;
    stderr = savedError;
    std::fclose(discarded);
    std::fclose(outputStream);
    const QString text = QString::fromUtf8(output, qsizetype(outputSize));
    std::free(output);
    return {status, text};
}

void checkCustomReadsBack(const QString &home) {
    const SimulatorState state = SimulatorState::load(home);
    const auto [status, custom] = runPmset(home, {QStringLiteral("-g"), QStringLiteral("custom")});
    FUZZ_CHECK(status == 0);

    // Every section and every setting line, in order, and nothing else.
    QStringList lines = custom.split(u'\n');
    FUZZ_CHECK(lines.takeLast().isEmpty());
    qsizetype line = 0;
    QList<PowerSourceConfiguration> expected;
    for (const Source source : state.presentSources()) {
        FUZZ_CHECK(lines.value(line++) == powerName(source) + u':');
        for (auto [name, value] : state.settings(source)->entries) {
            FUZZ_CHECK(printsFaithfully(name) && printsFaithfully(value));
            // Low Power Mode goes by the model's name for it, and a desktop has none.
            if (name == QLatin1String("lowpowermode")) {
                const auto key = state.lowPowerKey();
                if (!key)
                    continue;
                name = *key;
            }
            const QString printed = lines.value(line++);
            FUZZ_CHECK(printed.startsWith(u' ' + name) && printed.endsWith(u' ' + value));
            FUZZ_CHECK(printed.mid(1 + name.size()).trimmed() == value);
        }
        const auto display = state.settings(source)->number(QStringLiteral("displaysleep"));
        const auto sleep = state.settings(source)->number(QStringLiteral("sleep"));
        FUZZ_CHECK(display && sleep);
        expected << PowerSourceConfiguration{flag(source), *display, *sleep};
    }
    FUZZ_CHECK(line == lines.size());
    // And the configuration engine reads the same numbers.
    FUZZ_CHECK(MacConfiguration::parsePowerSources(custom) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir home;
    static const bool authorized = qputenv(authorizedVariable, "1");
    FUZZ_CHECK(authorized);

    fuzz::Input input(data, size);
    SimulatorState state;
    switch (input.byte() % 3) {
    case 0:
        state = SimulatorState::laptop();
        break;
    case 1:
        state = SimulatorState::desktop();
        break;
    default:
        state = SimulatorState::laptop();
        state.ups = SimulatorState::factorySettings(Source::ups);
        break;
    }
    const uint8_t model = input.byte();
    state.model = model % 3 == 0   ? MachineModel::appleSiliconLaptop
                  : model % 3 == 1 ? MachineModel::intelLaptop
                                   : MachineModel::desktop;
    state.save(home.path());

    QStringList arguments;
    while (!input.atEnd() && arguments.size() < 12)
        arguments << input.text();
    const auto [status, output] = runPmset(home.path(), arguments);
    if (status == 0 && arguments.value(0) != QLatin1String("-g"))
        checkCustomReadsBack(home.path());
    return 0;
}
