// The list controls built from an inline script: column layout and its configuration
// errors, selection by mouse and keys, the window that follows the current row, the held
// key and the drag that keep scrolling on the fake clock, activation and the writers Draw
// picks.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "support/FakeClock.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"
#include "view/CTavListControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

const char* const kValues = R"(
<textWriter><name>tw</name></textWriter><textWriter><name>cur</name></textWriter>
<textWriter><name>sel</name></textWriter><textWriter><name>isel</name></textWriter>
<textWriter><name>icur</name></textWriter><textWriter><name>head</name></textWriter>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>first</name><address>00</address><range>0,127</range><default>1</default></value>
  <value><name>last</name><address>01</address><range>0,127</range><default>40</default></value>
  <value><name>current</name><address>02</address><range>0,127</range><default>1</default></value>
  <value><name>top</name><address>03</address><range>0,127</range><default>1</default></value>
  <value><name>bottom</name><address>04</address><range>0,127</range><default>0</default></value>
  <value><name>act</name><address>05</address><range>0,1</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

const std::string kRows = "<firstRowValueRef>p.v.first</firstRowValueRef><lastRowValueRef>p.v.last</lastRowValueRef>"
                          "<currentRowValueRef>p.v.current</currentRowValueRef>"
                          "<firstVisibleRowValueRef>p.v.top</firstVisibleRowValueRef>"
                          "<lastVisibleRowValueRef>p.v.bottom</lastVisibleRowValueRef>"
                          "<activateValueRef>p.v.act</activateValueRef>";

// A list of the kind with the given attributes after its rows, 200 x 100 at the origin.
std::string List(const char* kind, const std::string& rest) {
    return test::MainPanelScript(kValues, "400,300",
                                 std::string("<control><type>") + kind +
                                     "</type><name>list</name><position>0,0</position><size>200,100</size>" +
                                     kRows + rest + "</control>");
}

// Rows of 10 pixels: the header and nine rows fit.
const std::string kFull = "<textWriterRef>tw</textWriterRef><currentWriterRef>cur</currentWriterRef>"
                          "<selectWriterRef>sel</selectWriterRef><inactiveSelectWriterRef>isel</"
                          "inactiveSelectWriterRef><inactiveCurrentWriterRef>icur</inactiveCurrentWriterRef>"
                          "<headerWriterRef>head</headerWriterRef><rowHeight>10</rowHeight>"
                          "<headerTexts>No, Name, Size</headerTexts><columnWidths>50,60</columnWidths>";

TEST(ListControlConfig, ColumnsWritersAndRowsMustFitTogether) {
    struct Case {
        std::string attributes;
        const char* error; // nullptr: builds
    };
    const std::string tw = "<textWriterRef>tw</textWriterRef>";
    const Case cases[] = {
        {tw + "<headerTexts>A,B,C</headerTexts><columnWidths>50,60</columnWidths>", nullptr},
        {tw, nullptr}, // one column without a heading
        {tw + "<headerTexts>A,B,C</headerTexts><columnWidths>100,100</columnWidths>",
         "Sum of column width must be less than control width. : main.list\n"},
        {tw + "<headerTexts>A,B</headerTexts><columnWidths>50,60</columnWidths>",
         "Column width count + 1 must be header string count for list control. : main.list\n"},
        {tw + "<columnWidths>50</columnWidths>",
         "Column width count + 1 must be header string count for list control. : main.list\n"},
        {tw + "<headerTexts>A,B</headerTexts><columnWidths>wide</columnWidths>",
         "Column width is invalid for list control. : main.list : wide\n"},
        {tw + "<selectWriterRef>nope</selectWriterRef>",
         "Unable to find select text writer for list control. : main.list : nope\n"},
        {tw + "<headerWriterRef>nope</headerWriterRef>",
         "Unable to find header text writer for list control. : main.list : nope\n"},
        {"<textWriterRef>nope</textWriterRef>", "Unable to find text writer for list control. : main.list : nope\n"},
        {"", "There is no text writer reference for list control. : main.list\n"},
        {tw + "<rowHeight>0</rowHeight>", "Row height is invalid for list control. : main.list : 0\n"},
    };
    for (const Case& c : cases) {
        const std::string errors = test::CreationErrors(List("listControl", c.attributes));
        if (!c.error)
            EXPECT_EQ(errors, "") << c.attributes;
        else
            EXPECT_NE(errors.find(c.error), std::string::npos) << c.attributes << "\n" << errors;
    }
}

class ListControlTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetClock(&clock);
        ASSERT_NO_FATAL_FAILURE(Build(List("protoListControl", kFull)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(panel->FindControl("main.list", view));
        list = dynamic_cast<CTavListControl*>(view);
        ASSERT_NE(list, nullptr);
        Buffers().FindRoot("p")->SetOutput(&out);
    }
    // The y of the middle of a row while the first visible row is top.
    int32_t RowY(int32_t row, int32_t top = 1) { return 10 * (1 + row - top) + 5; }
    void Mouse(CTavMouseInfo::Kind kind, int32_t y, uint32_t modifiers = 0, int32_t x = 100) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, modifiers});
    }
    void Click(int32_t y, uint32_t modifiers = 0) {
        Mouse(CTavMouseInfo::kPressed, y, modifiers);
        Mouse(CTavMouseInfo::kReleased, y, modifiers);
    }
    void Key(int32_t code, uint32_t modifiers = 0, CTavKeyInfo::Kind kind = CTavKeyInfo::kDown) {
        panel->OnKey(CTavKeyInfo{kind, code, modifiers});
    }
    void Tick(int milliseconds) {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 50) {
            clock.Advance(std::chrono::milliseconds(50));
            panel->OnTimer(CTavTimerInfo{});
        }
    }
    // Current row, first visible row and selection.
    void ExpectState(int32_t current, int32_t top, std::set<int32_t> selection, const std::string& why) {
        EXPECT_EQ(Raw("p.v.current"), current) << why;
        EXPECT_EQ(Raw("p.v.top"), top) << why;
        EXPECT_EQ(Raw("p.v.bottom"), top + 8) << why;
        EXPECT_EQ(list->Selection(), selection) << why;
    }
    static std::set<int32_t> Rows(int32_t from, int32_t to) {
        std::set<int32_t> rows;
        for (int32_t row = from; row <= to; ++row)
            rows.insert(row);
        return rows;
    }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    test::FakeTextWriter& Writer(CTavListControl::Writer w) {
        return *static_cast<test::FakeTextWriter*>(list->TextWriter(w));
    }

    FakeClock clock;
    test::RecordingMidiOut out;
    CTavRootPanel* panel = nullptr;
    CTavListControl* list = nullptr;
};

TEST_F(ListControlTest, NamedRowReferencesAndColumnsMakeTheLayout) {
    const char* const paths[] = {"p.v.first", "p.v.last", "p.v.current", "p.v.top", "p.v.bottom", "p.v.act"};
    ASSERT_GE(list->ValueRefs().size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(list->ValueRefs()[i].path, paths[i]);
    EXPECT_EQ(list->ColumnWidths(), (std::vector<int32_t>{50, 60, 90}));
    EXPECT_EQ(list->VisibleRowCount(), 10);
    EXPECT_EQ(list->VisibleRowTexts().size(), 9u);
    EXPECT_EQ(list->VisibleRowTexts()[1], (std::vector<std::string>{"2", "Test Item   2", "100", "M"}));
}

TEST_F(ListControlTest, KeysMoveTheCurrentRowAndKeepItVisible) {
    struct Case {
        int32_t current, top, key;
        uint32_t modifiers;
        int32_t wantCurrent, wantTop;
        std::set<int32_t> selection;
    };
    const Case cases[] = {
        {5, 1, kTavKeyDown, kTavShift, 6, 1, {5, 6}},
        {5, 1, kTavKeyDown, 0, 6, 1, {6}},
        {5, 1, kTavKeyDown, kTavCtrl, 6, 1, {5}}, // Ctrl leaves the selection
        {5, 1, kTavKeyUp, kTavShift, 4, 1, {4, 5}},
        {1, 1, kTavKeyUp, 0, 1, 1, {1}},          // not past the first row
        {9, 1, kTavKeyDown, 0, 10, 2, {10}},      // scrolls one row
        {5, 1, kTavKeyPageDown, 0, 9, 1, {9}},    // to the last fully visible row
        {9, 1, kTavKeyPageDown, 0, 17, 9, {17}},  // then a page of visible rows less 2
        {38, 32, kTavKeyPageDown, 0, 40, 32, {40}},
        {40, 32, kTavKeyPageDown, 0, 40, 32, {40}}, // not past the last row
        {5, 1, kTavKeyPageUp, 0, 1, 1, {1}},
        {20, 20, kTavKeyPageUp, 0, 12, 12, {12}},
        {3, 3, kTavKeyPageUp, kTavShift, 1, 1, {1, 2, 3}},
        {20, 15, kTavKeyHome, 0, 1, 1, {1}},
        {20, 15, kTavKeyEnd, kTavShift, 40, 32, Rows(20, 40)},
    };
    Click(RowY(1));
    for (const Case& c : cases) {
        list->SetFirstVisibleAndCurrentRow(c.top, c.current);
        list->SelectRow(c.current);
        Key(c.key, c.modifiers);
        Key(c.key, c.modifiers, CTavKeyInfo::kUp);
        ExpectState(c.wantCurrent, c.wantTop, c.selection,
                    "key " + std::to_string(c.key) + " from " + std::to_string(c.current));
    }
    // Without the focus the keys are not the list's.
    list->SetFocus(false);
    Key(kTavKeyDown);
    EXPECT_EQ(Raw("p.v.current"), 40);
}

TEST_F(ListControlTest, SpaceSelectsTheCurrentRowAndCtrlSpaceTogglesIt) {
    Click(RowY(1));
    for (uint32_t modifiers : {kTavShift, kTavCtrl}) { // current row 3, rows 1 and 2 selected
        Key(kTavKeyDown, modifiers);
        Key(kTavKeyDown, modifiers, CTavKeyInfo::kUp);
    }
    const struct {
        uint32_t modifiers;
        std::set<int32_t> selection;
    } cases[] = {{kTavCtrl, {1, 2, 3}}, {kTavCtrl, {1, 2}}, {0, {3}}};
    for (const auto& c : cases) {
        Key(kTavKeySpace, c.modifiers);
        Key(kTavKeySpace, c.modifiers, CTavKeyInfo::kUp);
        ExpectState(3, 1, c.selection, "Space with " + std::to_string(c.modifiers));
    }
}

TEST_F(ListControlTest, HeldKeyRepeatsAfter200MsOnceEveryTimerEvent) {
    Click(RowY(1));
    Key(kTavKeyDown);
    Key(kTavKeyDown); // the platform's own repeat adds nothing
    EXPECT_EQ(Raw("p.v.current"), 2);
    Tick(150);
    EXPECT_EQ(Raw("p.v.current"), 2);
    for (int32_t step = 1; step <= 12; ++step) {
        Tick(50);
        EXPECT_EQ(Raw("p.v.current"), 2 + step);
        EXPECT_EQ(Raw("p.v.top"), std::max(1, 2 + step - 8));
    }
    Key(kTavKeyDown, 0, CTavKeyInfo::kUp);
    Tick(500);
    EXPECT_EQ(Raw("p.v.current"), 14);
}

TEST_F(ListControlTest, MouseSelectsTogglesAndExtendsFromTheAnchor) {
    Mouse(CTavMouseInfo::kPressed, 5); // the header row selects nothing
    Mouse(CTavMouseInfo::kReleased, 5);
    EXPECT_TRUE(list->HasFocus());
    EXPECT_TRUE(list->Selection().empty());
    Click(RowY(3));
    ExpectState(3, 1, {3}, "click");
    Click(RowY(5), kTavCtrl);
    ExpectState(5, 1, {3, 5}, "ctrl adds");
    Click(RowY(3), kTavCtrl);
    ExpectState(5, 1, {5}, "ctrl removes, current stays");
    Click(RowY(7), kTavShift);
    ExpectState(7, 1, {5, 6, 7}, "shift from the anchor");
    Click(RowY(2));
    Mouse(CTavMouseInfo::kPressed, RowY(4));
    Mouse(CTavMouseInfo::kMove, RowY(4) + 2); // jitter on the row keeps it alone
    Mouse(CTavMouseInfo::kMove, RowY(6));
    Mouse(CTavMouseInfo::kReleased, RowY(6));
    ExpectState(6, 1, {4, 5, 6}, "drag");
    Mouse(CTavMouseInfo::kPressed, RowY(8), kTavCtrl);
    Mouse(CTavMouseInfo::kMove, RowY(9), kTavCtrl);
    Mouse(CTavMouseInfo::kReleased, RowY(9), kTavCtrl);
    ExpectState(9, 1, {4, 5, 6, 8, 9}, "ctrl drag adds its range");
}

TEST_F(ListControlTest, DragOffTheListKeepsScrollingUntilTheEnd) {
    Mouse(CTavMouseInfo::kPressed, RowY(2));
    Mouse(CTavMouseInfo::kMove, 115); // the row under it becomes the last but one shown
    ExpectState(11, 4, Rows(2, 11), "first move");
    Tick(50 * 30);
    ExpectState(40, 33, Rows(2, 40), "held below");
    Mouse(CTavMouseInfo::kMove, -30, 0, 300); // above and beside: scrolls back up
    Tick(50 * 3);
    EXPECT_LT(Raw("p.v.top"), 33);
    Mouse(CTavMouseInfo::kReleased, -30, 0, 300);
    const int32_t top = Raw("p.v.top");
    Tick(500);
    EXPECT_EQ(Raw("p.v.top"), top);
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
}

TEST_F(ListControlTest, ActivationTakesTheFocusWithoutSendingTheReset) {
    EXPECT_FALSE(list->HasFocus());
    TavSetValueInteger(Buffers(), Value("p.v.act"), 1);
    EXPECT_TRUE(list->HasFocus());
    EXPECT_EQ(Raw("p.v.act"), 0);
    ASSERT_EQ(out.sent.size(), 1u); // only the request itself
    EXPECT_EQ(out.sent[0].data.back(), 1);
}

TEST_F(ListControlTest, DrawUsesTheWritersOfFocusCurrentAndSelection) {
    Click(RowY(2));
    Click(RowY(3), kTavCtrl);
    struct Case {
        bool focused;
        CTavListControl::Writer current, selected;
    };
    const Case cases[] = {{true, CTavListControl::kCurrentWriter, CTavListControl::kSelectWriter},
                          {false, CTavListControl::kInactiveCurrentWriter, CTavListControl::kInactiveSelectWriter}};
    for (const Case& c : cases) {
        list->SetFocus(c.focused);
        for (auto w : {CTavListControl::kRowWriter, CTavListControl::kCurrentWriter, CTavListControl::kSelectWriter,
                       CTavListControl::kInactiveSelectWriter, CTavListControl::kInactiveCurrentWriter,
                       CTavListControl::kHeaderWriter})
            Writer(w).drawn.clear();
        CTavDrawInfo info;
        list->Draw(info);
        const auto& header = Writer(CTavListControl::kHeaderWriter).drawn;
        ASSERT_EQ(header.size(), 3u);
        EXPECT_EQ(header[2].text, " Size");
        EXPECT_EQ(header[2].rect, (TavRect{110, 0, 198, 9}));
        const auto& current = Writer(c.current).drawn; // row 3: three columns, the fourth text unused
        ASSERT_EQ(current.size(), 3u);
        EXPECT_EQ(current[1].text, " Test Item   3");
        EXPECT_EQ(current[1].rect, (TavRect{50, 30, 110, 40}));
        ASSERT_EQ(Writer(c.selected).drawn.size(), 3u); // row 2
        EXPECT_EQ(Writer(c.selected).drawn[0].text, " 2");
        EXPECT_EQ(Writer(CTavListControl::kRowWriter).drawn.size(), 7u * 3u);
    }
}

} // namespace
