// The part and tone buttons built from a script: the frames they show for the view state
// and the solo value, what a click, a Shift-click, a Ctrl-click and a double-click write,
// what is sent to the device, and the messages of buttons that cannot be built.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavPartButtons.h"
#include "device/CTavToneSelectButton.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/RecordedFunction.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using namespace Brio;

const char* const kValues = R"(
<bitmap><name>four</name><stateCount>4</stateCount></bitmap>
<bitmap><name>six</name><stateCount>6</stateCount></bitmap>
<structType><type>Control</type><name>control</name><address>00 00</address>
  <value><name>partId</name><address>00</address><range>0,16</range><default>0</default></value>
  <value><name>entityType</name><address>01</address><range>0,2</range><default>1</default></value>
  <value><name>toneState</name><address>02</address><range>1,15</range><default>1</default></value>
  <value><name>tone</name><address>03</address><range>0,3</range><default>0</default></value>
</structType>
<structType><type>Setup</type><name>setup</name><address>00 00</address>
  <value><name>solo</name><address>00</address><range>0,16</range><default>0</default></value>
</structType>
<structType><type>Vs</type><name>vs</name><address>00 00 00</address><struct><type>Control</type></struct></structType>
<structType><type>Qv</type><name>qv</name><address>01 00 00</address><struct><type>Setup</type></struct></structType>
<struct><type>Vs</type></struct>
<struct><type>Qv</type></struct>
)";

std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "400,100", controls);
}

std::string Button(const char* kind, const char* name, int x, const char* bitmap, const std::string& more) {
    return std::string("<control><type>") + kind + "</type><name>" + name + "</name><position>" +
           std::to_string(x) + ",0</position><bitmapRef>" + bitmap + "</bitmapRef>" + more + "</control>";
}

std::string Tone(const char* name, int x, const char* id) {
    return Button("zqToneSelectButton", name, x, "six",
                  std::string("<id>") + id +
                      "</id><stateValueRef>vs.control.toneState</stateValueRef>"
                      "<activeValueRef>vs.control.tone</activeValueRef>");
}

// Buttons 20 x 20 side by side, 30 apart.
const std::string kControls =
    Button("quasarEditPartButton", "e0", 0, "four", "<partId>0</partId>") +
    Button("quasarEditPartButton", "e1", 30, "four",
           "<partId>0,1,+</partId><function>OpenPart</function><arguments>editor</arguments>") +
    Button("quasarSoloPartButton", "s0", 60, "six", "<valueRef>qv.setup.solo</valueRef><partId>0</partId>") +
    Button("quasarSoloPartButton", "s3", 90, "six", "<valueRef>qv.setup.solo</valueRef><partId>3</partId>") +
    Tone("t0", 120, "0") + Tone("t1", 150, "1") + Tone("t2", 180, "2");

constexpr uint32_t kShift = 1, kCtrl = 2;

class DeviceButtons : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        ASSERT_NO_FATAL_FAILURE(Build(Script(kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        Buffers().FindRoot("qv")->SetOutput(&out);
        Buffers().FindRoot("vs")->SetOutput(&out);
    }

    int32_t State(const char* name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl(std::string("main.") + name, view)) << name;
        return view ? static_cast<CTavButton*>(view)->State() : -1;
    }
    void Mouse(CTavMouseInfo::Kind kind, int32_t x, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{kind, {x, 10}, modifiers});
    }
    void Click(int32_t x, uint32_t modifiers = 0) {
        Mouse(CTavMouseInfo::kPressed, x, modifiers);
        Mouse(CTavMouseInfo::kReleased, x, modifiers);
    }
    int32_t Raw(const char* path) { return Value(path).GetRaw(); }

    test::RecordedFunction openPart{"OpenPart"};
    std::vector<std::string>& calls = openPart.calls;
    test::RecordingMidiOut out;
    CTavRootPanel* panel = nullptr;
};

TEST(DeviceButtonRules, EditAndSoloPartFramesAndReleases) {
    struct Edit {
        int32_t partId, entityType, part, base;
        TavEditPartAction release;
    };
    for (const Edit& c : std::vector<Edit>{{3, 1, 3, 2, TavEditPartAction::kClearEntityType},
                                           {3, 2, 3, 2, TavEditPartAction::kClearEntityType},
                                           {3, 0, 3, 0, TavEditPartAction::kSelectPart},
                                           {4, 1, 3, 0, TavEditPartAction::kSelectPart},
                                           {16, 1, 3, 0, TavEditPartAction::kSelectPart}}) {
        EXPECT_EQ(TavEditPartFrameBase(c.partId, c.entityType, c.part), c.base) << c.partId << " " << c.entityType;
        EXPECT_EQ(TavEditPartRelease(c.partId, c.entityType, c.part), c.release) << c.partId << " " << c.entityType;
    }
    struct Solo {
        int32_t solo, part, base, release;
    };
    for (const Solo& c : std::vector<Solo>{{0, 0, 0, 1}, {1, 0, 4, 0}, {5, 0, 2, 1}, {16, 15, 4, 0}, {1, 15, 2, 16}}) {
        EXPECT_EQ(TavSoloPartFrameBase(c.solo, c.part), c.base) << c.solo << " " << c.part;
        EXPECT_EQ(TavSoloPartRelease(c.solo, c.part), c.release) << c.solo << " " << c.part;
    }
}

TEST(DeviceButtonRules, ToneSelectModesFramesAndClicks) {
    EXPECT_EQ(TavToneSelectModeOf(0), TavToneSelectMode::kSingle);
    EXPECT_EQ(TavToneSelectModeOf(kShift), TavToneSelectMode::kToggle);
    EXPECT_EQ(TavToneSelectModeOf(kCtrl), TavToneSelectMode::kAll);
    EXPECT_EQ(TavToneSelectModeOf(kShift | kCtrl), TavToneSelectMode::kSingle);
    struct Case {
        TavToneSelectMode mode;
        TavToneSelection now;
        int32_t id;
        TavToneSelection after;
    };
    using enum TavToneSelectMode;
    for (const Case& c : std::vector<Case>{{kSingle, {15, 0}, 2, {4, 2}},
                                           {kAll, {1, 0}, 3, {15, 3}},
                                           {kToggle, {1, 0}, 2, {5, 0}},
                                           {kToggle, {5, 0}, 2, {1, 0}},
                                           {kToggle, {5, 2}, 2, {5, 2}},  // the active tone stays
                                           {kToggle, {2, 0}, 1, {2, 0}}}) // no tone would be left
        EXPECT_EQ(TavToneSelectClick(c.mode, c.now, c.id), c.after) << c.now.state << " " << c.id;
    for (const auto& [state, active, id, base] : std::vector<std::array<int32_t, 4>>{
             {5, 2, 2, 4}, {5, 2, 0, 2}, {5, 2, 1, 0}, {15, 3, 3, 4}})
        EXPECT_EQ(TavToneSelectFrameBase({state, active}, id), base) << state << " " << id;
}

TEST_F(DeviceButtons, EditPartSelectsAndHidesItsPartWithoutSending) {
    EXPECT_EQ(State("e0"), 2);
    EXPECT_EQ(State("e1"), 0);
    Click(40);
    EXPECT_EQ(Raw("vs.control.partId"), 1);
    EXPECT_EQ(State("e0"), 0);
    EXPECT_EQ(State("e1"), 2);
    Click(40); // the shown part: hidden
    EXPECT_EQ(Raw("vs.control.entityType"), 0);
    EXPECT_EQ(State("e1"), 0);
    Mouse(CTavMouseInfo::kPressed, 40);
    EXPECT_EQ(State("e1"), 1);
    Mouse(CTavMouseInfo::kReleased, 40);
    EXPECT_TRUE(out.sent.empty());
    EXPECT_TRUE(calls.empty()); // single clicks call no function
}

TEST_F(DeviceButtons, EditPartDoubleClickLeavesThePartShownAndCallsItsFunction) {
    Click(40);
    Mouse(CTavMouseInfo::kDoubleClick, 40);
    Mouse(CTavMouseInfo::kReleased, 40);
    EXPECT_EQ(Raw("vs.control.partId"), 1);
    EXPECT_EQ(Raw("vs.control.entityType"), 1);
    EXPECT_EQ(calls, std::vector<std::string>{"editor"});
    // A button without a function only selects.
    Click(10);
    Mouse(CTavMouseInfo::kDoubleClick, 10);
    Mouse(CTavMouseInfo::kReleased, 10);
    EXPECT_EQ(Raw("vs.control.partId"), 0);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(DeviceButtons, SoloPartSolosAndUnsolosAndSends) {
    Click(100);
    EXPECT_EQ(Raw("qv.setup.solo"), 4);
    EXPECT_EQ(State("s3"), 4);
    EXPECT_EQ(State("s0"), 2);
    Click(70);
    EXPECT_EQ(Raw("qv.setup.solo"), 1);
    Click(70);
    EXPECT_EQ(Raw("qv.setup.solo"), 0);
    EXPECT_EQ(State("s0"), 0);
    EXPECT_EQ(out.sent.size(), 3u);
}

TEST_F(DeviceButtons, ToneSelectFollowsTheModifiersOfThePress) {
    Click(190);
    EXPECT_EQ(Raw("vs.control.toneState"), 4);
    EXPECT_EQ(Raw("vs.control.tone"), 2);
    Click(130, kShift);
    EXPECT_EQ(Raw("vs.control.toneState"), 5);
    EXPECT_EQ(Raw("vs.control.tone"), 2);
    EXPECT_EQ(State("t0"), 2);
    EXPECT_EQ(State("t1"), 0);
    EXPECT_EQ(State("t2"), 4);
    const size_t sent = out.sent.size();
    Click(190, kShift); // the active tone: nothing
    EXPECT_EQ(out.sent.size(), sent);
    Click(160, kCtrl);
    EXPECT_EQ(Raw("vs.control.toneState"), 15);
    EXPECT_EQ(Raw("vs.control.tone"), 1);
    EXPECT_EQ(State("t1"), 4);
}

TEST(DeviceButtonBuild, MessagesNameTheButtonThatFailed) {
    const struct {
        std::string controls;
        const char* text;
    } cases[] = {
        {Tone("t", 0, "4"), "ZQ Tone Select Button main.t id must be 0 through 3. : 4\n"},
        {Tone("t", 0, "one"), "ZQ Tone Select Button main.t id is invalid. : one\n"},
        {Button("quasarEditPartButton", "e", 0, "four", "<partId>16</partId>"),
         "ZQ edit part select button main.e's ID must be 0 through 15. : 16\n"},
        {Button("quasarEditPartButton", "e", 0, "four", "<partId>1,+</partId>"),
         "Unable to interpret id 1,+ of ZQ edit part select button main.e.\n"},
        {Button("quasarSoloPartButton", "s", 0, "six", "<valueRef>qv.setup.solo</valueRef><partId>0,1,-</partId>"),
         "ZQ solo part select button main.s's ID must be 0 through 15. : 0,1,-\n"},
        {Button("quasarSoloPartButton", "s", 0, "six", "<valueRef>qv.setup.solo</valueRef>"),
         "Unable to interpret id  of ZQ solo part select button main.s.\n"},
        {Button("quasarSoloPartButton", "s", 0, "four", "<valueRef>qv.setup.solo</valueRef><partId>0</partId>"),
         "Solo part select button main.s bitmap must have 6 states.\n"},
    };
    for (const auto& c : cases) {
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(c.controls)));
        EXPECT_FALSE(system.CreateManagers());
        EXPECT_NE(system.ErrorText().find(c.text), std::string::npos) << system.ErrorText();
    }
}

} // namespace
