#pragma once
// Value types and their byte encodings in the device's memory image.

#include <cstdint>
#include <optional>
#include <string_view>

enum TavValueType : int {
    kTavInt1x7 = 0,
    kTavInt2x7 = 1,
    kTavInt3x7 = 2,
    kTavInt5x7 = 3,
    kTavInt2x4 = 4,
    kTavInt3x4 = 5,
    kTavInt4x4 = 6,
    kTavString = 7,
    kTavDerived = 8, // values computed by the MIDI side; no script type names it
};

// Value kinds: integers, texts, and derived (list) values.
enum TavValueKind : int { kTavKindInteger = 0, kTavKindString = 1, kTavKindDerived = 2 };

// The type code of a script type text ("" is int1x7); none when unknown.
std::optional<int> TavValueTypeFromText(std::string_view text);
// The script text of a type code ("int1x7" ... "string"); empty for others.
std::string_view TavValueTypeText(int type);
// Bytes of an integer type (1 to 5); 0 for the string and derived types.
int TavValueTypeSize(int type);
// The offset a signed ('S') number gets for this type: 64, 128, 2048, 32768 or 0.
int32_t TavSignedOffset(int type);
TavValueKind TavValueKindOf(int type);
// The largest byte the type's encoding puts into memory: 0F for the nibble types, 7F for
// the others (texts included, as they travel in data sets).
uint8_t TavValueTypeByteMaximum(int type);

// Writes raw into size bytes in the encoding of the type (integer types only).
void TavEncodeValue(int type, int32_t raw, uint8_t* bytes);
// Combines the bytes of an integer type, most significant first, without masking.
// 0 for the string and derived types.
int32_t TavDecodeValue(int type, const uint8_t* bytes);
