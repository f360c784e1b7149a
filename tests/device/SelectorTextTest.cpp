// What the wave, sample and effect selectors show: the wave group of a group type and ID,
// the number and name texts, and the names the shipped script's catalog gives them.

#include <gtest/gtest.h>

#include "device/TavSelectorText.h"
#include "entity/CTavEntityBanks.h"
#include "entity/CTavInformation.h"
#include "script/CTavTable.h"
#include "support/DeviceLayerFixture.h"

namespace {

using namespace Brio;

TEST(SelectorText, WaveGroupFollowsTypeAndId) {
    struct Case {
        int32_t type, id;
        TavWaveGroup group;
        const char* text;
    };
    const Case cases[] = {
        {0, 1, TavWaveGroup::Internal, "INTERNAL"},  {3, 2, TavWaveGroup::UserSample, "SAMP USER"},
        {3, 3, TavWaveGroup::CardSample, "SAMP CARD"}, {0, 0, TavWaveGroup::None, "---"},
        {0, 2, TavWaveGroup::None, "---"},           {3, 1, TavWaveGroup::None, "---"},
        {1, 1, TavWaveGroup::None, "---"},           {-1, -1, TavWaveGroup::None, "---"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TavWaveGroupOf(c.type, c.id), c.group) << c.type << " " << c.id;
        EXPECT_STREQ(TavWaveGroupText(c.group), c.text);
        if (c.group == TavWaveGroup::None)
            continue;
        // Choosing a group writes the values that read back as it.
        const CTavWaveGroupValues values = TavWaveGroupValuesOf(c.group);
        EXPECT_EQ(TavWaveGroupOf(values.type, values.id), c.group);
    }
    EXPECT_EQ(TavWaveGroupBank(TavWaveGroup::Internal), (CTavEntityId{2, 2, 0, TavWildcard}));
    EXPECT_EQ(TavWaveGroupBank(TavWaveGroup::UserSample), (CTavEntityId{3, 0, 0, TavWildcard}));
    EXPECT_EQ(TavWaveGroupBank(TavWaveGroup::CardSample), (CTavEntityId{3, 1, 0, TavWildcard}));
}

TEST(SelectorText, NumbersAreZeroPaddedAndEmptyNamesDashed) {
    struct Case {
        bool mfx;
        int32_t number;
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {false, 0, "Off", "0000 Off"}, {false, 7000, "KICK 1", "7000 KICK 1"}, {false, 12, "", "0012 ------------"},
        {true, 5, "LOW BOOST", "05 LOW BOOST"}, {true, 47, "TIME SKIP DELAY", "47 TIME SKIP DELAY"},
        {true, 3, "", "03 ------------"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mfx ? TavMfxText(c.number, c.name) : TavWaveIndexText(c.number, c.name), c.text);
}

class ShippedCatalog : public test::DeviceLayerFixture {};

TEST_F(ShippedCatalog, NamesEffectTypesWavesAndSamples) {
    StartLayer(test::ShippedScriptText(), false);
    CTavEntityManager& catalog = accessor.Entities();
    EXPECT_EQ(TavMfxText(catalog, 5), "05 LOW BOOST");
    EXPECT_EQ(TavMfxText(catalog, 0), "00 THROUGH");
    EXPECT_EQ(TavMfxText(catalog, 48), "48 ------------");
    const CTavStringTable* waves = system.ResourceManager().FindStringTable("internalWaveNameTable");
    ASSERT_NE(waves, nullptr);
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::Internal, 1), "0001 " + waves->ElementAt(0));
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::Internal, 0), "0000 Off");
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::Internal, 623), "0623 ------------");
    // Sample names are known once read; until then only "Off".
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::CardSample, 0), "0000 Off");
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::UserSample, 4), "0004 ------------");
    ASSERT_TRUE(catalog.SetInformation({3, 0, 0, 4}, CTavSampleInformation("LOOP 120", 0, 1000, 0)));
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::UserSample, 4), "0004 LOOP 120");
    EXPECT_EQ(TavWaveIndexText(catalog, TavWaveGroup::None, 4), "0004 ------------");
}

} // namespace
