#include "model/TavValueTypes.h"
#include <iterator>

namespace {

struct TypeInfo {
    std::string_view text;
    int size;
    int32_t signedOffset;
    int bitsPerByte;
};

constexpr TypeInfo kTypes[] = {
    {"int1x7", 1, 64, 7},    {"int2x7", 2, 0, 7},     {"int3x7", 3, 0, 7},      {"int5x7", 5, 0, 7},
    {"int2x4", 2, 128, 4},   {"int3x4", 3, 2048, 4},  {"int4x4", 4, 32768, 4}, {"string", 0, 0, 0},
};

const TypeInfo* Info(int type) {
    return (type >= 0 && type < static_cast<int>(std::size(kTypes))) ? &kTypes[type] : nullptr;
}

} // namespace

std::optional<int> TavValueTypeFromText(std::string_view text) {
    if (text.empty())
        return kTavInt1x7;
    for (int type = 0; type < static_cast<int>(std::size(kTypes)); ++type)
        if (kTypes[type].text == text)
            return type;
    return std::nullopt;
}

std::string_view TavValueTypeText(int type) {
    const TypeInfo* info = Info(type);
    return info ? info->text : std::string_view();
}

int TavValueTypeSize(int type) {
    const TypeInfo* info = Info(type);
    return info ? info->size : 0;
}

int32_t TavSignedOffset(int type) {
    const TypeInfo* info = Info(type);
    return info ? info->signedOffset : 0;
}

TavValueKind TavValueKindOf(int type) {
    if (type == kTavString)
        return kTavKindString;
    if (type == kTavDerived)
        return kTavKindDerived;
    return kTavKindInteger;
}

uint8_t TavValueTypeByteMaximum(int type) {
    const TypeInfo* info = Info(type);
    return info && info->bitsPerByte == 4 ? 0x0F : 0x7F;
}

void TavEncodeValue(int type, int32_t raw, uint8_t* bytes) {
    if (type == kTavInt1x7) {
        bytes[0] = static_cast<uint8_t>(raw & 0xFF);
        return;
    }
    const TypeInfo* info = Info(type);
    if (!info || info->bitsPerByte == 0)
        return;
    const int32_t mask = (1 << info->bitsPerByte) - 1;
    for (int i = 0; i < info->size; ++i) {
        const int shift = (info->size - 1 - i) * info->bitsPerByte;
        bytes[i] = static_cast<uint8_t>((raw >> shift) & mask);
    }
}

int32_t TavDecodeValue(int type, const uint8_t* bytes) {
    const TypeInfo* info = Info(type);
    if (!info || info->bitsPerByte == 0)
        return 0;
    // Unsigned arithmetic: five 7-bit bytes overflow 32 bits, and the bytes are combined
    // unmasked, as the device stores them.
    uint32_t result = 0;
    for (int i = 0; i < info->size; ++i)
        result = (result << info->bitsPerByte) + bytes[i];
    return static_cast<int32_t>(result);
}
