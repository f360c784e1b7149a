// The part patch name text: the name it finds in the catalog for a part's bank select and
// program number, how it breaks a name in two lines, and the strips of the shipped main
// panel following their part's program, the catalog, and clicks.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"
#include "device/CTavPartPatchNameStaticText.h"
#include "entity/CTavEntityBanks.h"
#include "entity/CTavEntityManager.h"
#include "entity/CTavInformation.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using Brio::CTavPartPatchNameStaticText;
using namespace TavEntityType;
using namespace TavEntityArea;

// Two user patch banks (the first named in part), a card rhythm bank without names and the
// fixed banks with the samples seen as patches.
void FillCatalog(CTavEntityManager& catalog) {
    ASSERT_TRUE(TavCreateFixedBanks(catalog, {}));
    ASSERT_TRUE(TavAddNameBank(catalog, Patch, User, 0, 128));
    ASSERT_TRUE(TavAddNameBank(catalog, Patch, User, 1, 128));
    ASSERT_TRUE(TavAddNameBank(catalog, RhythmSet, Card, 0, 128));
    auto names = catalog.InserterFor({Patch, User, 0, TavWildcard});
    for (const char* name : {"Grand Piano ", "Warm Pad", "", "SuperSawLead"})
        ASSERT_TRUE(names->PushBack(CCategoryInformation(name, 1)));
}

TEST(PartPatchName, NamesWhatTheCatalogHoldsForTheProgram) {
    CTavEntityManager catalog;
    FillCatalog(catalog);
    struct Case {
        int32_t msb, lsb, pc;
        const char* shown;
    };
    const Case cases[] = {
        {81, 0, 0, "Grand Piano"},                      // trailing blanks go
        {81, 0, 1, "Warm Pad"},    {81, 0, 2, "U:003"}, // known entry without a name: area and number
        {81, 0, 127, "U:128"},     {81, 1, 0, "U:129"}, // the second user bank goes on counting
        {82, 32, 9, "C:010"},                           // card rhythm sets
        {64, 0, 0, "S:0001"},                           // a user sample played as a patch
        {64, 1, 4, "S:0133"},      {81, 2, 0, "---"},   // no third user bank
        {81, 0, 128, "---"},                            // program number past 127
        {90, 0, 0, "---"},                              // no area at that MSB
        {-1, 0, 0, "---"},                              // a value that is missing
    };
    for (const Case& c : cases)
        EXPECT_EQ(Brio::TavPartPatchName(catalog, c.msb, c.lsb, c.pc), c.shown)
            << c.msb << " " << c.lsb << " " << c.pc;
    CTavEntityManager empty;
    EXPECT_EQ(Brio::TavPartPatchName(empty, 81, 0, 0), "---");
}

TEST(PartPatchName, BreaksLongNamesAtTheBlankNearestTheMiddle) {
    struct Case {
        const char* name;
        size_t fits;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"Piano", 7, "Piano", ""},
        {"Piano   ", 5, "Piano", ""},
        {"Grand Piano", 7, "Grand", "Piano"},
        {"A Big Warm Pad", 7, "A Big", "Warm Pad"},
        {"Str  Ensemble", 7, "Str", "Ensemble"},
        {"SuperSawLead", 7, "SuperS", "awLead"},
        {"Lead ", 2, "Le", "ad"},
        {"X", 0, "X", ""},
        {"", 0, "", ""},
        {" Pad", 2, " P", "ad"}, // a leading blank is no place to break
    };
    for (const Case& c : cases) {
        const auto [first, second] = Brio::TavSplitName(c.name, c.fits);
        EXPECT_EQ(first, c.first) << '"' << c.name << '"';
        EXPECT_EQ(second, c.second) << '"' << c.name << '"';
    }
}

// Records the calls of one device function while it lives.
class RecordedFunction {
public:
    explicit RecordedFunction(std::string name) : m_name(std::move(name)) {
        CTavSystem::Instance().FunctionManager().Register(m_name, std::make_unique<Functor>(calls));
    }
    ~RecordedFunction() { CTavSystem::Instance().FunctionManager().Unregister(m_name); }
    std::vector<std::string> calls;

private:
    class Functor : public CTavFunctionManager::IFunctor {
    public:
        explicit Functor(std::vector<std::string>& calls) : m_calls(calls) {}
        bool Invoke(const std::string& arguments) override {
            m_calls.push_back(arguments);
            return true;
        }

    private:
        std::vector<std::string>& m_calls;
    };
    std::string m_name;
};

class PartPatchNameStrip : public test::ModelFixture {
protected:
    void SetUp() override {
        FillCatalog(catalog);
        CTavPartPatchNameStaticText::SetCatalog(&catalog);
        system.SetScriptFolder(scripts.String() + "/");
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        Build(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        main = system.ViewManager().FindRootPanel("main");
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override { CTavPartPatchNameStaticText::SetCatalog(nullptr); }

    CTavPartPatchNameStaticText* Strip(int part) {
        CTavView* view = nullptr;
        EXPECT_TRUE(main->FindControl("main.mixer.part" + std::to_string(part) + ".patch", view)) << part;
        return dynamic_cast<CTavPartPatchNameStaticText*>(view);
    }
    void Program(int part, int32_t msb, int32_t lsb, int32_t pc) {
        const std::string path = "qv.prti.part[" + std::to_string(part - 1) + "].";
        TavSetValueInteger(Buffers(), Value(path + "patchBankSelectMsb"), msb);
        TavSetValueInteger(Buffers(), Value(path + "patchBankSelectLsb"), lsb);
        TavSetValueInteger(Buffers(), Value(path + "patchProgramNumber"), pc);
    }

    CTavEntityManager catalog;
    test::ScriptFolderCopy scripts;
    CTavRootPanel* main = nullptr;
};

TEST_F(PartPatchNameStrip, FollowsItsPartsProgram) {
    for (int part = 1; part <= 16; ++part) {
        ASSERT_NE(Strip(part), nullptr) << part;
        EXPECT_EQ(Strip(part)->Name(), "Grand Piano") << part; // every part starts on U:001
    }
    Program(3, 81, 0, 1);
    EXPECT_EQ(Strip(3)->Name(), "Warm Pad");
    EXPECT_EQ(Strip(4)->Name(), "Grand Piano");
    Program(3, 81, 1, 5);
    EXPECT_EQ(Strip(3)->Name(), "U:134");
    Program(3, 82, 32, 0);
    EXPECT_EQ(Strip(3)->Name(), "C:001");
    Program(3, 81, 5, 0);
    EXPECT_EQ(Strip(3)->Name(), "---");
}

TEST_F(PartPatchNameStrip, FollowsTheCatalogAtTheNextTick) {
    Program(2, 81, 0, 2);
    EXPECT_EQ(Strip(2)->Name(), "U:003");
    ASSERT_TRUE(catalog.SetInformation({Patch, User, 0, 2}, CCategoryInformation("Fat Bass", 13)));
    main->OnTimer(CTavTimerInfo{});
    EXPECT_EQ(Strip(2)->Name(), "Fat Bass");
    // Names read again from the device replace the bank's.
    auto names = catalog.InserterFor({Patch, User, 0, TavWildcard});
    for (const char* name : {"One", "Two", "Three"})
        names->PushBack(CCategoryInformation(name, 1));
    main->OnTimer(CTavTimerInfo{});
    EXPECT_EQ(Strip(2)->Name(), "Three");
    EXPECT_EQ(Strip(1)->Name(), "One");
    // The bank gone: the user names file lost, say.
    catalog.RemoveBanks({Patch, User, 0, 0});
    main->OnTimer(CTavTimerInfo{});
    EXPECT_EQ(Strip(2)->Name(), "---");
}

TEST_F(PartPatchNameStrip, AClickListsThePatchesOfItsPart) {
    RecordedFunction selectPatch("SelectPatch");
    for (int part : {1, 7, 16}) {
        const TavRect rect = Strip(part)->Rect();
        const TavPoint middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        selectPatch.calls.clear();
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, middle, 0});
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, middle, 0});
        EXPECT_EQ(selectPatch.calls, std::vector<std::string>{std::to_string(part - 1)}) << part;
    }
    // A press beside the text is not the text's, nor a move or a double click on it.
    const TavRect rect = Strip(5)->Rect();
    selectPatch.calls.clear();
    EXPECT_FALSE(Strip(5)->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, {rect.right, rect.top}, 0}));
    EXPECT_FALSE(Strip(5)->OnMouse(CTavMouseInfo{CTavMouseInfo::kMove, {rect.left, rect.top}, 0}));
    EXPECT_FALSE(Strip(5)->OnMouse(CTavMouseInfo{CTavMouseInfo::kDoubleClick, {rect.left, rect.top}, 0}));
    EXPECT_TRUE(selectPatch.calls.empty());
}

} // namespace
