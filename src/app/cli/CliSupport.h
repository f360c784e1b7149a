#pragma once
// Helpers shared by the vireo-cli commands.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "midi/CTavLongMessage.h"

class CTavSystem;
class CTavDataFile;
namespace Brio {
class CTavBufferAccessor;
class CTavReader;
class CTavWriter;
} // namespace Brio

// Writes the message and a line break to standard error; answers 1.
int CliError(const std::string& message);
// Writes the text of the message code the data file reported; answers 1.
int CliFileError(CTavSystem& system);
// The same after a failed save, with the reason the data file knows as a second line.
int CliSaveError(CTavSystem& system, const CTavDataFile& file);
// A whole decimal number that fits 32 bits.
std::optional<int32_t> CliParseDecimal(const std::string& text);
// Hexadecimal bytes of one or two digits separated by blanks ("F0 41 10 F7").
bool CliParseHexMessage(const std::string& text, TavBytes& bytes);
// Upper-case hexadecimal bytes separated by blanks.
std::string CliHex(const TavBytes& bytes);

// The arguments every file command shares: the input file, "-o OUT" and
// "--device-id N"; everything else is handed back in order.
struct CliFileArguments {
    std::string input;
    std::string output;
    std::optional<int32_t> deviceId;
    bool sysex = false;

    bool Parse(const std::vector<std::string>& arguments, std::vector<std::string>& rest);
    const std::string& OutputPath() const { return output.empty() ? input : output; }
    // Sets the device ID of every MIDI input and output; false (with a message) when it is
    // not 16 to 31.
    bool ApplyDeviceId(CTavSystem& system) const;
};

// Starts the device layer without ports, so the commands that change the model run the
// editor's handler chain: the part context, the control-change synchroniser, the effect
// swapper, the tone synchroniser and the clippers. Offline (nothing read or sent) unless
// a reader and writer are given (an SMF import sends through the output). The user banks
// as CliFillUserBanks gives them; a part whose program they do not know keeps it (what a
// file holds is saved again as it was, not with the first user patch in its place); the
// part context shows what each part plays. False, with a message, when it cannot start.
bool CliStartDeviceLayer(CTavSystem& system, Brio::CTavBufferAccessor& accessor,
                         std::unique_ptr<Brio::CTavReader> reader = nullptr,
                         std::unique_ptr<Brio::CTavWriter> writer = nullptr);
// Loads a data file through the started layer, whose handlers see it loaded; the part
// context then shows what each part plays, and nothing is left pending. False, with the
// file's message code pending, when it does not load.
bool CliLoadDataFile(CTavSystem& system, Brio::CTavBufferAccessor& accessor, const std::string& path);

// Shuts a device layer down however a command ends.
class CliLayerGuard {
public:
    explicit CliLayerGuard(Brio::CTavBufferAccessor& accessor) : m_accessor(accessor) {}
    ~CliLayerGuard();
    CliLayerGuard(const CliLayerGuard&) = delete;
    CliLayerGuard& operator=(const CliLayerGuard&) = delete;

private:
    Brio::CTavBufferAccessor& m_accessor;
};
