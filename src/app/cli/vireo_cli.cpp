// vireo-cli: the headless companion of the editor. It runs on the same core without any
// window: it reads the editor script, builds the managers and reports what went wrong.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CTavSystem.h"
#include "app/TavStartup.h"
#include "app/cli/CliOptions.h"

namespace {

constexpr const char* kUsage =
    "Usage: vireo-cli [--script-dir DIR] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  check    read the editor script and build the managers as the editor does at\n"
    "           start-up; print the start-up error text and exit 1 when that fails\n"
    "\n"
    "Options:\n"
    "  --script-dir DIR  read VireoEditorScript.xml from DIR (default: $VIREO_SCRIPT_DIR,\n"
    "                    else the Script folder beside the program)\n"
    "  --help            show this text\n";

int Usage(const std::string& error) {
    std::fprintf(stderr, "vireo-cli: %s\n\n%s", error.c_str(), kUsage);
    return 2;
}

// Loads the script into the system as the editor's start-up does; on failure writes the
// start-up error text to standard error.
bool StartUp(CTavSystem& system, const CliOptions& options) {
    const char* environment = std::getenv("VIREO_SCRIPT_DIR");
    system.SetScriptFolder(
        TavResolveScriptFolder(TavProgramFolder(), options.scriptDir, environment ? environment : ""));
    TavInstallHeadlessOutputs(system);
    std::string failure;
    if (TavLoadScriptAndCreateManagers(system, failure))
        return true;
    std::fputs(failure.c_str(), stderr);
    return false;
}

int Check(CTavSystem& system, const CliOptions& options) {
    if (!options.arguments.empty())
        return Usage("check takes no arguments");
    return StartUp(system, options) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error))
        return Usage(error);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.command.empty())
        return Usage("no command given");

    CTavSystem& system = CTavSystem::Instance();
    int status = 2;
    if (options.command == "check")
        status = Check(system, options);
    else
        return Usage("unknown command " + options.command);
    system.Shutdown();
    return status;
}
