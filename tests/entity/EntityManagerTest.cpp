// The entity catalog: mapping formulas, bank matching, inserters, references walking
// patterns, the fixed banks and the records the device answers with.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "entity/CTavEntityBanks.h"
#include "entity/CTavEntityRecords.h"
#include "midi/CTavLongMessage.h"

namespace {

using namespace TavEntityType;

TEST(SequentialProgramIdMapper, MapsIndexesAndProgramIds) {
    const CSequentialProgramIdMapper patches({81, 0, 0}, 128, 200);
    EXPECT_EQ(patches.ProgramIdAt(130), (CTavProgramId{81, 1, 2}));
    EXPECT_EQ(patches.ProgramIdAt(0), (CTavProgramId{81, 0, 0}));
    EXPECT_EQ(patches.ProgramIdAt(200), CTavProgramId::Invalid());
    EXPECT_EQ(patches.ProgramIdAt(-1), CTavProgramId::Invalid());

    const struct {
        CTavProgramId id;
        int32_t index;
    } cases[] = {
        {{81, 1, 2}, 130}, {{81, 1, 128}, -1}, {{81, 0, 0}, 0},  {{81, 1, 71}, 199}, {{81, 1, 72}, -1},
        {{80, 1, 2}, -1},  {{81, -1, 2}, -1},  {{-2, 0, 0}, -1}, {{81, 0, -2}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(patches.IndexOf(c.id), c.index) << c.id.msb << "," << c.id.lsb << "," << c.id.program;

    // A modulus of 65536 carries the whole index in the program number; a first program
    // number shifts every index.
    const CSequentialProgramIdMapper waves({84, 64, 0}, 65536, 623);
    EXPECT_EQ(waves.ProgramIdAt(622), (CTavProgramId{84, 64, 622}));
    EXPECT_EQ(waves.IndexOf({84, 64, 623}), -1);
    const CSequentialProgramIdMapper shifted({81, 3, 10}, 128, 5);
    EXPECT_EQ(shifted.IndexOf({81, 3, 12}), 2);
    EXPECT_EQ(shifted.IndexOf({81, 3, 9}), -1);
    EXPECT_EQ(shifted.ProgramIdAt(4), (CTavProgramId{81, 3, 14}));
}

TEST(RandomProgramIdMapper, KeepsSortedIdsWithinCount) {
    CRandomProgramIdMapper mapper(3);
    EXPECT_TRUE(mapper.PushBack({81, 5, 9}));
    EXPECT_TRUE(mapper.PushBack({81, 1, 2}));
    EXPECT_FALSE(mapper.PushBack({81, 1, 2})); // already held
    EXPECT_FALSE(mapper.PushBack({-1, 0, 0}));
    EXPECT_TRUE(mapper.PushBack({81, 3, 0}));
    EXPECT_FALSE(mapper.PushBack({81, 9, 0})); // full
    EXPECT_EQ(mapper.IndexOf({81, 1, 2}), 0);
    EXPECT_EQ(mapper.IndexOf({81, 5, 9}), 2);
    EXPECT_EQ(mapper.IndexOf({81, 4, 0}), -1);
    EXPECT_EQ(mapper.ProgramIdAt(1), (CTavProgramId{81, 3, 0}));
    EXPECT_EQ(mapper.ProgramIdAt(3), CTavProgramId::Invalid());
    mapper.SetCount(2);
    EXPECT_EQ(mapper.IndexOf({81, 5, 9}), -1);
}

TEST(EntityIdMapper, MatchesWithWildcardsAndIndexesExactly) {
    const CEntityIdMapper bank({0, 0, 2, 10}, 5);
    const struct {
        CTavEntityId id;
        bool matches;
        int32_t index;
    } cases[] = {
        {{0, 0, 2, 10}, true, 0},   {{0, 0, 2, 14}, true, 4},   {{0, 0, 2, 15}, false, -1},
        {{0, 0, 2, 9}, false, -1},  {{0, 0, 2, -2}, true, -1},  {{-2, -2, -2, -2}, true, -1},
        {{0, 0, -2, 12}, true, -1}, {{0, 1, 2, 12}, false, -1}, {{1, 0, 2, 12}, false, -1},
        {{0, 0, 3, -2}, false, -1}, {{0, 0, 2, -1}, false, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bank.Matches(c.id), c.matches) << c.id.type << c.id.bank << c.id.subBank << c.id.number;
        EXPECT_EQ(bank.IndexOf(c.id), c.index) << c.id.type << c.id.bank << c.id.subBank << c.id.number;
    }
    EXPECT_EQ(bank.EntityIdAt(3), (CTavEntityId{0, 0, 2, 13}));
    EXPECT_EQ(bank.EntityIdAt(5), CTavEntityId::Invalid());
    // An empty bank matches nothing, not even the full wildcard.
    EXPECT_FALSE(CEntityIdMapper({0, 0, 0, 0}, 0).Matches({-2, -2, -2, -2}));
}

TEST(InformationMappers, StoreCopiesAndAnswerNullObjects) {
    CContinuousInformationMapper<CCategoryInformation> continuous(3);
    EXPECT_TRUE(continuous.InformationAt(0).IsNull());
    EXPECT_TRUE(continuous.PushBack(CCategoryInformation("A", 4)));
    EXPECT_TRUE(continuous.Insert({2, CNameInformation("C")}));
    EXPECT_TRUE(continuous.InformationAt(1).IsNull()); // the gap
    EXPECT_EQ(continuous.InformationAt(2).Name(), "C");
    EXPECT_FALSE(continuous.Insert({3, CCategoryInformation("D", 0)}));
    EXPECT_FALSE(continuous.PushBack(CCategoryInformation("D", 0))); // full
    EXPECT_EQ(continuous.InformationAt(0).Category(), 4);
    continuous.SetCount(1);
    EXPECT_TRUE(continuous.InformationAt(2).IsNull());

    CIntermittentInformationMapper<Brio::CTavSampleInformation> samples(10);
    EXPECT_TRUE(samples.Insert({7, Brio::CTavSampleInformation("S", 1, 300, 0)}));
    EXPECT_TRUE(samples.PushBack(Brio::CTavSampleInformation("T", 0, 1, 0))); // after the highest
    const auto& sample = dynamic_cast<const Brio::CTavSampleInformation&>(samples.InformationAt(7));
    EXPECT_EQ(sample.Size(), 300);
    EXPECT_EQ(samples.InformationAt(8).Name(), "T");
    EXPECT_TRUE(dynamic_cast<const Brio::CNullSampleInformation*>(&samples.InformationAt(3)));
    EXPECT_FALSE(samples.Insert({10, Brio::CTavSampleInformation()}));
    EXPECT_FALSE(samples.Insert({-1, Brio::CTavSampleInformation()}));
}

TEST(InformationMappers, FilledEntriesReadAsCopiesUntilOneChanges) {
    CContinuousInformationMapper<CCategoryInformation> names(5);
    ASSERT_TRUE(names.PushBack(CCategoryInformation("First", 1)));
    names.Fill(CCategoryInformation("", 39));
    EXPECT_EQ(names.Stored(), 5);
    EXPECT_FALSE(names.PushBack(CCategoryInformation("X", 0))); // full
    auto describe = [&] {
        std::string text;
        for (int32_t i = -1; i <= names.Count(); ++i) {
            const IInformation& at = names.InformationAt(i);
            text += at.IsNull() ? std::string("-") : at.Name() + ":" + std::to_string(at.Category());
            text += ' ';
        }
        return text;
    };
    EXPECT_EQ(describe(), "- First:1 :39 :39 :39 :39 - ");
    ASSERT_TRUE(names.Insert({2, CNameInformation("Two")}));
    EXPECT_EQ(describe(), "- First:1 :39 Two:0 :39 :39 - "); // the copies after it stay shared
    EXPECT_EQ(names.Stored(), 5);
    EXPECT_FALSE(names.PushBack(CCategoryInformation("X", 0)));
    ASSERT_TRUE(names.Insert({3, CNameInformation("Three")}));
    names.MutableAt(4)->SetName("Four");
    EXPECT_EQ(describe(), "- First:1 :39 Two:0 Three:0 Four:39 - ");
    names.SetCount(3);
    EXPECT_EQ(describe(), "- First:1 :39 Two:0 - ");
    names.SetCount(6);
    names.Fill(CCategoryInformation("Pad", 0));
    EXPECT_EQ(describe(), "- First:1 :39 Two:0 Pad:0 Pad:0 Pad:0 - ");
    names.SetCount(4); // cuts the shared copies too
    EXPECT_EQ(names.Stored(), 4);
    names.SetCount(5);
    EXPECT_TRUE(names.PushBack(CCategoryInformation("Last", 2)));
    EXPECT_EQ(describe(), "- First:1 :39 Two:0 Pad:0 Last:2 - ");
    names.Clear();
    EXPECT_EQ(names.Stored(), 0);
    EXPECT_EQ(describe(), "- - - - - - - ");
}

class Catalog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TavCreateFixedBanks(manager, {"Wave A", "Wave B"}));
        ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 0, 130));
        ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::User, 2, 3));
        ASSERT_TRUE(TavAddNameBank(manager, Patch, TavEntityArea::Card, 0, 4));
        ASSERT_TRUE(TavAddNameBank(manager, RhythmSet, TavEntityArea::User, 0, 2));
    }
    CTavEntityManager manager;
};

TEST_F(Catalog, FixedBanksHoldTheirFirstEntries) {
    EXPECT_EQ(manager.Count({MultiEffect, 2, 0, -2}), 48);
    EXPECT_EQ(manager.InformationOf({MultiEffect, 2, 0, 0}).Name(), "THROUGH");
    EXPECT_EQ(manager.InformationOf({MultiEffect, 2, 0, 37}).Name(), "2Vo PITCH SHIFTER");
    EXPECT_EQ(manager.InformationOf({MultiEffect, 2, 0, 37}).Category(), 7);
    EXPECT_EQ(manager.InformationOf({MultiEffect, 2, 0, 47}).Category(), 5);
    EXPECT_EQ(manager.Count({Wave, 2, 0, -2}), 623);
    EXPECT_EQ(manager.InformationOf({Wave, 2, 0, 0}).Name(), "Off");
    EXPECT_EQ(manager.InformationOf({Wave, 2, 0, 2}).Name(), "Wave B");
    EXPECT_TRUE(manager.InformationOf({Wave, 2, 0, 3}).IsNull());
    EXPECT_EQ(manager.ProgramIdOf({Wave, 2, 0, 2}), (CTavProgramId{84, 64, 2}));
    EXPECT_EQ(manager.Count({Sample, 0, 0, -2}), 2001);
    EXPECT_EQ(manager.Count({Sample, 1, 0, -2}), 7001);
    EXPECT_EQ(manager.InformationOf({Sample, 1, 0, 0}).Name(), "Off");
    EXPECT_EQ(manager.ProgramIdOf({Sample, 1, 0, 6000}), (CTavProgramId{83, 32, 6000}));
    EXPECT_EQ(manager.ProgramIdOf({Patch, 3, 0, 1999}), (CTavProgramId{64, 15, 79}));
    EXPECT_EQ(manager.ProgramIdOf({Patch, 4, 0, 0}), (CTavProgramId{65, 0, 0}));
    // Creating them twice fails: the first entity IDs are taken.
    EXPECT_FALSE(TavCreateFixedBanks(manager, {}));
}

TEST_F(Catalog, MapsBetweenEntityAndProgramIds) {
    const struct {
        CTavEntityId entity;
        CTavProgramId program;
    } cases[] = {
        {{Patch, 0, 0, 130 - 1}, {81, 1, 1}}, {{Patch, 0, 2, 0}, {81, 2, 0}},
        {{Patch, 1, 0, 3}, {81, 32, 3}},      {{RhythmSet, 0, 0, 1}, {82, 0, 1}},
        {{Sample, 0, 0, 5}, {83, 0, 5}},      {{Patch, 3, 0, 130}, {64, 1, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(manager.ProgramIdOf(c.entity), c.program);
        EXPECT_EQ(manager.EntityIdOf(c.program), c.entity);
        EXPECT_TRUE(manager.HasProgramId(c.entity));
        EXPECT_TRUE(manager.HasEntityId(c.program));
    }
    for (const CTavProgramId& absent :
         {CTavProgramId{81, 1, 2}, CTavProgramId{81, 32, 4}, CTavProgramId{81, 3, 0},
          CTavProgramId{-1, -1, -1}, CTavProgramId{127, 127, 127}})
        EXPECT_FALSE(manager.EntityIdOf(absent).IsValid());
    for (const CTavEntityId& absent : {CTavEntityId{Patch, 0, 1, 0}, CTavEntityId{Patch, 0, 0, 130},
                                       CTavEntityId{Patch, 0, -2, 0}, CTavEntityId{}})
        EXPECT_FALSE(manager.ProgramIdOf(absent).IsValid());
}

TEST_F(Catalog, InsertersFillOneBankAndIgnoreWhatDoesNotFit) {
    auto none = manager.InserterFor({Patch, 0, 9, -2});
    EXPECT_TRUE(none->IsNull());
    EXPECT_TRUE(none->IsFull());
    EXPECT_FALSE(none->PushBack(CCategoryInformation("x", 0)));

    auto inserter = manager.InserterFor({Patch, 0, 2, -2});
    EXPECT_FALSE(inserter->IsNull());
    EXPECT_TRUE(manager.InformationOf({Patch, 0, 2, 0}).IsNull()); // cleared
    EXPECT_TRUE(inserter->PushBack(CCategoryInformation("A", 2)));
    EXPECT_TRUE(inserter->Insert(CTavProgramId{81, 2, 1}, CCategoryInformation("B", 3)));
    EXPECT_FALSE(inserter->Insert(CTavProgramId{81, 2, 3}, CCategoryInformation("outside", 3)));
    EXPECT_FALSE(inserter->IsFull());
    const auto reference = manager.Reference({Patch, 0, 2, 2});
    EXPECT_TRUE(inserter->Insert(*reference, CCategoryInformation("C", 1)));
    EXPECT_TRUE(inserter->IsFull());
    EXPECT_FALSE(inserter->PushBack(CCategoryInformation("D", 2)));
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 0}).Category(), 2);
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 1}).Name(), "B");
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 2}).Name(), "C");
}

TEST_F(Catalog, ReferencesWalkABankOrEveryMatchingBankInOrder) {
    std::vector<CTavEntityId> walked;
    for (auto entry = manager.Reference({Patch, 0, -2, -2}); entry->IsValid(); entry->Next())
        walked.push_back(entry->EntityId());
    ASSERT_EQ(walked.size(), 133u);
    EXPECT_EQ(walked[0], (CTavEntityId{Patch, 0, 0, 0}));
    EXPECT_EQ(walked[129], (CTavEntityId{Patch, 0, 0, 129}));
    EXPECT_EQ(walked[130], (CTavEntityId{Patch, 0, 2, 0}));
    EXPECT_EQ(walked[132], (CTavEntityId{Patch, 0, 2, 2}));

    auto one = manager.Reference({Patch, 1, 0, 3});
    EXPECT_EQ(one->ProgramId(), (CTavProgramId{81, 32, 3}));
    EXPECT_EQ(one->Information().Category(), 0);
    EXPECT_FALSE(one->Next());
    EXPECT_FALSE(manager.Reference({Patch, 1, 0, 4})->IsValid());
    EXPECT_TRUE(manager.Reference({Patch, 1, 0, 4})->Information().IsNull());
    // A number in every sub-bank: bank 0 and bank 2 both hold number 1.
    int count = 0;
    for (auto entry = manager.Reference({Patch, 0, -2, 1}); entry->IsValid(); entry->Next())
        ++count;
    EXPECT_EQ(count, 2);
    // Rhythm-set banks are padded with category 39.
    EXPECT_EQ(manager.Reference({RhythmSet, 0, 0, 1})->Information().Category(), 39);
}

TEST_F(Catalog, CountsAndRemovalFollowTheWildcardRules) {
    EXPECT_EQ(manager.Count({Patch, 0, -2, -2}), 130); // the first matching bank
    EXPECT_EQ(manager.CountBanks({Patch, 0, -2, -2}), 2);
    EXPECT_EQ(manager.CountBanks({Patch, 0, 2, -2}), 1);
    EXPECT_EQ(manager.CountBanks({-2, 0, 2, -2}), 1); // any type
    EXPECT_EQ(manager.CountBanks({-2, -2, 2, 1}), 1); // any type and area
    EXPECT_TRUE(manager.SetCount({Patch, 0, 2, -2}, 0));
    EXPECT_EQ(manager.Count({Patch, 0, 2, -2}), 0); // count 0 matches nothing
    EXPECT_TRUE(manager.InserterFor({Patch, 0, 2, -2})->IsNull());
    EXPECT_FALSE(manager.SetCount({Patch, 5, 0, 0}, 3));
    manager.RemoveBanks({Patch, 0, 7, 7});
    EXPECT_EQ(manager.CountBanks({Patch, 0, -2, -2}), 0); // every sub-bank of the type and area
    EXPECT_EQ(manager.CountBanks({RhythmSet, 0, -2, -2}), 1);
    EXPECT_FALSE(manager.HasProgramId({Patch, 0, 0, 0}));
    EXPECT_TRUE(manager.HasProgramId({Patch, 1, 0, 0}));
    EXPECT_TRUE(manager.HasProgramId({Patch, 3, 0, 0}));
    EXPECT_FALSE(TavAddNameBank(manager, Wave, 0, 0, 1));
    EXPECT_FALSE(TavAddNameBank(manager, Patch, 2, 0, 1));
    EXPECT_FALSE(TavAddNameBank(manager, Patch, 0, 32, 1));
    EXPECT_FALSE(TavAddNameBank(manager, Patch, 0, 0, kTavMaxBankCount + 1));
}

TavBytes NameRecord(uint8_t msb, uint8_t lsb, uint8_t program, uint8_t category, const char* name) {
    TavBytes record = {msb, lsb, program, category, 0};
    for (int i = 0; i < 12; ++i)
        record.push_back(static_cast<uint8_t>(name[i]));
    return record;
}

TEST(EntityRecords, NameRecordsParseOnlyWhenWellFormed) {
    CTavNameRecord record;
    const TavBytes good = NameRecord(81, 1, 2, 7, "Bright Pad  ");
    ASSERT_TRUE(TavParseNameRecord(good.data(), good.size(), record));
    EXPECT_EQ(record.program, (CTavProgramId{81, 1, 2}));
    EXPECT_EQ(record.category, 7);
    EXPECT_EQ(record.name, "Bright Pad  ");

    TavBytes highBit = good, control = good, longer = good;
    highBit[2] = 0x80;
    control[8] = 0x07;
    longer.push_back(0x20);
    const TavBytes hostile[] = {
        TavBytes(good.begin(), good.end() - 1),
        longer,
        TavBytes(17, 0x7F),
        TavBytes(17, 0),
        highBit,
        control,
        TavBytes{},
    };
    for (const TavBytes& bytes : hostile)
        EXPECT_FALSE(TavParseNameRecord(bytes.data(), bytes.size(), record)) << bytes.size();
    EXPECT_FALSE(TavParseNameRecord(nullptr, 17, record));
}

TEST(EntityRecords, NumberRecordsCarryLsbAndCount) {
    CTavNumberRecord record;
    const TavBytes good = {0, 33, 0, 0, 0, 8, 2};
    ASSERT_TRUE(TavParseNumberRecord(good.data(), good.size(), record));
    EXPECT_EQ(record.lsb, 33);
    EXPECT_EQ(record.count, 130);
    const TavBytes hostile[] = {{0, 1, 0},
                                {0, 1, 0, 0x10},
                                {0, 0x80, 0, 1},
                                {0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0},
                                {0, 1, 0, 4, 0, 0, 1}};
    for (const TavBytes& bytes : hostile)
        EXPECT_FALSE(TavParseNumberRecord(bytes.data(), bytes.size(), record)) << bytes.size();
}

TavBytes SampleRecord(uint8_t lsb, int32_t number, uint8_t kind, const char* name, int64_t size) {
    TavBytes record = {lsb};
    for (int shift = 12; shift >= 0; shift -= 4)
        record.push_back(static_cast<uint8_t>(number >> shift & 15));
    record.push_back(kind);
    for (int i = 0; i < 16; ++i)
        record.push_back(static_cast<uint8_t>(name[i]));
    for (int shift = 28; shift >= 0; shift -= 7)
        record.push_back(static_cast<uint8_t>(size >> shift & 0x7F));
    record.push_back(1);
    return record;
}

TEST_F(Catalog, NameRecordsAreFiledIntoTheCurrentInserter) {
    auto inserter = manager.InserterFor({Patch, 0, 2, -2});
    const struct {
        TavBytes record;
        bool filed;
    } cases[] = {
        {NameRecord(81, 2, 0, 5, "First       "), true},
        {NameRecord(81, 9, 0, 5, "No bank     "), false}, // maps to no entity
        {NameRecord(82, 0, 0, 5, "Rhythm      "), true},  // maps, goes to the current bank
        {TavBytes(17, 0x7F), false},
        {TavBytes(16, 0x41), false},
        {NameRecord(81, 2, 2, 5, "Third       "), true},
        {NameRecord(81, 2, 1, 5, "Too many    "), false}, // the bank is full
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavFileNameRecord(manager, *inserter, c.record.data(), c.record.size()), c.filed);
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 0}).Name(), "First       ");
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 1}).Name(), "Rhythm      ");
    EXPECT_EQ(manager.InformationOf({Patch, 0, 2, 2}).Name(), "Third       ");
    CTavEntityManager::CNullInserter null;
    const TavBytes record = NameRecord(81, 2, 0, 5, "First       ");
    EXPECT_FALSE(TavFileNameRecord(manager, null, record.data(), record.size()));
}

TEST_F(Catalog, SampleRecordsFillTheSampleAndSamplePatchBanks) {
    const struct {
        TavBytes record;
        bool filed;
    } cases[] = {
        {SampleRecord(0, 5, 1, "Loop Left       ", 44100), true},
        {SampleRecord(0, 6, 2, "Loop Right      ", 44100), true},
        {SampleRecord(32, 7000, 0, "Card Last       ", 5), true},
        {SampleRecord(32, 7001, 0, "Beyond          ", 5), false},
        {SampleRecord(16, 3, 0, "Other LSB       ", 5), false},
        {SampleRecord(0, 3, 4, "Bad kind        ", 5), false},
        {TavBytes(28, 0x7F), false},
        {TavBytes(27, 0x01), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavFileSampleRecord(manager, c.record.data(), c.record.size()), c.filed);
    const auto& left =
        dynamic_cast<const Brio::CTavSampleInformation&>(manager.InformationOf({Sample, 0, 0, 5}));
    EXPECT_EQ(left.Name(), "Loop Left       ");
    EXPECT_EQ(left.Kind(), 1);
    EXPECT_EQ(left.Size(), 44100);
    EXPECT_EQ(left.Flag(), 1);
    EXPECT_EQ(manager.InformationOf({Patch, 3, 0, 4}).Name(), "Loop Left       ");
    EXPECT_EQ(manager.InformationOf({Patch, 3, 0, 4}).Category(), 36);
    EXPECT_EQ(manager.InformationOf({Patch, 3, 0, 5}).Name(), "----------------");
    EXPECT_EQ(manager.InformationOf({Patch, 4, 0, 6999}).Name(), "Card Last       ");
    EXPECT_EQ(manager.InformationOf({Sample, 0, 0, 0}).Name(), "Off");
}

// Every way the catalog changes moves its generation on, and reading it does not.
TEST_F(Catalog, EveryChangeMovesTheGeneration) {
    const CTavEntityId user{Patch, TavEntityArea::User, 0, 0};
    const CTavEntityId wildcard{Patch, TavEntityArea::User, 0, -2};
    std::unique_ptr<IInserter> inserter;
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"SetCount", [&] { manager.SetCount(wildcard, 100); }},
        {"SetInformation", [&] { manager.SetInformation(user, CCategoryInformation("Pad", 1)); }},
        {"InserterFor", [&] { inserter = manager.InserterFor(wildcard); }},
        {"PushBack", [&] { inserter->PushBack(CCategoryInformation("Lead", 2)); }},
        {"Insert by program",
         [&] {
             inserter->Insert(CTavProgramId{81, 0, 5}, CCategoryInformation("Bass", 3));
         }},
        {"Insert by reference",
         [&] { inserter->Insert(*manager.Reference(user), CCategoryInformation("Keys", 4)); }},
        {"RemoveBank",
         [&] {
             manager.RemoveBank({Patch, TavEntityArea::User, 2, 0});
         }},
        {"RemoveBanks", [&] { manager.RemoveBanks(user); }},
        {"AddBank", [&] { TavAddNameBank(manager, Patch, TavEntityArea::User, 0, 10); }},
        {"Clear", [&] { manager.Clear(); }},
    };
    for (const auto& [name, change] : changes) {
        const uint32_t before = manager.Generation();
        change();
        EXPECT_NE(manager.Generation(), before) << name;
    }
    const uint32_t before = manager.Generation();
    manager.EntityIdOf(CTavProgramId{81, 0, 0});
    manager.InformationOf(user);
    manager.Count(wildcard);
    manager.Reference(wildcard)->Next();
    EXPECT_EQ(manager.Generation(), before);
}

} // namespace
