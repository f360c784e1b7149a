#pragma once
// The functions the device layer registers by name for script buttons and menu commands:
// Read, Sync, the selection menus for a part's patch or rhythm set and its rhythm key, and
// the sample commands. Also the helpers they share: part expressions and note names.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CTavBufferManager;
class CTavFunctionManager;
class CTavMenuItem;

namespace Brio {

class CTavBufferAccessor;

// Every name registered, in registration order.
inline constexpr std::array<const char*, 15> kTavDeviceFunctionNames = {
    "Read",        "Sync",       "SelectPatch",       "SelectPatchByCategory", "SelectRhythmKey",
    "SampleTruncate", "SampleEmphasis", "SampleNormalize", "SampleAmp",       "SampleTimeStretch",
    "SampleChop",  "SampleChopAutoLevel", "SampleChopAutoBeat", "SampleChopAutoDivide", "SampleUnload"};

// Registers every device function on the accessor, replacing earlier ones of those names.
void TavRegisterDeviceFunctions(CTavFunctionManager& functions, CTavBufferAccessor& accessor);
void TavUnregisterDeviceFunctions(CTavFunctionManager& functions);

// The part a function's arguments name: one item is a part index, two items a value path
// and an offset added to its value. Items are split at commas and trimmed of bytes below
// 0x21; empty items do not count. False for any other item count, a path that does not
// exist, a number that is not a whole decimal integer, or a result outside 0-15.
bool TavEvaluatePartExpression(const std::string& arguments, CTavBufferManager& buffers, int32_t& part);

// Three characters: letter, sign (blank, # or b) and octave ("B 3" for 59, "C#4", "Eb4").
std::string TavNoteName(int32_t note);

// The sixteen keys of the part's rhythm set as "key: tone name", leaves 0-15.
std::unique_ptr<CTavMenuItem> TavRhythmKeyMenu(CTavBufferManager& buffers, int32_t part);

} // namespace Brio
