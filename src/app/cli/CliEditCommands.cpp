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
    // "--part" and "--rhythm-tone" hold for the commands after them, until the next one.
    struct Step {
        enum Kind { kPart, kRhythmTone, kCommand } kind;
        int32_t value; // the part (0-15), the key, or the command's code
    };
    std::vector<Step> steps;
    bool anyCommand = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--part" || rest[i] == "--rhythm-tone") {
            const bool isPart = rest[i] == "--part";
            const std::optional<int32_t> number =
                i + 1 < rest.size() ? CliParseDecimal(rest[i + 1]) : std::nullopt;
            if (!number)
                return CliError(rest[i] + " takes a number");
            if (isPart && (*number < 1 || *number > Brio::kTavPartCount))
                return CliError("--part takes a part from 1 to 16");
            steps.push_back({isPart ? Step::kPart : Step::kRhythmTone, isPart ? *number - 1 : *number});
            ++i;
            continue;
        }
        const int code = Brio::CTavEditCommands::CodeOf(rest[i]);
        if (code < 0)
            return CliError("Unknown edit command: " + rest[i]);
        steps.push_back({Step::kCommand, code});
        anyCommand = true;
    }
    if (!anyCommand)
        return CliError(kEditUsage);

    // Offline: no reader or writer, so nothing is read and nothing is sent.
    Brio::CTavBufferAccessor& accessor = Brio::CTavBufferAccessor::Instance();
    if (!CliStartDeviceLayer(system, accessor))
        return 1;
    if (!CliLoadDataFile(system, accessor, files.input))
        return CliFileError(system);
    CTavBufferManager& buffers = system.BufferManager();
    const Brio::CTavBoundTable& bound = accessor.Bound();
    Brio::CTavEditCommands commands(accessor);
    for (const Step& step : steps) {
        if (step.kind == Step::kPart && !WriteSetting(buffers, bound.partId, step.value, "--part"))
            return 1;
        if (step.kind == Step::kRhythmTone &&
            !WriteSetting(buffers, bound.rhythmTone, step.value, "--rhythm-tone"))
            return 1;
        if (step.kind != Step::kCommand)
            continue;
        const std::string reason = commands.DisabledReason(step.value);
        if (!reason.empty())
            return CliError(reason);
        if (!commands.Run(step.value))
            return CliError(Brio::CTavEditCommands::Name(step.value) + " failed.");
    }
    CTavDataFile file(buffers, system.BufferOutput());
    if (!file.Save(files.OutputPath()))
        return CliFileError(system);
    return 0;
}
