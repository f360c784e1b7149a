// The keyboard control: key placement and the hit test as pure functions, then a keyboard
// built from an inline script playing notes through the MIDI struct (the messages it
// sends, in order), lighting the keys of notes that are on, and refusing bad scripts.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CTavTextOut.h"
#include "midi/CTavMidiStruct.h"
#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/RecordingMidiOut.h"
#include "support/TestSupport.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavStaticTextControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavKeyboardLayout.h"
#include "view/TavSetValue.h"

namespace {

// One octave of 16-pixel white keys (upper parts 40 high over lower parts 24 high), the
// pressed pictures 64 pixels further down, the black key's picture beside the octave.
TavKeyShapes Shapes(int32_t dy = 0) {
    TavKeyShapes shapes;
    for (int32_t i = 0; i < 7; ++i)
        shapes.whiteUpper[static_cast<size_t>(i)] = {16 * i, dy, 16 * i + 16, dy + 40};
    shapes.ivoryLower = {0, dy + 40, 16, dy + 64};
    shapes.ebony = {112, dy, 122, dy + 40};
    shapes.lowestUpper = shapes.highestUpper = shapes.whiteUpper[0];
    shapes.lowestLower = shapes.highestLower = shapes.ivoryLower;
    return shapes;
}

TavKeyboardLayout Layout(int32_t low, int32_t high, TavPoint origin = {10, 20}) {
    return {Shapes(), low, high, origin};
}

TEST(KeyboardLayout, PlacesWhiteAndBlackKeysOctaveByOctave) {
    const TavKeyboardLayout layout = Layout(36, 97);
    struct Case {
        int32_t key;
        TavRect upper;
        TavRect lower;
    };
    const Case cases[] = {
        {36, {10, 20, 26, 60}, {10, 60, 26, 84}},     // the lowest key, C
        {37, {21, 20, 31, 60}, {}},                   // C#: centred on the C-D boundary
        {41, {58, 20, 74, 60}, {58, 60, 74, 84}},     // F
        {42, {69, 20, 79, 60}, {}},                   // F#
        {47, {106, 20, 122, 60}, {106, 60, 122, 84}}, // B: the octave is 112 wide
        {60, {234, 20, 250, 60}, {234, 60, 250, 84}}, // two octaves up
        {70, {325, 20, 335, 60}, {}},                 // A#
        {96, {570, 20, 586, 60}, {570, 60, 586, 84}}, // the highest key
    };
    for (const Case& c : cases) {
        const TavKeyPlace place = TavPlaceKey(layout, c.key);
        EXPECT_EQ(place.upper, c.upper) << c.key;
        EXPECT_EQ(place.white, !c.lower.IsEmpty()) << c.key;
        if (place.white) {
            EXPECT_EQ(place.lower, c.lower) << c.key;
        }
    }
    EXPECT_EQ(TavKeyboardRect(layout), (TavRect{10, 20, 586, 84}));
    EXPECT_EQ(TavOctaveWidth(layout.shapes), 112);
}

TEST(KeyboardLayout, ARangeStartingOnAMovesTheKeysBelowItsClassOneOctaveRight) {
    TavKeyboardLayout layout = Layout(21, 109, {0, 0});
    layout.shapes.lowestUpper = layout.shapes.whiteUpper[5]; // A's pictures
    layout.shapes.lowestLower = {80, 40, 96, 64};
    EXPECT_EQ(TavPlaceKey(layout, 21).lower, (TavRect{0, 40, 16, 64}));  // A0 at the left edge
    EXPECT_EQ(TavPlaceKey(layout, 23).lower, (TavRect{16, 40, 32, 64})); // B0
    EXPECT_EQ(TavPlaceKey(layout, 24).lower, (TavRect{32, 40, 48, 64})); // C1 after it
    EXPECT_EQ(TavPlaceKey(layout, 33).lower, (TavRect{112, 40, 128, 64}));
    EXPECT_EQ(TavPlaceKey(layout, 108).upper, (TavRect{32 + 7 * 112, 0, 48 + 7 * 112, 40})); // C8
    EXPECT_EQ(TavKeyAt(layout, {40, 50}), 24);
    EXPECT_EQ(TavKeyAt(layout, {33 + 7 * 112, 5}), 108);
}

TEST(KeyboardLayout, HitTestFindsBlackKeysFirstAndLimitsThePoint) {
    const TavKeyboardLayout layout = Layout(36, 97);
    struct Case {
        TavPoint point;
        int32_t key;
        const char* where;
    };
    const Case cases[] = {
        {{12, 25}, 36, "C's upper part"},
        {{12, 70}, 36, "C's lower part"},
        {{25, 30}, 37, "C# over C's upper part"},
        {{30, 30}, 37, "C# over D's upper part"},
        {{33, 30}, 38, "D's upper part beside C#"},
        {{25, 59}, 37, "C#'s last row"},
        {{25, 60}, 36, "below C#: C's lower part"},
        {{236, 70}, 60, "middle C"},
        {{298, 30}, 66, "F# two octaves up"},
        {{345, 30}, 71, "B's right edge"},
        {{346, 30}, 72, "the next C"},
        {{580, 30}, 96, "the highest key"},
        {{600, 30}, 96, "right of the keyboard"},
        {{0, 70}, 36, "left of the keyboard"},
        {{305, 200}, 67, "below the keyboard: a lower part"},
        {{300, -50}, 66, "above the keyboard: an upper part"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TavKeyAt(layout, c.point), c.key) << c.where;
}

TEST(KeyboardLayout, PointsBetweenKeysAndBrokenLayoutsHitNothing) {
    TavKeyboardLayout gaps = Layout(36, 97, {0, 0});
    for (size_t i = 0; i < 6; ++i)
        gaps.shapes.whiteUpper[i].right -= 2; // 2-pixel gaps; B keeps the octave 112 wide
    gaps.shapes.ivoryLower.right -= 2;
    gaps.shapes.lowestLower.right -= 2;
    EXPECT_EQ(TavKeyAt(gaps, {15, 10}), 37);  // C# covers the gap between C and D
    EXPECT_EQ(TavKeyAt(gaps, {47, 10}), -1);  // between E and F
    EXPECT_EQ(TavKeyAt(gaps, {47, 50}), -1);  // between their lower parts
    EXPECT_EQ(TavKeyAt(gaps, {13, 50}), 36);

    TavKeyboardLayout flat = Layout(36, 97);
    flat.shapes.whiteUpper[6] = {}; // no octave width
    EXPECT_EQ(TavKeyAt(flat, {20, 30}), -1);
    EXPECT_EQ(TavKeyAt(Layout(60, 60), {20, 30}), -1); // no keys
}

TEST(KeyboardLayout, NotesFollowTheOctaveValue) {
    struct Case {
        int32_t key;
        int32_t octave;
        int64_t note;
        bool real;
    };
    const Case cases[] = {
        {60, 64, 60, true},  {60, 65, 72, true},   {60, 63, 48, true},    {0, 64, 0, true},
        {127, 64, 127, true}, {128, 64, 128, false}, {60, 0, -708, false}, {60, 127, 816, false},
        {36, 61, 0, true},   {96, 67, 132, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TavNoteOfKey(c.key, c.octave), c.note) << c.key << " " << c.octave;
        EXPECT_EQ(TavIsRealNote(TavNoteOfKey(c.key, c.octave)), c.real) << c.key << " " << c.octave;
    }
    for (int32_t key : {-13, -1, 0, 1, 11, 12, 61})
        EXPECT_EQ(TavIsWhiteKey(key), TavIsWhiteKey(key + 120)) << key;
    EXPECT_FALSE(TavIsWhiteKey(-11)); // C#
    EXPECT_TRUE(TavIsWhiteKey(-12));
}

// --- The control -------------------------------------------------------------------------

// Bitmaps that remember the parts drawn from them.
struct DrawnPart {
    TavRect destination;
    TavPoint source;
};

class RecordingBitmap : public CTavStateBitmap {
public:
    explicit RecordingBitmap(std::vector<DrawnPart>& parts) : m_parts(parts) {}
    void DrawState(CTavDrawInfo&, TavPoint, int32_t) override {}
    void DrawPart(CTavDrawInfo&, const TavRect& destination, TavPoint source) override {
        m_parts.push_back({destination, source});
    }

protected:
    bool LoadImage(const std::string&, int32_t& width, int32_t& height) override {
        width = 122;
        height = 128;
        return true;
    }
    void ReleaseImage() override {}

private:
    std::vector<DrawnPart>& m_parts;
};

class RecordingResources : public ITavResourceFactory {
public:
    explicit RecordingResources(std::vector<DrawnPart>& parts) : m_parts(parts) {}
    std::unique_ptr<CTavStateBitmap> CreateBitmap() override { return std::make_unique<RecordingBitmap>(m_parts); }
    std::unique_ptr<CTavTextWriter> CreateTextWriter() override { return nullptr; }
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return nullptr; }

private:
    std::vector<DrawnPart>& m_parts;
};

const char* const kValues = R"(
<bitmap><name>keys</name></bitmap>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>octave</name><address>00</address><range>0,127</range><default>64</default></value>
  <value><name>velocity</name><address>01</address><range>0,127</range><default>100</default></value>
  <value><name>channel</name><address>02</address><range>0,15</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
<midiStruct><name>qvMidi</name></midiStruct>
)";

// The shapes of Shapes() as attributes: normal pictures at the top, pressed ones 64 lower.
std::string ShapeAttributes() {
    std::string text;
    const auto add = [&text](const std::string& tag, const TavRect& r) {
        text += "<" + tag + ">" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                std::to_string(r.right) + "," + std::to_string(r.bottom) + "</" + tag + ">";
    };
    const char* const whites = "cdefgab";
    for (const auto& [suffix, shapes] : {std::pair{"", Shapes()}, std::pair{"Pressed", Shapes(64)}}) {
        const std::string pressed = suffix;
        for (size_t i = 0; i < 7; ++i)
            add(std::string(1, whites[i]) + "KeyUpsideRectangle" + pressed, shapes.whiteUpper[i]);
        add("ivoryKeyDownsideRectangle" + pressed, shapes.ivoryLower);
        add("ebonyKeyRectangle" + pressed, shapes.ebony);
        add("lowestKeyUpsideRectangle" + pressed, shapes.lowestUpper);
        add("lowestKeyDownsideRectangle" + pressed, shapes.lowestLower);
        add("highestKeyUpsideRectangle" + pressed, shapes.highestUpper);
        add("highestKeyDownsideRectangle" + pressed, shapes.highestLower);
    }
    return text;
}

std::string Keyboard(const std::string& attributes) {
    return "<control><type>keyboard</type><name>k</name><position>10,20</position>" + attributes + "</control>";
}

const std::string kPlaying = "<bitmapRef>keys</bitmapRef><physicalKeyRange>36,97</physicalKeyRange>"
                             "<valueRef>qvMidi.ch[p.v.channel].note</valueRef>"
                             "<octaveValueRef>p.v.octave</octaveValueRef>"
                             "<onVelocityValueRef>p.v.velocity</onVelocityValueRef>";

std::string Script(const std::string& controls) {
    return test::MainPanelScript(kValues, "600,100", controls);
}

TavShortMessage On(int channel, int note, int velocity) {
    return TavPackShort(static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note),
                        static_cast<uint8_t>(velocity));
}
TavShortMessage Off(int channel, int note, int velocity) {
    return TavPackShort(static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(note),
                        static_cast<uint8_t>(velocity));
}

// Middle of the lower part of a white key, and of a black key, two octaves up from C.
constexpr int32_t kLowerY = 70;
constexpr int32_t kBlackY = 30;
int32_t WhiteX(int32_t key) {
    return TavPlaceKey(Layout(36, 97), key).upper.left + 8;
}

class KeyboardControl : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<RecordingResources>(drawn));
        ASSERT_NO_FATAL_FAILURE(Build(Script(Keyboard(kPlaying + ShapeAttributes() + "<size>5,5</size>"))));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(panel->FindControl("main.k", view));
        keyboard = dynamic_cast<CTavKeyboardControl*>(view);
        ASSERT_NE(keyboard, nullptr);
        midi = dynamic_cast<CTavMidiStruct*>(Buffers().FindMidiStruct("qvMidi"));
        ASSERT_NE(midi, nullptr);
        midi->SetOutput(&out);
    }
    void Mouse(CTavMouseInfo::Kind kind, int32_t x, int32_t y = kLowerY, bool forced = false) {
        panel->OnMouse(CTavMouseInfo{kind, {x, y}, 0, forced});
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    // A channel message from the device, delivered as the MIDI input does.
    void Receive(TavShortMessage message) {
        ASSERT_TRUE(midi->ReceiveShort(message));
        Buffers().PublishPending();
        Buffers().ClearPending();
    }
    // The sources of the upper parts drawn at a key's place.
    std::vector<TavPoint> SourcesAt(int32_t key) {
        drawn.clear();
        CTavDrawInfo info;
        keyboard->Draw(info);
        const TavRect place = TavPlaceKey(keyboard->Layout(), key).upper;
        std::vector<TavPoint> sources;
        for (const DrawnPart& part : drawn)
            if (part.destination == place)
                sources.push_back(part.source);
        return sources;
    }

    std::vector<DrawnPart> drawn;
    CTavRootPanel* panel = nullptr;
    CTavKeyboardControl* keyboard = nullptr;
    CTavMidiStruct* midi = nullptr;
    test::RecordingMidiOut out;
};

using Shorts = std::vector<TavShortMessage>;

TEST_F(KeyboardControl, SizeComesFromTheLayoutNotTheScript) {
    EXPECT_EQ(keyboard->Rect(), (TavRect{10, 20, 586, 84}));
    EXPECT_EQ(keyboard->GetKind(), "keyboard");
    EXPECT_EQ(keyboard->KeyAt({236, 70}), 60);
}

TEST_F(KeyboardControl, KeysPlayTheirNoteShiftedByTheOctaveValue) {
    struct Case {
        int32_t octave;
        int32_t key;
        Shorts sent;
    };
    const Case cases[] = {
        {64, 60, {On(0, 60, 100), Off(0, 60, 100)}},
        {65, 60, {On(0, 72, 100), Off(0, 72, 100)}},
        {63, 61, {On(0, 49, 100), Off(0, 49, 100)}},
        {0, 60, {}},   // below note 0: drawn, silent
        {127, 60, {}}, // above note 127
    };
    for (const Case& c : cases) {
        Set("p.v.octave", c.octave);
        out.shorts.clear();
        const int32_t y = TavIsWhiteKey(c.key) ? kLowerY : kBlackY;
        const int32_t x = TavIsWhiteKey(c.key) ? WhiteX(c.key) : TavPlaceKey(keyboard->Layout(), c.key).upper.left + 5;
        Mouse(CTavMouseInfo::kPressed, x, y);
        EXPECT_EQ(keyboard->HeldKey(), c.key) << c.octave;
        Mouse(CTavMouseInfo::kReleased, x, y);
        EXPECT_EQ(out.shorts, c.sent) << "octave " << c.octave;
        EXPECT_FALSE(keyboard->IsCaptured());
        EXPECT_EQ(SourcesAt(c.key).size(), 1u) << "octave " << c.octave; // drawn, sounding or not
    }
}

TEST_F(KeyboardControl, DraggingSendsTheOldNotesOffBeforeTheNewNotesOn) {
    Set("p.v.velocity", 90);
    Mouse(CTavMouseInfo::kPressed, WhiteX(60));
    Mouse(CTavMouseInfo::kMove, WhiteX(60) + 3); // same key: nothing
    Mouse(CTavMouseInfo::kMove, WhiteX(62));
    Mouse(CTavMouseInfo::kMove, 600, 30); // beyond the right end: the highest key
    Mouse(CTavMouseInfo::kReleased, 600, 30);
    EXPECT_EQ(out.shorts, (Shorts{On(0, 60, 90), Off(0, 60, 90), On(0, 62, 90), Off(0, 62, 90), On(0, 96, 90),
                                  Off(0, 96, 90)}));
    EXPECT_EQ(Value("qvMidi.ch[0].note").GetList()[96], -90);
}

TEST_F(KeyboardControl, SpacePlaysTheKeyCursorWhichTheArrowsMoveWithinTheKeyboard) {
    const auto key = [this](CTavKeyInfo::Kind kind, int32_t code) { return panel->OnKey(CTavKeyInfo{kind, code, 0}); };
    EXPECT_FALSE(key(CTavKeyInfo::kDown, kTavKeySpace));
    keyboard->SetFocus(true);
    EXPECT_EQ(keyboard->KeyCursor(), 60); // the C nearest the middle of keys 36 ... 96
    // Moved while Space is held, the note moves along.
    key(CTavKeyInfo::kDown, kTavKeySpace);
    key(CTavKeyInfo::kDown, kTavKeyRight);
    key(CTavKeyInfo::kUp, kTavKeySpace);
    EXPECT_EQ(out.shorts, (Shorts{On(0, 60, 100), Off(0, 60, 100), On(0, 61, 100), Off(0, 61, 100)}));
    EXPECT_FALSE(keyboard->IsCaptured());
    const struct {
        int32_t code;
        int32_t cursor;
    } moves[] = {{kTavKeyUp, 73}, {kTavKeyUp, 85}, {kTavKeyUp, 85}, {kTavKeyDown, 73}, {kTavKeyDown, 61},
                 {kTavKeyDown, 49}, {kTavKeyDown, 37}, {kTavKeyDown, 37}, {kTavKeyLeft, 36}, {kTavKeyLeft, 36}};
    for (const auto& m : moves) {
        EXPECT_TRUE(key(CTavKeyInfo::kDown, m.code));
        EXPECT_EQ(keyboard->KeyCursor(), m.cursor) << m.code;
    }
}

TEST_F(KeyboardControl, EveryWayOfLosingThePressTurnsTheNoteOff) {
    struct Case {
        const char* how;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"a forced release", [this] { Mouse(CTavMouseInfo::kReleased, 0, 0, true); }},
        {"the capture taken away", [this] { keyboard->Capture(false); }},
        {"the panel closing", [this] { panel->Close(); }},
        {"the octave moving away first",
         [this] {
             Set("p.v.octave", 70); // note 60 is no longer in the keyboard's range
             Mouse(CTavMouseInfo::kReleased, 0, 0);
         }},
    };
    for (const Case& c : cases) {
        panel->Open();
        Set("p.v.octave", 64);
        out.shorts.clear();
        Mouse(CTavMouseInfo::kPressed, WhiteX(60));
        c.end();
        EXPECT_EQ(out.shorts, (Shorts{On(0, 60, 100), Off(0, 60, 100)})) << c.how;
        EXPECT_EQ(keyboard->HeldKey(), -1) << c.how;
        EXPECT_EQ(system.ViewManager().CapturedView(), nullptr) << c.how;
    }
}

TEST_F(KeyboardControl, AChannelChangeWhileHeldEndsTheNoteWhereItWasPlayed) {
    Mouse(CTavMouseInfo::kPressed, WhiteX(60));
    Set("p.v.channel", 3);
    Mouse(CTavMouseInfo::kMove, WhiteX(62));
    Mouse(CTavMouseInfo::kReleased, WhiteX(62));
    EXPECT_EQ(out.shorts, (Shorts{On(0, 60, 100), Off(0, 60, 100)}));
    Mouse(CTavMouseInfo::kPressed, WhiteX(62));
    Mouse(CTavMouseInfo::kReleased, WhiteX(62));
    EXPECT_EQ(out.shorts.back(), Off(3, 62, 100));
}

class KeyboardInAClosingPanel : public test::ModelFixture {};

TEST_F(KeyboardInAClosingPanel, TheNoteOffIsATransactionOfItsOwn) {
    // The keyboard's panel closes while the change that closes it is published: the
    // note-off is written and sent then, and the closing change is sent once.
    system.SetResourceFactory(std::make_unique<test::FakeResources>());
    const std::string script = std::string(kValues) +
                               "<panelType><type>Keys</type><name>keys</name><size>600,100</size>"
                               "<openCondition>p.v.channel,0,==</openCondition>" +
                               Keyboard("<bitmapRef>keys</bitmapRef><physicalKeyRange>36,97</physicalKeyRange>"
                                        "<valueRef>qvMidi.ch[0].note</valueRef>" +
                                        ShapeAttributes()) +
                               "</panelType><panelType><type>Main</type><name>main</name><size>600,100</size>"
                               "<panel><type>Keys</type><name>keys</name></panel></panelType>"
                               "<panel><type>Main</type><name>main</name></panel>";
    ASSERT_NO_FATAL_FAILURE(Build(script));
    ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
    CTavRootPanel* main = system.ViewManager().FindRootPanel("main");
    test::RecordingMidiOut notes, device;
    dynamic_cast<CTavMidiStruct&>(*Buffers().FindMidiStruct("qvMidi")).SetOutput(&notes);
    Buffers().FindRoot("p")->SetOutput(&device);

    main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, {WhiteX(60), kLowerY}, 0});
    TavSetValueInteger(Buffers(), Value("p.v.channel"), 1);
    EXPECT_EQ(notes.shorts, (Shorts{On(0, 60, 64), Off(0, 60, 64)}));
    EXPECT_EQ(device.sent.size(), 1u);
    EXPECT_TRUE(Buffers().PendingChanges().empty());
    EXPECT_EQ(system.ViewManager().CapturedView(), nullptr);
}

TEST_F(KeyboardControl, VelocityIsLimitedToWhatANoteOnCanCarry) {
    Set("p.v.velocity", 0);
    Mouse(CTavMouseInfo::kPressed, WhiteX(64));
    Mouse(CTavMouseInfo::kReleased, WhiteX(64));
    EXPECT_EQ(out.shorts, (Shorts{On(0, 64, 1), Off(0, 64, 1)}));
}

TEST_F(KeyboardControl, ReceivedNotesLightTheirKeysAndAPressSilencesThem) {
    const TavPoint normal{0, 0};
    const TavPoint pressed{0, 64};
    EXPECT_EQ(SourcesAt(60), (std::vector<TavPoint>{normal}));
    Receive(On(0, 60, 80));
    EXPECT_TRUE(keyboard->IsKeyOn(60));
    EXPECT_EQ(SourcesAt(60), (std::vector<TavPoint>{pressed}));
    const TavPoint blackPressed{112, 64};
    Receive(On(0, 61, 80));
    EXPECT_EQ(SourcesAt(61), (std::vector<TavPoint>{blackPressed}));
    Receive(Off(0, 61, 10));
    EXPECT_EQ(SourcesAt(61), (std::vector<TavPoint>{{112, 0}}));
    // Another channel is not this keyboard's.
    Receive(On(5, 62, 80));
    EXPECT_FALSE(keyboard->IsKeyOn(62));
    // The octave moves the lit key with the note.
    Set("p.v.octave", 65);
    EXPECT_TRUE(keyboard->IsKeyOn(48));
    EXPECT_EQ(SourcesAt(48), (std::vector<TavPoint>{pressed}));
    Set("p.v.octave", 64);

    // A received note was never sent; pressing another key turns it off, as it does every
    // note the keyboard shows on.
    EXPECT_TRUE(out.shorts.empty());
    Mouse(CTavMouseInfo::kPressed, WhiteX(64));
    EXPECT_EQ(out.shorts, (Shorts{Off(0, 60, 100), On(0, 64, 100)}));
    Mouse(CTavMouseInfo::kReleased, WhiteX(64));
    EXPECT_FALSE(keyboard->IsKeyOn(60));
}

// --- Building -----------------------------------------------------------------------------

TEST(KeyboardScript, BadAttributesAreReported) {
    struct Case {
        std::string attributes;
        std::string message;
    };
    const std::string note = "<valueRef>qvMidi.ch[0].note</valueRef>";
    const std::string bitmap = "<bitmapRef>keys</bitmapRef>";
    const Case cases[] = {
        {bitmap + note + "<cKeyUpsideRectangle>1,2,3</cKeyUpsideRectangle>",
         "Keyboard cKeyUpsideRectangle is invalid. : 1,2,3\n"},
        {bitmap + note + "<ebonyKeyRectanglePressed>x</ebonyKeyRectanglePressed>",
         "Keyboard ebonyKeyRectanglePressed is invalid. : x\n"},
        {bitmap + note + "<highestKeyDownsideRectangle>0,0,99999999,1</highestKeyDownsideRectangle>",
         "Keyboard highestKeyDownsideRectangle is invalid. : 0,0,99999999,1\n"},
        {bitmap + note + "<physicalKeyRange>36</physicalKeyRange>", "Keyboard physicalKeyRange is invalid. : 36\n"},
        {bitmap + note + "<physicalKeyRange>97,36</physicalKeyRange>",
         "Keyboard physicalKeyRange is invalid. : 97,36\n"},
        {bitmap + note + "<physicalKeyRange>0,100000</physicalKeyRange>",
         "Keyboard physicalKeyRange is invalid. : 0,100000\n"},
        {bitmap + note + "<physicalKeyRange>-1,10</physicalKeyRange>",
         "Keyboard physicalKeyRange is invalid. : -1,10\n"},
        {"<bitmapRef>nothing</bitmapRef>" + note, "Unable to find bitmap nothing.\n"},
        {note, "Keyboard control k needs bitmap. : main.k\n"},
        {bitmap, "There is no value reference.\n"},
        {bitmap + "<octaveValueRef>p.v.octave</octaveValueRef>", "There is no value reference.\n"},
        {bitmap + "<valueRef>qvMidi.ch[16].note</valueRef>", "Unable to create keyboard control.\n"},
        {bitmap + note + "<keyWidth>3</keyWidth>", "Control main.k unknown tags. : keyWidth, \n"},
    };
    for (const Case& c : cases) {
        CTavSystem fresh;
        fresh.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        fresh.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        fresh.AttachErrorOutputToManagers();
        fresh.SetResourceFactory(std::make_unique<test::FakeResources>());
        ASSERT_TRUE(fresh.ReadScript(Script(Keyboard(c.attributes)))) << fresh.ErrorText();
        EXPECT_FALSE(fresh.CreateManagers() && fresh.ViewManager().OpenRootPanel("main")) << c.attributes;
        EXPECT_NE(fresh.ErrorText().find(c.message), std::string::npos) << c.attributes << "\n" << fresh.ErrorText();
    }
}


// --- The main window's keyboard --------------------------------------------------------------

class MainWindowKeyboard : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetScriptFolder(scripts.String() + "/");
        Build(test::ReadFile(test::ShippedScriptDir() / "VireoEditorScript.xml"));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        main = system.ViewManager().FindRootPanel("main");
        CTavView* view = nullptr;
        ASSERT_TRUE(main->FindControl("main.keyboard.keys", view));
        keyboard = dynamic_cast<CTavKeyboardControl*>(view);
        ASSERT_NE(keyboard, nullptr);
        dynamic_cast<CTavMidiStruct&>(*Buffers().FindMidiStruct("qvMidi")).SetOutput(&out);
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    void Click(TavPoint at) {
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, at, 0});
        main->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, at, 0});
    }
    void ClickControl(const char* path) {
        CTavView* view = nullptr;
        ASSERT_TRUE(main->FindControl(path, view)) << path;
        Click({view->Rect().left + 2, view->Rect().top + 2});
    }
    // Middle C's lower part: three octaves up from the lowest key, C1.
    TavPoint MiddleC() const { return {keyboard->Rect().left + 3 * 112 + 8, keyboard->Rect().bottom - 5}; }

    test::ScriptFolderCopy scripts;
    CTavRootPanel* main = nullptr;
    CTavKeyboardControl* keyboard = nullptr;
    test::RecordingMidiOut out;
};

TEST_F(MainWindowKeyboard, SitsAlongTheBottomOfTheWindow) {
    EXPECT_EQ(keyboard->Rect(), (TavRect{262, 672, 1062, 744}));
    EXPECT_LE(keyboard->Rect().bottom, main->Rect().bottom);
    EXPECT_EQ(keyboard->LowKey(), 24);
    EXPECT_EQ(keyboard->HighKey(), 109);
    EXPECT_EQ(keyboard->KeyAt(MiddleC()), 60);
}

TEST_F(MainWindowKeyboard, PlaysOnTheReceiveChannelOfTheShownPart) {
    Set("qv.prti.part[2].receiveChannel", 5);
    Set("qv.prti.part[15].receiveChannel", 9);
    struct Case {
        int32_t part;
        int channel;
    };
    for (const Case c : {Case{2, 5}, Case{3, 0}, Case{16, 9}, Case{2, 5}}) {
        Set("vs.control.partId", c.part);
        out.shorts.clear();
        Click(MiddleC());
        EXPECT_EQ(out.shorts, (Shorts{On(c.channel, 60, 100), Off(c.channel, 60, 100)})) << "part " << c.part;
    }
}

// A click on strip 7's number chooses part 7: the keyboard plays on its channel.
TEST_F(MainWindowKeyboard, TheEditPartButtonChoosesThePartTheKeyboardPlays) {
    Set("qv.prti.part[6].receiveChannel", 11);
    ClickControl("main.mixer.part7.editPart");
    EXPECT_EQ(Value("vs.control.partId").GetRaw(), 6);
    out.shorts.clear();
    Click(MiddleC());
    EXPECT_EQ(out.shorts, (Shorts{On(11, 60, 100), Off(11, 60, 100)}));
}

TEST_F(MainWindowKeyboard, OctaveButtonsShiftTheNotesWithinThreeOctaves) {
    for (int i = 0; i < 5; ++i)
        ClickControl("main.keyboard.octaveUp");
    EXPECT_EQ(Value("vs.control.keyboardOctave").GetRaw(), 67);
    ClickControl("main.keyboard.octaveDown");
    Set("vs.control.keyboardVelocity", 127);
    out.shorts.clear();
    Click(MiddleC());
    EXPECT_EQ(out.shorts, (Shorts{On(0, 84, 127), Off(0, 84, 127)}));
    // Octave +2 lights the sixth of the seven lamps.
    CTavView* lamps = nullptr;
    ASSERT_TRUE(main->FindControl("main.keyboard.octave", lamps));
    ASSERT_NE(dynamic_cast<const CTavPictureControl*>(lamps), nullptr);
    EXPECT_EQ(static_cast<const CTavPictureControl*>(lamps)->Frame(), 5);
}

} // namespace
