#pragma once
// "UserName.txt" in the script folder: the names of the user and card patches and rhythm
// sets, so the editor starts with names without asking the device. A quoted header line,
// a blank line, then one line per entry: label, quoted name, MSB, LSB, program, category.
// The file is outside input: only a regular file of at most kMaxFileSize bytes is read
// (a folder, FIFO or endless device in its place counts as no file), lines longer than
// kMaxLineLength and lines after kMaxLines are not used, a line whose name holds a byte a
// device name cannot hold is refused with its line number, and names are cut to the 12
// characters of a device name. It is saved through a temporary file, so a failed write
// keeps the previous file whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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
    // Every program ID of both kinds, 2 x 128 x 128 lines of at most about 60 characters,
    // fits with room to spare.
    static constexpr size_t kMaxFileSize = 4u << 20;
    static constexpr size_t kMaxLineLength = 256;
    static constexpr size_t kMaxLines = 70000;
    // Lines refused for their characters are named on the error output up to this many.
    static constexpr size_t kMaxReportedLines = 8;

    // Doubles every double quote; encloses the result in quotes when it holds a blank, tab,
    // CR or LF, or when forced.
    static std::string Quote(const std::string& text, bool force);
    // One entry line; false when the line is not a valid entry. A name holding a byte
    // outside printable ASCII sets badName (the line is not valid either).
    static bool ParseLine(std::string_view line, CTavUserNameEntry& entry, bool* badName = nullptr);

    // Every entry of the user and card patch banks, then rhythm-set banks, in bank order.
    // False when an entry has no program ID.
    static bool Write(const CTavEntityManager& manager, std::string& text);
    // False when the header is missing or wrong; otherwise the valid lines' entries. Lines
    // refused for their characters are named on errors (when given) by line number.
    static bool Read(std::string_view text, std::vector<CTavUserNameEntry>& entries, CTavTextOut* errors = nullptr);

    // Failures write one line naming the path and the reason to errors (a missing file to
    // load is none).
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
