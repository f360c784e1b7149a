// The sample edit window's waveform views, scrolls and zoom buttons, built from a small
// script over a fake wave source: chunked requests, lanes, drawing colours, marker, chop
// point and envelope edits, the zoom steps, the scrub button and the messages.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <tuple>
#include <string>
#include <vector>

#include "device/CTavScaleScroll.h"
#include "device/CTavWaveDrawControl.h"
#include "device/CTavWaveScrollControls.h"
#include "support/FakeResources.h"
#include "support/FakeWaveSource.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewFactory.h"
#include "view/CTavViewManager.h"
#include "view/ITavTipBar.h"
#include "view/TavSetValue.h"

namespace {

using namespace Brio;
using Rgb16 = CTavGraphDrawer::Rgb16;
using Request = test::FakeWaveSource::Request;

// Fills by colour, and lines.
class RecordingDrawer : public CTavGraphDrawer {
public:
    struct Fill {
        TavRect rect;
        Rgb16 color;
    };
    explicit RecordingDrawer(std::vector<Fill>& fills) : m_fills(fills) {}
    void FillRect(CTavDrawInfo&, const TavRect& rect, Rgb16 color) override { m_fills.push_back({rect, color}); }
    void LineTo(CTavDrawInfo&, TavPoint, int32_t, Rgb16 color) override { m_fills.push_back({{}, color}); }

private:
    std::vector<Fill>& m_fills;
};

class Resources : public test::FakeResources {
public:
    explicit Resources(std::vector<RecordingDrawer::Fill>& fills) : m_fills(fills) {}
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return std::make_unique<RecordingDrawer>(m_fills); }

private:
    std::vector<RecordingDrawer::Fill>& m_fills;
};

class FakeTipBar : public ITavTipBar {
public:
    void SetLines(std::vector<std::string> l) override { lines = std::move(l); }
    void SetAnchor(TavPoint) override {}
    void SetOffset(TavPoint) override {}
    void MarkChanged() override {}
    void Show(bool show) override { shown = show; }
    bool IsShown() const override { return shown; }
    void UpdateAtIdle() override {}
    std::vector<std::string> lines;
    bool shown = false;
};

std::string ChopPoints() {
    std::string adrs;
    for (int i = 0; i < 15; ++i) {
        char adr[32];
        std::snprintf(adr, sizeof adr, "<adr>00 00 01 %02X</adr>", i * 8);
        adrs += adr;
    }
    return adrs;
}

// Sample 10 of group 2 (mono), 256 frames per column, 100000 frames long.
const std::string kValues = R"(
<bitmap><name>knob</name><stateCount>1</stateCount></bitmap>
<bitmap><name>button</name><stateCount>2</stateCount></bitmap>
<bitmap><name>latch</name><stateCount>4</stateCount></bitmap>
<structType><type>View</type><name>$name</name><address>$address</address>
  <value><type>int2x7</type><name>sampleNumberL</name><range>0,7000</range><default>10</default></value>
  <value><name>sampleGroupID</name><range>2,3</range><default>2</default></value>
  <value><type>int3x7</type><name>dotSamples</name><range>1,32768</range><default>1</default></value>
  <value><name>dataScale</name><range>1,64</range><default>1</default></value>
  <value><type>int5x7</type><name>scrollRangeLo</name><range>0,33554431</range><default>0</default></value>
  <value><type>int5x7</type><name>scrollRangeUp</name><range>0,33554431</range><default>100000</default></value>
  <value><type>int5x7</type><name>viewRangeLo</name><range>0,33554431</range><default>0</default></value>
  <value><type>int5x7</type><name>viewRangeUp</name><range>0,33554431</range><default>236</default></value>
  <value><name>sampleState</name><range>0,3</range><default>0</default></value>
  <value><name>scrubFrameId</name><range>0,3</range><default>0</default></value>
  <value><name>operated</name><range>0,1</range><default>0</default></value>
  <value><name>fixed</name><range>3,3</range><default>3</default></value>
  <value><type>int5x7</type><name>start</name><range>0,33554431</range><default>0</default></value>
  <value><type>int5x7</type><name>loop</name><range>0,33554431</range><default>100</default></value>
  <value><type>int5x7</type><name>end</name><range>0,33554431</range><default>200</default></value>
  <value><name>envMode</name><range>0,1</range><default>1</default></value>
  <value><name>R1</name><range>0,200</range><default>100</default></value>
  <value><type>int5x7</type><name>A1</name><range>0,33554431</range><default>0</default></value>
</structType>
<structType><type>ChopEdit</type><name>$name</name><address>$address</address>
  <value><name>currentChopId</name><range>0,14</range><default>0</default></value>
  <value><name>mode</name><range>0,2</range><default>0</default></value>
  <value><name>chopPointCount</name><range>0,15</range><default>0</default></value>
</structType>
<structType><type>ChopPoint</type><name>$name</name><address>$adr</address>
  <value><type>int5x7</type><name>frame</name><range>0,33554431</range><default>0</default></value>
</structType>
<structType><type>Chop</type><name>$name</name><address>$address</address><size>00 00 04 00</size>
  <struct><type>ChopEdit</type><name>edit</name><address>00 00 00 00</address></struct>
  <struct><type>ChopPoint</type><name>chopPoint</name>)" + ChopPoints() + R"(</struct>
</structType>
<structType><type>Modify</type><name>$name</name><address>$address</address><size>00 00 10 00</size>
  <struct><type>Chop</type><name>chop</name><address>00 00 08 00</address></struct>
</structType>
<structType><type>SampleEdit</type><name>$name</name><address>$address</address><size>00 00 20 00</size>
  <struct><type>View</type><name>view</name><address>00 00 00 00</address></struct>
  <struct><type>Modify</type><name>modify</name><address>00 00 10 00</address></struct>
</structType>
<structType><type>Root</type><name>$name</name><address>$address</address>
  <struct><type>SampleEdit</type><name>sampleEdit</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>Root</type><name>vs</name><address>7F 00 00 00</address></struct>
)";

const std::string kView = "vs.sampleEdit.view.";

std::string Control(const std::string& kind, const std::string& name, const std::string& rest) {
    return "<control><type>" + kind + "</type><name>" + name + "</name>" + rest + "</control>";
}

// Plots of 236 columns: margins 10 (mode 0), 1 (mode 6 and the overview), 2 (mode 4).
const std::string kControls =
    Control("quasarSampleViewControl", "view",
            "<position>0,0</position><size>257,58</size><mode>0</mode><startValueRef>vs.sampleEdit.view.start</"
            "startValueRef><loopValueRef>vs.sampleEdit.view.loop</loopValueRef><endValueRef>vs.sampleEdit.view.end</"
            "endValueRef>") +
    Control("quasarSampleViewControl", "chop",
            "<position>0,60</position><size>239,58</size><mode>6</mode>"
            "<chopPointIdValueRef>vs.sampleEdit.modify.chop.edit.currentChopId</chopPointIdValueRef>") +
    Control("quasarOverviewControl", "overview", "<position>0,120</position><size>239,40</size><mode>2</mode>") +
    Control("quasarSampleViewControl", "amp",
            "<position>0,300</position><size>241,103</size><mode>4</mode><useTipBar>1</useTipBar>"
            "<envModeValueRef>vs.sampleEdit.view.envMode</envModeValueRef>"
            "<A1ValueRef>vs.sampleEdit.view.A1</A1ValueRef><R1ValueRef>vs.sampleEdit.view.R1</R1ValueRef>") +
    Control("quasarScaleIncButton", "zoomIn",
            "<position>300,0</position><bitmapRef>button</bitmapRef><valueRef>vs.sampleEdit.view.dotSamples</"
            "valueRef><deltaValue>1</deltaValue><requestWave>1</requestWave><useTipBar>1</useTipBar>") +
    Control("quasarScaleIncButton", "zoomOut",
            "<position>330,0</position><bitmapRef>button</bitmapRef><valueRef>vs.sampleEdit.view.dataScale</"
            "valueRef><deltaValue>-1</deltaValue><direction>1</direction><useTipBar>1</useTipBar>") +
    Control("quasarScrubButton", "scrub",
            "<position>360,0</position><bitmapRef>latch</bitmapRef><valueRef>vs.sampleEdit.view.scrubFrameId</"
            "valueRef><onValue>2</onValue>") +
    Control("quasarScaleScroll", "scale",
            "<position>300,40</position><size>20,120</size><bitmapRef>knob</bitmapRef><valueRef>vs.sampleEdit.view."
            "dataScale</valueRef><requestWave>1</requestWave>") +
    Control("quasarWaveScroll", "scroll",
            "<position>0,170</position><size>239,10</size><direction>1</direction>"
            "<currentRangeLowerValueRef>vs.sampleEdit.view.viewRangeLo</currentRangeLowerValueRef>"
            "<currentRangeUpperValueRef>vs.sampleEdit.view.viewRangeUp</currentRangeUpperValueRef>"
            "<scrollRangeLowerValueRef>vs.sampleEdit.view.scrollRangeLo</scrollRangeLowerValueRef>"
            "<scrollRangeUpperValueRef>vs.sampleEdit.view.scrollRangeUp</scrollRangeUpperValueRef>"
            "<operatedValueRef>vs.sampleEdit.view.operated</operatedValueRef>");

class WaveControls : public test::ModelFixture {
protected:
    void SetUp() override {
        TavSetWaveSource(&source);
        system.SetResourceFactory(std::make_unique<Resources>(fills));
        system.ViewManager().SetViewFactory(std::make_unique<CTavViewFactory>());
        system.ViewManager().SetTipBar(&tipBar);
        ASSERT_NO_FATAL_FAILURE(Build(test::MainPanelScript(kValues, "400,420", kControls)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        view = Find<CTavSampleViewControl>("view");
        chop = Find<CTavSampleViewControl>("chop");
        source.requests.clear();
    }
    void TearDown() override {
        system.ViewManager().SetTipBar(nullptr);
        TavSetWaveSource(nullptr);
    }

    template <typename T> T* Find(const std::string& name) {
        CTavView* found = nullptr;
        EXPECT_TRUE(panel->FindControl("main." + name, found)) << name;
        return dynamic_cast<T*>(found);
    }
    void Mouse(CTavMouseInfo::Kind kind, TavPoint at) { panel->OnMouse(CTavMouseInfo{kind, at, 0}); }
    void Click(TavPoint at) {
        Mouse(CTavMouseInfo::kPressed, at);
        Mouse(CTavMouseInfo::kReleased, at);
    }
    void Drag(TavPoint from, TavPoint to) {
        Mouse(CTavMouseInfo::kPressed, from);
        Mouse(CTavMouseInfo::kMove, to);
        Mouse(CTavMouseInfo::kReleased, to);
    }
    void Set(const std::string& path, int32_t raw) { TavSetValueInteger(Buffers(), Value(path), raw); }
    int32_t Raw(const std::string& path) { return Value(path).GetRaw(); }
    void SetChops(std::vector<int64_t> frames) {
        source.chops = std::move(frames);
        source.ReadChopPoints();
    }
    int Count(Rgb16 color) {
        return static_cast<int>(std::count_if(fills.begin(), fills.end(), [&](const auto& f) { return f.color == color; }));
    }

    test::FakeWaveSource source{Buffers()};
    std::vector<RecordingDrawer::Fill> fills;
    FakeTipBar tipBar;
    CTavRootPanel* panel = nullptr;
    CTavSampleViewControl* view = nullptr;
    CTavSampleViewControl* chop = nullptr;
};

TEST_F(WaveControls, PlotsOf236ColumnsAreRequestedInChunksUntilAShortAnswer) {
    EXPECT_EQ(view->PlotWidth(), 236);
    struct Case {
        int32_t state, shortAnswer;
        std::vector<Request> expected;
    };
    const Case cases[] = {
        {0, -1, {{2, 10, 40, 4, 117}, {2, 10, 508, 4, 117}, {2, 10, 976, 4, 2}}},
        {0, 50, {{2, 10, 40, 4, 117}}},
        {1, 100, {{2, 10, 40, 4, 117}, {2, 11, 40, 4, 117}}},
        {3, -1, {}},
    };
    for (const Case& c : cases) {
        Set(kView + "sampleState", c.state);
        source.requests.clear();
        source.shortAnswer = c.shortAnswer;
        EXPECT_TRUE(view->RequestWave(10, 2, 40, 4));
        EXPECT_EQ(source.requests, c.expected) << "state " << c.state;
        EXPECT_EQ(view->LastFrame(), 40 + 236 * 4);
        EXPECT_EQ(view->Points(1).empty(), c.state != 1);
    }
    source.answer = false;
    Set(kView + "sampleState", 0);
    source.requests.clear();
    EXPECT_FALSE(view->RequestWave(10, 2, 0, 1));
    EXPECT_EQ(source.requests.size(), 1u);
    EXPECT_EQ(view->Points(0).size(), 117u); // what arrived stays
}

TEST_F(WaveControls, RangesSpreadOverTheColumnsAndTheViewFollowsTheVisibleRange) {
    for (auto [lo, hi, perPoint] : {std::tuple{0, 236, 1}, {0, 237, 2}, {500, 500, 1}, {0, 100000, 424}}) {
        view->RequestWaveRange(10, 2, lo, hi);
        EXPECT_EQ(view->FramesPerPoint(), perPoint) << lo << ".." << hi;
        EXPECT_EQ(view->FirstFrame(), lo);
    }
    // Zooming out by frames per column widens the visible range; each of the three open
    // sample views requests it once.
    source.requests.clear();
    Set(kView + "dotSamples", 4);
    EXPECT_EQ(Raw(kView + "viewRangeUp"), 944);
    ASSERT_EQ(source.requests.size(), 9u);
    EXPECT_EQ(source.requests[0], (Request{2, 10, 0, 4, 117}));
    Set(kView + "dataScale", 2);
    EXPECT_EQ(source.requests.size(), 9u);

    // A refresh that asks the view before it saw a new sample's range (the raw values
    // written without notice) still asks for the columns' frames, not for the old range.
    source.requests.clear();
    Value(kView + "viewRangeUp").SetRaw(0);
    ASSERT_TRUE(view->RequestWaveData());
    EXPECT_EQ(Raw(kView + "viewRangeUp"), 944);
    ASSERT_FALSE(source.requests.empty());
    EXPECT_EQ(source.requests[0].perPoint, 4);

    // While another exchange waits, a change only moves the range; the view asks later.
    source.requests.clear();
    source.busy = true;
    Set(kView + "dotSamples", 2);
    EXPECT_EQ(Raw(kView + "viewRangeUp"), 472);
    EXPECT_TRUE(source.requests.empty());
    source.busy = false;
    ASSERT_TRUE(view->RequestWaveData());
    EXPECT_EQ(source.requests[0].perPoint, 2);
}

TEST_F(WaveControls, MonoDrawsOneLaneAndStereoTwo) {
    for (auto [state, lanes] : {std::pair{0, 1}, {1, 2}, {2, 2}, {3, 1}}) {
        Set(kView + "sampleState", state);
        EXPECT_EQ(view->Lanes().size(), static_cast<size_t>(lanes)) << state;
    }
    Set(kView + "sampleState", 1);
    view->RequestWave(10, 2, 0, 1);
    fills.clear();
    CTavDrawInfo info;
    view->Draw(info);
    // Two lanes of frame and centre line; a column per point and channel; three markers.
    EXPECT_EQ(Count(CTavWaveDrawControl::kLaneColor), 10);
    EXPECT_EQ(Count(CTavWaveDrawControl::kWaveColor), 2 * 236);
    EXPECT_EQ(Count(CTavWaveDrawControl::kMarkerColor), 6); // line and flag each
    const std::vector<TavRect> lanes = view->Lanes();
    EXPECT_EQ(lanes[0].bottom, lanes[1].top);
    EXPECT_EQ(view->ValueToY(32767, lanes[1]), lanes[1].top);
    EXPECT_EQ(view->ValueToY(-32767, lanes[1]), lanes[1].bottom - 1);
    Set(kView + "dataScale", 4);
    EXPECT_EQ(view->ValueToY(16000, lanes[0]), lanes[0].top); // clipped to the lane
}

TEST_F(WaveControls, DraggingAMarkerMovesItToTheFrameUnderTheMouse) {
    view->RequestWave(10, 2, 0, 1);
    // Frame 100 sits at 10 + 100 * 235 / 236; x 110 maps back to the first frame drawn there.
    EXPECT_EQ(view->FrameToX(100), 109);
    EXPECT_EQ(view->FrameToX(101), 110);
    Drag({view->FrameToX(100), 30}, {110, 30});
    Drag({view->FrameToX(200) + 2, 30}, {150, 30});
    Drag({60, 30}, {70, 30}); // near no marker
    EXPECT_EQ(source.log, (std::vector<std::string>{"marker 1 101", "marker 2 141"}));
}

TEST_F(WaveControls, ChopPointsAreAddedMovedAndDeleted) {
    chop->RequestWave(10, 2, 0, 1);
    const auto x = [this](int64_t frame) { return chop->FrameToX(frame); };
    const std::string mode = "vs.sampleEdit.modify.chop.edit.mode", current = "vs.sampleEdit.modify.chop.edit.currentChopId";
    SetChops({20, 120});
    Set(mode, 1);
    Click({x(60), 90});
    EXPECT_EQ(source.chops, (std::vector<int64_t>{20, 60, 120}));
    EXPECT_EQ(Raw(current), 1);
    Set(mode, 0);
    Drag({x(120), 90}, {x(200), 90});
    EXPECT_EQ(source.chops, (std::vector<int64_t>{20, 60, 200}));
    EXPECT_EQ(Raw(current), 2);
    // Deleting the last point moves the current index to the new last one.
    Set(mode, 2);
    Click({x(200), 90});
    EXPECT_EQ(source.chops, (std::vector<int64_t>{20, 60}));
    EXPECT_EQ(Raw(current), 1);
    // A release outside deletes nothing; the sixteenth point is refused.
    Drag({x(20), 90}, {x(20), 250});
    SetChops({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 130, 140, 150});
    Set(mode, 1);
    source.log.clear();
    Click({x(125), 90});
    EXPECT_TRUE(source.log.empty());
    EXPECT_EQ(Raw("vs.sampleEdit.modify.chop.edit.chopPointCount"), 15);
}

TEST_F(WaveControls, AmpEnvelopeDragWritesAddressAndRateWithTheTip) {
    CTavSampleViewControl* amp = Find<CTavSampleViewControl>("amp");
    amp->RequestWave(10, 2, 0, 1);
    EXPECT_EQ(amp->Margin(), 2);
    const TavPoint p = amp->EnvelopePoint(0);
    Mouse(CTavMouseInfo::kPressed, p);
    Mouse(CTavMouseInfo::kMove, {amp->FrameToX(50), amp->PlotRect().top});
    EXPECT_EQ(Raw(kView + "R1"), 200);
    EXPECT_EQ(Raw(kView + "A1"), 50);
    EXPECT_TRUE(tipBar.shown);
    EXPECT_EQ(tipBar.lines, (std::vector<std::string>{"1: 50 / 200%"}));
    Mouse(CTavMouseInfo::kReleased, {p.x + 50, 0});
    EXPECT_FALSE(tipBar.shown);
}

TEST_F(WaveControls, OverviewBoxesTheVisibleRangeAndViewsRegisterWhileOpen) {
    auto* overview = Find<CTavOverviewControl>("overview");
    EXPECT_TRUE(overview->IsOverview());
    EXPECT_FALSE(view->IsOverview());
    EXPECT_EQ(source.views.size(), 4u);
    ASSERT_TRUE(overview->RequestWaveData());
    EXPECT_EQ(source.requests.back().perPoint, 424); // 100000 frames over 236 columns
    Set(kView + "dotSamples", 100);
    Set(kView + "viewRangeLo", 50000);
    const auto [left, right] = overview->RangeBox();
    EXPECT_EQ(left, overview->FrameToX(50000));
    EXPECT_EQ(right, overview->FrameToX(50000 + 23600));
    panel->Close();
    EXPECT_TRUE(source.views.empty());
}

TEST_F(WaveControls, ScaleButtonsStepThroughPowersOfTwo) {
    struct Case {
        int32_t value, step, expected;
    };
    for (const Case& c : {Case{6, 1, 16}, {6, -1, 4}, {1, -1, 1}, {3, 1, 8}, {32768, 1, 32768}, {48, -1, 32}})
        EXPECT_EQ(CTavScaleIncButton::NextPowerOfTwo(c.value, c.step, 1, 32768), c.expected) << c.value;
    Set(kView + "dotSamples", 6);
    source.log.clear();
    const TavRect in = Find<CTavControl>("zoomIn")->Rect();
    Mouse(CTavMouseInfo::kPressed, {in.left + 2, in.top + 2});
    EXPECT_EQ(Raw(kView + "dotSamples"), 16);
    EXPECT_EQ(tipBar.lines, (std::vector<std::string>{"1/16"}));
    Mouse(CTavMouseInfo::kReleased, {in.left + 2, in.top + 2});
    EXPECT_FALSE(tipBar.shown);
    EXPECT_EQ(source.log, (std::vector<std::string>{"refresh waves"}));
    Set(kView + "dataScale", 6);
    Click({Find<CTavControl>("zoomOut")->Rect().left + 2, 2});
    EXPECT_EQ(Raw(kView + "dataScale"), 4);
    EXPECT_EQ(tipBar.lines, (std::vector<std::string>{"4"}));
    EXPECT_EQ(source.log.size(), 1u); // no requestWave
}

TEST_F(WaveControls, ScrubScaleScrollAndWaveScrollHandTheirWorkToTheDeviceLayer) {
    const TavRect scrub = Find<CTavControl>("scrub")->Rect();
    Click({scrub.left + 1, scrub.top + 1});
    Set(kView + "scrubFrameId", 2);
    Click({scrub.left + 1, scrub.top + 1});
    EXPECT_EQ(Raw(kView + "scrubFrameId"), 2); // the scrub operation writes it, not the button
    const TavRect scale = Find<CTavControl>("scale")->Rect();
    Drag({scale.left + 10, scale.bottom - 10}, {scale.left + 10, scale.top + 5});
    EXPECT_EQ(Raw(kView + "dataScale"), 64);
    const TavRect scroll = Find<CTavControl>("scroll")->Rect();
    Drag({scroll.left + 2, scroll.top + 5}, {scroll.left + 100, scroll.top + 5});
    EXPECT_GT(Raw(kView + "viewRangeLo"), 0);
    EXPECT_EQ(source.log, (std::vector<std::string>{"scrub 2", "scrub 0", "refresh waves", "refresh"}));
}

TEST(WaveControlErrors, ConfigurationFailuresAreReported) {
    struct Case {
        const char* kind;
        std::string items;
        const char* message;
    };
    const std::string scale = "<position>0,0</position><size>20,120</size><valueRef>vs.sampleEdit.view.dataScale</valueRef>";
    const std::string button = "<position>0,0</position><bitmapRef>button</bitmapRef><valueRef>vs.sampleEdit.view.dataScale</valueRef>";
    const Case cases[] = {
        {"quasarSampleViewControl", "<mode>x</mode>", "wave draw view control main.c id is invalid. : x\n"},
        {"quasarOverviewControl", "<useTipBar>2</useTipBar>", "Use tip bar value must be 0 or 1. : main.c : 2\n"},
        {"quasarSampleViewControl", "<useTipBar>y</useTipBar>", "Use tip bar description is invalid. : main.c : y\n"},
        {"quasarScaleScroll", scale, "There is no bitmap reference for scale scroll. : main.c.\n"},
        {"quasarScaleScroll", scale + "<bitmapRef>none</bitmapRef>", "Unable to find bitmap for scale scroll. : main.c : none\n"},
        {"quasarScaleScroll", scale + "<bitmapRef>knob</bitmapRef><direction>2</direction>",
         "Direction must be 0 or 1 for scale scroll. : main.c : 2\n"},
        {"quasarScaleScroll", scale + "<bitmapRef>knob</bitmapRef><direction>z</direction>",
         "Direction is invalid for scale scroll. : main.c : z\n"},
        {"quasarScaleScroll", "<size>20,10</size><bitmapRef>knob</bitmapRef><valueRef>vs.sampleEdit.view.dataScale</valueRef>",
         "Knob height must be less than base height for scale scroll. : main.c\n"},
        {"quasarScaleScroll", "<size>10,120</size><direction>1</direction><bitmapRef>knob</bitmapRef><valueRef>vs.sampleEdit.view.dataScale</valueRef>",
         "Knob width must be less than base width for scale scroll. : main.c\n"},
        {"quasarScaleScroll", "<size>20,120</size><bitmapRef>knob</bitmapRef>", "Value references are necessary for scale scroll. : main.c.\n"},
        {"quasarScaleScroll", "<size>20,120</size><bitmapRef>knob</bitmapRef><valueRef>vs.sampleEdit.view.fixed</valueRef>",
         "Referred value range must be greater than 1 for scale scroll. : main.c\n"},
        {"quasarScaleIncButton", button + "<requestWave>2</requestWave>", "scale increment button request is invalid. : main.c : 2\n"},
        {"quasarWaveScrollIncButton", button + "<requestWave>x</requestWave>",
         "wave scroll increment button request is invalid. : main.c : x\n"},
        {"quasarScrubButton", "<bitmapRef>latch</bitmapRef>", "There is no value reference for scrub button control main.c.\n"},
        {"quasarScrubButton", "<bitmapRef>button</bitmapRef><valueRef>vs.sampleEdit.view.scrubFrameId</valueRef>",
         "Unable to create scrub button. : main.c"},
    };
    for (const Case& c : cases) {
        const std::string errors =
            test::CreationErrors(test::MainPanelScript(kValues, "400,200", Control(c.kind, "c", c.items)));
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.kind << " " << c.items << "\n" << errors;
    }
}

} // namespace
