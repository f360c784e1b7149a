#pragma once
// "UserName.txt" in the script folder: the names of the user and card patches and rhythm
// sets, so the editor starts with names without asking the device. A quoted header line,
// a blank line, then one line per entry: label, quoted name, MSB, LSB, program, category.
// Reading is bounded: lines longer than kMaxLineLength and lines after kMaxLines are not
// used, and every line that does not parse is skipped.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "entity/CTavEntityBanks.h"

class CTavTextOut;

struct CTavUserNameEntry {
    int32_t type = 0; // patch or rhythm set, from the label
    CTavProgramId program;
    int32_t category = 0;
    std::string name;
};

class CTavUserNameFile {
public:
    static constexpr const char* kFileName = "UserName.txt";
    static constexpr const char* kHeader = "Vireo Contents Name File version 1,0,0,0";
    static constexpr size_t kMaxLineLength = 2048;
    // Longer names are cut when written, so a written line never exceeds kMaxLineLength.
    static constexpr size_t kMaxNameLength = 512;
    static constexpr size_t kMaxLines = 70000;

    // Doubles every double quote; encloses the result in quotes when it holds a blank, tab,
    // CR or LF, or when forced.
    static std::string Quote(const std::string& text, bool force);
    // One entry line; false when the line is not a valid entry.
    static bool ParseLine(const std::string& line, CTavUserNameEntry& entry);

    // Every entry of the user and card patch banks, then rhythm-set banks, in bank order.
    // False when an entry has no program ID or the stream fails.
    static bool Write(std::ostream& out, const CTavEntityManager& manager);
    // False when the header is missing or wrong; otherwise the valid lines' entries.
    static bool Read(std::istream& in, std::vector<CTavUserNameEntry>& entries);

    static bool Save(const std::string& path, const CTavEntityManager& manager, CTavTextOut* errors);
    static bool Load(const std::string& path, std::vector<CTavUserNameEntry>& entries, CTavTextOut* errors);
};

// Turns the entries read from the file into the user and card banks before the device's
// number information is known: each (type, area, LSB) seen starts a bank whose count
// covers the highest program number read, padded with empty names, except that entries at
// the LSB after one holding program 127 continue that bank (a bank of more than 128 runs
// on into the next LSB, as the device numbers it). The area lists of counts are updated
// to match. The areas' previous banks are removed first. Entries whose MSB does not
// belong to their label are skipped.
void TavBanksFromUserNames(CTavEntityManager& manager, const std::vector<CTavUserNameEntry>& entries,
                           CTavBankCounts& counts);
