#pragma once
// The sample work of the command-line tool, on a started device layer: the sample list,
// one sample command on one sample, and a sample's reduced waveform. Each answers false
// with the reason in why (the pending message code is left for the caller to show).

#include <cstdint>
#include <string>
#include <vector>

namespace Brio {

class CTavBufferAccessor;

// The user and card samples as lines "User|Card TAB number TAB kind TAB size TAB name",
// kind mono, stereo-left or stereo-right, after reading the sample names.
bool TavSampleListText(CTavBufferAccessor& accessor, std::string& out, std::string& why);

// Runs a sample command (truncate, normalize, emphasis, amp [PERCENT], time-stretch RATIO,
// chop, chop-level N, chop-beat N, chop-divide N, unload) on sample number of group (2
// user, 3 card): the sample's information is read, it is shown, selected on the device
// and given to the command. overwrite replaces the sample instead of writing a new one.
bool TavRunSampleCommand(CTavBufferAccessor& accessor, int32_t group, int32_t number, const std::string& command,
                         const std::vector<std::string>& arguments, bool overwrite, std::string& why);

// The whole sample in count points (min and max of each), as lines "FRAME TAB MIN TAB MAX".
bool TavSampleWaveText(CTavBufferAccessor& accessor, int32_t group, int32_t number, int32_t count,
                       std::string& out, std::string& why);

// "user", "card", 2 or 3 as a sample group; -1 for anything else.
int32_t TavParseSampleGroup(const std::string& text);

} // namespace Brio
