#pragma once
// What the virtual device keeps in its banks: the names and categories of its user and card
// patches and rhythm sets, and its user and card samples. Generated from a seed, so that a
// fresh device always holds the same plausible catalog, and kept in the memory file.
//
// Patches answer to bank select MSB 81 and rhythm sets to 82. Bank i of an area starts at
// LSB i (user) or 32 + i (card), program 0, and runs on through the program numbers and
// into the next LSBs; the banks of an area never share a program ID. Samples are numbered
// from 1 (up to 2000 user and 7000 card samples) and listed by the device in pages of 50.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CVirtualCatalog {
public:
    static constexpr uint8_t kPatchMsb = 81;
    static constexpr uint8_t kRhythmSetMsb = 82;
    static constexpr uint8_t kCardLsb = 32;
    static constexpr size_t kNameLength = 12;
    static constexpr size_t kSampleNameLength = 16;
    static constexpr uint8_t kSampleCategory = 36;
    static constexpr uint8_t kRhythmSetCategory = 39;
    static constexpr int kUserSampleLimit = 2000;
    static constexpr int kCardSampleLimit = 7000;
    static constexpr int kSamplesPerPage = 50; // 40 user pages, 140 card pages
    // An area holds at most 32 LSBs of 128 programs.
    static constexpr int kMaxBanks = 32;
    static constexpr int kMaxAreaEntries = kMaxBanks * 128;
    static constexpr uint32_t kDefaultSeed = 0x56495245;

    enum Area { PatchUser, PatchCard, RhythmSetUser, RhythmSetCard, kAreaCount };
    enum class SampleKind : uint8_t { Mono = 0, Left = 1, Right = 2, None = 3 };

    struct Entry {
        std::string name; // exactly kNameLength 7-bit characters, blank-padded
        uint8_t category = 0;
        bool operator==(const Entry&) const = default;
    };
    struct Sample {
        int number = 0; // 1 up to the bank's limit
        SampleKind kind = SampleKind::Mono;
        std::string name;  // exactly kSampleNameLength 7-bit characters, blank-padded
        uint32_t size = 0; // in frames
        uint8_t flag = 0;
        bool operator==(const Sample&) const = default;
    };
    struct Slot {
        Area area = PatchUser;
        int bank = -1;
        int index = -1;
    };

    // The catalog made from the seed: one user patch bank of 130, card patch banks of 128
    // and 20, one user rhythm-set bank of 16 and one card bank of 8, 40 user and 20 card
    // samples with some stereo pairs. Patch categories and names come from categoryNames
    // (by category number; a short or empty list gives plainer names).
    static CVirtualCatalog Generate(uint32_t seed, const std::vector<std::string>& categoryNames);

    int BankCount(Area area) const { return static_cast<int>(m_banks[area].size()); }
    const std::vector<Entry>& Bank(Area area, int bank) const {
        return m_banks[area][static_cast<size_t>(bank)];
    }
    // The samples of the user or the card bank, by ascending number.
    const std::vector<Sample>& Samples(bool card) const { return m_samples[card ? 1 : 0]; }
    static int SampleLimit(bool card) { return card ? kCardSampleLimit : kUserSampleLimit; }
    // Replaces the samples of a bank (by ascending number, as a sample memory lists them).
    void SetSamples(bool card, std::vector<Sample> samples) { m_samples[card ? 1 : 0] = std::move(samples); }

    // The area of a patch or rhythm-set program ID; false for any other MSB or an LSB
    // beyond the card banks.
    static bool AreaOf(uint8_t msb, uint8_t lsb, Area& area);
    static uint8_t MsbOf(Area area) { return area <= PatchCard ? kPatchMsb : kRhythmSetMsb; }
    static uint8_t FirstLsbOf(Area area) { return area == PatchCard || area == RhythmSetCard ? kCardLsb : 0; }
    // The bank and index that hold a program ID; false when no bank does.
    bool Find(uint8_t msb, uint8_t lsb, uint8_t program, Slot& slot) const;
    // The program ID of a bank's entry: MSB, LSB and program number.
    static std::array<uint8_t, 3> ProgramIdOf(Area area, int bank, int index);
    // The number of entries of the bank that starts at this LSB; 0 when none starts there.
    int CountAt(uint8_t msb, uint8_t lsb) const;

    // Replaces the name and category of an existing entry. The name is cut or blank-padded
    // to kNameLength and bytes above 7 bits become '?'. False when no bank holds the ID.
    bool SetEntry(uint8_t msb, uint8_t lsb, uint8_t program, std::string_view name, uint8_t category);

    // The catalog as the memory file keeps it, and back. Parse checks every count, number
    // and byte and leaves the catalog untouched when anything is wrong.
    std::string Serialize() const;
    bool Parse(std::string_view bytes);

    bool operator==(const CVirtualCatalog&) const = default;

    // Blank-padded or cut to length, 7-bit.
    static std::string Fit(std::string_view text, size_t length);

private:
    std::array<std::vector<std::vector<Entry>>, kAreaCount> m_banks;
    std::array<std::vector<Sample>, 2> m_samples;
};
