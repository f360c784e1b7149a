#pragma once
// Linear addresses: the script's hex byte lists ("00 20 10 00") combine 7 bits per byte,
// most significant first, into one integer. All arithmetic on addresses and sizes is done
// on this linear form.

#include <cstdint>
#include <string>
#include <string_view>

struct TavRange {
    int32_t begin = 0;
    int32_t end = 0; // exclusive
    int32_t Length() const { return end - begin; }
    bool Contains(const TavRange& other) const { return other.begin >= begin && other.end <= end; }
    bool Overlaps(const TavRange& other) const { return other.begin < end && begin < other.end; }
    bool operator==(const TavRange&) const = default;
};

// Parses a hex byte list: pairs of hex digits, bytes separated by blanks, a single digit
// before a blank or at the end being one byte. Never fails: any character other than a
// blank is taken as a hex digit.
int32_t TavParseHexBytes(std::string_view text);

// The linear address as count 7-bit bytes, most significant first, in upper-case hex
// separated by blanks ("10 00 20 0A").
std::string TavFormatAddress(int32_t address, int count = 4);
