// Latch, increment and scroll buttons built from an inline script: toggling with on and
// off expressions, the held-button repeat on the fake clock, moving a range window, and
// the messages of buttons that cannot be built.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"
#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"
#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"
#include "view/CTavButton.h"
#include "view/CTavPanel.h"
#include "view/CTavScrollButton.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using test::FakeResources;

const char* const kValues = R"(
<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>
<bitmap><name>latch3</name><stateCount>3</stateCount></bitmap>
<bitmap><name>push</name><stateCount>2</stateCount></bitmap>
<bitmap><name>single</name><stateCount>1</stateCount></bitmap>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>level</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>mode</name><address>01</address><range>0,127</range><default>0</default></value>
  <value><name>other</name><address>02</address><range>0,127</range><default>100</default></value>
  <value><name>narrow</name><address>03</address><range>0,10</range><default>5</default></value>
  <value><name>count</name><address>04</address><range>0,127</range><default>0</default></value>
  <value><name>cl</name><address>05</address><range>0,127</range><default>0</default></value>
  <value><name>cu</name><address>06</address><range>0,127</range><default>2</default></value>
  <value><name>sl</name><address>07</address><range>0,127</range><default>0</default></value>
  <value><name>su</name><address>08</address><range>0,127</range><default>127</default></value>
  <value><name>op</name><address>09</address><range>0,1</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

const char* const kRanges = "<currentRangeLowerValueRef>p.v.cl</currentRangeLowerValueRef>"
                            "<currentRangeUpperValueRef>p.v.cu</currentRangeUpperValueRef>"
                            "<scrollRangeLowerValueRef>p.v.sl</scrollRangeLowerValueRef>"
                            "<scrollRangeUpperValueRef>p.v.su</scrollRangeUpperValueRef>"
                            "<operatedValueRef>p.v.op</operatedValueRef>";

// A main panel holding the given controls.
std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "400,300", controls);
}

// Each button is 20 x 20 at (x, 10); Click and Mouse take the x of its middle.
const std::string kControls =
    "<control><type>latchButton</type><name>l</name><position>0,10</position><bitmapRef>latch</bitmapRef>"
    "<valueRef>p.v.level</valueRef><onValue>127</onValue><offValue>0</offValue></control>"
    "<control><type>latchButton</type><name>x</name><position>30,10</position><bitmapRef>latch</bitmapRef>"
    "<valueRef>p.v.mode</valueRef><onValue>p.v.other</onValue></control>"
    "<control><type>latchButton</type><name>n</name><position>60,10</position><bitmapRef>latch</bitmapRef>"
    "<valueRef>p.v.narrow</valueRef><onValue>20</onValue></control>"
    "<control><type>incrementButton</type><name>up</name><position>90,10</position><bitmapRef>push</bitmapRef>"
    "<valueRef>p.v.count</valueRef></control>"
    "<control><type>incrementButton</type><name>dn</name><position>120,10</position><bitmapRef>push</bitmapRef>"
    "<valueRef>p.v.count</valueRef><deltaValue>-1</deltaValue></control>"
    "<control><type>scrollButton</type><name>fw</name><position>150,10</position><bitmapRef>push</bitmapRef>"
    "<deltaValue>10</deltaValue>" +
    std::string(kRanges) +
    "</control>"
    "<control><type>scrollButton</type><name>bk</name><position>180,10</position><bitmapRef>push</bitmapRef>"
    "<deltaValue>-10</deltaValue>" +
    std::string(kRanges) +
    "</control>"
    "<control><type>unlatchButton</type><name>now</name><position>210,10</position><bitmapRef>push</bitmapRef>"
    "<function>TestCall</function><arguments>3</arguments></control>"
    "<control><type>unlatchButton</type><name>up2</name><position>240,10</position><bitmapRef>push</bitmapRef>"
    "<function>TestCall</function><arguments>a b</arguments><action>1</action></control>"
    "<control><type>unlatchButton</type><name>bad</name><position>270,10</position><bitmapRef>push</bitmapRef>"
    "<function>TestCall</function><arguments>x</arguments><action>soon</action></control>";

// Records the calls of a device function registered on the root object for one test.
class RecordedFunction {
public:
    explicit RecordedFunction(const char* name) : m_name(name) {
        CTavSystem::Instance().FunctionManager().Register(m_name, std::make_unique<Functor>(calls, enabled));
    }
    ~RecordedFunction() { CTavSystem::Instance().FunctionManager().Unregister(m_name); }
    std::vector<std::string> calls;
    bool enabled = true;

private:
    class Functor : public CTavFunctionManager::IFunctor {
    public:
        Functor(std::vector<std::string>& calls, const bool& enabled) : m_calls(calls), m_enabled(enabled) {}
        bool Invoke(const std::string& arguments) override {
            m_calls.push_back(arguments);
            return true;
        }
        bool IsEnabled() const override { return m_enabled; }

    private:
        std::vector<std::string>& m_calls;
        const bool& m_enabled;
    };
    std::string m_name;
};

class ButtonTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<FakeResources>());
        system.ViewManager().SetClock(&clock);
        ASSERT_NO_FATAL_FAILURE(Build(Script(kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        Buffers().FindRoot("p")->SetOutput(&out);
    }
    template <typename Control> Control* Find(const char* path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl(path, view)) << path;
        return dynamic_cast<Control*>(view);
    }
    void Mouse(CTavMouseInfo::Kind kind, int32_t x, int32_t y = 20, bool forced = false) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, 0, forced});
    }
    void Click(int32_t x) {
        Mouse(CTavMouseInfo::kPressed, x);
        Mouse(CTavMouseInfo::kReleased, x);
    }
    // A timer event every interval ms (50 unless the timer runs a little fast or slow).
    void Tick(int milliseconds, int interval = 50) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += interval) {
            clock.Advance(std::chrono::milliseconds(interval));
            panel->OnTimer(CTavTimerInfo{});
        }
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }

    FakeClock clock;
    test::RecordingMidiOut out;
    CTavRootPanel* panel = nullptr;
};

TEST_F(ButtonTest, LatchTogglesBetweenOnAndOffAndShowsItsStateAndPress) {
    auto* latch = Find<CTavLatchButton>("main.l");
    ASSERT_NE(latch, nullptr);
    EXPECT_EQ(latch->Rect(), (TavRect{0, 10, 20, 30})); // one frame of the bitmap

    Click(10); // 64 is not the on value
    EXPECT_EQ(Raw("p.v.level"), 127);
    EXPECT_EQ(latch->State(), 2);
    EXPECT_FALSE(latch->HasFocus());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    Click(10);
    EXPECT_EQ(Raw("p.v.level"), 0);
    EXPECT_EQ(latch->State(), 0);

    // Dragged off the button it shows released, dragged back pressed; a release outside
    // writes nothing.
    Mouse(CTavMouseInfo::kPressed, 10);
    EXPECT_EQ(latch->State(), 1);
    Mouse(CTavMouseInfo::kMove, 10, 50);
    EXPECT_EQ(latch->State(), 0);
    Mouse(CTavMouseInfo::kMove, 12);
    EXPECT_EQ(latch->State(), 1);
    Mouse(CTavMouseInfo::kReleased, 10, 50);
    EXPECT_EQ(Raw("p.v.level"), 0);
    EXPECT_EQ(latch->State(), 0);

    // An on value beyond the range is written as the range's end.
    Click(70);
    EXPECT_EQ(Raw("p.v.narrow"), 10);
}

TEST_F(ButtonTest, LatchOnValueReadFromAnotherValueFollowsThatValue) {
    auto* latch = Find<CTavLatchButton>("main.x");
    ASSERT_NE(latch, nullptr);
    EXPECT_EQ(latch->State(), 0);
    Set("p.v.mode", 100);
    EXPECT_EQ(latch->State(), 2);
    Set("p.v.other", 99); // only the on value's own value changed
    EXPECT_EQ(latch->State(), 0);
    Click(40);
    EXPECT_EQ(Raw("p.v.mode"), 99);
    EXPECT_EQ(latch->State(), 2);
    Click(40); // the default off value
    EXPECT_EQ(Raw("p.v.mode"), 0);
}

TEST_F(ButtonTest, IncrementButtonRepeatsAfter200ThenEvery50MsAndPausesWhenDraggedOff) {
    Mouse(CTavMouseInfo::kPressed, 100);
    EXPECT_EQ(Raw("p.v.count"), 1);
    Tick(150);
    EXPECT_EQ(Raw("p.v.count"), 1);
    Tick(50);
    EXPECT_EQ(Raw("p.v.count"), 2);
    Tick(100);
    EXPECT_EQ(Raw("p.v.count"), 4);

    Mouse(CTavMouseInfo::kMove, 100, 50);
    Tick(200);
    EXPECT_EQ(Raw("p.v.count"), 4);
    Mouse(CTavMouseInfo::kMove, 100);
    Tick(50);
    EXPECT_EQ(Raw("p.v.count"), 5);
    Mouse(CTavMouseInfo::kReleased, 100);
    Tick(300);
    EXPECT_EQ(Raw("p.v.count"), 5);

    // Stepping below the range's start sends nothing.
    Set("p.v.count", 0);
    out.sent.clear();
    Mouse(CTavMouseInfo::kPressed, 130);
    Tick(300);
    Mouse(CTavMouseInfo::kReleased, 130);
    EXPECT_EQ(Raw("p.v.count"), 0);
    EXPECT_TRUE(out.sent.empty());
    Click(100);
    EXPECT_EQ(out.sent.size(), 1u);
}

TEST_F(ButtonTest, IncrementButtonRepeatsTwentyTimesASecondOnTicksThatComeEarlyOrLate) {
    for (const int interval : {49, 51}) {
        SCOPED_TRACE(interval);
        Set("p.v.count", 0);
        Mouse(CTavMouseInfo::kPressed, 100);
        Tick(1000 - interval, interval); // the ticks within one second of the press
        Mouse(CTavMouseInfo::kReleased, 100);
        EXPECT_EQ(Raw("p.v.count"), 1 + 16);
    }
}

TEST_F(ButtonTest, ScrollButtonMovesTheWindowWithinTheScrollRange) {
    Mouse(CTavMouseInfo::kPressed, 160);
    EXPECT_EQ(Raw("p.v.cl"), 10);
    EXPECT_EQ(Raw("p.v.cu"), 12);
    EXPECT_EQ(Raw("p.v.op"), 0);
    Tick(200); // held: it repeats as an increment button
    EXPECT_EQ(Raw("p.v.cl"), 20);
    Mouse(CTavMouseInfo::kReleased, 160);
    EXPECT_EQ(Raw("p.v.op"), 1); // the gesture ended

    Set("p.v.cl", 120);
    Set("p.v.cu", 122);
    Click(160);
    EXPECT_EQ(Raw("p.v.cl"), 125);
    EXPECT_EQ(Raw("p.v.cu"), 127);
    Set("p.v.cl", 5);
    Set("p.v.cu", 7);
    Click(190);
    EXPECT_EQ(Raw("p.v.cl"), 0);
    EXPECT_EQ(Raw("p.v.cu"), 2);

    // A window of no width, or one wider than the scroll range, goes to the scroll lower.
    Set("p.v.sl", 3);
    Set("p.v.cl", 50);
    Set("p.v.cu", 50);
    Click(160);
    EXPECT_EQ(Raw("p.v.cl"), 3);
    EXPECT_EQ(Raw("p.v.cu"), 3);
    Set("p.v.su", 10);
    Set("p.v.cl", 20);
    Set("p.v.cu", 40);
    Click(190);
    EXPECT_EQ(Raw("p.v.cl"), 3);
    EXPECT_EQ(Raw("p.v.cu"), 23);
}

TEST_F(ButtonTest, UnlatchCallsItsFunctionOnPressOrOnReleaseOverIt) {
    RecordedFunction function("TestCall");
    auto* now = Find<CTavUnlatchButton>("main.now");
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->Action(), 0);
    EXPECT_EQ(Find<CTavUnlatchButton>("main.bad")->Action(), 0); // "soon" does not read

    // Action 0: the call comes with the press, which then ends at once.
    Mouse(CTavMouseInfo::kPressed, 220);
    EXPECT_EQ(function.calls, (std::vector<std::string>{"3"}));
    EXPECT_EQ(now->State(), 0);
    EXPECT_FALSE(now->HasFocus());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    Mouse(CTavMouseInfo::kReleased, 220);
    EXPECT_EQ(function.calls.size(), 1u);

    // Action 1: only a real release over the button calls.
    const struct {
        int32_t releaseX;
        bool forced;
        size_t calls;
    } releases[] = {{250, false, 1}, {250, true, 0}, {250 + 60, false, 0}, {250 + 60, true, 0}};
    for (const auto& r : releases) {
        function.calls.clear();
        Mouse(CTavMouseInfo::kPressed, 250);
        EXPECT_TRUE(function.calls.empty());
        EXPECT_EQ(Find<CTavUnlatchButton>("main.up2")->State(), 1);
        Mouse(CTavMouseInfo::kReleased, r.releaseX, 20, r.forced);
        EXPECT_EQ(function.calls.size(), r.calls) << r.releaseX << " forced " << r.forced;
        if (r.calls == 1) {
            EXPECT_EQ(function.calls[0], "a b");
        }
        EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
        EXPECT_EQ(Find<CTavUnlatchButton>("main.up2")->State(), 0);
    }

    // A function that is disabled now is not called, by either action.
    function.calls.clear();
    function.enabled = false;
    for (const int32_t x : {220, 250}) {
        Mouse(CTavMouseInfo::kPressed, x);
        Mouse(CTavMouseInfo::kReleased, x);
    }
    EXPECT_TRUE(function.calls.empty());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
}

TEST_F(ButtonTest, ForcedReleaseEndsALatchPressWithoutToggling) {
    Mouse(CTavMouseInfo::kPressed, 10);
    Mouse(CTavMouseInfo::kReleased, 10, 20, true);
    EXPECT_EQ(Raw("p.v.level"), 64);
    EXPECT_EQ(Find<CTavLatchButton>("main.l")->State(), 0);
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
}

TEST_F(ButtonTest, SpaceAndReturnOnTheFocusedButtonClickItAndTheFocusStays) {
    auto key = [this](CTavKeyInfo::Kind kind, int32_t code, bool forced = false) {
        return panel->OnKey(CTavKeyInfo{kind, code, 0, forced});
    };
    auto* latch = Find<CTavLatchButton>("main.l");
    EXPECT_FALSE(key(CTavKeyInfo::kDown, kTavKeySpace)); // nothing has the focus
    latch->SetFocus(true);
    // Down shows the press, up toggles, as a click does; a lost key-up toggles nothing.
    const struct {
        int32_t code;
        bool forced;
        int32_t level;
    } clicks[] = {{kTavKeySpace, false, 127}, {kTavKeyReturn, false, 0}, {kTavKeySpace, true, 0}};
    for (const auto& c : clicks) {
        EXPECT_TRUE(key(CTavKeyInfo::kDown, c.code));
        EXPECT_EQ(latch->State() % 2, 1);
        EXPECT_TRUE(key(CTavKeyInfo::kUp, c.code, c.forced));
        EXPECT_EQ(Raw("p.v.level"), c.level) << c.code << c.forced;
        EXPECT_TRUE(latch->HasFocus());
        EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    }

    // A held key repeats an increment button as a held press does.
    Find<CTavIncrementButton>("main.up")->SetFocus(true);
    key(CTavKeyInfo::kDown, kTavKeySpace);
    Tick(200);
    key(CTavKeyInfo::kUp, kTavKeySpace);
    Tick(200);
    EXPECT_EQ(Raw("p.v.count"), 2);
}

TEST(ButtonBuild, MessagesNameTheButtonThatFailed) {
    const struct {
        std::string controls;
        const char* text;
    } cases[] = {
        {"<control><type>latchButton</type><name>l</name><bitmapRef>latch3</bitmapRef>"
         "<valueRef>p.v.level</valueRef></control>",
         "Latch button bitmap must have 4 states. : main.l\n"},
        {"<control><type>latchButton</type><name>l</name><bitmapRef>latch</bitmapRef>"
         "<valueRef>p.v.level</valueRef><valueRef>p.v.mode</valueRef></control>",
         "There is no value reference for latch button. : main.l\n"},
        {"<control><type>latchButton</type><name>l</name><bitmapRef>latch</bitmapRef>"
         "<valueRef>p.v.level</valueRef><onValue>p.v.nothing</onValue></control>",
         "Unable to convert value reference name p.v.nothing to value.\n"
         "Unable to interpret on value for latch button. : main.l : p.v.nothing\n"},
        {"<control><type>incrementButton</type><name>i</name><bitmapRef>push</bitmapRef>"
         "<valueRef>p.v.count</valueRef><deltaValue>up</deltaValue></control>",
         "Increment button delta value is invalid. : main.i : up\n"},
        {"<control><type>incrementButton</type><name>i</name><valueRef>p.v.count</valueRef></control>",
         "There is no bitmap reference for button. : main.i\n"},
        {"<control><type>scrollButton</type><name>s</name><bitmapRef>push</bitmapRef>"
         "<currentRangeLowerValueRef>p.v.none</currentRangeLowerValueRef></control>",
         "Unable to convert value reference name p.v.none to value.\nUnable to associate view main.s.\n"
         "Unable to create control s.\nUnable to create button. : main.s\n"
         "Unable to create scroll button. : main.s\n"},
        {"<control><type>unlatchButton</type><name>u</name><bitmapRef>single</bitmapRef></control>",
         "Unlatch button bitmap must have 2 states. : main.u\n"},
        {"<control><type>unlatchButton</type><name>u</name><bitmapRef>none</bitmapRef></control>",
         "Unable to find bitmap for button. : main.u : none\n"},
    };
    for (const auto& c : cases) {
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<FakeResources>());
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(c.controls)));
        EXPECT_FALSE(system.CreateManagers());
        EXPECT_EQ(system.ErrorText().substr(0, std::string(c.text).size()), c.text) << system.ErrorText();
    }
}

} // namespace
