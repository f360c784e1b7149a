// The order Tab moves the keyboard focus in: reading order over rectangles, and the stops
// of a panel tree (open panels only, no display-only, closed or disabled controls), with
// the step off a view that is no stop any more.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavFocusOrder.h"
#include "view/TavSetValue.h"

namespace {

TEST(ReadingOrder, LinesFromTopToBottomEachFromLeftToRight) {
    const struct {
        const char* what;
        std::vector<TavRect> rects;
        std::vector<size_t> order;
    } cases[] = {
        {"nothing", {}, {}},
        {"one row given right to left", {{60, 0, 80, 20}, {30, 0, 50, 20}, {0, 0, 20, 20}}, {2, 1, 0}},
        {"two rows", {{50, 40, 70, 60}, {50, 0, 70, 20}, {0, 40, 20, 60}}, {1, 2, 0}},
        // A field beside a knob, a few pixels lower, reads on the knob's line; the field
        // under the knob on the next.
        {"knob and fields", {{100, 0, 132, 32}, {10, 8, 60, 24}, {100, 34, 132, 46}}, {1, 0, 2}},
        // A tall list beside a column of small controls is a line of its own: the small
        // ones do not join it, each is its own line.
        {"tall beside small", {{0, 0, 40, 200}, {50, 60, 70, 76}, {50, 10, 70, 26}}, {0, 2, 1}},
        {"same place keeps the given order", {{5, 5, 25, 25}, {5, 5, 25, 25}, {0, 5, 4, 25}}, {2, 0, 1}},
        {"touching rows stay apart", {{0, 20, 20, 40}, {30, 0, 50, 20}}, {1, 0}},
        {"empty rectangles too", {{40, 10, 40, 10}, {0, 10, 0, 10}}, {1, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavReadingOrder(c.rects), c.order) << c.what;
}

// Knobs and buttons are 20 x 20 (one frame of the fake bitmaps).
const char* const kScript = R"(
<bitmap><name>knob</name><stateCount>32</stateCount></bitmap>
<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>
<bitmap><name>push</name><stateCount>2</stateCount></bitmap>
<textWriter><name>tw</name></textWriter>
<stringTable><name>use</name><table>-, on</table></stringTable>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>level</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>page</name><address>01</address><range>0,1</range><default>0</default></value>
  <value><name>use</name><address>02</address><range>0,1</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
<panelType><type>Page</type><name>page</name><position>0,100</position><size>400,50</size>
  <openCondition>p.v.page,1,==</openCondition>
  <control><type>knob</type><name>pk</name><position>10,0</position><bitmapRef>knob</bitmapRef><valueRef>p.v.level</valueRef></control>
</panelType>
<panelType><type>Bottom</type><name>bottom</name><position>0,200</position><size>400,50</size>
  <control><type>unlatchButton</type><name>u</name><position>0,0</position><bitmapRef>push</bitmapRef><function>F</function></control>
  <control><type>staticText</type><name>bt</name><position>30,0</position><size>60,20</size><textWriterRef>tw</textWriterRef><valueRef>p.v.level</valueRef></control>
  <control><type>combo</type><name>c</name><position>100,2</position><size>60,16</size><textWriterRef>tw</textWriterRef><valueRef>p.v.page</valueRef></control>
</panelType>
<panelType><type>Main</type><name>main</name><size>400,300</size>
  <panel><type>Page</type></panel>
  <panel><type>Bottom</type></panel>
  <control><type>staticText</type><name>st</name><position>0,10</position><size>60,20</size><textWriterRef>tw</textWriterRef><valueRef>p.v.level</valueRef></control>
  <control><type>knob</type><name>k</name><position>100,10</position><bitmapRef>knob</bitmapRef><valueRef>p.v.level</valueRef></control>
  <control><type>knob</type><name>dk</name><position>250,10</position><bitmapRef>knob</bitmapRef><valueRef>p.v.level</valueRef>
    <disableTableRef>use</disableTableRef><disableValueRef>p.v.use</disableValueRef></control>
  <control><type>incrementButton</type><name>inc</name><position>300,12</position><bitmapRef>push</bitmapRef><valueRef>p.v.level</valueRef></control>
  <control><type>latchButton</type><name>l</name><position>10,12</position><bitmapRef>latch</bitmapRef><valueRef>p.v.page</valueRef></control>
  <control><type>edit</type><name>e</name><position>0,44</position><size>60,16</size><textWriterRef>tw</textWriterRef>
    <textPosition>0,0</textPosition><textSize>60,16</textSize><valueRef>p.v.level</valueRef></control>
</panelType>
<panel><type>Main</type><name>main</name></panel>
)";

class FocusOrder : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        ASSERT_NO_FATAL_FAILURE(Build(kScript));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    // The stops by name, from the Tab order.
    std::vector<std::string> Stops() {
        std::vector<std::string> names;
        for (const CTavView* view : TavFocusOrder(*panel))
            names.push_back(view->Name());
        return names;
    }
    CTavView* View(const std::string& path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + path, view)) << path;
        return view;
    }
    void Set(const char* path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    std::string Next(const CTavView* from, bool forward) {
        const CTavView* next = TavNextFocus(*panel, from, forward);
        return next ? next->Name() : "-";
    }

    CTavRootPanel* panel = nullptr;
};

TEST_F(FocusOrder, StopsAreTheOpenEnabledInputControlsOfOpenPanels) {
    // The static texts are no stops; the disabled knob and the closed page's knob neither.
    EXPECT_EQ(Stops(), (std::vector<std::string>{"l", "k", "inc", "e", "u", "c"}));
    Set("p.v.use", 1);
    Set("p.v.page", 1);
    EXPECT_EQ(Stops(), (std::vector<std::string>{"l", "k", "dk", "inc", "e", "pk", "u", "c"}));
    EXPECT_EQ(&TavRootOf(*View("page.pk")), panel);
    EXPECT_EQ(&TavRootOf(*panel), panel);
    panel->Close();
    EXPECT_TRUE(Stops().empty());
    EXPECT_EQ(TavNextFocus(*panel, nullptr, true), nullptr);
}

TEST_F(FocusOrder, TabWrapsAroundAndGoesOnFromAStopThatClosed) {
    const struct {
        const char* from;
        bool forward;
        const char* next;
    } cases[] = {
        {nullptr, true, "l"},
        {nullptr, false, "c"},
        {"l", true, "k"},
        {"l", false, "c"},
        {"bottom.c", true, "l"},
        {"inc", true, "e"},
        {"bottom.u", false, "e"},
        // The disabled knob and the closed page's knob are stepped off from their places.
        {"dk", true, "inc"},
        {"dk", false, "k"},
        {"page.pk", true, "u"},
        {"page.pk", false, "e"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Next(c.from ? View(c.from) : nullptr, c.forward), c.next)
            << (c.from ? c.from : "none") << " " << c.forward;
    // A lone stop steps to itself.
    for (const char* name : {"l", "inc", "e", "bottom.u", "bottom.c"})
        View(name)->Close();
    EXPECT_EQ(Next(View("k"), true), "k");
    EXPECT_EQ(Next(View("l"), false), "k");
}

} // namespace
