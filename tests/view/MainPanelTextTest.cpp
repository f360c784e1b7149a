// The main window of the shipped script reads out every value it shows: each text, list
// and edit of the open page has a text, the tables the fields read cover their values, the
// effect type names are the catalog's, and no two fields share pixels.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "device/CTavPartPatchNameStaticText.h"
#include "entity/CTavEntityBanks.h"
#include "entity/CTavEntityManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "script/CTavTable.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavPopControl.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

class MainPanelText : public test::ModelFixture {
protected:
    void SetUp() override {
        // The catalog's fixed banks name the effect types, as the device layer's do.
        ASSERT_TRUE(TavCreateFixedBanks(catalog, {}));
        Brio::CTavPartPatchNameStaticText::SetCatalog(&catalog);
        system.SetScriptFolder(scripts.String() + "/");
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        Build(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        main = system.ViewManager().FindRootPanel("main");
        ASSERT_NE(main, nullptr);
    }

    // Every control of the open panels under the panel, with its path.
    void ForEachOpenControl(const CTavPanel& panel, const std::string& path,
                            const std::function<void(const std::string&, const CTavView&)>& visit) {
        if (!panel.IsOpen())
            return;
        for (const auto& child : panel.ChildPanels())
            ForEachOpenControl(*child, path + "." + child->Name(), visit);
        for (const auto& control : panel.Controls())
            visit(path + "." + control->Name(), *control);
    }

    // What a text control shows: its text, or "#frame" for a picture; nothing for the other
    // controls (false).
    static bool Shown(const CTavView& view, std::string& shown) {
        if (const auto* name = dynamic_cast<const Brio::CTavPartPatchNameStaticText*>(&view))
            shown = name->Name();
        else if (const auto* text = dynamic_cast<const CTavStaticTextControl*>(&view))
            shown = text->Text();
        else if (const auto* picture = dynamic_cast<const CTavStaticTextPictureControl*>(&view))
            shown = picture->Frame() >= 0 ? "#" + std::to_string(picture->Frame()) : picture->Text();
        else if (const auto* pop = dynamic_cast<const CTavPopControl*>(&view))
            shown = pop->GetText();
        else
            return false;
        return true;
    }

    void ShowPage(int page) { TavSetValueInteger(Buffers(), Value("vs.control.mainPage"), page); }

    void TearDown() override { Brio::CTavPartPatchNameStaticText::SetCatalog(nullptr); }

    CTavEntityManager catalog;
    test::ScriptFolderCopy scripts;
    CTavRootPanel* main = nullptr;
};

TEST_F(MainPanelText, EveryFieldOfEachPageShowsItsValue) {
    // An edit first, so that the MIDI OUT line has a message to show.
    TavSetValueInteger(Buffers(), Value("qv.system.masterLevel"), 100);
    // On every page the MIDI OUT line and the keyboard's velocity; the mixer's master level
    // and returns and per strip its type, patch, level and six knob values; the effects'
    // type and routing lists, the names of the parameters and every knob's value; the setup
    // page's values, lists and voice reserves.
    const int expected[] = {2 + 3 + 16 * 9, 2 + 3 + 64 + 99, 2 + 3 + 11 + 16};
    for (int page : {1, 2, 0}) {
        ShowPage(page);
        int texts = 0;
        ForEachOpenControl(*main, main->Name(), [&](const std::string& path, const CTavView& view) {
            std::string shown;
            if (!Shown(view, shown))
                return;
            ++texts;
            EXPECT_FALSE(shown.empty()) << path << " on page " << page;
        });
        EXPECT_EQ(texts, expected[page]) << "page " << page;
    }
}

TEST_F(MainPanelText, FieldsReadTheValuesInTheDevicesWording) {
    struct Case {
        int page;
        const char* control;
        const char* value;
        int32_t raw;
        const char* shown;
    };
    const Case cases[] = {
        {0, "main.mixer.part1.type", "vs.control.partEntityType[0]", 0, "---"},
        {0, "main.mixer.part1.type", "vs.control.partEntityType[0]", 2, "#1"},
        {0, "main.mixer.part4.levelValue", "qv.prti.part[3].partLevel", 0, "0"},
        {0, "main.mixer.part4.levelValue", "qv.prti.part[3].partLevel", 127, "127"},
        {0, "main.mixer.masterLevelValue", "qv.system.masterLevel", 64, "64"},
        {1, "main.effects.mfx1TypeName", "qv.prti.mfx1.mfxType", 5, "05 LOW BOOST"},
        {1, "main.effects.mfx2TypeName", "qv.prti.mfx2.mfxType", 47, "47 TIME SKIP DELAY"},
        {1, "main.effects.mfx1ParameterName1", "qv.prti.mfx1.mfxType", 1, "LO FRQ"},
        {1, "main.effects.mfx1ParameterName32", "qv.prti.mfx1.mfxType", 1, "-"},
        {1, "main.effects.mfx2ParameterName17", "qv.prti.mfx2.mfxType", 7, "RATE"},
        {1, "main.effects.mfxStructure", "qv.prti.common.mfxStructure", 1, "MFX 1 INTO 2"},
        {2, "main.setup.velocityCurve", "qv.system.velocityCurve", 3, "FIXED"},
        {2, "main.setup.metronomeSound", "qv.setup.metronomeSound", 2, "VOICE"},
        {2, "main.setup.soloPart", "qv.setup.soloPart", 0, "OFF"},
        {2, "main.setup.soloPart", "qv.setup.soloPart", 16, "16"},
        {2, "main.setup.tempoValue", "qv.setup.tempo", 1205, "120.5"},
        {2, "main.setup.masterTuneValue", "qv.system.masterTune", 24, "-100.0"},
        {2, "main.setup.masterKeyShiftValue", "qv.system.masterKeyShift", 64 - 24, "-24"},
        {2, "main.setup.controlChannelValue", "qv.system.controlChannel", 16, "OFF"},
        {2, "main.setup.keyboardVelocityValue", "qv.setup.keyboardVelocity", 0, "PLAYED"},
        {2, "main.setup.voiceReserveValue16", "qv.prti.common.voiceReserve[15]", 9, "9"},
    };
    for (const Case& c : cases) {
        ShowPage(c.page);
        TavSetValueInteger(Buffers(), Value(c.value), c.raw);
        CTavView* view = nullptr;
        ASSERT_TRUE(main->FindControl(c.control, view)) << c.control;
        std::string shown;
        ASSERT_TRUE(Shown(*view, shown)) << c.control;
        EXPECT_EQ(shown, c.shown) << c.control << " at " << c.raw;
    }
    // The MIDI OUT line shows the message the last edit sent.
    TavSetValueInteger(Buffers(), Value("qv.system.masterLevel"), 3);
    CTavView* line = nullptr;
    ASSERT_TRUE(main->FindControl("main.midiOut", line));
    std::string shown;
    ASSERT_TRUE(Shown(*line, shown));
    EXPECT_EQ(shown, Value("vs.monitor.midiMessage").GetText());
    EXPECT_EQ(shown.substr(0, 2), "F0");
}

// Each table a field or knob reads holds one entry for every value it is given.
TEST_F(MainPanelText, TablesCoverTheValuesTheyName) {
    const std::pair<const char*, const char*> pairs[] = {
        {"pan", "qv.prti.part[0].partPan"},
        {"semitones24", "qv.prti.part[0].partKeyShift"},
        {"cents50", "qv.prti.part[0].partFineTune"},
        {"mfxType", "qv.prti.mfx1.mfxType"},
        {"mfxStructure", "qv.prti.common.mfxStructure"},
        {"velocityCurve", "qv.system.velocityCurve"},
        {"metronomeSound", "qv.setup.metronomeSound"},
        {"partOrOff", "qv.setup.soloPart"},
        {"entityType", "vs.control.partEntityType[0]"},
        {"midiChannelOrOff", "qv.system.controlChannel"},
        {"partNumber", "qv.setup.keyboardPart"},
        {"fixedVelocity", "qv.setup.keyboardVelocity"},
    };
    for (const auto& [table, value] : pairs) {
        const CTavStringTable* strings = system.ResourceManager().FindStringTable(table);
        ASSERT_NE(strings, nullptr) << table;
        EXPECT_EQ(strings->Count(), TavValueCount(Value(value))) << table;
    }
}

TEST_F(MainPanelText, EffectTypeNamesAreTheCatalogs) {
    const CTavStringTable* types = system.ResourceManager().FindStringTable("mfxType");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->Count(), kTavEffectTypeCount);
    for (int32_t i = 0; i < kTavEffectTypeCount; ++i)
        EXPECT_EQ(types->ElementAt(i), TavEffectTypes()[i].name) << i;
    // One name per type for each of the 32 parameters, short enough for its knob.
    for (int parameter = 1; parameter <= 32; ++parameter) {
        const std::string name = "mfxParameterName" + std::to_string(parameter);
        const CTavStringTable* names = system.ResourceManager().FindStringTable(name);
        ASSERT_NE(names, nullptr) << name;
        EXPECT_EQ(names->Count(), kTavEffectTypeCount) << name;
        for (const std::string& entry : names->Elements())
            EXPECT_TRUE(!entry.empty() && entry.size() <= 6) << name << ": " << entry;
    }
    // The through type has no parameters, and every other type at least one.
    for (int32_t type = 0; type < kTavEffectTypeCount; ++type)
        EXPECT_EQ(system.ResourceManager().FindStringTable("mfxParameterName1")->ElementAt(type) == "-",
                  type == 0)
            << type;
}

// Within a page the text controls keep apart and inside the window.
TEST_F(MainPanelText, FieldsDoNotOverlap) {
    const TavRect window = main->Rect();
    for (int page : {0, 1, 2}) {
        ShowPage(page);
        std::vector<std::pair<std::string, TavRect>> placed;
        ForEachOpenControl(*main, main->Name(), [&](const std::string& path, const CTavView& view) {
            std::string shown;
            if (!Shown(view, shown))
                return;
            const TavRect rect = view.Rect();
            EXPECT_TRUE(rect.left >= window.left && rect.top >= window.top && rect.right <= window.right &&
                        rect.bottom <= window.bottom)
                << path;
            EXPECT_LT(rect.left, rect.right) << path;
            for (const auto& [other, at] : placed)
                EXPECT_FALSE(rect.Intersects(at)) << path << " overlaps " << other;
            placed.emplace_back(path, rect);
        });
    }
}

} // namespace

// The editor windows on each of their pages: no field of a shown page is empty.
TEST_F(MainPanelText, EveryFieldOfTheEditorWindowsShowsItsValue) {
    for (const auto& [entityType, window] : {std::pair{1, "patchEditor"}, std::pair{2, "rhythmEditor"}}) {
        TavSetValueInteger(Buffers(), Value("vs.control.entityType"), entityType);
        CTavRootPanel* editor = system.ViewManager().FindRootPanel(window);
        ASSERT_NE(editor, nullptr) << window;
        ASSERT_TRUE(editor->IsOpen()) << window;
        for (int32_t page = 0; page < 4; ++page) {
            TavSetValueInteger(Buffers(), Value("vs.control.editorPage"), page);
            int texts = 0;
            ForEachOpenControl(*editor, editor->Name(), [&](const std::string& path, const CTavView& view) {
                std::string shown;
                if (!Shown(view, shown))
                    return;
                ++texts;
                EXPECT_FALSE(shown.empty()) << path << " on page " << page;
            });
            EXPECT_GT(texts, 10) << window << " page " << page;
        }
    }
}
