// The part's selection menus over the device layer's catalog: the sources walked in the
// menu's order, the bank counts of the areas, and choosing through the system's popup.

#include <gtest/gtest.h>

#include "device/CTavEntitySelector.h"
#include "entity/CTavEntityBanks.h"
#include "model/CTavValue.h"
#include "support/DeviceLayerFixture.h"
#include "support/FakeMenuSources.h"

namespace {

using Brio::CTavEntitySelector;
using test::At;
using test::FakePopup;

// The catalog the virtual device holds: one user patch bank of 130, card patch banks of 128
// and 20, 16 user and 8 card rhythm sets; the fixed banks add the samples as patches.
class PartSelection : public test::DeviceLayerFixture {
protected:
    void SetUp() override { Start(true); }
    void Start(bool online) {
        StartLayer(test::ShippedScriptText(), online);
        CTavEntityManager& entities = accessor.Entities();
        ASSERT_TRUE(TavAddNameBank(entities, TavEntityType::Patch, TavEntityArea::User, 0, 130));
        ASSERT_TRUE(TavAddNameBank(entities, TavEntityType::Patch, TavEntityArea::Card, 0, 128));
        ASSERT_TRUE(TavAddNameBank(entities, TavEntityType::Patch, TavEntityArea::Card, 1, 20));
        ASSERT_TRUE(TavAddNameBank(entities, TavEntityType::RhythmSet, TavEntityArea::User, 0, 16));
        ASSERT_TRUE(TavAddNameBank(entities, TavEntityType::RhythmSet, TavEntityArea::Card, 0, 8));
        entities.SetInformation({TavEntityType::Patch, 0, 0, 129}, CCategoryInformation("LAST USER", 4));
        samplePatches =
            entities.Count({TavEntityType::Patch, 3, 0, 0}) + entities.Count({TavEntityType::Patch, 4, 0, 0});
        entries = 130 + 128 + 20 + samplePatches + 16 + 8;
        auto owned = std::make_unique<FakePopup>();
        popup = owned.get();
        system.SetPopupMenu(std::move(owned));
    }
    // MSB, LSB and program number of a part.
    std::array<int32_t, 3> Program(int32_t part) const {
        const Brio::CTavBoundTable& bound = accessor.Bound();
        return {bound.partBankSelectMsb[part]->GetRaw(), bound.partBankSelectLsb[part]->GetRaw(),
                bound.partProgramNumber[part]->GetRaw()};
    }
    int32_t samplePatches = 0, entries = 0;
    FakePopup* popup = nullptr;
};

TEST_F(PartSelection, TheSourcesWalkEveryBankOfEachPatternInOrder) {
    CTavEntitySelector::CIterator sources(accessor.Entities(), CTavEntitySelector::kPartSourcePatterns);
    std::vector<CTavEntityId> walked;
    std::string lastUserName;
    for (const auto* item = sources.Current(); item && walked.size() < 100000;
         sources.Advance(), item = sources.Current()) {
        walked.push_back(item->EntityId());
        if (item->EntityId() == CTavEntityId{TavEntityType::Patch, 0, 0, 129})
            lastUserName = item->Name() + "/" + std::to_string(item->Category());
    }
    ASSERT_EQ(walked.size(), static_cast<size_t>(entries));
    const size_t r = 278 + static_cast<size_t>(samplePatches);
    const int32_t s4 = accessor.Entities().Count({TavEntityType::Patch, 4, 0, 0});
    ASSERT_GT(s4, 0);
    const struct {
        size_t at;
        CTavEntityId id;
    } cases[] = {
        {0, {TavEntityType::Patch, 0, 0, 0}},          {129, {TavEntityType::Patch, 0, 0, 129}},
        {130, {TavEntityType::Patch, 1, 0, 0}},        {257, {TavEntityType::Patch, 1, 0, 127}},
        {258, {TavEntityType::Patch, 1, 1, 0}},        {277, {TavEntityType::Patch, 1, 1, 19}},
        {278, {TavEntityType::Patch, 3, 0, 0}},        {r - 1, {TavEntityType::Patch, 4, 0, s4 - 1}},
        {r, {TavEntityType::RhythmSet, 0, 0, 0}},      {r + 16, {TavEntityType::RhythmSet, 1, 0, 0}},
        {r + 23, {TavEntityType::RhythmSet, 1, 0, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(walked[c.at], c.id) << c.at;
    EXPECT_EQ(lastUserName, "LAST USER/4");
    // Past the end it stays there; no pattern matching gives nothing at once.
    sources.Advance();
    EXPECT_EQ(sources.Current(), nullptr);
    const std::array<CTavEntityId, 1> none{{{TavEntityType::Patch, 7, TavWildcard, TavWildcard}}};
    CTavEntitySelector::CIterator empty(accessor.Entities(), none);
    EXPECT_EQ(empty.Current(), nullptr);
}

TEST_F(PartSelection, AreasCountTheirBanks) {
    const auto count = CTavEntitySelector::AreaBankCountOf(accessor.Entities());
    EXPECT_EQ(count(TavEntityType::Patch, TavEntityArea::User), 1);
    EXPECT_EQ(count(TavEntityType::Patch, TavEntityArea::Card), 2);
    EXPECT_EQ(count(TavEntityType::RhythmSet, TavEntityArea::Card), 1);
    EXPECT_EQ(count(TavEntityType::Patch, 9), 0);
}

TEST_F(PartSelection, ByBankMarksWhatThePartPlaysAndPlaysTheChoiceOnTheDevice) {
    Play(3, 81, 0, 5);
    std::string userBlocks, lastBlock;
    popup->onShow = [&](const CTavMenuItem& menu) {
        const CTavMenuItem* user = At(menu, {0, 0, 0});
        ASSERT_NE(user, nullptr);
        for (const auto& block : user->Children())
            userBlocks += block->Text() + "|";
        lastBlock = test::Outline(*user->Children().back(), true);
    };
    popup->answer = 129;
    device->requests.clear();
    ASSERT_TRUE(accessor.SelectByBank(3));
    EXPECT_EQ(popup->lastCurrent, 5);
    EXPECT_EQ(popup->lastLeaves, entries);
    EXPECT_EQ(userBlocks, "  1...| 33...| 65...| 97...|129...|");
    EXPECT_EQ(lastBlock, "129: ------------#128,130: LAST USER#129");
    // The 130th user patch runs on into the next LSB; the program went out as a data set
    // and the patch the part now plays was read back.
    EXPECT_EQ(Program(3), (std::array<int32_t, 3>{81, 1, 1}));
    EXPECT_FALSE(system.MidiManager().Output(0)->LastMessage().empty());
    EXPECT_FALSE(device->requests.empty());
    EXPECT_EQ(accessor.PartEntityId(3), (CTavEntityId{TavEntityType::Patch, 0, 0, 129}));
}

TEST_F(PartSelection, ByCategoryTitlesFromTheCategoryTableAndPlaysTheChoice) {
    Play(0, 81, 0, 0);
    std::string titles;
    popup->onShow = [&](const CTavMenuItem& menu) {
        for (const auto& bucket : menu.Children())
            titles += bucket->Text() + "|";
    };
    popup->answer = entries - 1;
    ASSERT_TRUE(accessor.SelectByCategory(0));
    EXPECT_EQ(popup->lastCurrent, 0);
    EXPECT_EQ(popup->lastLeaves, entries);
    EXPECT_EQ(titles, "NO CATEGORY|ORGAN|RHYTHM SET|User Sample|Card Sample|");
    EXPECT_EQ(Program(0), (std::array<int32_t, 3>{82, 32, 7}));
}

TEST_F(PartSelection, DismissingOrNoPopupChangesNothing) {
    Play(5, 81, 0, 9);
    const TavBytes sentBefore = system.MidiManager().Output(0)->LastMessage();
    device->requests.clear();
    popup->answer = -1;
    EXPECT_FALSE(accessor.SelectByBank(5));
    EXPECT_FALSE(accessor.SelectByCategory(5));
    EXPECT_EQ(popup->shown, 2);
    // Not a part: no menu at all.
    EXPECT_FALSE(accessor.SelectByBank(16));
    EXPECT_FALSE(accessor.SelectByCategory(-1));
    EXPECT_EQ(popup->shown, 2);
    EXPECT_EQ(Program(5), (std::array<int32_t, 3>{81, 0, 9}));
    EXPECT_EQ(system.MidiManager().Output(0)->LastMessage(), sentBefore);
    EXPECT_TRUE(device->requests.empty());

    system.SetPopupMenu(nullptr);
    popup = nullptr;
    EXPECT_FALSE(accessor.SelectByBank(5));
    EXPECT_NE(system.ErrorText().find("No popup menu"), std::string::npos);
}

class OfflinePartSelection : public PartSelection {
protected:
    void SetUp() override { Start(false); }
};

TEST_F(OfflinePartSelection, ChoosingOfflineWritesTheProgramWithoutReading) {
    popup->answer = 130; // the first card patch
    ASSERT_TRUE(accessor.SelectByBank(2));
    EXPECT_EQ(Program(2), (std::array<int32_t, 3>{81, 32, 0}));
    EXPECT_EQ(clock.TotalSleep(), std::chrono::microseconds(0));
}

} // namespace
