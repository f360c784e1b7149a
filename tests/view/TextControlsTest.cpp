// Static text, static text picture, picture, combo and edit controls built from an inline
// script: what they show, the combo's menu, typed text written back through a scripted
// edit box, and the messages of controls that cannot be built.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "support/FakeMenuSources.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using test::FakeResources;

const char* const kValues = R"(
<bitmap><name>two</name><stateCount>2</stateCount></bitmap>
<bitmap><name>four</name><stateCount>4</stateCount></bitmap>
<textWriter><name>tw</name></textWriter>
<stringTable><name>waves</name><table>Saw, Square, Triangle, Noise</table></stringTable>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>level</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>wide</name><address>01</address><range>0,129</range><default>0</default></value>
  <value><name>wave</name><address>02</address><range>0,9</range><default>0</default></value>
  <value><name>pan</name><address>03</address><range>-64S,63S</range><default>0S</default></value>
  <value><type>int2x7</type><name>tenth</name><address>04</address><range>0,1000</range><default>125</default></value>
  <value><type>string</type><name>name</name><address>06</address><size>08</size><default>INIT</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "400,400", controls);
}

std::string Control(const std::string& kind, const std::string& name, const std::string& rest) {
    return "<control><type>" + kind + "</type><name>" + name + "</name>" + rest + "</control>";
}

// An edit kind whose box answers what the test sets, and remembers how it was opened.
template <class T> class ScriptedBox : public T {
public:
    bool confirm = true;
    std::string typed;
    int opened = 0;
    std::string shown;
    TavRect screenRect;
    bool pressedWhileOpen = false;

protected:
    bool RunEditBox(const TavRect& rect, std::string& text) override {
        ++opened;
        shown = text;
        screenRect = rect;
        pressedWhileOpen = this->IsPressed();
        if (confirm)
            text = typed;
        return confirm;
    }
};
using EditBox = ScriptedBox<CTavPopEditControl>;
using DoubleBox = ScriptedBox<CTavEditDoubleControl>;

const std::string kEdit =
    "<textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition><textSize>60,20</textSize>";

const std::string kControls =
    Control("staticText", "st",
            "<position>0,0</position><size>60,20</size><textWriterRef>tw</textWriterRef>"
            "<offsetValue>1</offsetValue><unit> dB</unit><valueRef>p.v.level</valueRef>") +
    Control("staticText", "sp",
            "<textWriterRef>tw</textWriterRef><offsetValue>-64</offsetValue>"
            "<valueRef>p.v.pan</valueRef>") +
    Control("staticText", "sw",
            "<textWriterRef>tw</textWriterRef><stringTableRef>waves</stringTableRef>"
            "<valueRef>p.v.wave</valueRef>") +
    Control("staticText", "sn",
            "<textWriterRef>tw</textWriterRef><unit>!</unit><valueRef>p.v.name</valueRef>") +
    Control("staticTextPicture", "tp",
            "<position>0,30</position><size>100,30</size><bitmapRef>two</bitmapRef>"
            "<textWriterRef>tw</textWriterRef><valueRef>p.v.wide</valueRef>") +
    Control("picture", "pi",
            "<position>0,70</position><bitmapRef>four</bitmapRef><offsetIndex>-1</offsetIndex>"
            "<valueRef>p.v.wave</valueRef>") +
    Control("combo", "cw",
            "<position>0,100</position><size>80,20</size><textWriterRef>tw</textWriterRef>"
            "<stringTableRef>waves</stringTableRef><valueRef>p.v.wave</valueRef>") +
    Control("combo", "cl",
            "<position>100,100</position><size>80,20</size><textWriterRef>tw</textWriterRef>"
            "<offsetValue>1</offsetValue><divisionItemOffset>1</divisionItemOffset>"
            "<valueRef>p.v.level</valueRef>") +
    Control("edit", "el",
            "<position>0,130</position><size>60,20</size>" + kEdit +
                "<offsetValue>1</offsetValue><valueRef>p.v.level</valueRef>") +
    Control("edit", "en",
            "<position>0,160</position><size>60,20</size>" + kEdit + "<valueRef>p.v.name</valueRef>") +
    Control("edit", "ew",
            "<position>0,190</position><size>60,20</size>" + kEdit +
                "<stringTableRef>waves</stringTableRef><valueRef>p.v.wave</valueRef>") +
    Control("editDouble", "ed",
            "<position>0,220</position><size>60,20</size>" + kEdit +
                "<precision>1</precision><divisionValue>10</divisionValue>"
                "<valueRef>p.v.tenth</valueRef>") +
    Control("edit", "eb",
            "<position>100,130</position><size>100,20</size>" + kEdit +
                "<bitmapRef>two</bitmapRef><buttonPosition>70,0</buttonPosition>"
                "<valueRef>p.v.pan</valueRef>");

class TextControlsTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<FakeResources>());
        auto factory = std::make_unique<CTavViewFactory>();
        factory->Register("edit", [] { return std::make_unique<EditBox>(); });
        factory->Register("editDouble", [] { return std::make_unique<DoubleBox>(); });
        system.ViewManager().SetViewFactory(std::move(factory));
        auto popup = std::make_unique<test::FakePopup>();
        this->popup = popup.get();
        system.SetPopupMenu(std::move(popup));
        ASSERT_NO_FATAL_FAILURE(Build(Script(kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    template <typename Control> Control* Find(const std::string& name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, view)) << name;
        auto* control = dynamic_cast<Control*>(view);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    void Press(int32_t x, int32_t y, CTavMouseInfo::Kind kind = CTavMouseInfo::kPressed) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, 0});
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, {x, y}, 0});
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    // Types text into an edit control's box and confirms it.
    template <typename Box> void Type(Box* box, const std::string& text) {
        box->confirm = true;
        box->typed = text;
        box->Pop();
    }

    test::FakePopup* popup = nullptr;
    CTavRootPanel* panel = nullptr;
};

TEST_F(TextControlsTest, StaticTextShowsTheIntegerWithOffsetAndUnitTheTableEntryOrTheString) {
    auto* level = Find<CTavStaticTextControl>("st");
    auto* pan = Find<CTavStaticTextControl>("sp");
    auto* wave = Find<CTavStaticTextControl>("sw");
    auto* name = Find<CTavStaticTextControl>("sn");
    EXPECT_EQ(level->Text(), "65 dB");
    EXPECT_EQ(name->Text(), "INIT    !");
    const struct {
        const char* path;
        int32_t raw;
        CTavStaticTextControl* control;
        const char* text;
    } cases[] = {
        {"p.v.level", 0, level, "1 dB"}, {"p.v.level", 127, level, "128 dB"}, {"p.v.pan", 0, pan, "-64"},
        {"p.v.pan", 127, pan, "63"},     {"p.v.wave", 1, wave, "Square"},     {"p.v.wave", 3, wave, "Noise"},
        {"p.v.wave", 9, wave, "Noise"}, // beyond the table: its last entry
    };
    for (const auto& c : cases) {
        Set(c.path, c.raw);
        EXPECT_EQ(c.control->Text(), c.text) << c.path << " " << c.raw;
    }
    TavSetValueText(Buffers(), Value("p.v.name"), "Bass 1  ");
    EXPECT_EQ(name->Text(), "Bass 1  !");

    CTavDrawInfo info;
    level->Draw(info);
    auto* writer = static_cast<test::FakeTextWriter*>(level->Format().textWriter);
    ASSERT_FALSE(writer->drawn.empty());
    EXPECT_EQ(writer->drawn.back().text, "128 dB");
    EXPECT_EQ(writer->drawn.back().rect, (TavRect{0, 0, 60, 20}));
}

TEST_F(TextControlsTest, StaticTextPictureShowsFramesForTheTopValuesOfItsRange) {
    auto* control = Find<CTavStaticTextPictureControl>("tp");
    const struct {
        int32_t index;
        const char* text;
        int32_t frame;
    } cases[] = {{0, "0", -1}, {127, "127", -1}, {128, "", 0}, {129, "", 1}};
    for (const auto& c : cases) {
        Set("p.v.wide", c.index);
        EXPECT_EQ(control->Text(), c.text) << c.index;
        EXPECT_EQ(control->Frame(), c.frame) << c.index;
    }
    // The frame right-aligned and centred vertically: 20 x 20 frames in 100 x 30.
    CTavDrawInfo info;
    control->Draw(info);
    auto* bitmap = static_cast<test::FakeBitmap*>(system.ResourceManager().FindBitmap("two"));
    ASSERT_FALSE(bitmap->drawn.empty());
    EXPECT_EQ(bitmap->drawn.back().at, (TavPoint{80, 35}));
    EXPECT_EQ(bitmap->drawn.back().state, 1);
}

TEST_F(TextControlsTest, PictureFrameIsTheIndexPlusTheOffsetLimitedToTheFrames) {
    auto* control = Find<CTavPictureControl>("pi");
    EXPECT_EQ(control->Rect(), (TavRect{0, 70, 20, 90})); // no size: one frame's
    const int32_t frames[][2] = {{0, 0}, {1, 0}, {2, 1}, {4, 3}, {9, 3}};
    for (const auto& [index, frame] : frames) {
        Set("p.v.wave", index);
        EXPECT_EQ(control->Frame(), frame) << index;
    }
}

TEST_F(TextControlsTest, ComboMenuListsTheTableMarksTheCurrentIndexAndWritesTheChoice) {
    auto* combo = Find<CTavPopComboControl>("cw");
    Set("p.v.wave", 2);
    EXPECT_EQ(combo->Text(), "Triangle");
    std::string outline;
    popup->onShow = [&](const CTavMenuItem& menu) {
        outline = test::Outline(menu, true);
        EXPECT_TRUE(combo->IsPressed());
    };
    popup->answer = 1;
    Press(10, 110);
    EXPECT_EQ(outline, "Saw#0,Square#1,Triangle#2,Noise#3"); // 10 values, 4 entries
    EXPECT_EQ(popup->lastCurrent, 2);
    EXPECT_EQ(popup->lastPosition.kind, TavPopupPosition::kAtMouse);
    EXPECT_EQ(Raw("p.v.wave"), 1);
    EXPECT_EQ(combo->Text(), "Square");
    EXPECT_FALSE(combo->IsPressed());
    EXPECT_FALSE(combo->HasFocus());

    popup->answer = -1; // dismissed
    Press(10, 110, CTavMouseInfo::kDoubleClick);
    EXPECT_EQ(popup->shown, 2);
    EXPECT_EQ(Raw("p.v.wave"), 1);

    combo->SetIndex(7); // limited to the table
    EXPECT_EQ(Raw("p.v.wave"), 3);

    // The wheel steps within the entries; a press outside does not open the menu.
    panel->OnWheel(CTavWheelInfo{{10, 110}, -2, 0});
    EXPECT_EQ(Raw("p.v.wave"), 1);
    panel->OnWheel(CTavWheelInfo{{10, 110}, 5, 0});
    EXPECT_EQ(Raw("p.v.wave"), 3);
    Press(90, 110);
    EXPECT_EQ(popup->shown, 2);
}

TEST_F(TextControlsTest, ComboOverALongRangeSplitsItsMenuIntoDivisions) {
    auto* combo = Find<CTavPopComboControl>("cl");
    EXPECT_EQ(combo->Text(), "65"); // index 64 plus the offset
    const auto menu = combo->BuildMenu();
    ASSERT_EQ(menu->Children().size(), 4u);
    EXPECT_EQ(menu->Children()[0]->Text(), "  1...");
    EXPECT_EQ(menu->Children()[3]->Text(), " 97...");
    EXPECT_EQ(test::At(*menu, {2, 0})->Text(), "65");
    EXPECT_EQ(test::At(*menu, {2, 0})->LeafIndex(), 64);
    EXPECT_EQ(menu->CountLeaves(), 128);

    popup->answer = 100;
    Press(110, 110);
    EXPECT_EQ(popup->lastCurrent, 64);
    EXPECT_EQ(Raw("p.v.level"), 100);
    EXPECT_EQ(combo->Text(), "101");

    // Without a popup menu (no windows) nothing opens.
    system.SetPopupMenu(nullptr);
    Press(110, 110);
    EXPECT_EQ(Raw("p.v.level"), 100);
}

TEST_F(TextControlsTest, EditWritesTypedNumbersMinusTheOffsetLimitedToTheRange) {
    auto* edit = Find<EditBox>("el");
    EXPECT_EQ(edit->Text(), "65");
    // A click on the text opens the box over it, in screen coordinates (the core's are the
    // client's), with the current text.
    edit->typed = "200";
    Press(10, 140);
    EXPECT_EQ(edit->opened, 1);
    EXPECT_EQ(edit->shown, "65");
    EXPECT_EQ(edit->screenRect, (TavRect{0, 130, 60, 150}));
    EXPECT_TRUE(edit->pressedWhileOpen);
    EXPECT_FALSE(edit->IsPressed());
    EXPECT_FALSE(edit->HasFocus());
    EXPECT_EQ(Raw("p.v.level"), 127);
    EXPECT_EQ(edit->Text(), "128");

    const struct {
        const char* typed;
        int32_t raw;
    } cases[] = {
        {"1", 0},
        {"64", 63},
        {"abc", 0},
        {"", 0},
        {"-0", 0},
        {"2147483648", 127},
        {"-99999999999999999999", 0},
        {"1e9", 0},
        {"\t 5", 4},
        {"0x10", 0}, // decimal: the zero before the letter
        {"010", 9},
        {"08", 7},
        {"-007", 0},
        {"12abc", 11},
        {"+3", 2},
        {"- 3", 0},
        {"\xc3\xa9", 0},
    };
    for (const auto& c : cases) {
        Set("p.v.level", 50);
        Type(edit, c.typed);
        EXPECT_EQ(Raw("p.v.level"), c.raw) << "typed \"" << c.typed << "\"";
    }
    // Escape leaves the value as it was.
    Set("p.v.level", 50);
    edit->confirm = false;
    edit->Pop();
    EXPECT_EQ(Raw("p.v.level"), 50);
    Type(edit, std::string(10000, '9'));
    EXPECT_EQ(Raw("p.v.level"), 127);
}

TEST_F(TextControlsTest, EditOfAStringCutsOrPadsAndBlanksControlCharacters) {
    auto* edit = Find<EditBox>("en");
    EXPECT_EQ(edit->Text(), "INIT    ");
    const struct {
        std::string typed;
        const char* text;
    } cases[] = {
        {"A longer name than eight", "A longer"},
        {"ab\tc", "ab c    "},
        {"", "        "},
        {"caf\xc3\xa9 \xe2\x82\xac!", "caf? ?! "}, // one '?' per character outside ASCII
        {std::string("a\0b", 3), "a b     "},
        {"\x7f\x80z", " ?z     "},
        {std::string(10000, 'x'), "xxxxxxxx"},
    };
    for (const auto& c : cases) {
        Type(edit, c.typed);
        EXPECT_EQ(Value("p.v.name").GetText(), c.text);
    }
}

TEST_F(TextControlsTest, EditWithAStringTableWritesTheEntryNamedAndKeepsTheValueOtherwise) {
    auto* edit = Find<EditBox>("ew");
    const struct {
        const char* typed;
        int32_t raw;
    } cases[] = {{"Square", 1}, {"Saw", 0},      {"Noise", 3},   {"  noise ", 3}, {"", 3},
                 {"Sine", 3},   {"Triangle", 2}, {"Square!", 2}, {"1", 2},        {"\xc3\xa9", 2}};
    for (const auto& c : cases) {
        Type(edit, c.typed);
        EXPECT_EQ(Raw("p.v.wave"), c.raw) << c.typed;
    }
    EXPECT_EQ(edit->Text(), "Triangle");
}

TEST_F(TextControlsTest, EditDoubleShowsTheQuotientAndTruncatesWhatIsTyped) {
    auto* edit = Find<DoubleBox>("ed");
    EXPECT_EQ(edit->Text(), "12.5");
    const struct {
        const char* typed;
        int32_t raw;
        const char* shown;
    } cases[] = {
        {"3.14", 31, "3.1"},    {"3.19", 31, "3.1"}, {"0.29e1", 29, "2.9"},  {"abc", 0, "0.0"},
        {"1e9", 1000, "100.0"}, {"-5", 0, "0.0"},    {"inf", 1000, "100.0"}, {"nan", 0, "0.0"},
        {" 7", 70, "7.0"},      {".5", 5, "0.5"},    {"-0", 0, "0.0"},       {"1e400", 1000, "100.0"},
    };
    for (const auto& c : cases) {
        Set("p.v.tenth", 500);
        Type(edit, c.typed);
        EXPECT_EQ(Raw("p.v.tenth"), c.raw) << c.typed;
        EXPECT_EQ(edit->Text(), c.shown) << c.typed;
    }
}

TEST_F(TextControlsTest, EditWithAButtonPopsFromTheButtonOrTheTextAndFromTheKeys) {
    auto* edit = Find<EditBox>("eb");
    EXPECT_EQ(edit->TextRect(), (TavRect{100, 130, 160, 150}));
    EXPECT_EQ(edit->ButtonRect(), (TavRect{170, 130, 190, 150}));
    edit->confirm = false;
    Press(165, 140); // inside, but neither on the button nor on the text: the focus only
    EXPECT_EQ(edit->opened, 0);
    EXPECT_TRUE(edit->HasFocus());
    panel->OnKey(CTavKeyInfo{CTavKeyInfo::kDown, kTavKeyReturn, 0});
    EXPECT_EQ(edit->opened, 1);
    EXPECT_TRUE(edit->HasFocus()); // the keyboard stays on it
    edit->SetFocus(false);
    Press(175, 140);
    EXPECT_EQ(edit->opened, 2);
    EXPECT_TRUE(edit->pressedWhileOpen);
    Press(110, 140);
    EXPECT_EQ(edit->opened, 3);
    Press(195, 140); // beside the button: the focus only
    EXPECT_EQ(edit->opened, 3);

    // The button shows frame 0, frame 1 while pressed.
    CTavDrawInfo info;
    auto* bitmap = static_cast<test::FakeBitmap*>(system.ResourceManager().FindBitmap("two"));
    bitmap->drawn.clear();
    edit->Draw(info);
    ASSERT_EQ(bitmap->drawn.size(), 1u);
    EXPECT_EQ(bitmap->drawn[0].at, (TavPoint{170, 130}));
    EXPECT_EQ(bitmap->drawn[0].state, 0);

    // The wheel steps a signed value by its index.
    Set("p.v.pan", 0);
    panel->OnWheel(CTavWheelInfo{{110, 140}, 3, 0});
    EXPECT_EQ(Raw("p.v.pan"), 3);
}

TEST_F(TextControlsTest, KeysStepTheFocusedPopControlOrOpenItsMenuUnderTheText) {
    auto* combo = Find<CTavPopComboControl>("cw");
    auto key = [this](int32_t code, uint32_t modifiers = 0) {
        return panel->OnKey(CTavKeyInfo{CTavKeyInfo::kDown, code, modifiers});
    };
    EXPECT_FALSE(key(kTavKeyUp));
    combo->SetFocus(true);
    // The arrows step as the wheel does, within the table's four entries.
    const struct {
        int32_t code;
        int32_t wave;
    } steps[] = {{kTavKeyUp, 1}, {kTavKeyRight, 2}, {kTavKeyRight, 3}, {kTavKeyUp, 3},
                 {kTavKeyDown, 2}, {kTavKeyLeft, 1}, {kTavKeyLeft, 0}, {kTavKeyDown, 0}};
    for (const auto& s : steps) {
        EXPECT_TRUE(key(s.code));
        EXPECT_EQ(Raw("p.v.wave"), s.wave) << s.code;
    }
    // Space, Return, F2 and Alt+Down open the menu below the text; the focus stays.
    popup->answer = 2;
    int shown = popup->shown;
    for (const auto& [code, modifiers] : {std::pair{kTavKeySpace, 0u}, std::pair{kTavKeyReturn, 0u},
                                          std::pair{kTavKeyF2, 0u}, std::pair{kTavKeyDown, uint32_t{kTavAlt}}}) {
        Set("p.v.wave", 0);
        EXPECT_TRUE(key(code, modifiers));
        EXPECT_EQ(popup->shown, ++shown) << code;
        EXPECT_EQ(popup->lastPosition.kind, TavPopupPosition::kAtPoint);
        EXPECT_EQ(popup->lastPosition.point, (TavPoint{combo->TextRect().left, combo->TextRect().bottom}));
        EXPECT_EQ(Raw("p.v.wave"), 2);
        EXPECT_TRUE(combo->HasFocus());
    }
    Press(10, 110); // a click opens it at the mouse
    EXPECT_EQ(popup->lastPosition.kind, TavPopupPosition::kAtMouse);
}

TEST(TextControlsBuild, MessagesNameWhatFailed) {
    const std::string table = "<stringTableRef>waves</stringTableRef>";
    const struct {
        std::string controls;
        std::string text;
    } cases[] = {
        {Control("staticText", "c", "<textWriterRef>none</textWriterRef><valueRef>p.v.level</valueRef>"),
         "Unable to find text writer none.\n"},
        {Control("staticText", "c", "<textWriterRef>tw</textWriterRef><stringTableRef>x</stringTableRef>"),
         "Unable to find string table x.\n"},
        {Control("staticText", "c", "<textWriterRef>tw</textWriterRef><offsetValue>one</offsetValue>"),
         "StaticText main.c offsetValue is invalid. : one\n"},
        {Control("staticText", "c", "<textWriterRef>tw</textWriterRef>"), "There is no value reference.\n"},
        {Control("staticText", "c", "<valueRef>p.v.level</valueRef>"),
         "There is no text writer reference.\n"},
        {Control("staticTextPicture", "c", "<bitmapRef>none</bitmapRef>"),
         "Unable to find bitmap for static text picture. : main.c : none.\n"},
        {Control("staticTextPicture", "c", "<textWriterRef>x</textWriterRef>"),
         "Unable to find text writer for static text picture. : main.c : x.\n"},
        {Control("staticTextPicture", "c", "<offsetValue>?</offsetValue>"),
         "Offset value is invalid for static text picture. : main.c : ?\n"},
        {Control("staticTextPicture", "c", "<textWriterRef>tw</textWriterRef><valueRef>p.v.level</valueRef>"),
         "There is no bitmap reference for static text picture. : main.c\n"},
        {Control("picture", "c", "<bitmapRef>four</bitmapRef><offsetIndex>x</offsetIndex>"),
         "Offset index is invalid for picture. : main.c : x\n"},
        {Control("picture", "c", "<bitmapRef>none</bitmapRef>"),
         "Unable to find bitmap for picture. : main.c : none.\n"},
        {Control("picture", "c", "<valueRef>p.v.level</valueRef>"),
         "There is no bitmap reference for picture control main.c.\n"},
        {Control("combo", "c", "<stringTableRef>none</stringTableRef>"),
         "Unable to find string table for pop control\x81\x44: main.c : none\n"},
        {Control("combo", "c", "<textWriterRef>none</textWriterRef>"),
         "Unable to find text writer for pop control. : main.c : none\n"},
        {Control("combo", "c", "<bitmapRef>none</bitmapRef>"),
         "Unable to find bitmap for pop control. : main.c : none\n"},
        {Control("combo", "c", "<offsetValue>x1</offsetValue>"),
         "Offset value is invalid for pop control. : main.c : x1\n"},
        {Control("combo", "c", "<divisionItemOffset>-</divisionItemOffset>"),
         "Division item offset value is invalid for pop combo control. : main.c : -\n"},
        {Control("combo", "c", "<valueRef>p.v.wave</valueRef>"),
         "There is no text writer reference for pop control. : main.c\n"},
        {Control("combo", "c", "<textWriterRef>tw</textWriterRef>" + table + "<valueRef>p.v.name</valueRef>"),
         "Referred value type must be integer when string table is referred for pop control. : main.c\n"},
        {Control("edit", "c", "<textWriterRef>tw</textWriterRef><valueRef>p.v.level</valueRef>"),
         "Text position is invalid for edit. : main.c\n"},
        {Control("edit", "c",
                 "<textWriterRef>tw</textWriterRef><textPosition>0,0</textPosition>"
                 "<textSize>0,5</textSize><valueRef>p.v.level</valueRef>"),
         "Text size is invalid for edit. : main.c\n"},
        {Control("edit", "c", kEdit + "<bitmapRef>two</bitmapRef><valueRef>p.v.level</valueRef>"),
         "Button position is invalid for edit. : main.c\n"},
        {Control("edit", "c", "<valueRef>p.v.level</valueRef>"),
         "There is no text writer reference for pop control. : main.c\nUnable to create edit. : main.c\n"},
        {Control("editDouble", "c", kEdit + "<precision>x</precision>"),
         "main.c precision is invalid. : x\n"},
        {Control("editDouble", "c", kEdit + "<precision>16</precision>"),
         "main.c precision is invalid. : 16\n"},
        {Control("editDouble", "c", kEdit + "<divisionValue>0</divisionValue>"),
         "main.c divisionValue is invalid. : 0\n"},
        {Control("editDouble", "c", kEdit), "There is no value reference.\n"},
        {Control("editDouble", "c", kEdit + "<valueRef>p.v.name</valueRef>"), "value type is not integer.\n"},
        {Control("editDouble", "c", "<valueRef>p.v.level</valueRef>"),
         "There is no text writer reference for pop control. : main.c\nUnable to create edit double "
         "control.\n"},
    };
    for (const auto& c : cases) {
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<FakeResources>());
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(c.controls)));
        EXPECT_FALSE(system.CreateManagers()) << c.controls;
        EXPECT_EQ(system.ErrorText().substr(0, c.text.size()), c.text) << system.ErrorText();
    }
}

} // namespace
