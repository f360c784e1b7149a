// What the controls tell assistive technology, built from an inline script: names from the
// label, the main value or the control's name; values and numbers as shown; the reading
// order of the open controls; and what the view manager's observer is told.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavControlDescription.h"
#include "view/TavSetValue.h"

namespace {

const char* const kValues = R"(
<bitmap><name>knob</name><stateCount>4</stateCount></bitmap>
<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>
<stringTable><name>modes</name><table>A, B, C</table></stringTable>
<structType><type>Part</type><name>part</name><address>$adr</address><size>00 01</size>
  <value><name>level</name><address>00</address><range>0,127</range><default>100</default></value>
</structType>
<structType><type>Params</type><name>v</name><address>01 00</address>
  <value><name>pan</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>mode</name><address>01</address><range>0,2</range><default>1</default></value>
  <value><name>page</name><address>02</address><range>0,1</range><default>0</default></value>
  <value><type>string</type><name>blank</name><address>03</address><size>04</size></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Part</type><adr>00 10</adr><adr>00 20</adr></struct>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
<panelType><type>Page</type><name>$name</name><position>0,100</position><size>100,50</size>
  <openCondition>p.v.page,1,==</openCondition>
  <control><type>latchButton</type><name>onPage</name><position>0,0</position><bitmapRef>latch</bitmapRef>
    <valueRef>p.v.page</valueRef></control>
</panelType>
)";

const char* const kControls =
    "<control><type>knob</type><name>lv</name><position>100,10</position><bitmapRef>knob</bitmapRef>"
    "<valueRef>p.part[1].level</valueRef></control>"
    "<control><type>knob</type><name>pan</name><label>Pan &amp; Width</label><position>5,10</position>"
    "<bitmapRef>knob</bitmapRef><valueRef>p.v.pan</valueRef><offsetValue>-64</offsetValue></control>"
    "<control><type>knob</type><name>md</name><position>40,50</position><bitmapRef>knob</bitmapRef>"
    "<valueRef>p.v.mode</valueRef><stringTableRef>modes</stringTableRef></control>"
    "<control><type>latchButton</type><name>sw</name><position>10,50</position><bitmapRef>latch</bitmapRef>"
    "<valueRef>p.v.page</valueRef></control>"
    "<control><type>latchButton</type><name>tab</name><position>70,50</position><bitmapRef>latch</bitmapRef>"
    "<valueRef>p.v.page</valueRef><onValue>1</onValue><offValue>1</offValue></control>"
    "<control><type>unlatchButton</type><name>sendAll</name><position>200,10</position><bitmapRef>latch</"
    "bitmapRef>"
    "<function>Nothing</function></control>"
    "<control><type>staticText</type><name>note</name><position>200,60</position><size>40,12</size>"
    "<valueRef>p.v.blank</valueRef><textWriterRef>text</textWriterRef></control>"
    "<control><type>bias</type><name>biasGraph</name><position>250,10</position><size>40,30</size>"
    "<levelValueRef>p.part[0].level</levelValueRef><positionValueRef>p.v.pan</positionValueRef>"
    "<directionValueRef>p.v.mode</directionValueRef></control>"
    "<panel><type>Page</type><name>page</name></panel>";

// Records what the view manager's observer is told, by control name.
class RecordingObserver : public ITavViewObserver {
public:
    explicit RecordingObserver(std::vector<std::string>& log) : m_log(log) {}
    void ControlOpened(CTavControl& control) override { m_log.push_back("open " + control.Name()); }
    void ControlClosing(CTavControl& control) override { m_log.push_back("close " + control.Name()); }
    void ControlChanged(CTavControl& control) override { m_log.push_back("change " + control.Name()); }
    void FocusChanged(CTavView* focused) override {
        m_log.push_back("focus " + (focused ? focused->Name() : "-"));
    }
    void ViewsDestroyed() override { m_log.push_back("destroyed"); }

private:
    std::vector<std::string>& m_log;
};

class ControlDescription : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        ASSERT_NO_FATAL_FAILURE(Build(std::string(kValues) + "<textWriter><name>text</name></textWriter>" +
                                      test::MainPanelScript("", "400,200", kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    CTavControl& Control(const std::string& name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, view)) << name;
        return *dynamic_cast<CTavControl*>(view);
    }
    std::vector<std::string> Order() {
        std::vector<std::string> names;
        for (const CTavControl* control : TavOpenControlsInReadingOrder(*panel))
            names.push_back(control->Name());
        return names;
    }
    void Set(const char* path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }

    CTavRootPanel* panel = nullptr;
};

TEST_F(ControlDescription, NamesComeFromTheLabelTheValueOrTheControlsName) {
    struct Case {
        const char* control;
        const char* name;
        const char* valueName;
    };
    system.ViewManager().SetValueNamer([](const CTavValue& value) { return "The " + value.Name(); });
    for (const Case& c : {Case{"lv", "The level", "The level"}, Case{"pan", "Pan & Width", "The pan"},
                          Case{"sendAll", "Send All", ""}, Case{"biasGraph", "Bias Graph", "The level"}})
        EXPECT_EQ(TavControlName(Control(c.control)), c.name) << c.control;
    system.ViewManager().SetValueNamer({});
    EXPECT_EQ(TavControlName(Control("lv")), "Part 2 Level");
    EXPECT_EQ(TavControlValueName(Control("pan")), "Pan");
}

TEST_F(ControlDescription, ValuesAreAsShownWithRolesAndStates) {
    struct Case {
        const char* control;
        TavControlRole role;
        const char* value;
        bool checked;
    };
    for (const Case& c :
         {Case{"lv", TavControlRole::kSlider, "100", false}, Case{"pan", TavControlRole::kSlider, "0", false},
          Case{"md", TavControlRole::kSlider, "B", false},
          Case{"sw", TavControlRole::kToggleButton, "off", false},
          Case{"tab", TavControlRole::kPageTab, "not selected", false},
          Case{"sendAll", TavControlRole::kButton, "not pressed", false},
          Case{"note", TavControlRole::kStaticText, "empty", false},
          Case{"biasGraph", TavControlRole::kGraphic, "Level 100, Position 64, Direction 1", false}}) {
        const CTavControlDescription d = TavDescribeControl(Control(c.control));
        EXPECT_EQ(d.role, c.role) << c.control;
        EXPECT_EQ(d.value, c.value) << c.control;
        EXPECT_EQ(d.checked, c.checked) << c.control;
    }
    Set("p.v.page", 1);
    EXPECT_EQ(TavDescribeControl(Control("sw")).value, "on");
    EXPECT_EQ(TavDescribeControl(Control("tab")).value, "selected");
    EXPECT_TRUE(TavDescribeControl(Control("tab")).checked);
}

TEST_F(ControlDescription, DragControlsGiveAndTakeTheNumberAsShown) {
    struct Case {
        const char* control;
        const char* path;
        int64_t number, minimum, maximum, written;
        int32_t raw;
    };
    for (const Case& c : {Case{"pan", "p.v.pan", 0, -64, 63, 70, 127}, Case{"md", "p.v.mode", 1, 0, 2, 0, 0},
                          Case{"lv", "p.part[1].level", 100, 0, 127, -5, 0}}) {
        auto& control = dynamic_cast<CTavDragControl&>(Control(c.control));
        const CTavControlDescription d = TavDescribeControl(control);
        EXPECT_TRUE(d.numeric);
        EXPECT_EQ(d.number, c.number) << c.control;
        EXPECT_EQ(d.minimum, c.minimum) << c.control;
        EXPECT_EQ(d.maximum, c.maximum) << c.control;
        EXPECT_TRUE(control.SetDescribedNumber(c.written));
        EXPECT_EQ(Value(c.path).GetRaw(), c.raw) << c.control;
    }
}

TEST_F(ControlDescription, ReadingOrderIsTopToBottomThenLeftToRightOverOpenPanels) {
    EXPECT_EQ(Order(),
              (std::vector<std::string>{"pan", "lv", "sendAll", "biasGraph", "sw", "md", "tab", "note"}));
    Set("p.v.page", 1);
    EXPECT_EQ(Order().back(), "onPage");
    panel->Close();
    EXPECT_TRUE(Order().empty());
}

TEST_F(ControlDescription, TheObserverHearsOpeningClosingChangesFocusAndTheEnd) {
    std::vector<std::string> log;
    system.ViewManager().SetViewObserver(std::make_unique<RecordingObserver>(log));
    Set("p.v.page", 1); // opens the page, whose latch then hears the change as the switch and the tab do
    EXPECT_EQ(log, (std::vector<std::string>{"open onPage", "change onPage", "change sw", "change tab"}));
    log.clear();
    Control("lv").SetFocus(true);
    Control("md").SetFocus(true);
    Set("p.v.page", 0);
    EXPECT_EQ(log, (std::vector<std::string>{"focus lv", "focus -", "focus md", "close onPage", "change sw",
                                             "change tab"}));
    log.clear();
    system.ViewManager().Destroy();
    EXPECT_EQ(log.front(), "destroyed");
    // The log goes with this test; the system, which would tell the observer again, stays.
    system.ViewManager().SetViewObserver(nullptr);
}

} // namespace
