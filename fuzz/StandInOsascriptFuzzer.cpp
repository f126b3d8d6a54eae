// The stand-in osascript's reading of `do shell script "…" with administrator privileges`: it
// takes exactly the scripts the configuration backend writes, and reads back every command.
#include "Configuration/NativeConfigurationBackend.h"
#include "FuzzSupport.h"

#define main standInOsascriptMain
#include "OsascriptMain.cpp" // NOLINT: the stand-in's own code, its main() renamed
#undef main

using namespace norvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::utf8(data, size);
    // Any command survives quoting and reading.
    FUZZ_CHECK(shellCommand(NativeConfigurationBackend::authorizationScript(text)) == text);
    // A source that reads is the quoted form of what it reads as: the quoting is the only one.
    if (const auto command = shellCommand(text))
        FUZZ_CHECK(NativeConfigurationBackend::authorizationScript(*command) == text);
    return 0;
}
