#pragma once
// What the wave, sample and effect selectors show, as pure functions: the wave group a
// group type and ID stand for, its catalog bank, and the texts of a wave or effect entry.

#include <cstdint>
#include <string>

#include "entity/CTavEntityId.h"

class CTavEntityManager;

namespace Brio {

// Where a tone takes its wave from: the internal waves, or the user or card samples.
enum class TavWaveGroup : int32_t { None = -1, Internal = 0, UserSample = 1, CardSample = 2 };

// Type 0 with ID 1 is the internal waves; type 3 with ID 2 the user samples and with ID 3
// the card samples; anything else is none.
TavWaveGroup TavWaveGroupOf(int32_t type, int32_t id);
// The group type and ID values that select a group; {-1, -1} for none.
struct CTavWaveGroupValues {
    int32_t type;
    int32_t id;
};
CTavWaveGroupValues TavWaveGroupValuesOf(TavWaveGroup group);
// "INTERNAL", "SAMP USER", "SAMP CARD", or "---" for none.
const char* TavWaveGroupText(TavWaveGroup group);
// The catalog bank of a group's entries with number -2 (every entry): the wave bank
// (2, 2, 0) or a sample bank (3, 0, 0) and (3, 1, 0); the invalid ID for none.
CTavEntityId TavWaveGroupBank(TavWaveGroup group);

// The name an entry without one shows.
inline constexpr const char* kTavNoEntryName = "------------";

// "%04d %s": a wave or sample number and its name, the dashes for an empty name.
std::string TavWaveIndexText(int32_t number, const std::string& name);
// The text for a number of a group: its name from the catalog, the dashes for none.
std::string TavWaveIndexText(const CTavEntityManager& catalog, TavWaveGroup group, int32_t number);

// "%02d %s": an effect type number and its name, the dashes for an empty name.
std::string TavMfxText(int32_t type, const std::string& name);
// The text for an effect type with its name from the catalog's effect bank.
std::string TavMfxText(const CTavEntityManager& catalog, int32_t type);
// The effect bank's entries, number -2 for every one.
inline constexpr CTavEntityId kTavMfxBank{TavEntityType::MultiEffect, 2, 0, TavWildcard};

} // namespace Brio
