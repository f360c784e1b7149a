// The generic menu builder (levels, current items, ranks, leaf numbering), the menu item
// tree and the string-table menus.

#include <functional>
#include <gtest/gtest.h>

#include "entity/CTavPopupMenuBuilder.h"
#include "entity/CTavStringTablePopupMenuUtility.h"
#include "script/CTavTable.h"
#include "support/FakeMenuSources.h"
#include "view/ITavPopupMenu.h"

namespace {

using CBuilder = CTavPopupMenuBuilder<int32_t>;
using CCreation = CBuilder::IItemCreator::CCreation;
using CKeys = CTavStringTablePopupMenuUtility::CKeyIterator;

// A creator whose answer is a function of the item.
class LambdaCreator : public CBuilder::IItemCreator {
public:
    explicit LambdaCreator(std::function<CCreation(int32_t)> create) : m_create(std::move(create)) {}
    CCreation Create(const int32_t& item) override { return m_create(item); }

private:
    std::function<CCreation(int32_t)> m_create;
};

LambdaCreator Leaves() {
    return LambdaCreator([](int32_t key) { return CCreation::New(std::make_unique<CTavMenuItem>(std::to_string(key))); });
}

// A submenu titled "<prefix><key>" where the test says so.
LambdaCreator SubmenusAt(std::function<bool(int32_t)> starts, std::string prefix) {
    return LambdaCreator([starts, prefix](int32_t key) {
        return starts(key) ? CCreation::New(CTavMenuItem::Submenu(prefix + std::to_string(key))) : CCreation::None();
    });
}

CTavStringTable Table(std::vector<std::string> elements) {
    CTavStringTable table;
    table.SetName("t");
    table.Elements() = std::move(elements);
    return table;
}

} // namespace

TEST(PopupMenuBuilder, LevelsNestFromTheOutsideInAndLeavesAreNumberedInOrder) {
    struct Case {
        const char* what;
        std::function<bool(int32_t)> outer, inner;
        int32_t count;
        const char* outline;
    };
    const Case cases[] = {
        {"two levels", [](int32_t k) { return k % 4 == 0; }, [](int32_t k) { return k % 2 == 0; }, 6,
         "O0{I0{0#0,1#1},I2{2#2,3#3}},O4{I4{4#4,5#5}}"},
        // Before the first inner submenu the leaves go into the nearest outer one.
        {"inner starts late", [](int32_t k) { return k == 0; }, [](int32_t k) { return k == 2; }, 4,
         "O0{0#0,1#1,I2{2#2,3#3}}"},
        // A new outer submenu leaves the inner level's current item in place until the
        // inner creator answers again.
        {"inner keeps its item", [](int32_t k) { return k == 0 || k == 2; }, [](int32_t k) { return k == 1; }, 4,
         "O0{0#0,I1{1#1,2#2,3#3}},O2{}"},
        {"no outer submenus", [](int32_t) { return false; }, [](int32_t) { return false; }, 3, "0#0,1#1,2#2"},
        {"nothing to list", [](int32_t) { return true; }, [](int32_t) { return true; }, 0, ""},
    };
    for (const Case& c : cases) {
        LambdaCreator leaves = Leaves();
        LambdaCreator inner = SubmenusAt(c.inner, "I");
        LambdaCreator outer = SubmenusAt(c.outer, "O");
        CKeys keys(0, c.count);
        const auto menu = CBuilder::Build(keys, {&leaves, &inner, &outer});
        EXPECT_EQ(test::Outline(*menu, true), c.outline) << c.what;
    }
}

TEST(PopupMenuBuilder, RanksOrderNewItemsAndItemsMadeEarlierBecomeCurrentAgain) {
    // Odd and even keys in two groups, the odd group listed first whatever comes first.
    std::vector<CTavMenuItem*> groups(2, nullptr);
    LambdaCreator group([&groups](int32_t key) {
        CTavMenuItem*& made = groups[static_cast<size_t>(key % 2)];
        if (made)
            return CCreation::Again(made);
        auto item = CTavMenuItem::Submenu(key % 2 ? "odd" : "even");
        made = item.get();
        return CCreation::New(std::move(item), key % 2 ? 0 : 1);
    });
    LambdaCreator leaves = Leaves();
    CKeys keys(0, 5);
    const auto menu = CBuilder::Build(keys, {&leaves, &group});
    EXPECT_EQ(test::Outline(*menu, true), "odd{1#1,3#3},even{0#0,2#2,4#4}");
    EXPECT_EQ(menu->PathTo(4), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(menu->PathTo(3), (std::vector<int32_t>{0, 1}));
}

TEST(PopupMenuBuilder, StopsAtTheItemBoundAndRestartsItsCreators) {
    struct CountingCreator : CBuilder::IItemCreator {
        int restarts = 0;
        void Restart() override { ++restarts; }
        CCreation Create(const int32_t&) override { return CCreation::New(std::make_unique<CTavMenuItem>("x")); }
    } leaves;
    CKeys keys(0, 100);
    const auto menu = CBuilder::Build(keys, {&leaves}, 7);
    EXPECT_EQ(menu->CountLeaves(), 7);
    EXPECT_EQ(leaves.restarts, 1);
}

TEST(MenuItem, PathsLeafCountsAndSeparators) {
    auto top = CTavMenuItem::Submenu({});
    CTavMenuItem& sub = top->Append(CTavMenuItem::Submenu("sub"));
    auto leaf = [](const char* text, int32_t index) {
        auto item = std::make_unique<CTavMenuItem>(text);
        item->SetLeafIndex(index);
        return item;
    };
    top->Append(std::make_unique<CTavMenuItem>(""));
    top->Append(leaf("a", 0));
    sub.Append(leaf("b", 1));
    sub.Append(CTavMenuItem::Submenu("empty", false));
    sub.Append(leaf("c", 2));
    EXPECT_EQ(test::Outline(*top, true), "sub{b#1,empty!{},c#2},,a#0");
    EXPECT_EQ(top->CountLeaves(), 3);
    EXPECT_TRUE(top->Children()[1]->IsSeparator());
    EXPECT_FALSE(top->Children()[0]->IsSeparator());
    EXPECT_EQ(top->PathTo(0), (std::vector<int32_t>{2}));
    EXPECT_EQ(top->PathTo(2), (std::vector<int32_t>{0, 2}));
    EXPECT_TRUE(top->PathTo(3).empty());
    EXPECT_TRUE(top->PathTo(-1).empty());
}

TEST(StringTableMenu, LeavesCarryTheTableTextsWithOrWithoutDivisions) {
    const CTavStringTable table = Table({"Sine", "Saw", "Square", "Noise", "Pulse"});
    const CTavStringTable names = Table({"Basic", "Other"});
    using CUtility = CTavStringTablePopupMenuUtility;
    struct Case {
        const char* what;
        int32_t count;
        std::vector<int32_t> divisions;
        const CTavStringTable* names;
        int32_t offset, width;
        const char* outline;
    };
    const Case cases[] = {
        {"flat", 5, {}, nullptr, 0, 3, "Sine#0,Saw#1,Square#2,Noise#3,Pulse#4"},
        {"fewer keys than texts", 2, {}, nullptr, 0, 3, "Sine#0,Saw#1"},
        {"keys beyond the table show as separators", 6, {}, nullptr, 0, 3,
         "Sine#0,Saw#1,Square#2,Noise#3,Pulse#4,"},
        {"numbered divisions", 5, CUtility::EveryNthKey(2, 5), nullptr, 1, 3,
         "  1...{Sine#0,Saw#1},  3...{Square#2,Noise#3},  5...{Pulse#4}"},
        {"numbered divisions, wider", 5, {0, 3}, nullptr, 10, 4, "  10...{Sine#0,Saw#1,Square#2},  13...{Noise#3,Pulse#4}"},
        {"named divisions, numbers beyond the names", 5, {1, 2, 4}, &names, 0, 3,
         "Sine#0,Basic...{Saw#1},Other...{Square#2,Noise#3},  4...{Pulse#4}"},
    };
    for (const Case& c : cases) {
        const auto menu = CUtility::Build(table, c.count, c.divisions, c.names, c.offset, c.width);
        EXPECT_EQ(test::Outline(*menu, true), c.outline) << c.what;
    }
    EXPECT_EQ(CUtility::EveryNthKey(32, 65), (std::vector<int32_t>{0, 32, 64}));
    EXPECT_TRUE(CUtility::EveryNthKey(0, 65).empty());
    EXPECT_EQ(CUtility::Build(table, 0)->Children().size(), 0u);
}

TEST(PopupPosition, AtTheMouseFromTheMouseOrAtAPoint) {
    const TavPoint mouse{300, 200};
    EXPECT_EQ(TavPopupPosition::AtMouse().Resolve(mouse), (TavPoint{310, 210}));
    EXPECT_EQ(TavPopupPosition::FromMouse({-5, 7}).Resolve(mouse), (TavPoint{295, 207}));
    EXPECT_EQ(TavPopupPosition::AtPoint({1, 2}).Resolve(mouse), (TavPoint{1, 2}));
}
