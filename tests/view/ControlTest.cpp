// Drag controls with the single key and tip bar operators: dragging with capture, arrow
// key steps and their repeat, the focus time-out, and what the tip bar shows.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/ModelFixture.h"
#include "view/CTavControl.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavPanel.h"
#include "view/CTavTipBarOperator.h"
#include "view/CTavViewFactory.h"
#include "view/ITavTipBar.h"
#include "view/TavSetValue.h"

namespace {

// A drag control that records its drag calls and whether it held the capture in them.
class RecordingDrag : public CTavDragControl {
public:
    std::vector<std::string> calls;

    std::string_view GetKind() const override { return "recordingDrag"; }

protected:
    std::unique_ptr<CTavKeyOperator> CreateKeyOperator() override {
        return std::make_unique<CTavSingleKeyOperator>(*this);
    }
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override {
        return std::make_unique<CTavSingleTipBarOperator>(*this);
    }
    void BeginDrag(const CTavMouseInfo& info) override { Record("begin", info); }
    void Drag(const CTavMouseInfo& info) override { Record("drag", info); }
    void EndDrag(const CTavMouseInfo& info) override { Record("end", info); }

private:
    void Record(const char* what, const CTavMouseInfo& info) {
        calls.push_back(std::string(what) + (IsCaptured() ? " captured " : " free ") +
                        std::to_string(info.point.x));
    }
};

class FakeTipBar : public ITavTipBar {
public:
    std::vector<std::string> lines;
    TavPoint anchor;
    bool shown = false;

    void SetLines(std::vector<std::string> newLines) override { lines = std::move(newLines); }
    void SetAnchor(TavPoint point) override { anchor = point; }
    void SetOffset(TavPoint) override {}
    void MarkChanged() override {}
    void Show(bool show) override { shown = show; }
    bool IsShown() const override { return shown; }
    void UpdateAtIdle() override {}
};

const char* const kValues = R"(
<stringTable><name>waves</name><table>Saw, Square, Sine, Noise</table></stringTable>
<structType><type>Params</type><name>$name</name><address>$address</address>
  <value><name>three</name><range>0,2</range><default>0</default></value>
  <value><name>level</name><range>0,127</range><default>64</default></value>
  <value><name>wave</name><range>0,127</range><default>9</default></value>
  <value><name>label</name><type>string</type><size>04</size><default>ab</default></value>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address>
  <struct><type>Params</type><name>v</name><address>00</address></struct>
</structType>
<struct><type>Root</type><name>p</name><address>00 00 00</address></struct>
)";

class ControlTest : public test::ModelFixture {
protected:
    // Builds the values and a main panel at (100, 50) holding one recording drag control
    // "k" at (10, 20) of size 30 x 40 with the given extra attributes, and opens the panel.
    void BuildControl(const std::string& attributes) {
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("recordingDrag", [] { return std::make_unique<RecordingDrag>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        system.ViewManager().SetClock(&clock);
        auto tip = std::make_unique<FakeTipBar>();
        tipBar = tip.get();
        system.SetTipBar(std::move(tip));
        Build(
            std::string(kValues) +
            "<panelType><type>Main</type><name>main</name><position>100,50</position><size>200,100</size>"
            "<control><type>recordingDrag</type><name>k</name><position>10,20</position><size>30,40</size>" +
            attributes + "</control></panelType><panel><type>Main</type><name>main</name></panel>");
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(panel->FindControl("main.k", view));
        control = static_cast<RecordingDrag*>(view);
    }

    void Mouse(CTavMouseInfo::Kind kind, int32_t x, int32_t y, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, modifiers});
    }
    void Key(CTavKeyInfo::Kind kind, int32_t code, uint32_t modifiers = 0) {
        panel->OnKey(CTavKeyInfo{kind, code, modifiers});
    }
    // Lets time pass as the window does: a timer event every 50 ms (or every interval ms,
    // as a timer that runs a little fast or slow delivers them).
    void Tick(int milliseconds, int interval = 50) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += interval) {
            clock.Advance(std::chrono::milliseconds(interval));
            panel->OnTimer(CTavTimerInfo{});
        }
    }
    void Wheel(int32_t x, int32_t notches) { panel->OnWheel(CTavWheelInfo{{x, 80}, notches, 0}); }
    // Gives the control the focus as a click does, with the mouse released again.
    void Click() {
        Mouse(CTavMouseInfo::kPressed, 120, 80);
        Mouse(CTavMouseInfo::kReleased, 120, 80);
    }
    int32_t Position(const std::string& path) { return Value(path).GetPosition(); }

    FakeClock clock;
    FakeTipBar* tipBar = nullptr;
    CTavRootPanel* panel = nullptr;
    RecordingDrag* control = nullptr;
};

TEST_F(ControlTest, PressMoveReleaseDragUnderCaptureOnlyInsideOrWhileCaptured) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef>"));
    ASSERT_EQ(control->Rect(), (TavRect{110, 70, 140, 110}));

    Mouse(CTavMouseInfo::kPressed, 105, 80); // outside the control
    Mouse(CTavMouseInfo::kMove, 120, 80);    // inside, but nothing held
    EXPECT_TRUE(control->calls.empty());
    EXPECT_FALSE(control->HasFocus());

    Mouse(CTavMouseInfo::kPressed, 120, 80);
    EXPECT_TRUE(control->HasFocus());
    EXPECT_EQ(system.ViewManager().CapturedView(), control);
    Mouse(CTavMouseInfo::kMove, 300, 80); // outside the panel: the capture still brings it
    Tick(5000);                           // no time-out while dragging
    EXPECT_TRUE(control->HasFocus());
    Mouse(CTavMouseInfo::kReleased, 310, 80);
    Mouse(CTavMouseInfo::kMove, 320, 80);
    EXPECT_EQ(control->calls,
              (std::vector<std::string>{"begin captured 120", "drag captured 300", "end free 310"}));
    EXPECT_FALSE(control->IsCaptured());
    EXPECT_FALSE(panel->IsCaptured());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    EXPECT_TRUE(control->HasFocus()); // a control with a key operator keeps it after a drag
}

TEST_F(ControlTest, ShiftStepsHalfTheRangeAtMostTenAndStepsStayInRange) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.three</valueRef>"));
    Click();
    Key(CTavKeyInfo::kDown, kTavKeyUp, kTavShift);
    EXPECT_EQ(Position("p.v.three"), 1);
    Key(CTavKeyInfo::kUp, kTavKeyUp);
    Key(CTavKeyInfo::kDown, kTavKeyRight);
    Key(CTavKeyInfo::kUp, kTavKeyRight);
    Key(CTavKeyInfo::kDown, kTavKeyUp);
    EXPECT_EQ(Position("p.v.three"), 2);
    Key(CTavKeyInfo::kUp, kTavKeyUp);

    control->ValueRefs()[0].path = "p.v.level";
    control->Open();
    Key(CTavKeyInfo::kDown, kTavKeyUp, kTavShift);
    EXPECT_EQ(Position("p.v.level"), 74);
    Key(CTavKeyInfo::kUp, kTavKeyUp);
    Key(CTavKeyInfo::kDown, kTavKeyLeft, kTavShift);
    Key(CTavKeyInfo::kUp, kTavKeyLeft);
    Key(CTavKeyInfo::kDown, kTavKeyDown);
    EXPECT_EQ(Position("p.v.level"), 63);
}

TEST_F(ControlTest, HeldKeyRepeatsAfter200MsThenEvery50AndFocusGoes4000MsAfterRelease) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef>"));
    Click();
    Key(CTavKeyInfo::kDown, kTavKeyUp);
    EXPECT_EQ(Position("p.v.level"), 65);
    Tick(150);
    EXPECT_EQ(Position("p.v.level"), 65);
    Tick(50);
    EXPECT_EQ(Position("p.v.level"), 66);
    Tick(100);
    EXPECT_EQ(Position("p.v.level"), 68);
    Key(CTavKeyInfo::kUp, kTavKeyUp);
    Tick(3950);
    EXPECT_EQ(Position("p.v.level"), 68);
    EXPECT_TRUE(control->HasFocus());
    Tick(50);
    EXPECT_FALSE(control->HasFocus());
    EXPECT_FALSE(tipBar->shown);

    // Without the focus the keys reach nothing.
    Key(CTavKeyInfo::kDown, kTavKeyUp);
    EXPECT_EQ(Position("p.v.level"), 68);
}

TEST_F(ControlTest, HeldKeyRepeatsTwentyTimesASecondOnTicksThatComeEarlyOrLate) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef>"));
    Click();
    for (const int interval : {49, 51, 50}) {
        SCOPED_TRACE(interval);
        Value("p.v.level").SetPosition(0);
        Key(CTavKeyInfo::kDown, kTavKeyUp);
        // Ticks within a second: the step at once, then the repeats due from 200 ms on, one
        // every 50 ms.
        Tick(1000 - interval, interval);
        EXPECT_EQ(Position("p.v.level"), 1 + 16);
        Key(CTavKeyInfo::kUp, kTavKeyUp);
    }
}

TEST_F(ControlTest, WheelShowsTheTipBarAndTheFocusTimesOutAsAfterKeys) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef>"));
    Wheel(105, 1); // beside the control
    EXPECT_EQ(Position("p.v.level"), 64);
    EXPECT_FALSE(control->HasFocus());

    Wheel(120, 2);
    EXPECT_EQ(Position("p.v.level"), 66);
    EXPECT_TRUE(control->HasFocus());
    EXPECT_TRUE(tipBar->shown);
    EXPECT_EQ(tipBar->anchor, (TavPoint{110, 110}));
    EXPECT_EQ(tipBar->lines, (std::vector<std::string>{"66"}));
    Tick(3000);
    Wheel(120, -1); // the time-out starts again
    EXPECT_EQ(tipBar->lines, (std::vector<std::string>{"65"}));
    Tick(3950);
    EXPECT_TRUE(tipBar->shown);
    Tick(50);
    EXPECT_FALSE(control->HasFocus());
    EXPECT_FALSE(tipBar->shown);
}

TEST_F(ControlTest, TipBarShowsTheIntegerPlusOffsetBelowTheControlAndFollowsTheValue) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.three</valueRef><offsetValue>1</offsetValue>"));
    EXPECT_FALSE(tipBar->shown);
    Click();
    EXPECT_TRUE(tipBar->shown);
    EXPECT_EQ(tipBar->anchor, (TavPoint{110, 110}));
    EXPECT_EQ(tipBar->lines, (std::vector<std::string>{"1"}));
    Key(CTavKeyInfo::kDown, kTavKeyUp);
    EXPECT_EQ(tipBar->lines, (std::vector<std::string>{"2"}));
}

TEST_F(ControlTest, TipBarShowsTheStringTableEntryLimitedToTheTable) {
    ASSERT_NO_FATAL_FAILURE(
        BuildControl("<valueRef>p.v.wave</valueRef><stringTableRef>waves</stringTableRef>"));
    Click();
    EXPECT_EQ(tipBar->lines, (std::vector<std::string>{"Noise"}));
}

TEST_F(ControlTest, UseTipBarZeroKeepsTheKeysWithoutTipBar) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef><useTipBar>0</useTipBar>"));
    EXPECT_EQ(control->TipBarOperator(), nullptr);
    Click();
    Key(CTavKeyInfo::kDown, kTavKeyUp);
    EXPECT_EQ(Position("p.v.level"), 65);
    EXPECT_FALSE(tipBar->shown);
}

TEST_F(ControlTest, OperatorAttributesAreChecked) {
    ASSERT_NO_FATAL_FAILURE(BuildControl("<valueRef>p.v.level</valueRef>"));
    struct Case {
        TavItems items;
        const char* message;
    };
    const Case cases[] = {
        {{{"useTipBar", "2"}}, "Use tip bar value must be 0 or 1. : main.x : 2\n"},
        {{{"useTipBar", "yes"}}, "Use tip bar description is invalid. : main.x : yes\n"},
        {{{"offsetValue", ""}}, "Offset value is invalid for tip bar. : main.x : \n"},
        {{{"stringTableRef", "none"}}, "Unable to find string table for tip bar. : main.x : none\n"},
    };
    for (const Case& c : cases) {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        RecordingDrag drag;
        drag.SetViewManager(&system.ViewManager());
        drag.SetParent(panel);
        TavItems items = c.items;
        items.insert(items.begin(), {"name", "x"});
        EXPECT_FALSE(drag.Configure(items));
        EXPECT_EQ(system.ErrorText(),
                  c.message + std::string("Unable to convert tip bar operator for drag control. : main.x\n"));
    }

    // A string table needs an integer value.
    RecordingDrag drag;
    drag.SetViewManager(&system.ViewManager());
    TavItems items{{"name", "x"}, {"valueRef", "p.v.label"}, {"stringTableRef", "waves"}};
    ASSERT_TRUE(drag.Configure(items));
    EXPECT_FALSE(drag.Associate(panel));
    EXPECT_NE(system.ErrorText().find(
                  "Referred value type must be integer when string table is referred for tip "
                  "bar. : main.x\nUnable to create tip bar operator for drag control. : main.x\n"),
              std::string::npos);
}

} // namespace

TEST(ValueCount, RangesOverAllOf32BitsDoNotOverflow) {
    const struct {
        int32_t minimum, maximum, count;
    } cases[] = {
        {0, 127, 128},
        {-64, 63, 128},
        {INT32_MIN, INT32_MAX, INT32_MAX},
        {-1, INT32_MAX, INT32_MAX},
        {INT32_MIN, -2, INT32_MAX},
    };
    for (const auto& c : cases) {
        CTavValueSpec spec;
        spec.minimum = c.minimum;
        spec.maximum = c.maximum;
        const CTavValue value(&spec);
        EXPECT_EQ(TavValueCount(value), c.count) << c.minimum << ".." << c.maximum;
    }
}
