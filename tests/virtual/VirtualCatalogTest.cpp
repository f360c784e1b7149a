// The virtual device's catalog: what it generates, how program IDs find its entries, and how
// it is kept in and read back from the memory file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "virtual/CVirtualCatalog.h"

namespace {

using Area = CVirtualCatalog::Area;
using Kind = CVirtualCatalog::SampleKind;

const std::vector<std::string> kCategories = {"NO CATEGORY", "GRAND PIANO", "E.PIANO", "SYNTH BASS",
                                              "SOFT PAD"};

CVirtualCatalog Generated() {
    return CVirtualCatalog::Generate(CVirtualCatalog::kDefaultSeed, kCategories);
}

bool SevenBit(const std::string& text) {
    for (char c : text)
        if (static_cast<uint8_t>(c) >= 0x80)
            return false;
    return true;
}

TEST(VirtualCatalogTest, GeneratesTheBanksAndSamplesOfAPlausibleDevice) {
    const CVirtualCatalog catalog = Generated();
    const std::vector<std::vector<size_t>> sizes = {{130}, {128, 20}, {16}, {8}};
    for (int area = 0; area < CVirtualCatalog::kAreaCount; ++area) {
        ASSERT_EQ(catalog.BankCount(Area(area)), static_cast<int>(sizes[area].size())) << area;
        for (int bank = 0; bank < catalog.BankCount(Area(area)); ++bank) {
            const auto& entries = catalog.Bank(Area(area), bank);
            EXPECT_EQ(entries.size(), sizes[area][bank]) << area << "/" << bank;
            for (const auto& entry : entries) {
                EXPECT_EQ(entry.name.size(), CVirtualCatalog::kNameLength);
                EXPECT_TRUE(SevenBit(entry.name)) << entry.name;
                EXPECT_NE(entry.name[0], ' ');
                if (area >= Area::RhythmSetUser)
                    EXPECT_EQ(entry.category, CVirtualCatalog::kRhythmSetCategory) << entry.name;
                else
                    EXPECT_TRUE(entry.category >= 1 && entry.category < CVirtualCatalog::kSampleCategory);
            }
        }
    }
    // Patch names end in their category's last word, where the table names it; the
    // others are a "Tone".
    const auto& first = catalog.Bank(Area::PatchUser, 0);
    for (const auto& entry : first) {
        const std::string word = entry.name.substr(entry.name.find(' ') + 1, 3);
        const char* expected[] = {"", "Pia", "E.P", "Bas", "Pad"};
        EXPECT_EQ(word, entry.category < kCategories.size() ? expected[entry.category] : "Ton") << entry.name;
    }

    for (bool card : {false, true}) {
        const auto& samples = catalog.Samples(card);
        ASSERT_EQ(samples.size(), card ? 20u : 40u);
        int pairs = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            EXPECT_EQ(samples[i].number, static_cast<int>(i) + 1);
            EXPECT_EQ(samples[i].name.size(), CVirtualCatalog::kSampleNameLength);
            EXPECT_GT(samples[i].size, 0u);
            if (samples[i].kind == Kind::Left) {
                ++pairs;
                ASSERT_LT(i + 1, samples.size());
                EXPECT_EQ(samples[i + 1].kind, Kind::Right);
                EXPECT_EQ(samples[i + 1].size, samples[i].size);
            } else if (samples[i].kind == Kind::Right) {
                EXPECT_EQ(samples[i - 1].kind, Kind::Left);
            }
        }
        EXPECT_GE(pairs, 3) << card;
    }

    EXPECT_EQ(Generated(), catalog);
    EXPECT_FALSE(CVirtualCatalog::Generate(1, kCategories) == catalog);
}

TEST(VirtualCatalogTest, ProgramIdsFindTheOneBankThatHoldsThem) {
    const CVirtualCatalog catalog = Generated();
    struct Case {
        uint8_t msb, lsb, program;
        bool found;
        Area area;
        int bank, index;
    };
    const Case cases[] = {
        {81, 0, 0, true, Area::PatchUser, 0, 0},       {81, 0, 127, true, Area::PatchUser, 0, 127},
        {81, 1, 1, true, Area::PatchUser, 0, 129},     {81, 1, 2, false, Area::PatchUser, -1, -1},
        {81, 0, 128, false, Area::PatchUser, -1, -1},  {81, 31, 0, false, Area::PatchUser, -1, -1},
        {81, 32, 127, true, Area::PatchCard, 0, 127},  {81, 33, 0, true, Area::PatchCard, 1, 0},
        {81, 33, 19, true, Area::PatchCard, 1, 19},    {81, 33, 20, false, Area::PatchUser, -1, -1},
        {82, 0, 15, true, Area::RhythmSetUser, 0, 15}, {82, 0, 16, false, Area::PatchUser, -1, -1},
        {82, 32, 7, true, Area::RhythmSetCard, 0, 7},  {82, 32, 8, false, Area::PatchUser, -1, -1},
        {83, 0, 1, false, Area::PatchUser, -1, -1},    {81, 64, 0, false, Area::PatchUser, -1, -1},
    };
    for (const Case& c : cases) {
        CVirtualCatalog::Slot slot;
        const std::string id =
            std::to_string(c.msb) + "/" + std::to_string(c.lsb) + "/" + std::to_string(c.program);
        ASSERT_EQ(catalog.Find(c.msb, c.lsb, c.program, slot), c.found) << id;
        if (!c.found)
            continue;
        EXPECT_EQ(slot.area, c.area) << id;
        EXPECT_EQ(slot.bank, c.bank) << id;
        EXPECT_EQ(slot.index, c.index) << id;
        EXPECT_EQ(CVirtualCatalog::ProgramIdOf(slot.area, slot.bank, slot.index),
                  (std::array<uint8_t, 3>{c.msb, c.lsb, c.program}))
            << id;
    }

    const std::vector<std::array<int, 3>> counts = {{81, 0, 130}, {81, 1, 0},  {81, 32, 128}, {81, 33, 20},
                                                    {81, 34, 0},  {82, 0, 16}, {82, 32, 8},   {82, 1, 0},
                                                    {83, 0, 0},   {81, 64, 0}};
    for (const auto& [msb, lsb, count] : counts)
        EXPECT_EQ(catalog.CountAt(static_cast<uint8_t>(msb), static_cast<uint8_t>(lsb)), count)
            << msb << "/" << lsb;
}

TEST(VirtualCatalogTest, SetEntryFitsTheNameAndRefusesUnknownIds) {
    CVirtualCatalog catalog = Generated();
    ASSERT_TRUE(catalog.SetEntry(81, 1, 1, "Short", 26));
    EXPECT_EQ(catalog.Bank(Area::PatchUser, 0)[129], (CVirtualCatalog::Entry{"Short       ", 26}));
    ASSERT_TRUE(catalog.SetEntry(82, 32, 0, "A name far too long\xC3", 0xC7));
    EXPECT_EQ(catalog.Bank(Area::RhythmSetCard, 0)[0], (CVirtualCatalog::Entry{"A name far t", 0x47}));
    ASSERT_TRUE(catalog.SetEntry(81, 33, 0, "Hi\x80", 1));
    EXPECT_EQ(catalog.Bank(Area::PatchCard, 1)[0].name, "Hi?         ");

    const CVirtualCatalog before = catalog;
    EXPECT_FALSE(catalog.SetEntry(81, 1, 2, "x", 1));
    EXPECT_FALSE(catalog.SetEntry(83, 0, 1, "x", 1));
    EXPECT_EQ(catalog, before);
}

// Frames a body as the memory file does, so that the content checks are reached.
std::string Framed(const std::string& body) {
    uint32_t hash = 2166136261u;
    for (char c : body)
        hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    auto number = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    return "VIREO-VIRTUAL-DEVICE-CATALOG 1\n" + number(static_cast<uint32_t>(body.size())) + body +
           number(hash);
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out.push_back(static_cast<char>(b));
    return out;
}

TEST(VirtualCatalogTest, SerializeRoundTripsAndParseRefusesAnythingDamaged) {
    CVirtualCatalog catalog = Generated();
    ASSERT_TRUE(catalog.SetEntry(81, 0, 5, "Edited", 12));
    const std::string saved = catalog.Serialize();
    CVirtualCatalog parsed;
    ASSERT_TRUE(parsed.Parse(saved));
    EXPECT_EQ(parsed, catalog);

    const std::string name(12, 'a');
    const std::string sample = Bytes({0, 1, 0}) + std::string(16, 's') + Bytes({0, 0, 1, 0, 0});
    const std::string noAreas = Bytes({0, 0, 0, 0});
    const std::string noSamples = Bytes({0, 0, 0, 0});
    ASSERT_TRUE(parsed.Parse(Framed(noAreas + noSamples)));
    EXPECT_EQ(parsed.BankCount(Area::PatchUser), 0);

    std::string flipped = saved;
    flipped[saved.size() / 2] ^= 0x01;
    std::string badMagic = saved;
    badMagic[0] = 'X';
    const std::string cases[] = {
        saved.substr(0, saved.size() - 1), saved + '\0', flipped, badMagic, "",
        // well framed, wrong content
        Framed(Bytes({33}) + std::string(33 * 2, '\0') + Bytes({0, 0, 0}) + noSamples), // 33 banks
        Framed(Bytes({2, 0, 129}) + std::string(129 * 13, '\0') + Bytes({0, 0}) + Bytes({0, 0, 0}) +
               noSamples),
        Framed(Bytes({1, 0, 1}) + std::string(11, 'a') + "\x80" + Bytes({0}) + Bytes({0, 0, 0}) + noSamples),
        Framed(Bytes({1, 0, 1}) + name + Bytes({0x80}) + Bytes({0, 0, 0}) + noSamples), // category
        Framed(noAreas + Bytes({0, 2}) + sample + sample + Bytes({0, 0})),              // same number twice
        Framed(noAreas + Bytes({0, 1}) + Bytes({0x1F, 0x41, 0}) + sample.substr(3) + Bytes({0, 0})), // 8001
        Framed(noAreas + Bytes({0, 1}) + Bytes({0, 1, 4}) + sample.substr(3) + Bytes({0, 0})),       // kind 4
        Framed(noAreas + noSamples + Bytes({0})), // trailing
        Framed(noAreas + Bytes({0, 0})),          // short
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CVirtualCatalog kept = catalog;
        EXPECT_FALSE(kept.Parse(cases[i])) << "case " << i;
        EXPECT_EQ(kept, catalog) << "case " << i;
    }
}

} // namespace
