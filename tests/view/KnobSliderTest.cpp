// Knob, slider and scroll controls built from an inline script: geometry, dragging,
// Ctrl-click defaults, the mouse wheel and the scroll thumb.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "view/CTavKnobControl.h"
#include "view/CTavPanel.h"
#include "view/CTavScrollControl.h"
#include "view/CTavSliderControl.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using test::FakeResources;

const char* const kScript = R"(
<bitmap><name>knob</name><stateCount>32</stateCount></bitmap>
<bitmap><name>thumb</name></bitmap>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>level</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>wide</name><address>01</address><range>0,100</range><default>0</default></value>
  <value><name>cl</name><address>02</address><range>0,127</range><default>0</default></value>
  <value><name>cu</name><address>03</address><range>0,127</range><default>2</default></value>
  <value><name>sl</name><address>04</address><range>0,127</range><default>0</default></value>
  <value><name>su</name><address>05</address><range>0,127</range><default>127</default></value>
  <value><name>op</name><address>06</address><range>0,1</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
<panelType><type>Main</type><name>main</name><size>400,300</size>
  <control><type>knob</type><name>k</name><position>10,10</position><bitmapRef>knob</bitmapRef>
    <angleRange>30,330</angleRange><valueRef>p.v.level</valueRef></control>
  <control><type>slider</type><name>s</name><position>100,10</position><size>30,100</size>
    <bitmapRef>thumb</bitmapRef><valueRef>p.v.wide</valueRef></control>
  <control><type>slider</type><name>r</name><position>150,10</position><size>30,137</size>
    <bitmapRef>thumb</bitmapRef><resolution>16</resolution><valueRef>p.v.level</valueRef></control>
  <control><type>scroll</type><name>sc</name><position>200,10</position><size>20,200</size>
    <currentRangeLowerValueRef>p.v.cl</currentRangeLowerValueRef>
    <currentRangeUpperValueRef>p.v.cu</currentRangeUpperValueRef>
    <scrollRangeLowerValueRef>p.v.sl</scrollRangeLowerValueRef>
    <scrollRangeUpperValueRef>p.v.su</scrollRangeUpperValueRef>
    <operatedValueRef>p.v.op</operatedValueRef></control>
</panelType>
<panel><type>Main</type><name>main</name></panel>
)";

class KnobSliderTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<FakeResources>());
        system.ViewManager().SetClock(&clock);
        ASSERT_NO_FATAL_FAILURE(Build(kScript));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        knob = Find<CTavKnobControl>("main.k");
        slider = Find<CTavSliderControl>("main.s");
        coarse = Find<CTavSliderControl>("main.r");
        scroll = Find<CTavScrollControl>("main.sc");
    }
    template <typename Control> Control* Find(const char* path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl(path, view)) << path;
        return dynamic_cast<Control*>(view);
    }
    void Mouse(CTavMouseInfo::Kind kind, int32_t x, int32_t y, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, modifiers});
    }
    void Click(int32_t x, int32_t y, uint32_t modifiers = 0) {
        Mouse(CTavMouseInfo::kPressed, x, y, modifiers);
        Mouse(CTavMouseInfo::kReleased, x, y, modifiers);
    }
    void Wheel(int32_t notches, uint32_t modifiers = 0) {
        panel->OnWheel(CTavWheelInfo{{20, 20}, notches, modifiers});
    }
    void Tick(int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 50) {
            clock.Advance(std::chrono::milliseconds(50));
            panel->OnTimer(CTavTimerInfo{});
        }
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Index(const std::string& path) { return Value(path).GetPosition(); }

    FakeClock clock;
    CTavRootPanel* panel = nullptr;
    CTavKnobControl* knob = nullptr;
    CTavSliderControl* slider = nullptr;
    CTavSliderControl* coarse = nullptr;
    CTavScrollControl* scroll = nullptr;
};

TEST_F(KnobSliderTest, KnobMapsAnglesToIndicesAndIndicesToFrames) {
    ASSERT_EQ(knob->Rect(), (TavRect{10, 10, 30, 30})); // one frame of the bitmap
    EXPECT_EQ(knob->AngleOfPoint({20, 0}), 180);        // straight up
    EXPECT_EQ(knob->AngleOfPoint({0, 20}), 90);
    EXPECT_EQ(knob->AngleOfPoint({40, 20}), 270);
    EXPECT_EQ(knob->AngleToIndex(180), 64);
    EXPECT_EQ(knob->AngleToIndex(0), 0);
    EXPECT_EQ(knob->AngleToIndex(359), 127);
    EXPECT_EQ(knob->IndexToFrame(127), 31);
    EXPECT_EQ(knob->IndexToFrame(2), 0);
    EXPECT_EQ(knob->IndexToFrame(3), 1);
    EXPECT_EQ(knob->Frame(), 16); // the default 64 shown on open

    Mouse(CTavMouseInfo::kPressed, 20, 12);
    Mouse(CTavMouseInfo::kMove, 12, 20); // 90 degrees
    EXPECT_EQ(Index("p.v.level"), 25);
    EXPECT_EQ(knob->Frame(), 6);         // repainted from the buffer's notification
    Mouse(CTavMouseInfo::kMove, 23, 28); // about 339 degrees: across the bottom, ignored
    EXPECT_EQ(Index("p.v.level"), 25);
    Mouse(CTavMouseInfo::kMove, 19, 28); // about 7 degrees: below the range
    EXPECT_EQ(Index("p.v.level"), 0);
    Mouse(CTavMouseInfo::kMove, 21, 28); // about 353 degrees: across the bottom, ignored
    EXPECT_EQ(Index("p.v.level"), 0);
    Mouse(CTavMouseInfo::kReleased, 21, 28);
}

TEST_F(KnobSliderTest, CtrlClickRestoresTheDefaultButCtrlShiftDoesNot) {
    knob->SetValueIndex(0, 10);
    Click(20, 20, kTavCtrl | kTavShift);
    EXPECT_EQ(Index("p.v.level"), 10);
    Click(20, 20, kTavCtrl);
    EXPECT_EQ(Index("p.v.level"), 64);
    EXPECT_FALSE(knob->IsCaptured());

    slider->SetIndex(70);
    Click(115, 30, kTavCtrl);
    EXPECT_EQ(Index("p.v.wide"), 0);
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
}

TEST_F(KnobSliderTest, VerticalSliderPlacesTheKnobAndFollowsThePointer) {
    EXPECT_EQ(slider->IndexToKnobPosition(0), (TavPoint{105, 90}));
    EXPECT_EQ(slider->IndexToKnobPosition(100), (TavPoint{105, 10}));
    EXPECT_EQ(slider->IndexToKnobPosition(50), (TavPoint{105, 50}));

    // Beside the knob: grabbed at its middle and moved there at once.
    Mouse(CTavMouseInfo::kPressed, 115, 30);
    EXPECT_EQ(Index("p.v.wide"), 88);
    Mouse(CTavMouseInfo::kMove, 115, 20);
    EXPECT_EQ(Index("p.v.wide"), 100);
    EXPECT_EQ(slider->KnobPosition(), (TavPoint{105, 10}));
    // Far to the side the travel is longer: the same height means a smaller index.
    Mouse(CTavMouseInfo::kMove, 215, 30);
    EXPECT_EQ(Index("p.v.wide"), 64);
    Mouse(CTavMouseInfo::kReleased, 215, 30);

    // On the knob: held where grabbed, nothing changes until it moves.
    slider->SetIndex(100);
    Mouse(CTavMouseInfo::kPressed, 110, 25);
    EXPECT_EQ(Index("p.v.wide"), 100);
    Mouse(CTavMouseInfo::kMove, 110, 55);
    EXPECT_EQ(Index("p.v.wide"), 63);
    Mouse(CTavMouseInfo::kReleased, 110, 55);
}

TEST_F(KnobSliderTest, CoarseSliderMovesInResolutionStepsKeepingTheRemainder) {
    coarse->SetIndex(35);
    const TavPoint at = coarse->KnobPosition();
    Mouse(CTavMouseInfo::kPressed, at.x, at.y);
    Mouse(CTavMouseInfo::kMove, at.x, coarse->IndexToKnobPosition(70).y);
    EXPECT_EQ(Index("p.v.level"), 67);
    Mouse(CTavMouseInfo::kReleased, at.x, 0);
}

TEST_F(KnobSliderTest, WheelStepsByOneOrTheShiftStepWithinTheRange) {
    Wheel(1);
    EXPECT_EQ(Index("p.v.level"), 65);
    Wheel(-2);
    EXPECT_EQ(Index("p.v.level"), 63);
    Wheel(1, kTavShift);
    EXPECT_EQ(Index("p.v.level"), 73);
    Wheel(10, kTavShift);
    EXPECT_EQ(Index("p.v.level"), 127);
    Wheel(-20);
    EXPECT_EQ(Index("p.v.level"), 107);
    Wheel(-20, kTavShift);
    EXPECT_EQ(Index("p.v.level"), 0);
    EXPECT_FALSE(panel->OnWheel(CTavWheelInfo{{60, 60}, 1, 0})); // over no control
    EXPECT_EQ(Index("p.v.level"), 0);
}

TEST_F(KnobSliderTest, ScrollThumbHasAMinimumLengthAndMovesTheWindow) {
    EXPECT_EQ(scroll->Thumb(), (TavRect{200, 10, 220, 20})); // 3 pixels drawn as 10

    Mouse(CTavMouseInfo::kPressed, 210, 15);
    Mouse(CTavMouseInfo::kMove, 210, 110);
    EXPECT_EQ(Value("p.v.cl").GetRaw(), 63);
    EXPECT_EQ(Value("p.v.cu").GetRaw(), 65);
    EXPECT_EQ(Index("p.v.op"), 0);
    Mouse(CTavMouseInfo::kReleased, 210, 110);
    EXPECT_EQ(Index("p.v.op"), 1); // the gesture ended

    // Held below the thumb: one page at once, the next after 200 ms, then every 50 ms.
    Mouse(CTavMouseInfo::kPressed, 210, 200);
    EXPECT_EQ(scroll->PageDirection(), 1);
    EXPECT_EQ(Value("p.v.cl").GetRaw(), 64);
    Tick(150);
    EXPECT_EQ(Value("p.v.cl").GetRaw(), 64);
    Tick(50);
    Tick(100);
    EXPECT_EQ(Value("p.v.cl").GetRaw(), 67);
    Mouse(CTavMouseInfo::kReleased, 210, 200);

    // A window covering the whole range fills the track and cannot be dragged.
    Set("p.v.cl", 0);
    Set("p.v.cu", 127);
    EXPECT_EQ(scroll->Thumb(), scroll->Rect());
    Mouse(CTavMouseInfo::kPressed, 210, 15);
    Mouse(CTavMouseInfo::kMove, 210, 150);
    Mouse(CTavMouseInfo::kReleased, 210, 150);
    EXPECT_EQ(Value("p.v.cl").GetRaw(), 0);
}

TEST_F(KnobSliderTest, KeysMoveTheFocusedScrollWindowByLinesPagesAndToTheEnds) {
    Set("p.v.cl", 10);
    Set("p.v.cu", 42); // 32 wide: lines of 2, pages of 31, the lower end at most 95
    const auto key = [this](int32_t code) { return panel->OnKey(CTavKeyInfo{CTavKeyInfo::kDown, code, 0}); };
    EXPECT_FALSE(key(kTavKeyDown));
    scroll->SetFocus(true);
    const struct {
        int32_t code;
        int32_t lower;
    } cases[] = {{kTavKeyDown, 12}, {kTavKeyUp, 10}, {kTavKeyRight, 12}, {kTavKeyLeft, 10},
                 {kTavKeyPageDown, 41}, {kTavKeyPageUp, 10}, {kTavKeyEnd, 95}, {kTavKeyHome, 0}};
    for (const auto& c : cases) {
        Set("p.v.op", 0);
        EXPECT_TRUE(key(c.code));
        EXPECT_EQ(Value("p.v.cl").GetRaw(), c.lower) << c.code;
        EXPECT_EQ(Value("p.v.cu").GetRaw(), c.lower + 32);
        EXPECT_EQ(Index("p.v.op"), 1); // each move ends as a drag does
    }
    Set("p.v.op", 0);
    key(kTavKeyUp); // at the start already
    EXPECT_EQ(Index("p.v.op"), 0);
}

} // namespace
