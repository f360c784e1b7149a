#include "virtual/CVirtualCatalog.h"

#include "virtual/TavVirtualFile.h"

#include <cctype>

using namespace TavVirtualFile;

namespace {

constexpr std::string_view kMagic = "VIREO-VIRTUAL-DEVICE-CATALOG 1\n";

// A small linear congruential generator: the same sequence on every platform.
class CSequence {
public:
    explicit CSequence(uint32_t seed) : m_state(seed) {}
    uint32_t Next(uint32_t below) {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % below;
    }

private:
    uint32_t m_state;
};

const char* const kPatchWords[] = {"Warm",  "Dark",   "Soft",  "Big",    "Fat",  "Wide",  "Deep",  "Airy",
                                   "Dusty", "Clean",  "Thin",  "Lush",   "Raw",  "Tight", "Cold",  "Hot",
                                   "Glass", "Velvet", "Noisy", "Smooth", "Bold", "Hazy",  "Round", "Sharp"};
const char* const kKitWords[] = {"Dusty", "Tight", "Room", "Boom",  "Lo-Fi", "Street", "Garage",  "Studio",
                                 "Disco", "Brush", "Jazz", "Rock",  "Club",  "Steppa", "Electro", "Vinyl",
                                 "Break", "Funk",  "Dub",  "Arena", "Tiny",  "Heavy",  "Crunch",  "Paper"};
const char* const kSampleWords[] = {
    "Break",     "Vox Chop",   "Bass Riff", "Guitar Lick", "Horn Stab",   "Pad Swell", "Kick", "Snare",
    "Perc Loop", "Synth Line", "Noise Hit", "Piano Chord", "String Rise", "Scratch",   "Beat", "Field Rec"};

template <size_t N> const char* Pick(const char* const (&words)[N], CSequence& sequence) {
    return words[sequence.Next(N)];
}

// The last word of a category name with only its first letters in capitals ("SYNTH BASS"
// gives "Bass", "E.PIANO" gives "E.Piano"); "Tone" when there is no name.
std::string CategoryWord(const std::vector<std::string>& names, uint8_t category) {
    if (category >= names.size())
        return "Tone";
    const std::string& name = names[category];
    const size_t blank = name.find_last_of(' ');
    std::string word = blank == std::string::npos ? name : name.substr(blank + 1);
    if (word.empty())
        return "Tone";
    bool start = true;
    for (char& c : word) {
        const unsigned char u = static_cast<unsigned char>(c);
        c = static_cast<char>(start ? std::toupper(u) : std::tolower(u));
        start = !std::isalpha(u);
    }
    return word;
}

std::string TwoDigits(int n) {
    return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}


} // namespace

std::string CVirtualCatalog::Fit(std::string_view text, size_t length) {
    std::string out(text.substr(0, length));
    for (char& c : out)
        if (static_cast<uint8_t>(c) >= 0x80)
            c = '?';
    out.resize(length, ' ');
    return out;
}

CVirtualCatalog CVirtualCatalog::Generate(uint32_t seed, const std::vector<std::string>& categoryNames) {
    CVirtualCatalog catalog;
    CSequence sequence(seed);

    auto patchBank = [&](size_t count) {
        std::vector<Entry> bank;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t category = static_cast<uint8_t>(1 + sequence.Next(kSampleCategory - 1));
            std::string name =
                std::string(Pick(kPatchWords, sequence)) + " " + CategoryWord(categoryNames, category);
            if (name.size() + 2 <= kNameLength && sequence.Next(3) == 0)
                name += " " + std::to_string(2 + sequence.Next(8));
            bank.push_back({Fit(name, kNameLength), category});
        }
        return bank;
    };
    auto kitBank = [&](size_t count, const char* suffix) {
        std::vector<Entry> bank;
        const uint32_t first = sequence.Next(std::size(kKitWords));
        for (size_t i = 0; i < count; ++i) {
            const std::string word = kKitWords[(first + i) % std::size(kKitWords)];
            bank.push_back({Fit(word + " Kit" + suffix, kNameLength), kRhythmSetCategory});
        }
        return bank;
    };
    catalog.m_banks[PatchUser] = {patchBank(130)};
    catalog.m_banks[PatchCard] = {patchBank(128), patchBank(20)};
    catalog.m_banks[RhythmSetUser] = {kitBank(16, "")};
    catalog.m_banks[RhythmSetCard] = {kitBank(8, " II")};

    auto samples = [&](int count) {
        std::vector<Sample> list;
        for (int number = 1; number <= count; ++number) {
            const std::string name = std::string(Pick(kSampleWords, sequence)) + " " +
                                     TwoDigits(1 + static_cast<int>(sequence.Next(99)));
            const uint32_t size = 4000 + sequence.Next(1400000);
            // Every sixth place starts a stereo pair: left at n, right at n + 1, alike.
            if (number % 6 == 2 && number < count) {
                list.push_back({number, SampleKind::Left, Fit(name + " L", kSampleNameLength), size, 0});
                ++number;
                list.push_back({number, SampleKind::Right, Fit(name + " R", kSampleNameLength), size, 0});
                continue;
            }
            list.push_back({number, SampleKind::Mono, Fit(name, kSampleNameLength), size, 0});
        }
        return list;
    };
    catalog.m_samples[0] = samples(40);
    catalog.m_samples[1] = samples(20);
    return catalog;
}

bool CVirtualCatalog::AreaOf(uint8_t msb, uint8_t lsb, Area& area) {
    if ((msb != kPatchMsb && msb != kRhythmSetMsb) || lsb >= 2 * kCardLsb)
        return false;
    const bool card = lsb >= kCardLsb;
    area = msb == kPatchMsb ? (card ? PatchCard : PatchUser) : (card ? RhythmSetCard : RhythmSetUser);
    return true;
}

bool CVirtualCatalog::Find(uint8_t msb, uint8_t lsb, uint8_t program, Slot& slot) const {
    Area area;
    if (program >= 128 || !AreaOf(msb, lsb, area))
        return false;
    const int linear = (lsb - FirstLsbOf(area)) * 128 + program;
    for (int bank = 0; bank < BankCount(area); ++bank) {
        const int index = linear - bank * 128;
        if (index >= 0 && index < static_cast<int>(Bank(area, bank).size())) {
            slot = {area, bank, index};
            return true;
        }
    }
    return false;
}

std::array<uint8_t, 3> CVirtualCatalog::ProgramIdOf(Area area, int bank, int index) {
    const int linear = bank * 128 + index;
    return {MsbOf(area), static_cast<uint8_t>(FirstLsbOf(area) + linear / 128),
            static_cast<uint8_t>(linear % 128)};
}

int CVirtualCatalog::CountAt(uint8_t msb, uint8_t lsb) const {
    Area area;
    if (!AreaOf(msb, lsb, area))
        return 0;
    const int bank = lsb - FirstLsbOf(area);
    return bank < BankCount(area) ? static_cast<int>(Bank(area, bank).size()) : 0;
}

bool CVirtualCatalog::SetEntry(uint8_t msb, uint8_t lsb, uint8_t program, std::string_view name,
                               uint8_t category) {
    Slot slot;
    if (!Find(msb, lsb, program, slot))
        return false;
    Entry& entry = m_banks[slot.area][static_cast<size_t>(slot.bank)][static_cast<size_t>(slot.index)];
    entry.name = Fit(name, kNameLength);
    entry.category = static_cast<uint8_t>(category & 0x7F);
    return true;
}

// ---- Memory file part ---------------------------------------------------------------
//
// The magic line, the body's length (4 bytes, most significant first), the body and its
// FNV-1a hash (4 bytes). The body: per area a bank count (1 byte) and per bank an entry
// count (2 bytes) and its entries (name, category); then for the user and the card bank a
// sample count (2 bytes) and its samples (number 2, kind 1, name, size 4, flag 1).

std::string CVirtualCatalog::Serialize() const {
    std::string body;
    for (const auto& banks : m_banks) {
        PutNumber(body, static_cast<uint32_t>(banks.size()), 1);
        for (const auto& bank : banks) {
            PutNumber(body, static_cast<uint32_t>(bank.size()), 2);
            for (const Entry& entry : bank) {
                body += Fit(entry.name, kNameLength);
                PutNumber(body, entry.category, 1);
            }
        }
    }
    for (const auto& samples : m_samples) {
        PutNumber(body, static_cast<uint32_t>(samples.size()), 2);
        for (const Sample& sample : samples) {
            PutNumber(body, static_cast<uint32_t>(sample.number), 2);
            PutNumber(body, static_cast<uint32_t>(sample.kind), 1);
            body += Fit(sample.name, kSampleNameLength);
            PutNumber(body, sample.size, 4);
            PutNumber(body, sample.flag, 1);
        }
    }
    return Frame(kMagic, body);
}

bool CVirtualCatalog::Parse(std::string_view bytes) {
    std::string_view body;
    if (!Unframe(bytes, kMagic, body))
        return false;

    CVirtualCatalog parsed;
    CReader in(body);
    for (auto& banks : parsed.m_banks) {
        const uint32_t bankCount = in.Number(1);
        if (bankCount > kMaxBanks)
            return false;
        for (uint32_t b = 0; b < bankCount && in.Good(); ++b) {
            // Only the last bank may run on past its own LSB; none beyond the area.
            const uint32_t count = in.Number(2);
            const uint32_t limit = b + 1 < bankCount ? 128u : (kMaxBanks - b) * 128u;
            if (count > limit)
                return false;
            std::vector<Entry> bank;
            for (uint32_t i = 0; i < count && in.Good(); ++i) {
                std::string name = in.Text(kNameLength);
                const uint32_t category = in.Number(1);
                if (category >= 0x80)
                    return false;
                bank.push_back({std::move(name), static_cast<uint8_t>(category)});
            }
            banks.push_back(std::move(bank));
        }
    }
    for (size_t card = 0; card < 2; ++card) {
        const int limit = SampleLimit(card == 1);
        const uint32_t count = in.Number(2);
        if (count > static_cast<uint32_t>(limit))
            return false;
        int last = 0;
        for (uint32_t i = 0; i < count && in.Good(); ++i) {
            Sample sample;
            sample.number = static_cast<int>(in.Number(2));
            const uint32_t kind = in.Number(1);
            sample.name = in.Text(kSampleNameLength);
            sample.size = in.Number(4);
            const uint32_t flag = in.Number(1);
            if (sample.number <= last || sample.number > limit || kind > 3 || flag >= 0x80)
                return false;
            sample.kind = static_cast<SampleKind>(kind);
            sample.flag = static_cast<uint8_t>(flag);
            last = sample.number;
            parsed.m_samples[card].push_back(std::move(sample));
        }
    }
    if (!in.Good() || !in.AtEnd())
        return false;
    *this = std::move(parsed);
    return true;
}
