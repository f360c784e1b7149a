#include "entity/CTavUserNameFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <tuple>

#include "app/CTavTextOut.h"

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

std::string Trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    const size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// Reads one line of at most limit characters; a longer line is consumed whole and marked.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong, size_t limit) {
    line.clear();
    tooLong = false;
    std::streambuf* buffer = in.rdbuf();
    if (!buffer)
        return false;
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof())
            return any;
        any = true;
        if (c == '\n')
            return true;
        if (line.size() < limit)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
}

// The name field: optional blanks, a quoted text with doubled quotes, optional blanks;
// or a text without quotes, trimmed.
bool ParseName(const std::string& field, std::string& name) {
    const std::string text = Trim(field);
    name.clear();
    if (text.empty() || text[0] != '"') {
        if (text.find('"') != std::string::npos)
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
bool ParseNumber(const std::string& field, int32_t& value) {
    const std::string text = Trim(field);
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || end != text.c_str() + text.size() || number < 0 || number > 127)
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

// Splits at commas outside double quotes.
std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.emplace_back();
            continue;
        }
        fields.back().push_back(c);
    }
    return fields;
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

bool CTavUserNameFile::ParseLine(const std::string& line, CTavUserNameEntry& entry) {
    if (line.size() <= kLabelWidth)
        return false;
    const std::string label = Trim(line.substr(0, kLabelWidth));
    if (label == "Patch")
        entry.type = TavEntityType::Patch;
    else if (label == "Rhythm")
        entry.type = TavEntityType::RhythmSet;
    else
        return false;
    const std::vector<std::string> fields = SplitFields(line.substr(kLabelWidth));
    if (fields.size() != 5 || !ParseName(fields[0], entry.name))
        return false;
    return ParseNumber(fields[1], entry.program.msb) && ParseNumber(fields[2], entry.program.lsb) &&
           ParseNumber(fields[3], entry.program.program) && ParseNumber(fields[4], entry.category);
}

bool CTavUserNameFile::Write(std::ostream& out, const CTavEntityManager& manager) {
    out << Quote(kHeader, false) << "\n\n";
    std::string line;
    char numbers[64];
    for (const Pattern& pattern : kPatterns) {
        for (auto entry = manager.Reference(pattern.id); entry->IsValid(); entry->Next()) {
            const CTavProgramId program = entry->ProgramId();
            if (!program.IsValid())
                return false;
            const IInformation& information = entry->Information();
            // "%-13s%-14s,%d,%d,%d,%d\n"; a name is cut so that its line always reads back.
            line = pattern.label;
            line.resize(kLabelWidth, ' ');
            line += Quote(information.Name().substr(0, kMaxNameLength), true);
            if (line.size() < kLabelWidth + 14)
                line.resize(kLabelWidth + 14, ' ');
            std::snprintf(numbers, sizeof numbers, ",%d,%d,%d,%d\n", program.msb, program.lsb,
                          program.program, information.Category());
            out << line << numbers;
        }
    }
    out.flush();
    return static_cast<bool>(out);
}

bool CTavUserNameFile::Read(std::istream& in, std::vector<CTavUserNameEntry>& entries) {
    entries.clear();
    std::string line;
    bool tooLong = false;
    if (!ReadLine(in, line, tooLong, kMaxLineLength) || tooLong)
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line != Quote(kHeader, false))
        return false;
    for (size_t count = 0; count < kMaxLines && ReadLine(in, line, tooLong, kMaxLineLength); ++count) {
        if (tooLong)
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        CTavUserNameEntry entry;
        if (ParseLine(line, entry))
            entries.push_back(std::move(entry));
    }
    return true;
}

bool CTavUserNameFile::Save(const std::string& path, const CTavEntityManager& manager, CTavTextOut* errors) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out && Write(out, manager)) {
        out.close();
        if (out)
            return true;
    }
    if (errors)
        errors->Printf("Unable to write user names. : %s\n", path.c_str());
    return false;
}

bool CTavUserNameFile::Load(const std::string& path, std::vector<CTavUserNameEntry>& entries,
                            CTavTextOut* errors) {
    std::ifstream in(path, std::ios::binary);
    if (in && Read(in, entries))
        return true;
    entries.clear();
    if (errors)
        errors->Printf("Unable to read user names. : %s\n", path.c_str());
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
