#include "entity/CTavUserNameFile.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <map>
#include <tuple>

#include "app/CTavTextOut.h"
#include "entity/CTavEntityRecords.h"
#include "files/TavReadFile.h"
#include "files/TavSafeFile.h"

namespace {

constexpr size_t kLabelWidth = 13;

struct Pattern {
    CTavEntityId id;
    const char* label;
};
constexpr Pattern kPatterns[] = {
    {{TavEntityType::Patch, TavEntityArea::User, TavWildcard, TavWildcard}, "Patch"},
    {{TavEntityType::Patch, TavEntityArea::Card, TavWildcard, TavWildcard}, "Patch"},
    {{TavEntityType::RhythmSet, TavEntityArea::User, TavWildcard, TavWildcard}, "Rhythm"},
    {{TavEntityType::RhythmSet, TavEntityArea::Card, TavWildcard, TavWildcard}, "Rhythm"},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Takes the next line off the text (without its LF, and a CR before it); a longer line
// than limit is marked.
bool NextLine(std::string_view& text, std::string_view& line, bool& tooLong, size_t limit) {
    if (text.empty())
        return false;
    const size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    tooLong = line.size() > limit;
    return true;
}

// Names hold what a device name holds: printable ASCII.
bool IsNameCharacter(char c) {
    return c >= 0x20 && c <= 0x7E;
}

// The name field: optional blanks, a quoted text with doubled quotes, optional blanks;
// or a text without quotes, trimmed.
bool ParseName(std::string_view field, std::string& name) {
    const std::string_view text = Trim(field);
    name.clear();
    if (text.empty() || text[0] != '"') {
        if (text.find('"') != std::string_view::npos)
            return false;
        name = text;
        return true;
    }
    size_t i = 1;
    for (;;) {
        if (i >= text.size())
            return false; // no closing quote
        if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                name.push_back('"');
                i += 2;
                continue;
            }
            return i + 1 == text.size();
        }
        name.push_back(text[i++]);
    }
}

// A number as "%li" reads it (decimal, octal or hexadecimal, with sign), with nothing but
// blanks after it, within 0-127.
bool ParseNumber(std::string_view field, int32_t& value) {
    const std::string_view text = Trim(field);
    if (text.empty())
        return false;
    // strtol wants a terminated text; a short field is copied onto the stack.
    char small[32];
    std::string large;
    const char* begin = small;
    if (text.size() < sizeof small) {
        text.copy(small, text.size());
        small[text.size()] = '\0';
    } else {
        large.assign(text);
        begin = large.c_str();
    }
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(begin, &end, 0);
    if (errno != 0 || end != begin + text.size() || number < 0 || number > 127)
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

// Splits at commas outside double quotes; at most six fields are kept, which is one more
// than a valid line has.
size_t SplitFields(std::string_view text, std::string_view (&fields)[6]) {
    size_t count = 0;
    size_t start = 0;
    bool quoted = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"')
            quoted = !quoted;
        if (i == text.size() || (text[i] == ',' && !quoted)) {
            if (count == std::size(fields))
                return count + 1;
            fields[count++] = text.substr(start, i - start);
            start = i + 1;
        }
    }
    return count;
}

} // namespace

std::string CTavUserNameFile::Quote(const std::string& text, bool force) {
    std::string out;
    bool needs = force;
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            needs = true;
        out.push_back(c);
    }
    return needs ? "\"" + out + "\"" : out;
}

bool CTavUserNameFile::ParseLine(std::string_view line, CTavUserNameEntry& entry, bool* badName) {
    if (badName)
        *badName = false;
    if (line.size() <= kLabelWidth)
        return false;
    const std::string_view label = Trim(line.substr(0, kLabelWidth));
    if (label == "Patch")
        entry.type = TavEntityType::Patch;
    else if (label == "Rhythm")
        entry.type = TavEntityType::RhythmSet;
    else
        return false;
    std::string_view fields[6];
    if (SplitFields(line.substr(kLabelWidth), fields) != 5 || !ParseName(fields[0], entry.name))
        return false;
    if (!ParseNumber(fields[1], entry.program.msb) || !ParseNumber(fields[2], entry.program.lsb) ||
        !ParseNumber(fields[3], entry.program.program) || !ParseNumber(fields[4], entry.category))
        return false;
    for (char c : entry.name)
        if (!IsNameCharacter(c)) {
            if (badName)
                *badName = true;
            return false;
        }
    if (entry.name.size() > kTavNameLength)
        entry.name.resize(kTavNameLength);
    return true;
}

bool CTavUserNameFile::Write(const CTavEntityManager& manager, std::string& text) {
    text = Quote(kHeader, false) + "\n\n";
    char numbers[64];
    for (const Pattern& pattern : kPatterns) {
        for (auto entry = manager.Reference(pattern.id); entry->IsValid(); entry->Next()) {
            const CTavProgramId program = entry->ProgramId();
            if (!program.IsValid())
                return false;
            const IInformation& information = entry->Information();
            // "%-13s%-14s,%d,%d,%d,%d\n"; a name is cut to a device name's length, so that its
            // line always reads back.
            const size_t start = text.size();
            text += pattern.label;
            text.resize(start + kLabelWidth, ' ');
            text += Quote(information.Name().substr(0, kTavNameLength), true);
            if (text.size() < start + kLabelWidth + 14)
                text.resize(start + kLabelWidth + 14, ' ');
            // The numbers as ",%d,%d,%d,%d\n" gives them, without formatting a line per entry.
            char* end = numbers;
            for (const int32_t number : {program.msb, program.lsb, program.program, information.Category()}) {
                *end++ = ',';
                end = std::to_chars(end, numbers + sizeof numbers, number).ptr;
            }
            *end++ = '\n';
            text.append(numbers, end);
        }
    }
    return true;
}

bool CTavUserNameFile::Read(std::string_view text, std::vector<CTavUserNameEntry>& entries, CTavTextOut* errors) {
    entries.clear();
    std::string_view line;
    bool tooLong = false;
    if (!NextLine(text, line, tooLong, kMaxLineLength) || tooLong || line != Quote(kHeader, false))
        return false;
    size_t refused = 0;
    CTavUserNameEntry entry;
    for (size_t number = 2; number <= kMaxLines + 1 && NextLine(text, line, tooLong, kMaxLineLength); ++number) {
        if (tooLong)
            continue;
        bool badName = false;
        if (ParseLine(line, entry, &badName)) {
            entries.push_back(std::move(entry));
        } else if (badName && errors && ++refused <= kMaxReportedLines) {
            errors->Printf("Line %zu of %s is not used: its name holds a character a device name cannot hold.\n",
                           number, kFileName);
        }
    }
    if (errors && refused > kMaxReportedLines)
        errors->Printf("%zu more lines of %s are not used for the same reason.\n", refused - kMaxReportedLines,
                       kFileName);
    return true;
}

bool CTavUserNameFile::Save(const std::string& path, const CTavEntityManager& manager, CTavTextOut* errors) {
    std::string text;
    std::string why = "an entry has no program number";
    if (Write(manager, text) &&
        TavSaveFileSafely(path, reinterpret_cast<const uint8_t*>(text.data()), text.size(), &why))
        return true;
    if (errors)
        errors->Printf("Unable to write user names. : %s : %s\n", path.c_str(), why.c_str());
    return false;
}

bool CTavUserNameFile::Load(const std::string& path, std::vector<CTavUserNameEntry>& entries,
                            CTavTextOut* errors) {
    entries.clear();
    std::string text;
    std::string why;
    const TavFileRead result = TavReadWholeFile(path, kMaxFileSize, text, &why);
    if (result == TavFileRead::kRead && Read(text, entries, errors))
        return true;
    entries.clear();
    // No file is no fault: the names come from the device then.
    if (errors && result != TavFileRead::kMissing)
        errors->Printf("Unable to read user names. : %s\n",
                       result == TavFileRead::kRead ? (path + " : the first line is not the names file's header").c_str()
                                                    : why.c_str());
    return false;
}

void TavBanksFromUserNames(CTavEntityManager& manager, const std::vector<CTavUserNameEntry>& entries,
                           CTavBankCounts& counts) {
    // (type, area, sub-bank of the entry's LSB) -> program number -> entry
    using Key = std::tuple<int32_t, int32_t, int32_t>;
    std::map<Key, std::map<int32_t, const CTavUserNameEntry*>> lsbs;
    for (const CTavUserNameEntry& entry : entries) {
        const int32_t msb =
            entry.type == TavEntityType::RhythmSet ? TavBankSelect::RhythmSetMsb : TavBankSelect::PatchMsb;
        if (entry.program.msb != msb || !entry.program.IsValid())
            continue;
        const int32_t area =
            entry.program.lsb >= TavBankSelect::CardLsbBase ? TavEntityArea::Card : TavEntityArea::User;
        const int32_t subBank =
            entry.program.lsb - (area == TavEntityArea::Card ? TavBankSelect::CardLsbBase : 0);
        if (subBank >= TavMaxBanks(area))
            continue;
        lsbs[{entry.type, area, subBank}][entry.program.program] = &entry;
    }
    for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet})
        for (int32_t area : {TavEntityArea::User, TavEntityArea::Card}) {
            manager.RemoveBanks({type, area, 0, 0});
            counts.List(type, area).clear();
        }
    // A bank longer than 128 runs on into the next LSB, as its program IDs do: entries at
    // the LSB after one that holds program 127 continue that bank rather than start one.
    for (auto at = lsbs.begin(); at != lsbs.end();) {
        const auto [type, area, first] = at->first;
        std::vector<std::pair<int32_t, const CTavUserNameEntry*>> bank; // index in the bank, entry
        int32_t last = first;
        for (;;) {
            for (const auto& [program, entry] : at->second)
                bank.emplace_back((last - first) * 128 + program, entry);
            const bool full = at->second.rbegin()->first == 127;
            auto next = at;
            ++next;
            if (!full || next == lsbs.end() || next->first != Key{type, area, last + 1})
                break;
            at = next;
            ++last;
        }
        ++at;
        const int32_t count = bank.back().first + 1;
        if (!TavAddNameBank(manager, type, area, first, count))
            continue;
        std::vector<int32_t>& list = counts.List(type, area);
        if (list.size() <= static_cast<size_t>(first))
            list.resize(static_cast<size_t>(first) + 1, 0);
        list[static_cast<size_t>(first)] = count;
        for (const auto& [index, entry] : bank)
            manager.SetInformation({type, area, first, index},
                                   CCategoryInformation(entry->name, entry->category));
    }
}
