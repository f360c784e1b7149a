#pragma once
// The catalog's bank layout: the fixed banks made at device-layer start (effect types,
// internal waves, user and card samples, samples seen as patches) and the patch and
// rhythm-set banks of the user and card areas, which follow the device's number
// information. Also the per-area lists of bank counts.

#include <cstdint>
#include <string>
#include <vector>

#include "entity/CTavEntityManager.h"

namespace TavEntityArea {
inline constexpr int32_t User = 0;
inline constexpr int32_t Card = 1;
// The bank numbers of the samples seen as patches.
inline constexpr int32_t UserSamplePatch = 3;
inline constexpr int32_t CardSamplePatch = 4;
// The bank number of the internal waves and of the effect types.
inline constexpr int32_t Internal = 2;
} // namespace TavEntityArea

// Bank select values of the catalog's areas.
namespace TavBankSelect {
inline constexpr int32_t PatchMsb = 81;
inline constexpr int32_t RhythmSetMsb = 82;
inline constexpr int32_t SampleMsb = 83;
inline constexpr int32_t WaveMsb = 84;
inline constexpr int32_t UserSamplePatchMsb = 64;
inline constexpr int32_t CardSamplePatchMsb = 65;
inline constexpr int32_t CardLsbBase = 32;
} // namespace TavBankSelect

namespace TavEntityCategory {
inline constexpr int32_t RhythmSet = 39;
inline constexpr int32_t SamplePatch = 36;
} // namespace TavEntityCategory

inline constexpr int32_t kTavEffectTypeCount = 48;
inline constexpr int32_t kTavWaveCount = 623;
inline constexpr int32_t kTavUserSampleCount = 2001;
inline constexpr int32_t kTavCardSampleCount = 7001;
// A bank count above this is taken for a fault: 128 bank select LSBs of 128 programs.
inline constexpr int32_t kTavMaxBankCount = 128 * 128;
// How many banks an area may have: one per bank select LSB of the area (user 0-31, card
// 32-127).
inline int32_t TavMaxBanks(int32_t area) {
    return area == 0 ? 32 : 96;
}

struct CTavEffectType {
    const char* name;
    int32_t category;
};
// The 48 multi-effect types by index, with their categories.
const CTavEffectType* TavEffectTypes();

// Creates the six fixed banks and their first entries: the effect types, "Off" and then
// the wave names (as many as fit), and "Off" at entry 0 of both sample banks. False when a
// bank could not be added (the manager held one with the same first entity ID).
bool TavCreateFixedBanks(CTavEntityManager& manager, const std::vector<std::string>& waveNames);

// The category of an entry without a name: 0 for patches, 39 for rhythm sets.
inline int32_t TavEmptyCategory(int32_t type) {
    return type == TavEntityType::RhythmSet ? TavEntityCategory::RhythmSet : 0;
}

// The bank of a user or card area with the given sub-bank: entity (type, area, sub, 0),
// program (81 or 82, sub or sub + 32, 0). Creates it with the count (replacing one that
// exists) and pads it with empty names up to its count. False for a type other than patch
// or rhythm set, an area other than user or card, or a count out of range.
bool TavAddNameBank(CTavEntityManager& manager, int32_t type, int32_t area, int32_t subBank, int32_t count);
// The program ID of a user or card bank's first entry.
CTavProgramId TavNameBankProgramId(int32_t type, int32_t area, int32_t subBank);
// Pads a bank up to its count with empty names of the type's empty category.
void TavPadBank(CTavEntityManager::IInserter& inserter, int32_t type);

// The bank counts of the user and card areas, one list per type and area, as the device's
// number information gave them.
struct CTavBankCounts {
    std::vector<int32_t> lists[2][2]; // [type: patch, rhythm set][area: user, card]

    std::vector<int32_t>& List(int32_t type, int32_t area) { return lists[type != 0][area != 0]; }
    const std::vector<int32_t>& List(int32_t type, int32_t area) const { return lists[type != 0][area != 0]; }
    int64_t Sum(int32_t type, int32_t area) const;
    // Progress steps of an area's names: one per 64 patch names plus one per 64 rhythm-set
    // names.
    int32_t NameSteps(int32_t area, bool patches, bool rhythmSets) const;
};
