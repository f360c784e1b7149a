// The shipped editor script: it builds, and it holds every struct and value that the
// editor's device layer looks up by path.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"
#include "support/ModelFixture.h"
#include "script/CTavResourceManager.h"
#include "view/CTavButton.h"
#include "view/CTavControl.h"
#include "view/TavSetValue.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "support/TestSupport.h"

namespace {

// Paths as the device layer writes them; each %d stands for an index from 0.
const char* const kDevicePaths[] = {
    "com.utility",
    "com.utility.command",
    "com.utility.command.patchCardBankInformation",
    "com.utility.command.patchNameInformation2",
    "com.utility.command.patchNumberInformation",
    "com.utility.command.patchUserBankInformation",
    "com.utility.command.pcModeRequest",
    "com.utility.command.pcModeResult",
    "com.utility.command.rhythmSetCardBankInformation",
    "com.utility.command.rhythmSetNameInformation2",
    "com.utility.command.rhythmSetNumberInformation",
    "com.utility.command.rhythmSetUserBankInformation",
    "com.utility.command.sampleMemoryRemain",
    "com.utility.command.sampleMemoryWhole",
    "com.utility.command.sampleNameInformation2",
    "com.utility.command.sampleNumberInformation",
    "com.utility.command.waveNameInformation2",
    "com.utility.command.waveNumberInformation",
    "com.utility.command.writeMessage",
    "com.utility.sample",
    "com.utility.sample.sampleBeatPoint.beatDataSize",
    "com.utility.sample.sampleBeatPoint.beatPoint[%d]",
    "com.utility.sample.sampleCommon.absoluteEndIndex",
    "com.utility.sample.sampleCommon.endIndex",
    "com.utility.sample.sampleCommon.loopIndex",
    "com.utility.sample.sampleCommon.sampleName",
    "com.utility.sample.sampleCommon.startIndex",
    "com.utility.sampleEdit",
    "com.utility.sampleEdit.modify",
    "com.utility.sampleEdit.modify.amp",
    "com.utility.sampleEdit.modify.autoChop",
    "com.utility.sampleEdit.modify.autoChopResult",
    "com.utility.sampleEdit.modify.chop",
    "com.utility.sampleEdit.modify.chopPoint",
    "com.utility.sampleEdit.modify.chopPointClear",
    "com.utility.sampleEdit.modify.chopPointSize",
    "com.utility.sampleEdit.modify.chopResult",
    "com.utility.sampleEdit.modify.combine",
    "com.utility.sampleEdit.modify.emphasis",
    "com.utility.sampleEdit.modify.error",
    "com.utility.sampleEdit.modify.normalize",
    "com.utility.sampleEdit.modify.progress",
    "com.utility.sampleEdit.modify.timeStretch",
    "com.utility.sampleEdit.modify.truncate",
    "com.utility.sampleEdit.preview.previewFrame",
    "com.utility.sampleEdit.preview.samplePreview",
    "com.utility.sampleEdit.select.sampleSelect",
    "com.utility.sampleEdit.utility.unload",
    "com.utility.sampleEdit.utility.unloadResult",
    "com.utility.sampleEdit.wave.data",
    "com.utility.sampleEdit.wave.request",
    "qv.pat[%d]",
    "qv.pat[%d].common.patchCategory",
    "qv.pat[%d].common.patchName",
    "qv.pat[%d].tmt.tmtKeyboardRangeLower[%d]",
    "qv.pat[%d].tmt.tmtKeyboardRangeUpper[%d]",
    "qv.pat[%d].tmt.tmtVelocityRangeLower[%d]",
    "qv.pat[%d].tmt.tmtVelocityRangeUpper[%d]",
    "qv.pat[%d].tone[%d]",
    "qv.prti",
    "qv.prti.common",
    "qv.prti.common.voiceReserve[%d]",
    "qv.prti.mfx1",
    "qv.prti.mfx1.mfxType",
    "qv.prti.mfx2",
    "qv.prti.mfx2.mfxType",
    "qv.prti.part[%d]",
    "qv.prti.part[%d].partAutoSyncSwitch",
    "qv.prti.part[%d].partCoarseTune",
    "qv.prti.part[%d].partLevel",
    "qv.prti.part[%d].partPan",
    "qv.prti.part[%d].partReverbSendLevel",
    "qv.prti.part[%d].patchBankSelectLsb",
    "qv.prti.part[%d].patchBankSelectMsb",
    "qv.prti.part[%d].patchProgramNumber",
    "qv.prti.part[%d].receiveSwitch",
    "qv.prti.rev",
    "qv.prti.rev.reverbType",
    "qv.rhy[%d]",
    "qv.rhy[%d].common.rhythmName",
    "qv.rhy[%d].tone[%d]",
    "qv.rhy[%d].tone[%d].toneReverbSendLevelMFX",
    "qv.rhy[%d].tone[%d].toneReverbSendLevelNonMFX",
    "qv.rhy[%d].tone[%d].wmtVelocityRangeLower[%d]",
    "qv.rhy[%d].tone[%d].wmtVelocityRangeUpper[%d]",
    "qv.rhy[%d].tone[%d].wmtWaveNumberL[0]",
    "qv.rhy[%d].tone[%d].wmtWaveSwitch[%d]",
    "qv.setup",
    "qv.system",
    "vs.control",
    "vs.control.entityType",
    "vs.control.mode",
    "vs.control.partCategoryType[%d]",
    "vs.control.partEntityType[%d]",
    "vs.control.partId",
    "vs.control.patchToneStateValue",
    "vs.control.rhythmTone",
    "vs.control.rhythmWMTStateValue",
    "vs.multisampleEdit",
    "vs.multisampleEdit.sampleEntityInformationModifyMark",
    "vs.sampleEdit",
    "vs.sampleEdit.modify.amp.envAddress1",
    "vs.sampleEdit.modify.amp.envRate1",
    "vs.sampleEdit.modify.amp.overwrite",
    "vs.sampleEdit.modify.amp.point",
    "vs.sampleEdit.modify.chop.autoChop.beat",
    "vs.sampleEdit.modify.chop.autoChop.divide",
    "vs.sampleEdit.modify.chop.autoChop.level",
    "vs.sampleEdit.modify.chop.chopPoint[%d].frame",
    "vs.sampleEdit.modify.chop.edit.chopPointCount",
    "vs.sampleEdit.modify.chop.edit.currentChopId",
    "vs.sampleEdit.modify.chop.edit.mode",
    "vs.sampleEdit.modify.emphasis.overwrite",
    "vs.sampleEdit.modify.emphasis.type",
    "vs.sampleEdit.modify.normalize.overwrite",
    "vs.sampleEdit.modify.timeStretch.adjust",
    "vs.sampleEdit.modify.timeStretch.rate",
    "vs.sampleEdit.modify.timeStretch.type",
    "vs.sampleEdit.modify.truncate.overwrite",
    "vs.sampleEdit.view.dataScale",
    "vs.sampleEdit.view.dotSamples",
    "vs.sampleEdit.view.modifyView",
    "vs.sampleEdit.view.remainMemory",
    "vs.sampleEdit.view.sampleGroupID",
    "vs.sampleEdit.view.sampleNumberL",
    "vs.sampleEdit.view.sampleNumberR",
    "vs.sampleEdit.view.sampleSelectState",
    "vs.sampleEdit.view.sampleState",
    "vs.sampleEdit.view.scrollRangeLo",
    "vs.sampleEdit.view.scrollRangeUp",
    "vs.sampleEdit.view.scrubFrameId",
    "vs.sampleEdit.view.view",
    "vs.sampleEdit.view.viewRangeLo",
    "vs.sampleEdit.view.viewRangeUp",
    "vs.sampleEdit.view.wholeMemory",
};

// The highest index of each array, by the name before its bracket.
int LastIndex(const std::string& path, size_t bracket) {
    const std::string before = path.substr(0, bracket);
    if (before.ends_with("part") || before.ends_with("pat") || before.ends_with("rhy") ||
        before.ends_with("partCategoryType") || before.ends_with("partEntityType") ||
        before.ends_with("voiceReserve"))
        return 15;
    if (before.ends_with("rhy[0].tone") || before.ends_with("rhy[15].tone"))
        return 15;
    if (before.ends_with(".tone") || before.find(".tmt") != std::string::npos ||
        before.find(".wmt") != std::string::npos)
        return 3;
    return 0;
}

// Expands each %d to its first and, where the array length is known, its last index.
std::vector<std::string> Expand(const std::string& pattern) {
    const size_t at = pattern.find("%d");
    if (at == std::string::npos)
        return {pattern};
    std::vector<std::string> out;
    for (int index : {0, LastIndex(pattern, at - 1)})
        for (const std::string& rest :
             Expand(pattern.substr(0, at) + std::to_string(index) + pattern.substr(at + 2)))
            out.push_back(rest);
    return out;
}

class ShippedScript : public test::ModelFixture {
protected:
    void SetUp() override {
        // The controls load their bitmaps while the view tree is built; the build draws them
        // beside the copied script.
        system.SetScriptFolder(scripts.String() + "/");
        std::ifstream in(test::ShippedScriptDir() / "VireoEditorScript.xml", std::ios::binary);
        Build(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }

    // The value a control of the main window edits, or null when there is no such control.
    const CTavValue* ControlValue(const std::string& path) {
        CTavRootPanel* main = system.ViewManager().FindRootPanel("main");
        CTavView* control = nullptr;
        if (!main || !main->FindControl(path, control) || control->ValueRefs().empty())
            return nullptr;
        return control->ValueRefs().front().value;
    }

    test::ScriptFolderCopy scripts;
};

} // namespace

TEST_F(ShippedScript, HoldsEveryPathTheDeviceLayerLooksUp) {
    for (const char* pattern : kDevicePaths)
        for (const std::string& path : Expand(pattern))
            EXPECT_TRUE(Buffers().FindValue(path) || Buffers().FindStruct(path)) << path;
}

TEST_F(ShippedScript, HasTheDeviceTreeOfSixteenPartsPatchesAndRhythmSets) {
    for (int i = 0; i < 16; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_NE(Buffers().FindStruct("qv.prti.part[" + n + "]"), nullptr) << n;
        EXPECT_NE(Buffers().FindStruct("qv.pat[" + n + "].common"), nullptr) << n;
        EXPECT_NE(Buffers().FindStruct("qv.pat[" + n + "].tmt"), nullptr) << n;
        EXPECT_NE(Buffers().FindStruct("qv.pat[" + n + "].tone[3]"), nullptr) << n;
        EXPECT_NE(Buffers().FindStruct("qv.rhy[" + n + "].common"), nullptr) << n;
        EXPECT_NE(Buffers().FindStruct("qv.rhy[" + n + "].tone[15]"), nullptr) << n;
    }
    EXPECT_EQ(Buffers().FindStruct("qv.prti.part[16]"), nullptr);
    EXPECT_EQ(Buffers().FindStruct("qv.pat[0].tone[4]"), nullptr);
    for (const char* area :
         {"qv.setup", "qv.system", "qv.prti.common", "qv.prti.mfx1", "qv.prti.mfx2", "qv.prti.rev"})
        EXPECT_NE(Buffers().FindStruct(area), nullptr) << area;
}

TEST_F(ShippedScript, EveryLeafFitsOneExclusiveMessageAndLeavesDoNotOverlap) {
    for (const auto& root : Buffers().RootStructs()) {
        std::vector<TavRange> ranges;
        root->ForEachLeaf([&](CTavLeafStruct& leaf) {
            EXPECT_LE(leaf.Range().Length(), 2036) << leaf.FullPath();
            ranges.push_back(leaf.AbsoluteRange());
        });
        std::sort(ranges.begin(), ranges.end(), [](auto& a, auto& b) { return a.begin < b.begin; });
        for (size_t i = 1; i < ranges.size(); ++i)
            EXPECT_LE(ranges[i - 1].end, ranges[i].begin) << root->Name() << " leaf " << i;
    }
}

TEST_F(ShippedScript, EveryPartStripEditsItsOwnPart) {
    const std::pair<const char*, const char*> controls[] = {
        {"receiveChannel", "receiveChannel"}, {"keyShift", "partKeyShift"},
        {"fineTune", "partFineTune"},         {"chorusSend", "partChorusSendLevel"},
        {"reverbSend", "partReverbSendLevel"}, {"pan", "partPan"},
        {"level", "partLevel"},               {"receive", "receiveSwitch"},
        {"mute", "partMuteSwitch"}};
    for (int part = 1; part <= 16; ++part) {
        const std::string strip = "main.mixer.part" + std::to_string(part) + ".";
        const std::string values = "qv.prti.part[" + std::to_string(part - 1) + "].";
        for (const auto& [control, value] : controls)
            EXPECT_EQ(ControlValue(strip + control), &Value(values + value)) << strip + control;
    }
}

// Each tab writes its own page whether it shows on or off, only the tab of the current page
// shows on, and only that page is open.
TEST_F(ShippedScript, EachPageTabSelectsItsOwnPage) {
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    CTavRootPanel* main = system.ViewManager().FindRootPanel("main");
    ASSERT_NE(main, nullptr);
    const char* const tabs[] = {"main.tabMixer", "main.tabEffects", "main.tabSetup"};
    const char* const pages[] = {"main.mixer", "main.effects", "main.setup"};
    for (int page : {2, 2, 1, 1, 0, 0}) {
        CTavView* tab = nullptr;
        ASSERT_TRUE(main->FindControl(tabs[page], tab)) << tabs[page];
        const TavRect& rect = tab->Rect();
        const TavPoint middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, middle, 0});
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, middle, 0});
        EXPECT_EQ(Value("vs.control.mainPage").GetRaw(), page);
        for (int other = 0; other < 3; ++other) {
            CTavView* view = nullptr;
            ASSERT_TRUE(main->FindControl(tabs[other], view));
            const auto* latch = dynamic_cast<const CTavLatchButton*>(view);
            ASSERT_NE(latch, nullptr) << tabs[other];
            EXPECT_EQ(latch->State() >= 2, other == page) << tabs[other] << " on page " << page;
            CTavPanel* panel = nullptr;
            ASSERT_TRUE(main->FindPanel(pages[other], panel)) << pages[other];
            EXPECT_EQ(panel->IsOpen(), other == page) << pages[other] << " on page " << page;
        }
    }
}

// The string tables the catalog and the effect swapper read by name.
TEST_F(ShippedScript, CatalogAndEffectTablesHoldTheirEntries) {
    struct Table {
        const char* name;
        int32_t count;
        size_t longest;
    };
    const Table tables[] = {{"internalWaveNameTable", 622, 12}, {"categoryTable", 40, 16},
                            {"categoryShortTable", 40, 4},      {"mfxCategoryTable", 9, 16},
                            {"mfxValuePathTable", 34, 64},      {"reverbValuePathTable", 6, 64}};
    for (const Table& t : tables) {
        const CTavStringTable* table = system.ResourceManager().FindStringTable(t.name);
        ASSERT_NE(table, nullptr) << t.name;
        EXPECT_EQ(table->Count(), t.count) << t.name;
        std::set<std::string> seen;
        for (const std::string& entry : table->Elements()) {
            EXPECT_FALSE(entry.empty()) << t.name;
            EXPECT_LE(entry.size(), t.longest) << t.name << ": " << entry;
            EXPECT_TRUE(seen.insert(entry).second) << t.name << " twice: " << entry;
        }
    }
    const CTavStringTable* categories = system.ResourceManager().FindStringTable("categoryTable");
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(categories->ElementAt(36), "SAMPLE");
    EXPECT_EQ(categories->ElementAt(39), "RHYTHM SET");

    // The swapper's paths name values of each effect struct, never its type.
    const std::pair<const char*, std::vector<const char*>> effects[] = {
        {"mfxValuePathTable", {"qv.prti.mfx1.", "qv.prti.mfx2."}},
        {"reverbValuePathTable", {"qv.prti.rev."}}};
    for (const auto& [name, structs] : effects) {
        const CTavStringTable* table = system.ResourceManager().FindStringTable(name);
        ASSERT_NE(table, nullptr) << name;
        for (const std::string& entry : table->Elements()) {
            EXPECT_EQ(entry.find("Type"), std::string::npos) << entry;
            for (const char* effect : structs)
                EXPECT_NE(Buffers().FindValue(effect + entry), nullptr) << effect << entry;
        }
    }
}

namespace {

// Records every call of the named device functions, registered for one test.
class RecordedCalls : public CTavFunctionManager::IFunctor {
public:
    RecordedCalls(std::vector<std::string>& calls, std::string name) : m_calls(calls), m_name(std::move(name)) {}
    bool Invoke(const std::string& arguments) override {
        m_calls.push_back(m_name + "(" + arguments + ")");
        return true;
    }

private:
    std::vector<std::string>& m_calls;
    std::string m_name;
};

} // namespace

// READ and SYNC in the header, and each strip's two patch buttons with its own part index;
// a click on each calls its function, and no two of them overlap.
TEST_F(ShippedScript, DeviceButtonsCallTheirFunctionsWithTheirPart) {
    std::vector<std::string> calls;
    CTavFunctionManager& functions = CTavSystem::Instance().FunctionManager();
    const char* const names[] = {"Read", "Sync", "SelectPatch", "SelectPatchByCategory"};
    for (const char* name : names)
        ASSERT_TRUE(functions.Register(name, std::make_unique<RecordedCalls>(calls, name))) << name;
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    CTavRootPanel* main = system.ViewManager().FindRootPanel("main");
    ASSERT_NE(main, nullptr);

    std::vector<std::pair<std::string, std::string>> expected = {{"main.read", "Read()"}, {"main.sync", "Sync()"}};
    for (int part = 1; part <= 16; ++part) {
        const std::string strip = "main.mixer.part" + std::to_string(part) + ".";
        const std::string index = std::to_string(part - 1);
        expected.push_back({strip + "selectPatch", "SelectPatch(" + index + ")"});
        expected.push_back({strip + "selectPatchByCategory", "SelectPatchByCategory(" + index + ")"});
    }
    std::vector<TavRect> placed;
    for (const auto& [path, call] : expected) {
        CTavView* view = nullptr;
        ASSERT_TRUE(main->FindControl(path, view)) << path;
        ASSERT_NE(dynamic_cast<CTavUnlatchButton*>(view), nullptr) << path;
        const TavRect rect = view->Rect();
        for (const TavRect& other : placed)
            EXPECT_FALSE(rect.left < other.right && other.left < rect.right && rect.top < other.bottom &&
                         other.top < rect.bottom)
                << path << " overlaps another button";
        placed.push_back(rect);
        const TavPoint middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        calls.clear();
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, middle, 0});
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, middle, 0});
        EXPECT_EQ(calls, std::vector<std::string>{call}) << path;
    }
    for (const char* name : names)
        functions.Unregister(name);
}

// --- The strips' value fields and the editor windows ------------------------------------

namespace {

// Every control of a panel and its open child panels, depth first.
void ForEachControl(const CTavPanel& panel, const std::function<void(const CTavView&)>& visit) {
    for (const auto& control : panel.Controls())
        visit(*control);
    for (const auto& child : panel.ChildPanels())
        if (child->IsOpen())
            ForEachControl(*child, visit);
}

} // namespace

TEST_F(ShippedScript, EveryStripKnobHasAValueFieldOnTheSameValue) {
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    const char* const knobs[] = {"receiveChannel", "keyShift", "fineTune", "chorusSend", "reverbSend", "pan"};
    for (int part = 1; part <= 16; ++part) {
        const std::string strip = "main.mixer.part" + std::to_string(part) + ".";
        for (const char* knob : knobs) {
            const CTavValue* value = ControlValue(strip + knob);
            ASSERT_NE(value, nullptr) << strip << knob;
            EXPECT_EQ(ControlValue(strip + knob + "Value"), value) << strip << knob;
        }
    }
}

// Each editor opens while the shown part plays its kind, every one of its controls finds
// its values for the first and the last part and tone or key, and the title names the part
// and what it plays.
TEST_F(ShippedScript, TheEditorWindowsFollowThePartAndWhatItPlays) {
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    CTavRootPanel* patch = system.ViewManager().FindRootPanel("patchEditor");
    CTavRootPanel* rhythm = system.ViewManager().FindRootPanel("rhythmEditor");
    ASSERT_NE(patch, nullptr);
    ASSERT_NE(rhythm, nullptr);
    const struct {
        int32_t entityType;
        bool patchOpen, rhythmOpen;
    } kinds[] = {{1, true, false}, {2, false, true}, {0, false, false}};
    for (const auto& kind : kinds) {
        TavSetValueInteger(Buffers(), Value("vs.control.entityType"), kind.entityType);
        EXPECT_EQ(patch->IsOpen(), kind.patchOpen) << kind.entityType;
        EXPECT_EQ(rhythm->IsOpen(), kind.rhythmOpen) << kind.entityType;
    }

    TavSetValueText(Buffers(), Value("qv.pat[15].common.patchName"), "Bright Pad");
    for (const int32_t entityType : {1, 2}) {
        TavSetValueInteger(Buffers(), Value("vs.control.entityType"), entityType);
        CTavRootPanel* window = entityType == 1 ? patch : rhythm;
        for (const int32_t part : {0, 15})
            for (const int32_t inner : {0, 3})
                for (int32_t page = 0; page < 4; ++page) {
                    TavSetValueInteger(Buffers(), Value("vs.control.partId"), part);
                    TavSetValueInteger(Buffers(), Value("vs.control.patchTone"), inner);
                    TavSetValueInteger(Buffers(), Value("vs.control.rhythmWMT"), inner);
                    TavSetValueInteger(Buffers(), Value("vs.control.rhythmTone"), inner * 5);
                    TavSetValueInteger(Buffers(), Value("vs.control.editorPage"), page);
                    size_t controls = 0;
                    ForEachControl(*window, [&](const CTavView& control) {
                        ++controls;
                        for (const CTavValueRef& ref : control.ValueRefs())
                            EXPECT_NE(ref.value, nullptr) << control.Path() << " " << ref.path;
                    });
                    EXPECT_GT(controls, 20u) << window->Name() << " page " << page;
                }
    }
    TavSetValueInteger(Buffers(), Value("vs.control.entityType"), 1);
    EXPECT_EQ(patch->Title(), "Part 16 \u2014 Bright Pad");
    TavSetValueInteger(Buffers(), Value("vs.control.partId"), 2);
    EXPECT_EQ(patch->Title().rfind("Part 3 \u2014 ", 0), 0u) << patch->Title();

    // The close box ends the editing: the type goes to 0 and the window closes.
    patch->RequestClose();
    EXPECT_EQ(Value("vs.control.entityType").GetRaw(), 0);
    EXPECT_FALSE(patch->IsOpen());
}

// A multi-effect parameter that the chosen type names "-" is dimmed and takes no input; with
// a type that uses it, the same knob edits it.
TEST_F(ShippedScript, AnUnusedEffectParameterIsDisabledUntilTheTypeUsesIt) {
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    TavSetValueInteger(Buffers(), Value("vs.control.mainPage"), 1);
    CTavRootPanel* main = system.ViewManager().FindRootPanel("main");
    CTavView* view = nullptr;
    ASSERT_TRUE(main->FindControl("main.effects.mfx1Parameter1", view));
    const auto* knob = dynamic_cast<const CTavControl*>(view);
    ASSERT_NE(knob, nullptr);
    CTavValue& parameter = Value("qv.prti.mfx1.mfxParameter[0]");
    CTavValue& type = Value("qv.prti.mfx1.mfxType");
    const TavRect rect = view->Rect();
    const TavPoint middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (const int32_t chosen : {0, 1}) {
        TavSetValueInteger(Buffers(), type, chosen);
        EXPECT_EQ(knob->IsDisabled(), chosen == 0) << chosen;
        const int32_t before = parameter.GetRaw();
        main->OnWheel(CTavWheelInfo{middle, 1, 0});
        EXPECT_EQ(parameter.GetRaw() != before, chosen != 0) << chosen;
    }
}
