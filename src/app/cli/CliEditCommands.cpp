#include "app/cli/CliEditCommands.h"

#include <filesystem>
#include <optional>

#include "app/CTavSystem.h"
#include "app/cli/CliSupport.h"
#include "device/CTavBufferAccessor.h"
#include "device/CTavEditCommands.h"
#include "entity/CTavUserNameFile.h"
#include "files/CTavDataFile.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace {

constexpr const char* kEditUsage =
    "edit takes a file, [--part N] [--rhythm-tone K], at least one command and [-o OUT]";
// Without a user names file the catalog holds one user bank of each kind.
constexpr int32_t kDefaultBankCount = 128;

// Writes a view-state value as a user would; false (with a message) out of its range.
bool WriteSetting(CTavBufferManager& buffers, CTavValue* value, int32_t raw, const char* what) {
    if (!value)
        return CliError(std::string("The script has no ") + what + ".") == 0;
    if (raw < value->Spec().minimum || raw > value->Spec().maximum)
        return CliError(std::string(what) + " out of range.") == 0;
    buffers.WriteInteger(*value, raw);
    buffers.PublishPending();
    buffers.ClearPending();
    return true;
}

} // namespace

void CliFillUserBanks(CTavSystem& system, Brio::CTavBufferAccessor& accessor) {
    const std::string path = system.ScriptFolder() + CTavUserNameFile::kFileName;
    std::vector<CTavUserNameEntry> entries;
    std::error_code error;
    if (std::filesystem::exists(path, error) && CTavUserNameFile::Load(path, entries, system.ErrorOutput())) {
        TavBanksFromUserNames(accessor.Entities(), entries, accessor.BankCounts());
        return;
    }
    for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet}) {
        TavAddNameBank(accessor.Entities(), type, TavEntityArea::User, 0, kDefaultBankCount);
        accessor.BankCounts().List(type, TavEntityArea::User) = {kDefaultBankCount};
    }
}

int CliEdit(CTavSystem& system, const std::vector<std::string>& arguments) {
    CliFileArguments files;
    std::vector<std::string> rest;
    if (!files.Parse(arguments, rest))
        return CliError(kEditUsage);
    std::optional<int32_t> part, rhythmTone;
    std::vector<int> codes;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--part" || rest[i] == "--rhythm-tone") {
            const std::optional<int32_t> number =
                i + 1 < rest.size() ? CliParseDecimal(rest[i + 1]) : std::nullopt;
            if (!number)
                return CliError(rest[i] + " takes a number");
            (rest[i] == "--part" ? part : rhythmTone) = number;
            ++i;
            continue;
        }
        const int code = Brio::CTavEditCommands::CodeOf(rest[i]);
        if (code < 0)
            return CliError("Unknown edit command: " + rest[i]);
        codes.push_back(code);
    }
    if (codes.empty())
        return CliError(kEditUsage);
    if (part && (*part < 1 || *part > Brio::kTavPartCount))
        return CliError("--part takes a part from 1 to 16");

    // Offline: no reader or writer, so nothing is read and nothing is sent.
    Brio::CTavBufferAccessor& accessor = Brio::CTavBufferAccessor::Instance();
    if (!accessor.Start(system, nullptr, nullptr))
        return CliError(system.ErrorText() + "Unable to start the device layer.");
    CliFillUserBanks(system, accessor);
    CTavBufferManager& buffers = system.BufferManager();
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Load(files.input))
        return CliFileError(system);
    buffers.ClearPending();
    const Brio::CTavBoundTable& bound = accessor.Bound();
    if (part && !WriteSetting(buffers, bound.partId, *part - 1, "--part"))
        return 1;
    if (!part)
        accessor.SetCurrentPart(accessor.CurrentPart());
    if (rhythmTone && !WriteSetting(buffers, bound.rhythmTone, *rhythmTone, "--rhythm-tone"))
        return 1;

    Brio::CTavEditCommands commands(accessor);
    for (int code : codes) {
        const std::string reason = commands.DisabledReason(code);
        if (!reason.empty())
            return CliError(reason);
        if (!commands.Run(code))
            return CliError(Brio::CTavEditCommands::Name(code) + " failed.");
    }
    if (!file.Save(files.OutputPath()))
        return CliFileError(system);
    return 0;
}
