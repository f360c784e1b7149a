#pragma once
// Addresses of catalog entries. An entity ID is the editor's own address (type, bank,
// sub-bank, number); a program ID is the device's (bank select MSB, LSB, program number).
// -1 in a field marks an invalid ID, -2 is a wildcard that bank matching accepts.

#include <compare>
#include <cstdint>

namespace TavEntityType {
inline constexpr int32_t Patch = 0;
inline constexpr int32_t RhythmSet = 1;
inline constexpr int32_t Wave = 2;
inline constexpr int32_t Sample = 3;
inline constexpr int32_t MultiEffect = 4;
} // namespace TavEntityType

inline constexpr int32_t TavInvalidField = -1;
inline constexpr int32_t TavWildcard = -2;

struct CTavEntityId {
    int32_t type = TavInvalidField;
    int32_t bank = TavInvalidField;
    int32_t subBank = TavInvalidField;
    int32_t number = TavInvalidField;

    bool IsValid() const { return type >= 0 && bank >= 0 && subBank >= 0 && number >= 0; }
    static CTavEntityId Invalid() { return {}; }
    auto operator<=>(const CTavEntityId&) const = default;
};

struct CTavProgramId {
    int32_t msb = TavInvalidField;
    int32_t lsb = TavInvalidField;
    int32_t program = TavInvalidField;

    bool IsValid() const { return msb >= 0 && lsb >= 0 && program >= 0; }
    static CTavProgramId Invalid() { return {}; }
    auto operator<=>(const CTavProgramId&) const = default;
};
