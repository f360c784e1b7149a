#pragma once
// Helpers shared by the vireo-cli commands.

#include <optional>
#include <string>
#include <vector>

#include "midi/CTavLongMessage.h"

class CTavSystem;
class CTavDataFile;

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
