#include "app/cli/CliSmfTransfer.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/TavClock.h"
#include "app/cli/CliEditCommands.h"
#include "app/cli/CliPortCommands.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"

namespace {

constexpr const char* kExportUsage = "export-smf takes FILE.vro OUT.mid [--with-patches] [--device-id N]";
constexpr const char* kImportUsage =
    "import-smf takes IN.mid FILE.vro [-o OUT.vro] [--in NAME --out NAME] [--device-id N]";

// Shuts the device layer down however the command ends.
struct LayerGuard {
    Brio::CTavBufferAccessor& accessor;
    ~LayerGuard() { accessor.Shutdown(); }
};

// Puts the lines the device layer wrote to the error output since mark on standard error,
// after the message box's text: they say why.
void PrintErrorsSince(const CTavSystem& system, size_t mark) {
    const std::string text = system.ErrorText();
    if (mark < text.size())
        std::fputs(text.c_str() + mark, stderr);
}

bool LoadDataFile(CTavSystem& system, const std::string& path) {
    CTavDataFile file(system.BufferManager(), system.BufferOutput());
    if (!file.Load(path))
        return false;
    system.BufferManager().ClearPending();
    return true;
}

} // namespace

int CliExportSmf(CTavSystem& system, const std::vector<std::string>& arguments) {
    bool withPatches = false;
    std::vector<std::string> filtered;
    for (const std::string& argument : arguments)
        if (argument == "--with-patches")
            withPatches = true;
        else
            filtered.push_back(argument);
    CliFileArguments files;
    std::vector<std::string> rest;
    if (!files.Parse(filtered, rest) || !files.output.empty() || files.sysex || rest.size() != 1)
        return CliError(kExportUsage);
    if (!files.ApplyDeviceId(system))
        return 1;

    // No device to pace: the writer's pauses would only slow the export down.
    static CTavNoPauseClock clock;
    Brio::CTavBufferAccessor accessor;
    const LayerGuard guard{accessor};
    if (!accessor.Start(system, nullptr, std::make_unique<Brio::CTavWriter>(system.BufferManager(), clock), clock))
        return CliError(system.ErrorText() + "Unable to start the device layer.");
    CliFillUserBanks(system, accessor);
    if (!LoadDataFile(system, files.input))
        return CliFileError(system);
    const uint32_t mode = withPatches ? Brio::TavExportMode::PartInfoAndSets : Brio::TavExportMode::PartInfo;
    // A failure has been shown on standard error as the editor shows it; the reason follows.
    const size_t mark = system.ErrorText().size();
    if (accessor.ExportSmf(rest.front(), mode))
        return 0;
    PrintErrorsSince(system, mark);
    return 1;
}

int CliImportSmf(CTavSystem& system, const std::vector<std::string>& arguments) {
    CliFileArguments files;
    std::vector<std::string> rest;
    std::string in, out;
    std::vector<std::string> filtered;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if ((arguments[i] == "--in" || arguments[i] == "--out") && i + 1 < arguments.size()) {
            (arguments[i] == "--in" ? in : out) = arguments[i + 1];
            ++i;
        } else if (arguments[i] == "--in" || arguments[i] == "--out") {
            return CliError(kImportUsage);
        } else {
            filtered.push_back(arguments[i]);
        }
    }
    if (!files.Parse(filtered, rest) || rest.size() != 1 || in.empty() != out.empty() || files.sysex)
        return CliError(kImportUsage);
    const std::string smf = files.input;
    const std::string dataFile = rest.front();
    const std::string target = files.output.empty() ? dataFile : files.output;
    if (!files.ApplyDeviceId(system))
        return 1;
    if (!LoadDataFile(system, dataFile))
        return CliFileError(system);

    // The device layer's import shows its own failure ("This file could not be loaded."),
    // and its reason follows. Through ports the device has taken what came before a fault,
    // so the file takes it too and both agree; offline a failed import saves nothing.
    const bool toDevice = !in.empty();
    const auto import = [&](Brio::CTavBufferAccessor& accessor) {
        const size_t mark = system.ErrorText().size();
        const bool imported = accessor.ImportSmf(smf);
        if (!imported)
            PrintErrorsSince(system, mark);
        const size_t sent = accessor.Reader() ? accessor.Reader()->ImportedDataSets() : 0;
        if (!imported && (!toDevice || sent == 0))
            return 1;
        CTavDataFile file(system.BufferManager(), system.BufferOutput());
        if (!file.Save(target))
            return CliFileError(system);
        if (imported)
            return 0;
        return CliError(target + " holds the " + std::to_string(sent) + " data sets sent before the fault.");
    };
    if (toDevice)
        return CliWithDeviceLayer(system, in, out, std::nullopt, import);
    Brio::CTavBufferAccessor accessor;
    const LayerGuard guard{accessor};
    if (!CliStartDeviceLayer(system, accessor,
                             std::make_unique<Brio::CTavOfflineReader>(
                                 system.BufferManager(), accessor.Entities(), system.BufferOutput()),
                             std::make_unique<Brio::CTavWriter>(system.BufferManager())))
        return 1;
    return import(accessor);
}
