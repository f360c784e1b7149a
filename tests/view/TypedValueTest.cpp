// Typing a value into a knob or slider: what the box starts with, what typed text writes
// (or does not), and that a double-click or Return opens the box without dragging.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "model/CTavValue.h"
#include "script/CTavTable.h"
#include "support/FakeClock.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "view/CTavKnobControl.h"
#include "view/CTavPanel.h"
#include "view/CTavSliderControl.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace {

const char* const kScript = R"(
<bitmap><name>knob</name><stateCount>32</stateCount></bitmap>
<bitmap><name>thumb</name></bitmap>
<stringTable><name>waves</name><table>Saw, Square, Triangle, Noise</table></stringTable>
<numberTable><name>steps</name><table>0,10,20,50</table></numberTable>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>level</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>pan</name><address>01</address><range>-64S,63S</range><default>0S</default></value>
  <value><name>wave</name><address>02</address><range>0,9</range><default>1</default></value>
  <value><name>wide</name><address>03</address><range>0,100</range><default>50</default></value>
  <value><name>step</name><address>04</address><range>0,50</range><default>20</default>
    <numberTableRef>steps</numberTableRef></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
<panelType><type>Main</type><name>main</name><size>400,300</size>
  <control><type>knob</type><name>kl</name><position>10,10</position><bitmapRef>knob</bitmapRef>
    <offsetValue>1</offsetValue><valueRef>p.v.level</valueRef></control>
  <control><type>knob</type><name>kp</name><position>40,10</position><bitmapRef>knob</bitmapRef>
    <offsetValue>-64</offsetValue><valueRef>p.v.pan</valueRef></control>
  <control><type>knob</type><name>kw</name><position>70,10</position><bitmapRef>knob</bitmapRef>
    <stringTableRef>waves</stringTableRef><valueRef>p.v.wave</valueRef></control>
  <control><type>knob</type><name>ks</name><position>100,10</position><bitmapRef>knob</bitmapRef>
    <valueRef>p.v.step</valueRef></control>
  <control><type>slider</type><name>sw</name><position>150,10</position><size>30,100</size>
    <bitmapRef>thumb</bitmapRef><useTipBar>0</useTipBar><offsetValue>-50</offsetValue>
    <valueRef>p.v.wide</valueRef></control>
</panelType>
<panel><type>Main</type><name>main</name></panel>
)";

// A knob or slider whose box answers what the test sets, and remembers how it was opened.
template <class T> class ScriptedBox : public T {
public:
    bool confirm = false;
    std::string typed;
    int opened = 0;
    std::string shown;
    TavRect screenRect;
    bool capturedWhileOpen = false;

protected:
    bool RunEditBox(const TavRect& rect, std::string& text) override {
        ++opened;
        shown = text;
        screenRect = rect;
        capturedWhileOpen = this->IsCaptured();
        if (confirm)
            text = typed;
        return confirm;
    }
};
using Knob = ScriptedBox<CTavKnobControl>;
using Slider = ScriptedBox<CTavSliderControl>;

class TypedValueTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetClock(&clock);
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("knob", [] { return std::make_unique<Knob>(); });
        factory->Register("slider", [] { return std::make_unique<Slider>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        ASSERT_NO_FATAL_FAILURE(Build(kScript));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    CTavDragControl* Find(const std::string& name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, view)) << name;
        return dynamic_cast<CTavDragControl*>(view);
    }
    Knob* FindKnob(const std::string& name) { return dynamic_cast<Knob*>(Find(name)); }
    void Mouse(CTavMouseInfo::Kind kind, int32_t x, int32_t y, uint32_t modifiers = 0) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, modifiers});
    }
    // What the platform sends for a double-click: press, release, double-click, release.
    void DoubleClick(int32_t x, int32_t y, uint32_t modifiers = 0) {
        Mouse(CTavMouseInfo::kPressed, x, y, modifiers);
        Mouse(CTavMouseInfo::kReleased, x, y, modifiers);
        Mouse(CTavMouseInfo::kDoubleClick, x, y, modifiers);
        Mouse(CTavMouseInfo::kReleased, x, y, modifiers);
    }
    bool Key(int32_t code, CTavKeyInfo::Kind kind = CTavKeyInfo::kDown) {
        return panel->OnKey(CTavKeyInfo{kind, code, 0});
    }
    void Tick(int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 50) {
            clock.Advance(std::chrono::milliseconds(50));
            panel->OnTimer(CTavTimerInfo{});
        }
    }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }

    FakeClock clock;
    CTavRootPanel* panel = nullptr;
};

TEST_F(TypedValueTest, TypedTextWritesTheRawValueOrNothing) {
    const std::optional<int32_t> kNothing;
    const struct {
        const char* control;
        const char* path;
        const char* typed;
        std::optional<int32_t> raw; // nothing: the default stays
    } cases[] = {
        // Offset 1, range 0 ... 127.
        {"kl", "p.v.level", "100", 99},
        {"kl", "p.v.level", "  1", 0},
        {"kl", "p.v.level", "12 dB", 11},
        {"kl", "p.v.level", "0x10", 0}, // typed numbers are decimal
        {"kl", "p.v.level", "010", 9},
        {"kl", "p.v.level", "08", 7},
        {"kl", "p.v.level", "-5", 0},
        {"kl", "p.v.level", "300", 127},
        {"kl", "p.v.level", "99999999999999999999999", 127},
        {"kl", "p.v.level", "", kNothing},
        {"kl", "p.v.level", "loud", kNothing},
        {"kl", "p.v.level", "-", kNothing},
        // A signed value shown from -64: raw 0 ... 127.
        {"kp", "p.v.pan", "-64", 0},
        {"kp", "p.v.pan", "-100", 0},
        {"kp", "p.v.pan", "+63", 127},
        // A string table: entries only, numbers do not index it.
        {"kw", "p.v.wave", "Triangle", 2},
        {"kw", "p.v.wave", " noise\t", 3},
        {"kw", "p.v.wave", "SAW", 0},
        {"kw", "p.v.wave", "Sine", kNothing},
        {"kw", "p.v.wave", "2", kNothing},
        // A number table: the nearest element.
        {"ks", "p.v.step", "12", 10},
        {"ks", "p.v.step", "40", 50},
        {"ks", "p.v.step", "x", kNothing},
        // The offset is kept although the slider wants no tip bar.
        {"sw", "p.v.wide", "0", 50},
        {"sw", "p.v.wide", "-50", 0},
        {"sw", "p.v.wide", "60", 100},
    };
    for (const auto& c : cases) {
        CTavDragControl* control = Find(c.control);
        ASSERT_NE(control, nullptr);
        const int32_t before = Value(c.path).Spec().defaultValue;
        TavSetValueInteger(Buffers(), Value(c.path), before);
        EXPECT_EQ(control->SetTypedText(c.typed), c.raw.has_value()) << c.control << " '" << c.typed << "'";
        EXPECT_EQ(Raw(c.path), c.raw.value_or(before)) << c.control << " '" << c.typed << "'";
    }
}

TEST_F(TypedValueTest, TheShownTextTypesBackToTheSameValue) {
    const struct {
        const char* control;
        const char* path;
        int32_t raw;
        const char* text;
        int32_t typedBack;
    } cases[] = {
        {"kl", "p.v.level", 0, "1", 0},
        {"kl", "p.v.level", 127, "128", 127},
        {"kp", "p.v.pan", 0, "-64", 0},
        {"kw", "p.v.wave", 3, "Noise", 3},
        // Past the table's end the last entry shows, which types back as its own index.
        {"kw", "p.v.wave", 9, "Noise", 3},
        {"ks", "p.v.step", 50, "50", 50},
        {"sw", "p.v.wide", 0, "-50", 0},
        {"sw", "p.v.wide", 100, "50", 100},
    };
    for (const auto& c : cases) {
        CTavDragControl* control = Find(c.control);
        ASSERT_NE(control, nullptr);
        TavSetValueInteger(Buffers(), Value(c.path), c.raw);
        EXPECT_EQ(control->ValueText(), c.text) << c.control << " " << c.raw;
        EXPECT_TRUE(control->SetTypedText(control->ValueText())) << c.control << " " << c.raw;
        EXPECT_EQ(Raw(c.path), c.typedBack) << c.control << " " << c.raw;
    }
}

TEST_F(TypedValueTest, DoubleClickOpensTheBoxWithoutDraggingAndWritesWhatWasConfirmed) {
    Knob* knob = FindKnob("kl");
    ASSERT_NE(knob, nullptr);
    ASSERT_EQ(knob->Rect(), (TavRect{10, 10, 30, 30}));
    knob->confirm = true;
    knob->typed = "101";
    DoubleClick(20, 12);
    EXPECT_EQ(knob->opened, 1);
    EXPECT_EQ(knob->shown, "65");
    // At least 48 pixels wide, centred on the 20-pixel knob.
    EXPECT_EQ(knob->screenRect, (TavRect{-4, 10, 44, 30}));
    EXPECT_FALSE(knob->capturedWhileOpen);
    EXPECT_EQ(Raw("p.v.level"), 100);
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
    EXPECT_TRUE(knob->HasFocus());
    // A move after the box has gone drags nothing.
    Mouse(CTavMouseInfo::kMove, 12, 20);
    EXPECT_EQ(Raw("p.v.level"), 100);

    // Beside the slider's knob a press moves the value at once; the double-click does not.
    auto* slider = dynamic_cast<Slider*>(Find("sw"));
    ASSERT_NE(slider, nullptr);
    Mouse(CTavMouseInfo::kDoubleClick, 165, 100);
    Mouse(CTavMouseInfo::kMove, 165, 20);
    Mouse(CTavMouseInfo::kReleased, 165, 20);
    EXPECT_EQ(slider->opened, 1);
    EXPECT_EQ(slider->shown, "0");
    EXPECT_EQ(Raw("p.v.wide"), 50);
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);

    // Ctrl-double-click stays a Ctrl-click: the default, no box.
    Mouse(CTavMouseInfo::kDoubleClick, 20, 12, kTavCtrl);
    Mouse(CTavMouseInfo::kReleased, 20, 12, kTavCtrl);
    EXPECT_EQ(knob->opened, 1);
    EXPECT_EQ(Raw("p.v.level"), 64);
}

TEST_F(TypedValueTest, ReturnOrF2OnTheFocusedControlOpensTheBoxAndArrowsKeepWorking) {
    Knob* knob = FindKnob("kl");
    ASSERT_NE(knob, nullptr);
    EXPECT_FALSE(Key(kTavKeyReturn)); // nothing has the focus
    EXPECT_EQ(knob->opened, 0);

    knob->SetFocus(true);
    // A held arrow key stops stepping while the box is open and after it.
    EXPECT_TRUE(Key(kTavKeyUp));
    EXPECT_EQ(Raw("p.v.level"), 65);
    EXPECT_TRUE(Key(kTavKeyReturn));
    EXPECT_EQ(knob->opened, 1);
    EXPECT_EQ(knob->shown, "66");
    Tick(500);
    EXPECT_EQ(Raw("p.v.level"), 65);
    EXPECT_FALSE(Key(kTavKeyReturn, CTavKeyInfo::kUp));
    EXPECT_EQ(knob->opened, 1);

    knob->confirm = true;
    knob->typed = "032";
    EXPECT_TRUE(Key(kTavKeyF2)); // as Return does
    EXPECT_EQ(Raw("p.v.level"), 31);
    EXPECT_TRUE(Key(kTavKeyDown));
    EXPECT_EQ(Raw("p.v.level"), 30);
    EXPECT_TRUE(Key(kTavKeyDown, CTavKeyInfo::kUp));
    // The focus still times out once the box has gone.
    EXPECT_TRUE(knob->HasFocus());
    Tick(4000);
    EXPECT_FALSE(knob->HasFocus());
}

TEST(TypedText, TableEntriesMatchExactlyFirstThenTrimmedWithoutCase) {
    CTavStringTable table;
    table.Elements() = {"Off", "on", "ON", " Mono Poly "};
    const struct {
        const char* typed;
        std::optional<int32_t> index;
    } cases[] = {
        {"ON", 2},
        {"on", 1},
        {" On ", 1},
        {"off", 0},
        {"mono poly", 3},
        {"\tMONO POLY", 3},
        {"", std::nullopt},
        {"O", std::nullopt},
        {"Offf", std::nullopt},
        {"monopoly", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavTypedTableEntry(c.typed, table), c.index) << c.typed;
    EXPECT_EQ(TavTypedTableEntry("x", CTavStringTable{}), std::nullopt);
}

} // namespace
