#pragma once
// The records the device answers name and number requests with, and how they are filed
// into the catalog. Parsers take the data bytes of one data set and refuse anything of the
// wrong length or with bytes out of range; they never read beyond the size given.

#include <cstddef>
#include <cstdint>
#include <string>

#include "entity/CTavEntityManager.h"

inline constexpr size_t kTavNameRecordSize = 17;
inline constexpr size_t kTavSampleRecordSize = 28;
inline constexpr size_t kTavNameLength = 12;
inline constexpr size_t kTavSampleNameLength = 16;
// How the sample-patch bank lists the right half of a stereo pair.
inline constexpr const char* kTavStereoRightName = "----------------";

// Bank select MSB, LSB, program number, category, a byte not used, 12 name characters.
struct CTavNameRecord {
    CTavProgramId program;
    int32_t category = 0;
    std::string name;
};

// Bank LSB; sample number in four 4-bit bytes; kind; 16 name characters; size in five
// 7-bit bytes; flag.
struct CTavSampleRecord {
    int32_t lsb = 0;
    int32_t number = 0;
    int32_t kind = 0;
    std::string name;
    int64_t size = 0;
    int32_t flag = 0;
};

// The number information of one bank: 00, LSB, 00, then the entry count four bits per
// byte, most significant first.
struct CTavNumberRecord {
    int32_t lsb = 0;
    int32_t count = 0;
};

// True when every data byte is zero: the end of a list.
bool TavIsEndRecord(const uint8_t* data, size_t size);
bool TavParseNameRecord(const uint8_t* data, size_t size, CTavNameRecord& record);
bool TavParseSampleRecord(const uint8_t* data, size_t size, CTavSampleRecord& record);
// Counts above kTavMaxBankCount are refused.
bool TavParseNumberRecord(const uint8_t* data, size_t size, CTavNumberRecord& record);

// Files one name record into the current inserter: appended as a name and category when
// it parses, its program ID maps to an entity and the inserter has room. False when ignored.
bool TavFileNameRecord(const CTavEntityManager& manager, CTavEntityManager::IInserter& inserter,
                       const uint8_t* data, size_t size);
// Files one sample record into the sample bank of its LSB (user 0, card 32) at its number,
// and, as a patch of category 36, into the matching sample-patch bank at number - 1 (the
// right half of a stereo pair named "----------------"). False when it does not parse, its
// LSB is neither user nor card, or its number lies outside the sample bank.
bool TavFileSampleRecord(CTavEntityManager& manager, const uint8_t* data, size_t size);
