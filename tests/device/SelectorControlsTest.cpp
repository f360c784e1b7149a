// The wave group, wave index and effect type selectors and the switchable slider and
// text picture, built by the view factory from a small script over a catalog of the
// test's, and driven by clicks, menu choices, drags and the wheel.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device/CTavMfxSelectCombo.h"
#include "device/CTavSwitchableControls.h"
#include "device/CTavWaveGroupSelectControl.h"
#include "device/CTavWaveIndexSelectControl.h"
#include "device/TavControlCatalog.h"
#include "entity/CTavEntityBanks.h"
#include "support/FakeMenuSources.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using namespace Brio;

const char* const kValues = R"(
<bitmap><name>knob</name><stateCount>1</stateCount></bitmap>
<bitmap><name>three</name><stateCount>3</stateCount></bitmap>
<textWriter><name>tw</name></textWriter>
<stringTable><name>mfxCategoryTable</name>
  <table>THROUGH, FILTER/EQ, MODULATION, CHORUS/FLANGER, DRIVE/DYNAMICS, DELAY, LO-FI, PITCH, REVERB</table>
</stringTable>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>groupType</name><address>00</address><range>0,3</range><default>0</default></value>
  <value><name>groupId</name><address>01</address><range>0,3</range><default>1</default></value>
  <value><type>int4x4</type><name>numberL</name><address>02</address><range>0,7000</range><default>1</default></value>
  <value><type>int4x4</type><name>numberR</name><address>06</address><range>0,7000</range><default>0</default></value>
  <value><name>mark</name><address>0A</address><range>0,127</range><default>0</default></value>
  <value><name>mfx</name><address>0B</address><range>0,47</range><default>5</default></value>
  <value><name>switch</name><address>0C</address><range>0,3</range><default>0</default></value>
  <value><name>v0</name><address>0D</address><range>0,100</range><default>0</default></value>
  <value><name>v1</name><address>0E</address><range>0,100</range><default>100</default></value>
  <value><name>pic</name><address>0F</address><range>0,9</range><default>1</default></value>
  <value><name>fixed</name><address>10</address><range>3,3</range><default>3</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "400,200", controls);
}

std::string Control(const std::string& kind, const std::string& name, const std::string& rest) {
    return "<control><type>" + kind + "</type><name>" + name + "</name>" + rest + "</control>";
}

const std::string kGroup = "<waveGroupTypeValueRef>p.v.groupType</waveGroupTypeValueRef>"
                           "<waveGroupIDValueRef>p.v.groupId</waveGroupIDValueRef>";
const std::string kSwitched =
    "<valueRef>p.v.switch</valueRef><value0Ref>p.v.v0</value0Ref><value1Ref>p.v.v1</value1Ref>";

const std::string kControls =
    Control("quasarWaveGroupSelect", "group",
            "<position>0,0</position><size>80,20</size><textWriterRef>tw</textWriterRef>" + kGroup +
                "<waveNumberLValueRef>p.v.numberL</waveNumberLValueRef>"
                "<waveNumberRValueRef>p.v.numberR</waveNumberRValueRef>") +
    Control("quasarWaveIndexSelect", "waveL",
            "<position>0,30</position><size>80,20</size><textWriterRef>tw</textWriterRef>"
            "<valueRef>p.v.numberL</valueRef>" +
                kGroup +
                "<entityModifyValueRef>p.v.mark</entityModifyValueRef><complementValueRef>p.v.numberR</"
                "complementValueRef><complementDirection>1</complementDirection>") +
    Control("quasarWaveIndexSelect", "waveR",
            "<position>0,60</position><size>80,20</size><textWriterRef>tw</textWriterRef>"
            "<valueRef>p.v.numberR</valueRef>" +
                kGroup +
                "<complementValueRef>p.v.numberL</complementValueRef><complementDirection>-1</"
                "complementDirection>") +
    Control("quasarMfxSelectCombo", "mfx",
            "<position>0,90</position><size>80,20</size><textWriterRef>tw</textWriterRef>"
            "<valueRef>p.v.mfx</valueRef>") +
    Control("quasarSwSlider", "slider",
            "<position>200,0</position><size>20,120</size><bitmapRef>knob</bitmapRef>" + kSwitched) +
    Control("quasarSwStaticTextPicture", "text",
            "<position>100,0</position><size>60,20</size><bitmapRef>three</bitmapRef><textWriterRef>tw</"
            "textWriterRef><offsetValue>1</offsetValue><unit> ms</unit><valueRef>p.v.switch</valueRef>"
            "<value0Ref>p.v.v0</value0Ref><value1Ref>p.v.pic</value1Ref>");

class SelectorControls : public test::ModelFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(TavCreateFixedBanks(catalog, {"Saw", "Square", "Pulse"}));
        catalog.SetInformation({3, 0, 0, 10}, CTavSampleInformation("Kick", TavSampleKind::StereoLeft, 100, 0));
        catalog.SetInformation({3, 0, 0, 11}, CTavSampleInformation("Kick", TavSampleKind::StereoRight, 100, 0));
        catalog.SetInformation({3, 0, 0, 12}, CTavSampleInformation("Snare", TavSampleKind::Mono, 100, 0));
        TavSetControlCatalog(&catalog);
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetViewFactory(std::make_unique<CTavViewFactory>());
        auto popup = std::make_unique<test::FakePopup>();
        this->popup = popup.get();
        system.SetPopupMenu(std::move(popup));
        ASSERT_NO_FATAL_FAILURE(Build(Script(kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    void TearDown() override { TavSetControlCatalog(nullptr); }

    template <typename Control> Control* Find(const std::string& name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, view)) << name;
        return dynamic_cast<Control*>(view);
    }
    // Clicks the middle of a control with the popup answering the leaf given.
    void Choose(const std::string& name, int32_t leaf) {
        popup->answer = leaf;
        const TavRect rect = Find<CTavControl>(name)->Rect();
        const TavPoint middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, middle, 0});
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, middle, 0});
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    std::string Text(const std::string& name) { return Find<CTavPopControl>(name)->Text(); }

    CTavEntityManager catalog;
    test::FakePopup* popup = nullptr;
    CTavRootPanel* panel = nullptr;
};

TEST_F(SelectorControls, WaveGroupChosenFromItsMenuKeepsTheNumbersInTheNewBank) {
    std::string outline;
    popup->onShow = [&outline](const CTavMenuItem& menu) { outline = test::Outline(menu, true); };
    Choose("group", -1);
    EXPECT_EQ(outline, "INTERNAL#0,SAMPLE{USER#1,CARD#2}");
    EXPECT_EQ(popup->lastCurrent, 0);
    EXPECT_EQ(Text("group"), "INTERNAL");
    Choose("group", 2);
    EXPECT_EQ(Text("group"), "SAMP CARD");
    EXPECT_EQ(Raw("p.v.groupType"), 3);
    EXPECT_EQ(Raw("p.v.groupId"), 3);
    Set("p.v.numberL", 5000);
    Set("p.v.numberR", 2500);
    Choose("group", 1);
    EXPECT_EQ(popup->lastCurrent, 2);
    EXPECT_EQ(Raw("p.v.numberL"), 2000);
    EXPECT_EQ(Raw("p.v.numberR"), 2000);
    Choose("group", 0);
    EXPECT_EQ(Raw("p.v.groupType"), 0);
    EXPECT_EQ(Raw("p.v.groupId"), 1);
    EXPECT_EQ(Raw("p.v.numberL"), 622);
    Set("p.v.groupId", 0);
    EXPECT_EQ(Text("group"), "---");
    Choose("group", -1);
    EXPECT_EQ(popup->lastCurrent, -1);
    EXPECT_EQ(Raw("p.v.groupId"), 0);
}

TEST_F(SelectorControls, WaveIndexListsTheGroupsBankAndKeepsStereoPairsInStep) {
    EXPECT_EQ(Text("waveL"), "0001 Saw");
    Choose("waveL", 2);
    EXPECT_EQ(Raw("p.v.numberL"), 2);
    EXPECT_EQ(popup->lastLeaves, 623);
    EXPECT_EQ(Text("waveL"), "0002 Square");
    Choose("waveL", 3);
    EXPECT_EQ(popup->lastCurrent, 2);
    Set("p.v.groupType", 3);
    Set("p.v.groupId", 2);
    EXPECT_EQ(Text("waveL"), "0003 ------------");
    struct Case {
        const char* control;
        int32_t leaf, left, right;
    };
    const Case cases[] = {
        {"waveL", 10, 10, 11}, // the left half of a pair brings its right half along
        {"waveL", 12, 12, 11}, // a mono sample leaves the other channel
        {"waveR", 11, 10, 11}, // the right half brings its left half
        {"waveR", 10, 10, 10}, // a left half is no partner in that direction
    };
    for (const Case& c : cases) {
        Choose(c.control, c.leaf);
        EXPECT_EQ(popup->lastLeaves, 2001);
        EXPECT_EQ(Raw("p.v.numberL"), c.left) << c.control << " " << c.leaf;
        EXPECT_EQ(Raw("p.v.numberR"), c.right) << c.control << " " << c.leaf;
    }
    EXPECT_EQ(Text("waveL"), "0010 Kick");
    // New sample names and the modify mark: the list is built again.
    catalog.SetInformation({3, 0, 0, 13}, CTavSampleInformation("Hat", TavSampleKind::Mono, 100, 0));
    Set("p.v.mark", 1);
    std::string shown;
    popup->onShow = [&shown](const CTavMenuItem& menu) { shown = test::At(menu, {0, 0, 13})->Text(); };
    Choose("waveL", -1);
    EXPECT_EQ(shown, " 13: Hat");
    // The wheel steps the number the same way.
    auto* waveL = Find<CTavWaveIndexSelectControl>("waveL");
    waveL->OnWheel(CTavWheelInfo{{10, 40}, -3, 0});
    EXPECT_EQ(Raw("p.v.numberL"), 7);
    // No group: nothing to list.
    Set("p.v.groupType", 1);
    const int shownBefore = popup->shown;
    Choose("waveL", 0);
    EXPECT_EQ(popup->shown, shownBefore);
}

TEST_F(SelectorControls, EffectTypeMenuGroupsTheTypesByCategory) {
    EXPECT_EQ(Text("mfx"), "05 LOW BOOST");
    std::string top;
    popup->onShow = [this, &top](const CTavMenuItem& menu) {
        top.clear();
        for (const auto& category : menu.Children())
            top += category->Text() + ",";
        // Delays come after the lo-fi types in type order but are listed under DELAY.
        popup->answer = test::At(menu, {5, 0})->LeafIndex();
        EXPECT_EQ(test::At(menu, {5, 0})->Text(), "39 STEREO DELAY");
        EXPECT_EQ(test::At(menu, {0, 0})->Text(), "00 THROUGH");
    };
    Choose("mfx", 0);
    EXPECT_EQ(top, "THROUGH,FILTER/EQ,MODULATION,CHORUS/FLANGER,DRIVE/DYNAMICS,DELAY,LO-FI,PITCH,REVERB,");
    EXPECT_EQ(popup->lastLeaves, 48);
    EXPECT_EQ(Raw("p.v.mfx"), 39);
    EXPECT_EQ(Text("mfx"), "39 STEREO DELAY");
    // Without the effect bank there is no menu: the control is disabled.
    CTavEntityManager empty;
    TavSetControlCatalog(&empty);
    auto* mfx = Find<CTavMfxSelectCombo>("mfx");
    mfx->Refresh();
    EXPECT_FALSE(mfx->IsEnabled());
    const int shownBefore = popup->shown;
    Choose("mfx", 0);
    EXPECT_EQ(popup->shown, shownBefore);
    EXPECT_EQ(Text("mfx"), "39 ------------");
}

TEST_F(SelectorControls, SwitchableSliderDragsTheValueTheSwitchSelects) {
    auto* slider = Find<CTavSwitchableSliderControl>("slider");
    ASSERT_NE(slider, nullptr);
    const auto press = [this](int32_t y, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, {210, y}, modifiers});
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, {210, y}, modifiers});
    };
    EXPECT_EQ(slider->KnobPosition().y, 100); // value0 at 0
    press(60);
    EXPECT_EQ(Raw("p.v.v0"), 50);
    Set("p.v.switch", 2);
    EXPECT_EQ(slider->Selected(), 1);
    EXPECT_EQ(slider->KnobPosition().y, 0); // value1 at 100
    press(60);
    EXPECT_EQ(Raw("p.v.v1"), 50);
    EXPECT_EQ(Raw("p.v.v0"), 50);
    press(110, kTavCtrl);
    EXPECT_EQ(Raw("p.v.v1"), 100); // the selected value's default
    slider->OnWheel(-5, 0);
    EXPECT_EQ(Raw("p.v.v1"), 95);
    EXPECT_EQ(Raw("p.v.v0"), 50);
}

TEST_F(SelectorControls, SwitchableTextShowsTheFirstValueAsTextOrTheSecondAsAPicture) {
    auto* text = Find<CTavSwitchableStaticTextPictureControl>("text");
    ASSERT_NE(text, nullptr);
    struct Case {
        int32_t selector, v0, pic;
        const char* text;
        int32_t frame;
    };
    const Case cases[] = {
        {0, 41, 1, "42 ms", -1}, {1, 41, 1, "", 1}, {1, 41, 9, "", 2}, // limited to the frames
        {3, 41, 0, "", 0},                                              // a switch above 1 counts as 1
    };
    for (const Case& c : cases) {
        Set("p.v.switch", c.selector);
        Set("p.v.v0", c.v0);
        Set("p.v.pic", c.pic);
        EXPECT_EQ(text->Text(), c.text) << c.selector << " " << c.pic;
        EXPECT_EQ(text->Frame(), c.frame) << c.selector << " " << c.pic;
    }
}

TEST(SelectorControlErrors, NameTheControlAndTheOffendingText) {
    const struct {
        std::string controls;
        std::string text;
    } cases[] = {
        {Control("quasarWaveIndexSelect", "c",
                 "<textWriterRef>tw</textWriterRef><valueRef>p.v.numberL</valueRef>" + kGroup +
                     "<complementDirection>2</complementDirection>"),
         "Complement direction is invalid for wave index select. : main.c :2\n"},
        {Control("quasarWaveGroupSelect", "c", "<textWriterRef>tw</textWriterRef>"),
         "There is no value reference for wave group select. : main.c\n"},
        {Control("quasarSwSlider", "c",
                 "<size>20,120</size><bitmapRef>knob</bitmapRef><valueRef>p.v.switch</valueRef>"
                 "<value0Ref>p.v.v0</value0Ref>"),
         "Value references are necessary for switchable slider. : main.c.\n"},
        {Control("quasarSwSlider", "c",
                 "<size>20,120</size><bitmapRef>knob</bitmapRef><valueRef>p.v.switch</valueRef>"
                 "<value0Ref>p.v.v0</value0Ref><value1Ref>p.v.fixed</value1Ref>"),
         "Referred value range must be greater than 1 for switchable slider. : main.c\n"},
        {Control("quasarSwStaticTextPicture", "c",
                 "<bitmapRef>three</bitmapRef><textWriterRef>tw</textWriterRef><valueRef>p.v.switch</valueRef>"),
         "Unable to create static text control. : main.c\n"},
    };
    for (const auto& c : cases) {
        const std::string errors = test::CreationErrors(Script(c.controls));
        EXPECT_EQ(errors.substr(0, c.text.size()), c.text) << errors;
    }
}

} // namespace
