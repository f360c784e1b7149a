#pragma once
// The general buffer handlers configured with the device's data: the effect swapper with
// the script's value path tables and the fade-range clipper with every velocity range.

#include <memory>

#include "model/CTavEffectSwapper.h"
#include "model/CTavFadeRangeClipper.h"

class CTavBufferManager;
class CTavResourceManager;

namespace Brio {

struct CTavBoundTable;

// At most this many type raw values get a saved block (the device has 48 multi-effect
// types); a type range wider than that in the script leaves the rest without one.
inline constexpr int32_t kTavMaxEffectTypes = 128;

// Multi-effects 1 and 2 swap the values "mfxValuePathTable" names, the reverb those of
// "reverbValuePathTable", each path relative to its effect struct. Every type starts with
// the struct's current contents. An effect whose type value, struct or table is missing,
// or whose table names none of its values, is not registered.
std::unique_ptr<CTavEffectSwapper> TavMakeEffectSwapper(CTavBufferManager& buffers,
                                                        const CTavBoundTable& bound,
                                                        const CTavResourceManager& resources);

// Every patch tone's and every rhythm key layer's velocity range, in index order; pairs with
// a missing bound are left out.
std::unique_ptr<CTavFadeRangeClipper> TavMakeFadeRangeClipper(CTavBufferManager& buffers,
                                                              const CTavBoundTable& bound);

} // namespace Brio
