// The device's selection menus: printers, the division and category creators, the two
// layouts and the choice of an entity through the popup.

#include <gtest/gtest.h>

#include "device/CTavEntitySelector.h"
#include "script/CTavTable.h"
#include "support/FakeMenuSources.h"

namespace {

using Brio::CTavEntitySelector;
using test::FakeMenuSource;
using test::FakeSources;
using test::Outline;

CTavStringTable Categories() {
    CTavStringTable table;
    table.SetName("categoryTable");
    for (int i = 0; i < 40; ++i)
        table.Elements().push_back("C" + std::to_string(i));
    table.Elements()[0] = "No Assign";
    table.Elements()[36] = "Sample";
    table.Elements()[39] = "Drums";
    return table;
}

std::shared_ptr<IInformation> Sample(int32_t kind) {
    return std::make_shared<Brio::CTavSampleInformation>("KICK", kind, 100, 0);
}

// Children texts of one menu level.
std::string Titles(const CTavMenuItem* item) {
    std::string text;
    for (size_t i = 0; i < item->Children().size(); ++i)
        text += (i > 0 ? "|" : "") + item->Children()[i]->Text();
    return text;
}

} // namespace

TEST(EntitySelector, PrintersWordTypesBanksCategoriesAndEntries) {
    const CTavStringTable categories = Categories();
    const auto twoCardBanks = [](int32_t, int32_t bank) { return bank == 1 ? 2 : 1; };
    const auto oneBankEach = [](int32_t, int32_t) { return 1; };
    const CTavEntitySelector::CTypeItemPrinter type;
    const CTavEntitySelector::CBankItemPrinter bank;
    const CTavEntitySelector::CBankItemPrinter bankInTwo(twoCardBanks);
    const CTavEntitySelector::CCategoryItemPrinter category(&categories);
    const CTavEntitySelector::CCategoryItemPrinter noTable(nullptr);
    const CTavEntitySelector::CEntityItemPrinter entry(1);
    const CTavEntitySelector::CWaveItemPrinter wave(0);
    const CTavEntitySelector::CCategorizedEntityItemPrinter inTwo(&categories, twoCardBanks);
    const CTavEntitySelector::CCategorizedEntityItemPrinter inOne(&categories, oneBankEach);
    const CTavEntitySelector::CCategorizedEntityItemPrinter bare(nullptr, nullptr);
    struct Case {
        const CTavEntitySelector::IPrinter& printer;
        FakeMenuSource source;
        const char* text;
    };
    const Case cases[] = {
        {type, {{0, 0, 0, 0}, "A"}, "Patch"},
        {type, {{1, 1, 0, 0}, "A"}, "Rhythm"},
        {type, {{2, 2, 0, 0}, "A"}, ""},
        {bank, {{0, 0, 0, 0}, "A"}, "User"},
        {bank, {{0, 1, 1, 0}, "A"}, "Card"},
        {bank, {{0, 3, 0, 0}, "A"}, "User Sample"},
        {bank, {{0, 4, 0, 0}, "A"}, "Card Sample"},
        {bank, {{0, 2, 0, 0}, "A"}, ""},
        {bankInTwo, {{0, 1, 0, 0}, "A"}, "Card A"},
        {bankInTwo, {{1, 1, 1, 0}, "A"}, "Card B"},
        {bankInTwo, {{0, 0, 0, 0}, "A"}, "User"},
        {bankInTwo, {{0, 4, 0, 0}, "A"}, "Card Sample"},
        {category, {{0, 0, 0, 0}, "A", 39}, "Drums"},
        {category, {{0, 0, 0, 0}, "A", 40}, ""},
        {category, {{0, 3, 0, 0}, "A", 36}, "User Sample"},
        {category, {{0, 4, 0, 0}, "A", 36}, "Card Sample"},
        {noTable, {{0, 0, 0, 0}, "A", 5}, ""},
        {entry, {{0, 0, 0, 5}, "NAME"}, "  6: NAME"},
        {entry, {{0, 0, 0, 127}, ""}, "128: ------------"},
        {entry, {{0, 3, 0, 1999}, ""}, "2000: Empty"},
        {entry, {{0, 4, 0, 0}, "S"}, "  1: S"},
        {wave, {{3, 0, 0, 7}, "KICK", 0, Sample(1)}, "  7: KICK L"},
        {wave, {{3, 0, 0, 8}, "KICK", 0, Sample(2)}, "  8: KICK R"},
        {wave, {{3, 0, 0, 9}, "KICK", 0, Sample(0)}, "  9: KICK"},
        {wave, {{2, 2, 0, 1}, "SAW", 0, Sample(1)}, "  1: SAW"}, // waves have no halves
        {inTwo, {{0, 1, 1, 2}, "NAME"}, "Card B:   3: NAME"},
        {inOne, {{0, 1, 0, 2}, "NAME"}, "Card:   3: NAME"},
        {inTwo, {{1, 0, 0, 0}, ""}, "User:   1: ------------"},
        {inTwo, {{0, 3, 0, 4}, "KICK", 36}, "User Sample:   5: KICK        \t(Sample)"},
        {inTwo, {{0, 4, 0, 0}, "A_VERY_LONG_NAME", 36}, "Card Sample:   1: A_VERY_LONG_\t(Sample)"},
        {inTwo, {{0, 4, 0, 1}, "", 36}, "Card Sample:   2: Empty\t(Sample)"},
        {inTwo, {{0, 3, 0, 1}, "X", 90}, "User Sample:   2: X           "},
        {bare, {{0, 3, 0, 1}, "X", 36}, "User Sample:   2: X           "},
        {bare, {{0, 1, 3, 0}, "P"}, "Card:   1: P"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.printer.Print(c.source), c.text) << c.text;
}

TEST(EntitySelector, ByBankListsTypesBanksAndBlocksOf1024And32) {
    FakeSources sources;
    sources.Bank(0, 0, 0, 128, "U").Bank(0, 1, 0, 40, "C").Bank(0, 3, 0, 2000, "S").Bank(1, 0, 0, 2, "R");
    const auto built = CTavEntitySelector::BuildByBank(sources);
    const CTavMenuItem& menu = *built.menu;
    EXPECT_EQ(Titles(&menu), "Patch|Rhythm");
    EXPECT_EQ(Titles(test::At(menu, {0})), "User|Card|User Sample");
    EXPECT_EQ(Titles(test::At(menu, {0, 0})), "  1...");
    EXPECT_EQ(Titles(test::At(menu, {0, 0, 0})), "  1...| 33...| 65...| 97...");
    for (size_t block = 0; block < 4; ++block)
        EXPECT_EQ(test::At(menu, {0, 0, 0, block})->Children().size(), 32u);
    EXPECT_EQ(test::At(menu, {0, 0, 0, 0, 5})->Text(), "  6: U5");
    EXPECT_EQ(test::At(menu, {0, 0, 0, 3, 31})->Text(), "128: U127");
    EXPECT_EQ(Titles(test::At(menu, {0, 1, 0})), "  1...| 33...");
    EXPECT_EQ(Titles(test::At(menu, {0, 2})), "  1...|1025...");
    EXPECT_EQ(test::At(menu, {0, 2, 1})->Children().size(), 31u); // 976 entries in 32s
    EXPECT_EQ(Outline(*test::At(menu, {1}), true), "User{  1...{  1...{  1: R0#2168,  2: R1#2169}}}");
    // Leaves are numbered in source order and map back to their entities.
    EXPECT_EQ(built.LeafIndexOf({0, 1, 0, 3}), 131);
    EXPECT_EQ(built.EntityAt(131), (CTavEntityId{0, 1, 0, 3}));
    EXPECT_EQ(test::At(menu, {0, 1, 0, 0, 3})->LeafIndex(), 131);
    EXPECT_EQ(built.LeafIndexOf({0, 1, 0, 40}), -1);
    EXPECT_EQ(built.LeafIndexOf(CTavEntityId::Invalid()), -1);
    EXPECT_FALSE(built.EntityAt(2170).IsValid());
    EXPECT_FALSE(built.EntityAt(-1).IsValid());
}

TEST(EntitySelector, ByBankNamesTheBanksOfAnAreaByLetter) {
    FakeSources sources;
    sources.Bank(0, 0, 0, 1, "U").Bank(0, 1, 0, 1, "C").Bank(0, 1, 1, 1, "D");
    const auto twoCardBanks = [](int32_t, int32_t bank) { return bank == 1 ? 2 : 1; };
    EXPECT_EQ(Titles(test::At(*CTavEntitySelector::BuildByBank(sources, twoCardBanks).menu, {0})),
              "User|Card A|Card B");
}

TEST(EntitySelector, ByBankStartsABankOfItsOwnWhenOnlyTheTypeChanges) {
    // Card patches followed directly by card rhythm sets: the same (bank, sub-bank) pair.
    FakeSources sources;
    sources.Bank(0, 1, 0, 1, "P").Bank(1, 1, 0, 1, "R");
    const auto built = CTavEntitySelector::BuildByBank(sources);
    EXPECT_EQ(Outline(*built.menu), "Patch{Card{  1...{  1...{  1: P0}}}},Rhythm{Card{  1...{  1...{  1: R0}}}}");
}

TEST(EntitySelector, ByCategoryFilesEntitiesIntoBucketsInBucketOrder) {
    const CTavStringTable categories = Categories();
    FakeSources sources;
    sources.Add({{0, 0, 0, 0}, "Piano", 1})
        .Add({{0, 0, 0, 1}, "Bass", 2})
        .Add({{0, 0, 0, 2}, "EPiano", 1})
        .Add({{0, 1, 1, 0}, "CardPiano", 1})
        .Add({{0, 3, 0, 0}, "", 36})
        .Add({{0, 4, 0, 0}, "LOOP", 36})
        .Add({{0, 0, 0, 3}, "Odd", 100}) // outside the buckets: filed with category 0
        .Add({{1, 0, 0, 0}, "Kit", 39});
    const auto twoCardBanks = [](int32_t, int32_t bank) { return bank == 1 ? 2 : 1; };
    const auto built = CTavEntitySelector::BuildByCategory(sources, &categories, twoCardBanks);
    EXPECT_EQ(Outline(*built.menu, true),
              "{  1...{User:   4: Odd#6}},"
              "C1{  1...{User:   1: Piano#0,User:   3: EPiano#2,Card B:   1: CardPiano#3}},"
              "C2{  1...{User:   2: Bass#1}},"
              "Drums{  1...{User:   1: Kit#7}},"
              "User Sample{  1...{User Sample:   1: Empty\t(Sample)#4}},"
              "Card Sample{  1...{Card Sample:   1: LOOP        \t(Sample)#5}}");
    EXPECT_EQ(built.LeafIndexOf({0, 1, 1, 0}), 3);
    EXPECT_EQ(built.menu->PathTo(3), (std::vector<int32_t>{1, 0, 2}));
}

TEST(EntitySelector, ByCategoryDividesEachBucketIntoBlocksOf32) {
    FakeSources sources;
    sources.Bank(0, 0, 0, 40, "A", 3).Bank(0, 3, 0, 70, "S", 36).Bank(0, 1, 0, 30, "B", 3);
    const auto built = CTavEntitySelector::BuildByCategory(sources, nullptr, nullptr);
    const CTavMenuItem& menu = *built.menu;
    EXPECT_EQ(Titles(&menu), "|User Sample"); // no category table: an empty title
    EXPECT_EQ(Titles(test::At(menu, {0})), "  1...| 33...| 65...");
    EXPECT_EQ(test::At(menu, {0, 1})->Children().size(), 32u);
    EXPECT_EQ(test::At(menu, {0, 1, 8})->Text(), "Card:   1: B0");
    EXPECT_EQ(test::At(menu, {0, 2})->Children().size(), 6u);
    EXPECT_EQ(Titles(test::At(menu, {1})), "  1...| 33...| 65...");
    EXPECT_EQ(built.menu->CountLeaves(), 140);
}

TEST(EntitySelector, SelectingMarksTheCurrentEntityAndAnswersTheChosenOne) {
    struct Case {
        const char* what;
        int32_t answer;
        CTavEntityId current;
        int32_t marked;
        CTavEntityId chosen;
    };
    const Case cases[] = {
        {"choose", 130, {0, 0, 0, 5}, 5, {1, 0, 0, 2}},
        {"dismiss", -1, {1, 0, 0, 0}, 128, CTavEntityId::Invalid()},
        {"current not listed", 0, {0, 1, 0, 0}, -1, {0, 0, 0, 0}},
        {"answer beyond the menu", 500, CTavEntityId::Invalid(), -1, CTavEntityId::Invalid()},
    };
    for (const Case& c : cases) {
        for (bool byCategory : {false, true}) {
            FakeSources sources;
            sources.Bank(0, 0, 0, 128, "U").Bank(1, 0, 0, 4, "R", 39);
            test::FakePopup popup;
            popup.answer = c.answer;
            const TavPopupPosition at = TavPopupPosition::AtPoint({40, 50});
            const CTavEntityId chosen =
                byCategory ? CTavEntitySelector::SelectByCategory(sources, c.current, popup, nullptr, nullptr, at)
                           : CTavEntitySelector::SelectByBank(sources, c.current, popup, nullptr, at);
            EXPECT_EQ(chosen, c.chosen) << c.what << byCategory;
            EXPECT_EQ(popup.lastCurrent, c.marked) << c.what << byCategory;
            EXPECT_EQ(popup.lastLeaves, 132) << c.what;
            EXPECT_EQ(popup.lastPosition.point, (TavPoint{40, 50}));
        }
    }
}

TEST(EntitySelector, AnEmptyCatalogGivesAnEmptyMenuAndNoChoice) {
    FakeSources sources;
    EXPECT_TRUE(CTavEntitySelector::BuildByBank(sources).menu->Children().empty());
    EXPECT_TRUE(CTavEntitySelector::BuildByCategory(sources, nullptr, nullptr).menu->Children().empty());
    test::FakePopup popup;
    popup.answer = 0;
    EXPECT_FALSE(CTavEntitySelector::SelectByBank(sources, {0, 0, 0, 0}, popup).IsValid());
    EXPECT_FALSE(CTavEntitySelector::SelectByCategory(sources, {0, 0, 0, 0}, popup, nullptr, nullptr).IsValid());
    EXPECT_EQ(popup.shown, 0);
}
