// The sample edit window's time, tempo, frame, chop and preview controls, built by the view
// factory from a small script and driven by clicks, typed text and menu choices; the
// sample editor's operations are recorded through the controls' seam.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/CTavChopIdCombo.h"
#include "device/CTavPreviewButtons.h"
#include "device/CTavSampleFrameEdits.h"
#include "device/CTavSampleIncButtons.h"
#include "device/CTavSampleTempoControls.h"
#include "device/TavSampleControlSupport.h"
#include "support/FakeMenuSources.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using namespace Brio;

std::string Values() {
    std::string beats;
    for (int i = 0; i < 32; ++i)
        beats += "<value><type>int5x7</type><name>beatPoint[" + std::to_string(i) + "]</name><range>0,33554431</range>"
                 "<default>0</default></value>";
    const std::string frame = "<type>int5x7</type><range>0,33554431</range><default>0</default>";
    return R"(
<bitmap><name>two</name><stateCount>2</stateCount></bitmap>
<bitmap><name>knob</name><stateCount>1</stateCount></bitmap>
<textWriter><name>tw</name></textWriter>
<structType><type>C</type><name>$name</name><address>$address</address><size>00 00 40</size>
  <value>)" + frame + R"(<name>startIndex</name></value>
  <value>)" + frame + R"(<name>loopIndex</name></value>
  <value>)" + frame + R"(<name>endIndex</name></value>
  <value>)" + frame + R"(<name>absoluteEndIndex</name></value>
  <value><type>int4x4</type><name>sampleTempo</name><range>500,30000</range><default>12000</default></value>
</structType>
<structType><type>B</type><name>$name</name><address>$address</address><size>00 02 00</size>
  <value><name>beatDataSize</name><range>0,32</range><default>0</default></value>)" + beats + R"(
</structType>
<structType><type>P</type><name>$name</name><address>$address</address><size>00 00 20</size>
  <value><name>samplePreview</name><range>0,3</range><default>0</default></value>
  <value>)" + frame + R"(<name>previewFrame</name></value>
</structType>
<structType><type>S</type><name>$name</name><address>$address</address><size>00 04 00</size>
  <struct><type>C</type><name>sampleCommon</name><address>00 00 00</address></struct>
  <struct><type>B</type><name>sampleBeatPoint</name><address>00 02 00</address></struct>
</structType>
<structType><type>E</type><name>$name</name><address>$address</address><size>00 01 00</size>
  <struct><type>P</type><name>preview</name><address>00 00 00</address></struct>
</structType>
<structType><type>U</type><name>$name</name><address>$address</address><size>01 00 00</size>
  <struct><type>S</type><name>sample</name><address>00 00 00</address></struct>
  <struct><type>E</type><name>sampleEdit</name><address>00 10 00</address></struct>
</structType>
<structType><type>ComRoot</type><name>$name</name><address>$address</address><size>01 00 00</size>
  <struct><type>U</type><name>utility</name><address>00 00 00</address></struct>
</structType>
<structType><type>VV</type><name>$name</name><address>$address</address><size>00 00 10</size>
  <value><name>scrubFrameId</name><range>0,3</range><default>0</default></value>
</structType>
<structType><type>VCE</type><name>$name</name><address>$address</address><size>00 00 10</size>
  <value><name>currentChopId</name><range>0,14</range><default>0</default></value>
  <value><name>chopPointCount</name><range>0,15</range><default>0</default></value>
</structType>
<structType><type>VCP</type><name>$name</name><address>$adr</address><size>00 00 08</size>
  <value>)" + frame + R"(<name>frame</name></value>
</structType>
<structType><type>VC</type><name>$name</name><address>$address</address><size>00 04 00</size>
  <struct><type>VCE</type><name>edit</name><address>00 00 00</address></struct>
  <struct><type>VCP</type><name>chopPoint</name><adr>00 01 00</adr><adr>00 01 08</adr><adr>00 01 10</adr></struct>
</structType>
<structType><type>VA</type><name>$name</name><address>$address</address><size>00 00 40</size>
  <value><type>int2x7</type><name>envRate2</name><range>0,200</range><default>100</default></value>
  <value>)" + frame + R"(<name>envAddress2</name></value>
</structType>
<structType><type>VT</type><name>$name</name><address>$address</address><size>00 00 10</size>
  <value><type>int3x7</type><name>rate</name><range>50000,200000</range><default>100000</default></value>
  <value><type>int3x7</type><name>wideRate</name><range>0,1000000</range><default>100000</default></value>
</structType>
<structType><type>VM</type><name>$name</name><address>$address</address><size>00 10 00</size>
  <struct><type>VC</type><name>chop</name><address>00 00 00</address></struct>
  <struct><type>VA</type><name>amp</name><address>00 08 00</address></struct>
  <struct><type>VT</type><name>timeStretch</name><address>00 09 00</address></struct>
</structType>
<structType><type>VE</type><name>$name</name><address>$address</address><size>00 20 00</size>
  <struct><type>VV</type><name>view</name><address>00 00 00</address></struct>
  <struct><type>VM</type><name>modify</name><address>00 10 00</address></struct>
</structType>
<structType><type>VsRoot</type><name>$name</name><address>$address</address><size>01 00 00</size>
  <struct><type>VE</type><name>sampleEdit</name><address>00 00 00</address></struct>
</structType>
<struct><type>ComRoot</type><name>com</name><address>00 00 00</address></struct>
<struct><type>VsRoot</type><name>vs</name><address>10 00 00</address></struct>
)";
}

std::string Control(const std::string& kind, const std::string& name, const std::string& rest) {
    return "<control><type>" + kind + "</type><name>" + name + "</name>" + rest + "</control>";
}

std::string At(int x, int y) {
    return "<position>" + std::to_string(x) + "," + std::to_string(y) + "</position>";
}

const std::string kEdit = "<size>80,20</size><textPosition>0,0</textPosition><textSize>80,20</textSize>"
                          "<textWriterRef>tw</textWriterRef>";
const std::string kRate = "<valueRef>vs.sampleEdit.modify.timeStretch.rate</valueRef>";
const std::string kEnd = "<endValueRef>com.utility.sample.sampleCommon.absoluteEndIndex</endValueRef>";
const std::string kTempo = "<bpmValueRef>com.utility.sample.sampleCommon.sampleTempo</bpmValueRef>";
const std::string kPreview = "<valueRef>com.utility.sampleEdit.preview.samplePreview</valueRef>";

std::string Controls() {
    return Control("quasarPreviewButton", "preview",
                   At(0, 0) + "<bitmapRef>two</bitmapRef>" + kPreview + "<onValue>9</onValue><offValue>0</offValue>") +
           Control("quasarChopPreviewButton", "chopPreview",
                   At(30, 0) + "<bitmapRef>two</bitmapRef>" + kPreview +
                       "<chopPointIdValueRef>vs.sampleEdit.modify.chop.edit.currentChopId</chopPointIdValueRef>"
                       "<startFrameValueRef>com.utility.sampleEdit.preview.previewFrame</startFrameValueRef>"
                       "<onValue>1</onValue>") +
           Control("quasarPreviewControl", "area", At(60, 0) + "<size>20,20</size><mode>2</mode>") +
           Control("quasarFrameIncButton", "startUp", At(0, 30) + "<bitmapRef>two</bitmapRef><frameId>0</frameId>"
                                                                  "<deltaValue>10</deltaValue>") +
           Control("quasarFrameIncButton", "beatUp", At(30, 30) + "<bitmapRef>two</bitmapRef><frameId>1</frameId>"
                                                                  "<beat>1</beat>") +
           Control("quasarFrameIncButton", "beatDown", At(60, 30) + "<bitmapRef>two</bitmapRef><frameId>1</frameId>"
                                                                    "<beat>1</beat><deltaValue>-1</deltaValue>") +
           Control("quasarChopFrameIncButton", "chopUp", At(90, 30) + "<bitmapRef>two</bitmapRef>"
                                                                      "<deltaValue>100</deltaValue>") +
           Control("quasarTimeIncButton", "timeUp",
                   At(120, 30) + "<bitmapRef>two</bitmapRef><deltaValue>500</deltaValue>" + kRate + kEnd) +
           Control("quasarBpmSlider", "bpmSlider",
                   At(150, 30) + "<size>20,120</size><bitmapRef>knob</bitmapRef>" + kRate + kTempo) +
           Control("quasarChopIdCombo", "chopId", At(0, 60) + "<size>80,20</size><textWriterRef>tw</textWriterRef>") +
           Control("editTime", "time", At(200, 0) + kEdit + kRate + kEnd) +
           Control("editTime", "wideTime",
                   At(200, 30) + kEdit + "<valueRef>vs.sampleEdit.modify.timeStretch.wideRate</valueRef>" + kEnd) +
           Control("editBPM", "bpm", At(200, 60) + kEdit + kRate + kTempo + "<decimals>2</decimals><scale>100</scale>") +
           Control("quasarLoopFrameEdit", "loop", At(200, 90) + kEdit + "<frameId>1</frameId>") +
           Control("quasarEditChopFrame", "chopFrame", At(200, 120) + kEdit) +
           Control("quasarBreakPointAddressEdit", "address", At(300, 0) + kEdit + "<breakPointId>1</breakPointId>") +
           Control("quasarBreakPointRateEdit", "rate", At(300, 30) + kEdit + "<breakPointId>1</breakPointId>") +
           // The main value may be another than the frame the edit shows.
           Control("quasarEditChopFrame", "chopFrameOfId",
                   At(300, 60) + kEdit + "<valueRef>vs.sampleEdit.modify.chop.edit.currentChopId</valueRef>");
}

std::string Script(const std::string& controls) {
    return test::MainPanelScript(Values(), "400,200", controls);
}

class RecordedOperations : public ITavSampleOperations {
public:
    void MoveMarker(int32_t marker, int64_t frame) override { Log("move " + Pair(marker, frame)); }
    void Scrub(int32_t n) override { Log("scrub " + std::to_string(n)); }
    bool Preview(int32_t mode, int64_t, int64_t) override {
        Log("preview " + std::to_string(mode));
        return true;
    }
    bool SendChopPoint(int32_t index, int64_t frame) override {
        Log("chop " + Pair(index, frame));
        return true;
    }
    std::string Take() { return std::exchange(log, std::string()); }

private:
    static std::string Pair(int32_t a, int64_t b) { return std::to_string(a) + "," + std::to_string(b); }
    void Log(const std::string& line) { log += (log.empty() ? "" : "; ") + line; }
    std::string log;
};

std::string g_typed;
bool TypeIntoBox(CTavPopControl&, const TavRect&, std::string& text) {
    text = g_typed;
    return true;
}

class SampleControls : public test::ModelFixture {
protected:
    void SetUp() override {
        TavSetSampleOperations(&operations);
        TavSetDeviceEditBox(&TypeIntoBox);
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.ViewManager().SetViewFactory(std::make_unique<CTavViewFactory>());
        auto popup = std::make_unique<test::FakePopup>();
        this->popup = popup.get();
        system.SetPopupMenu(std::move(popup));
        ASSERT_NO_FATAL_FAILURE(Build(Script(Controls())));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    void TearDown() override {
        TavSetSampleOperations(nullptr);
        TavSetDeviceEditBox(nullptr);
    }

    template <typename Control = CTavControl> Control* Find(const std::string& name) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, view)) << name;
        return dynamic_cast<Control*>(view);
    }
    TavPoint Middle(const std::string& name) {
        const TavRect rect = Find(name)->Rect();
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void Press(const std::string& name) { panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kPressed, Middle(name), 0}); }
    void Release(const std::string& name) {
        panel->OnMouse(CTavMouseInfo{CTavMouseInfo::kReleased, Middle(name), 0});
    }
    void Click(const std::string& name) {
        Press(name);
        Release(name);
    }
    // Types text into an edit's box.
    void Type(const std::string& name, const std::string& text) {
        g_typed = text;
        Click(name);
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    std::string Text(const std::string& name) { return Find<CTavPopControl>(name)->Text(); }

    RecordedOperations operations;
    test::FakePopup* popup = nullptr;
    CTavRootPanel* panel = nullptr;
};

const char* const kRatePath = "vs.sampleEdit.modify.timeStretch.rate";
const char* const kWideRatePath = "vs.sampleEdit.modify.timeStretch.wideRate";
const char* const kEndPath = "com.utility.sample.sampleCommon.absoluteEndIndex";
const char* const kTempoPath = "com.utility.sample.sampleCommon.sampleTempo";

TEST(SampleControlText, StretchedTimeShowsMinutesSecondsAndRoundedMilliseconds) {
    const struct {
        int64_t frames, ratio;
        const char* text;
    } cases[] = {
        {44100, 100000, "000'01\"000"},      {88200, 150000, "000'03\"000"},  {44100 * 61, 100000, "001'01\"000"},
        {44100, 100001, "000'01\"000"},      {44100, 99999, "000'01\"000"},    {44100, 100050, "000'01\"001"},
        {44100 * 600, 200000, "020'00\"000"}, {0, 100000, "000'00\"000"},      {22050, 50000, "000'00\"250"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TavStretchTimeText(c.frames, c.ratio), c.text) << c.frames << " " << c.ratio;
}

TEST(SampleControlText, TypedTimeNeedsExactlyThreeNumbers) {
    const struct {
        const char* text;
        double ms; // -1: refused
    } cases[] = {
        {"0'2\"500", 2500},  {" 1' 0\" 0 ", 60000}, {"1 '0\"0", -1}, {"000'01\"000", 1000}, {"-0'1\"0", 1000},
        {"0'2", -1},         {"0'2\"", -1},           {"0'2\"5x", -1},       {"0'2\"5\"1", -1},
        {"a'b\"c", -1},      {"", -1},                {"0\"2'5", -1},        {"1234567890'0\"0", -1},
        {"0'0\"0000000000000000000000000000000000000000000000000000000000000001", -1},
    };
    for (const auto& c : cases) {
        const std::optional<double> ms = TavReadStretchTime(c.text);
        EXPECT_EQ(ms.value_or(-1), c.ms) << c.text;
    }
}

TEST_F(SampleControls, TypedTimeWritesTheRatioClampedToItsRangeAndGarbageKeepsIt) {
    Set(kEndPath, 44100);
    EXPECT_EQ(Text("time"), "000'01\"000");
    const struct {
        const char* control;
        const char* path;
        const char* typed;
        int32_t ratio;
    } cases[] = {
        {"wideTime", kWideRatePath, "0'2\"500", 250000}, {"time", kRatePath, "0'2\"500", 200000},
        {"time", kRatePath, "0'0\"100", 50000},          {"time", kRatePath, "0'1\"500", 150000},
        {"time", kRatePath, "1:2.5", 150000},            {"wideTime", kWideRatePath, "0'0\"1", 100},
        {"wideTime", kWideRatePath, "abc", 100},
    };
    for (const auto& c : cases) {
        Type(c.control, c.typed);
        EXPECT_EQ(Raw(c.path), c.ratio) << c.control << " " << c.typed;
    }
    EXPECT_EQ(Text("time"), "000'01\"500");
    // Without a length no ratio gives the time: the value stays.
    Set(kEndPath, 0);
    Type("time", "0'1\"0");
    EXPECT_EQ(Raw(kRatePath), 150000);
}

TEST_F(SampleControls, TempoIsShownAndTypedBackThroughScaleAndDecimals) {
    const struct {
        int32_t ratio;
        const char* shown;
        const char* typed;
        int32_t written;
    } cases[] = {
        {100000, "120.00", "60", 200000},   {200000, "60.00", "240", 50000},   {50000, "240.00", "120.00", 100000},
        {100000, "120.00", "90.5", 132597}, {132597, "90.50", "1000", 50000},  {100000, "120.00", "abc", 100000},
        {150000, "80.00", "80bpm", 150000}, {150000, "80.00", "-5", 200000},
    };
    for (const auto& c : cases) {
        Set(kRatePath, c.ratio);
        EXPECT_EQ(Text("bpm"), c.shown) << c.ratio;
        Type("bpm", c.typed);
        EXPECT_EQ(Raw(kRatePath), c.written) << c.typed;
    }
    // The tempo the sample has scales the shown tempo.
    Set(kTempoPath, 6000);
    Set(kRatePath, 100000);
    EXPECT_EQ(Text("bpm"), "60.00");
}

TEST(SampleControlText, BeatPointNextToTheMarkerInTheButtonsDirection) {
    const int32_t points[] = {1000, 2000, 3000};
    const struct {
        int64_t frame;
        int32_t direction;
        int64_t next; // -1: none
    } cases[] = {{1500, 1, 2000}, {1500, -1, 1000}, {2000, 1, 3000}, {2000, -1, 1000},
                 {3000, 1, -1},   {500, -1, -1},    {0, 1, 1000},    {9999, -1, 3000}};
    for (const auto& c : cases)
        EXPECT_EQ(TavNextBeatPoint(points, 3, c.frame, c.direction).value_or(-1), c.next)
            << c.frame << " " << c.direction;
    EXPECT_FALSE(TavNextBeatPoint(points, 0, 0, 1));
}

TEST_F(SampleControls, FrameIncButtonsMoveMarkersByDeltaOrToBeatPoints) {
    Set("com.utility.sample.sampleCommon.startIndex", 40);
    Set("com.utility.sample.sampleCommon.loopIndex", 1500);
    Set("com.utility.sample.sampleBeatPoint.beatDataSize", 3);
    for (int i = 0; i < 4; ++i)
        Set("com.utility.sample.sampleBeatPoint.beatPoint[" + std::to_string(i) + "]", 1000 * (i + 1));
    const struct {
        const char* button;
        const char* moved;
    } cases[] = {{"startUp", "move 0,50"}, {"beatUp", "move 1,2000"}, {"beatDown", "move 1,1000"}};
    for (const auto& c : cases) {
        Click(c.button);
        EXPECT_EQ(operations.Take(), c.moved) << c.button;
    }
    // Only the points in use count: 4000 lies beyond the count of 3.
    Set("com.utility.sample.sampleCommon.loopIndex", 3000);
    Click("beatUp");
    EXPECT_EQ(operations.Take(), "");
}

TEST_F(SampleControls, ChopPointsMoveOnlyWhenTheyExist) {
    Set("vs.sampleEdit.modify.chop.edit.currentChopId", 1);
    Set("vs.sampleEdit.modify.chop.chopPoint[1].frame", 700);
    Click("chopUp");
    Type("chopFrame", "900");
    EXPECT_EQ(operations.Take(), "");
    Set("vs.sampleEdit.modify.chop.edit.chopPointCount", 2);
    Click("chopUp");
    EXPECT_EQ(operations.Take(), "chop 1,800");
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.chopPoint[1].frame"), 800);
    const struct {
        const char* typed;
        const char* sent;
    } cases[] = {{"900", "chop 1,900"}, {" 12 ", "chop 1,12"}, {"-5", "chop 1,0"}, {"9x", ""}, {"", ""}};
    for (const auto& c : cases) {
        Type("chopFrame", c.typed);
        EXPECT_EQ(operations.Take(), c.sent) << c.typed;
    }
    EXPECT_EQ(Text("chopFrame"), "0");
    Type("chopFrameOfId", "77");
    EXPECT_EQ(operations.Take(), "chop 1,77");
    EXPECT_EQ(Text("chopFrame"), "77");
    EXPECT_EQ(Text("chopFrameOfId"), "77");
}

TEST_F(SampleControls, FrameAndBreakPointEditsTakeOneIntegerWithinTheirBounds) {
    Set(kEndPath, 5000);
    Type("loop", "1234");
    EXPECT_EQ(operations.Take(), "move 1,1234");
    Type("loop", "12 34");
    EXPECT_EQ(operations.Take(), "");
    const struct {
        const char* control;
        const char* typed;
        const char* path;
        int32_t raw;
    } cases[] = {
        {"address", "4000", "vs.sampleEdit.modify.amp.envAddress2", 4000},
        {"address", "9000", "vs.sampleEdit.modify.amp.envAddress2", 5000},
        {"address", "x", "vs.sampleEdit.modify.amp.envAddress2", 5000},
        {"rate", "150", "vs.sampleEdit.modify.amp.envRate2", 150},
        {"rate", "999", "vs.sampleEdit.modify.amp.envRate2", 200},
        {"rate", "1.5", "vs.sampleEdit.modify.amp.envRate2", 200},
    };
    for (const auto& c : cases) {
        Type(c.control, c.typed);
        EXPECT_EQ(Raw(c.path), c.raw) << c.control << " " << c.typed;
    }
}

TEST_F(SampleControls, TimeIncButtonStepsTheStretchedLength) {
    Set(kEndPath, 44100);
    for (int32_t ratio : {150000, 200000, 200000}) {
        Click("timeUp");
        EXPECT_EQ(Raw(kRatePath), ratio);
    }
}

TEST_F(SampleControls, ChopIdComboOffersOnlyTheChopPointsHeld) {
    const struct {
        int32_t count;
        int shown;
        int32_t leaves;
    } cases[] = {{0, 0, -1}, {3, 1, 3}, {15, 1, 15}};
    for (const auto& c : cases) {
        popup->shown = 0;
        popup->lastLeaves = -1;
        Set("vs.sampleEdit.modify.chop.edit.chopPointCount", c.count);
        Click("chopId");
        EXPECT_EQ(popup->shown, c.shown) << c.count;
        EXPECT_EQ(popup->lastLeaves, c.leaves) << c.count;
    }
    Set("vs.sampleEdit.modify.chop.edit.chopPointCount", 2);
    popup->answer = 1;
    Click("chopId");
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.currentChopId"), 1);
}

TEST_F(SampleControls, PreviewButtonsPreviewWhileHeld) {
    const char* const preview = "com.utility.sampleEdit.preview.samplePreview";
    const char* const frame = "com.utility.sampleEdit.preview.previewFrame";
    Set("com.utility.sample.sampleCommon.startIndex", 321);
    Set("vs.sampleEdit.view.scrubFrameId", 2);
    Press("preview");
    EXPECT_EQ(operations.Take(), "scrub 0");
    EXPECT_EQ(Raw(frame), 321);
    EXPECT_EQ(Raw(preview), 3); // the on value 9, limited to the range
    Release("preview");
    EXPECT_EQ(Raw(preview), 0);
    Set("vs.sampleEdit.view.scrubFrameId", 0);
    // The chop preview button previews from chop points that exist only.
    Set("vs.sampleEdit.modify.chop.chopPoint[0].frame", 55);
    Press("chopPreview");
    EXPECT_EQ(Raw(preview), 0);
    Release("chopPreview");
    Set("vs.sampleEdit.modify.chop.edit.chopPointCount", 1);
    Press("chopPreview");
    EXPECT_EQ(Raw(frame), 55);
    EXPECT_EQ(Raw(preview), 1);
    Release("chopPreview");
    EXPECT_EQ(Raw(preview), 0);
    EXPECT_EQ(operations.Take(), "");
    Click("area");
    EXPECT_EQ(operations.Take(), "preview 2; preview 0");
}

TEST(SampleControlErrors, ConfigurationFailuresNameTheControlAndText) {
    const struct {
        std::string control;
        const char* error;
    } cases[] = {
        {Control("quasarFrameIncButton", "f", "<bitmapRef>two</bitmapRef>"),
         "There is no frame id for frame inc button. : main.f\n"},
        {Control("quasarFrameIncButton", "f", "<bitmapRef>two</bitmapRef><frameId>3</frameId>"),
         "frame increment button frame id is invalid. : main.f : 3\n"},
        {Control("quasarFrameIncButton", "f", "<bitmapRef>two</bitmapRef><frameId>0</frameId><beat>x</beat>"),
         "frame increment button beat is invalid. : main.f : x\n"},
        {Control("editTime", "t", kEdit + kRate), "There is no value reference for edit time control.\n"},
        {Control("editBPM", "b", kEdit + kRate), "There is no value reference for edit bpm control.\n"},
        {Control("quasarBpmSlider", "s", "<size>20,120</size><bitmapRef>knob</bitmapRef>" + kRate),
         "There is no value reference for bpm slider control.\n"},
        {Control("quasarTimeIncButton", "i", "<bitmapRef>two</bitmapRef>" + kRate),
         "There is no value reference for time increment button.\n"},
        {Control("quasarChopPreviewButton", "c", "<bitmapRef>two</bitmapRef>" + kPreview),
         "There is no value reference for chop preview button.\n"},
        {Control("quasarChopPreviewButton", "c",
                 "<bitmapRef>two</bitmapRef>" + kPreview + "<chopPointIdValueRef>vs.x</chopPointIdValueRef>"
                 "<startFrameValueRef>vs.y</startFrameValueRef><onValue>[</onValue>"),
         "Unable to interpret on value for chop preview button. : main.c : [\n"},
        {Control("quasarPreviewControl", "p", "<size>20,20</size><mode>7</mode>"),
         "preview control main.p id is invalid. : 7\n"},
        {Control("quasarLoopFrameEdit", "l", kEdit + "<frameId>-1</frameId>"),
         "frame edit control id is invalid. : main.l : -1\n"},
        {Control("quasarBreakPointRateEdit", "r", kEdit + "<breakPointId>4</breakPointId>"),
         "break point edit control id is invalid. : main.r : 4\n"},
    };
    for (const auto& c : cases) {
        const std::string errors = test::CreationErrors(Script(c.control));
        EXPECT_EQ(errors.substr(0, errors.find('\n') + 1), c.error) << c.control;
    }
}

} // namespace
