#pragma once
// The sample commands the device layer registers by name: Truncate, Emphasis, Normalize,
// Amp, Time Stretch, Chop, the three auto chops and Unload. Each sends one modify command
// (Emphasis, Normalize and Unload one per selected sample) with the progress bar open and
// brings the catalog and the sample edit window in line with what the device did.

#include <cstdint>
#include <string>
#include <vector>

class CTavFunctionManager;

namespace Brio {

class CTavBufferAccessor;

// Registers the ten sample functions under their names (the last ten of
// kTavDeviceFunctionNames), replacing earlier ones.
void TavRegisterSampleFunctions(CTavFunctionManager& functions, CTavBufferAccessor& accessor);

// The data of a modify command as the view state holds it: for "SampleAmp" 3 or 29 bytes,
// for "SampleTimeStretch" 5 and so on; empty for another name or a missing value.
std::vector<uint8_t> TavSampleCommandData(CTavBufferAccessor& accessor, const std::string& function);

} // namespace Brio
