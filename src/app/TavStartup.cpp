#include "app/TavStartup.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "files/TavReadFile.h"

namespace {

// Writes whatever reaches the message box output to standard error.
class CTavTextOutStdErr : public CTavTextOut {
public:
    void Report(int code) override {
        const std::string_view text = TavStrings::Text(TavStrings::MessageStringId(code));
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }

protected:
    void Output(const std::string& text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
};

} // namespace

std::string TavResolveScriptFolder(std::string_view programFolder, std::string_view commandLineFolder,
                                   std::string_view environmentFolder) {
    std::string folder;
    if (!commandLineFolder.empty())
        folder = commandLineFolder;
    else if (!environmentFolder.empty())
        folder = environmentFolder;
    else
        folder = std::string(programFolder) + std::string(CTavSystem::kScriptFolderName);
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TavProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string TavResolveCommandLineFile(const std::string& fileName) {
    if (fileName.empty())
        return fileName;
    std::error_code error;
    const std::filesystem::path given(fileName);
    if (std::filesystem::is_symlink(given, error)) {
        // A broken link stays as given; opening it then reports that it cannot be read.
        std::filesystem::path target = std::filesystem::canonical(given, error);
        if (!error)
            return target.string();
    }
    const std::filesystem::path absolute = std::filesystem::absolute(given, error);
    return error ? fileName : absolute.lexically_normal().string();
}

CTavTextOut* TavNewStdErrOutput() {
    return new CTavTextOutStdErr;
}

void TavInstallHeadlessOutputs(CTavSystem& system) {
    system.SetTextOut(CTavSystem::kMessageBoxOutput, TavNewStdErrOutput());
    system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
    system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
    system.AttachErrorOutputToManagers();
}

std::string TavReadScriptText(const CTavSystem& system, std::string* why) {
    std::string text;
    if (TavReadWholeFile(system.ScriptPath(), kTavMaxScriptFileSize, text, why) != TavFileRead::kRead)
        text.clear();
    return text;
}

bool TavLoadScriptAndCreateManagers(CTavSystem& system, std::string& failureText, CTavSystem::Views views) {
    std::string why;
    std::string script;
    const TavFileRead read = TavReadWholeFile(system.ScriptPath(), kTavMaxScriptFileSize, script, &why);
    if (read != TavFileRead::kRead) {
        // Something in the script's place (a folder, a FIFO) is named before the usual line.
        failureText = (read == TavFileRead::kRefused ? why + "\n" : std::string()) + "Unable to open script.\n";
        return false;
    }
    if (!system.ReadScript(script)) {
        failureText = system.ErrorText() + "Unable to read script.\n";
        return false;
    }
    if (!system.CreateManagers(views)) {
        failureText = system.ErrorText() + "Unable to create.\n";
        return false;
    }
    system.LoadWindowPositions(true);
    return true;
}
