// The device's and the sibling's LFO pictures and the indicator, built from a script: the
// step levels and the added shapes, the step values bound by one "%d" path, the varying
// sine from a seeded source, the markers and the drawing order, and the messages.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "device/CTavDeviceLfoControls.h"
#include "device/CTavIndicatorControl.h"
#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using Rgb16 = CTavGraphDrawer::Rgb16;

// The drawer's calls as text, in order.
class RecordingDrawer : public CTavGraphDrawer {
public:
    explicit RecordingDrawer(std::vector<std::string>& log) : m_log(log) {}
    void FillRect(CTavDrawInfo&, const TavRect&, Rgb16 c) override { m_log.push_back("fill " + Text(c)); }
    void Polyline(CTavDrawInfo&, const std::vector<TavPoint>&, int32_t width, Rgb16 c) override {
        m_log.push_back("curve " + std::to_string(width) + " " + Text(c));
    }
    void LineTo(CTavDrawInfo&, TavPoint to, int32_t, Rgb16 c) override {
        m_log.push_back("line " + std::to_string(to.x) + " " + Text(c));
    }

private:
    static std::string Text(Rgb16 c) {
        return std::to_string(c.r >> 8) + "," + std::to_string(c.g >> 8) + "," + std::to_string(c.b >> 8);
    }
    std::vector<std::string>& m_log;
};

class Resources : public test::FakeResources {
public:
    explicit Resources(std::vector<std::string>& log) : m_log(log) {}
    std::unique_ptr<CTavGraphDrawer> CreateGraphDrawer() override { return std::make_unique<RecordingDrawer>(m_log); }

private:
    std::vector<std::string>& m_log;
};

// The parameters, then step[0] = 100, step[1] = 28 and the other steps at 64 (level 0).
const char* const kParams = R"(
<bitmap><name>lamp</name><stateCount>4</stateCount></bitmap>
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>wave</name><address>00</address><range>0,15</range><default>12</default></value>
  <value><name>rate</name><address>01</address><range>0,149</range><default>0</default></value>
  <value><name>offset</name><address>02</address><range>0,4</range><default>2</default></value>
  <value><name>delay</name><address>03</address><range>0,127</range><default>127</default></value>
  <value><name>mode</name><address>04</address><range>0,7</range><default>4</default></value>
  <value><name>fade</name><address>05</address><range>0,127</range><default>0</default></value>
  <value><name>stepType</name><address>06</address><range>0,2</range><default>0</default></value>)";
const char* const kRoot = R"(</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address><struct><type>Params</type></struct></structType>
<struct><type>Root</type></struct>
)";

const std::string kCommon = "<size>182,42</size><waveformValueRef>p.v.wave</waveformValueRef>"
                            "<rateValueRef>p.v.rate</rateValueRef><offsetValueRef>p.v.offset</offsetValueRef>"
                            "<delayTimeValueRef>p.v.delay</delayTimeValueRef>"
                            "<fadeModeValueRef>p.v.mode</fadeModeValueRef><fadeTimeValueRef>p.v.fade</fadeTimeValueRef>";
const std::string kDevice = "<control><type>quasarLfoControl</type><name>q</name><position>0,0</position>" + kCommon +
                            "<stepTypeValueRef>p.v.stepType</stepTypeValueRef>"
                            "<stepValueRef>p.v.step[%d]</stepValueRef><move>2</move></control>";
const std::string kSibling = "<control><type>valeLfoControl</type><name>w</name><position>0,50</position>" + kCommon +
                             "</control>";
const std::string kIndicator = "<control><type>valeIndicator</type><name>i</name><position>200,0</position>"
                               "<valueRef>p.v.offset</valueRef><bitmapRef>lamp</bitmapRef></control>";

std::string Script(const std::string& controls) {
    std::string steps;
    for (int step = 0; step < 16; ++step)
        steps += "<value><name>step[" + std::to_string(step) + "]</name><address>" + std::to_string(20 + step) +
                 "</address><range>0,127</range><default>" + std::to_string(step > 1 ? 64 : 100 - 72 * step) +
                 "</default></value>";
    return test::MainPanelScript(kParams + steps + kRoot, "400,100", controls);
}

// The plot of a 182 x 42 control at (0, 0): centre 21, amplitude -10 pixels, period 80.
constexpr int32_t kCentre = 21, kAmplitude = -10;

class DeviceLfo : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<Resources>(log));
        ASSERT_NO_FATAL_FAILURE(Build(Script(kDevice + kSibling + kIndicator)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        CTavView* view = nullptr;
        CTavRootPanel* panel = system.ViewManager().FindRootPanel("main");
        ASSERT_TRUE(panel->FindControl("main.q", view));
        device = dynamic_cast<Brio::CTavLfoControl*>(view);
        ASSERT_TRUE(panel->FindControl("main.w", view));
        sibling = dynamic_cast<Vale::CTavLfoControl*>(view);
        ASSERT_TRUE(panel->FindControl("main.i", view));
        indicator = dynamic_cast<Vale::CTavIndicatorControl*>(view);
        ASSERT_TRUE(device && sibling && indicator);
    }
    void Set(const std::string& name, int32_t raw) { TavSetValueInteger(Buffers(), Value("p.v." + name), raw); }

    std::vector<std::string> log;
    Brio::CTavLfoControl* device = nullptr;
    Vale::CTavLfoControl* sibling = nullptr;
    Vale::CTavIndicatorControl* indicator = nullptr;
};

TEST(DeviceLfoShapes, StepLevelsAndShapes) {
    for (const auto& [raw, level] : std::vector<std::pair<int32_t, double>>{{64, 0}, {100, 1}, {28, -1}, {127, 1.75}})
        EXPECT_DOUBLE_EQ(Brio::TavLfoStepLevel(raw), level) << raw;
    Brio::TavLfoSteps steps;
    steps.fill(64);
    steps[0] = 100;
    steps[1] = 28;
    steps[15] = 28;
    struct Case {
        int64_t type;
        double d, level;
    };
    for (const Case& c : std::vector<Case>{{0, 0, 1}, {0, 1.5 / 16, -1}, {0, 2.0 / 16, 0}, {1, 0.5 / 16, 0},
                                           {1, 1.25 / 16, -0.75}, {1, 15.5 / 16, 0}, {1, 15.75 / 16, 0.5}})
        EXPECT_DOUBLE_EQ(*Brio::TavLfoStepShape(steps, c.type, c.d), c.level) << c.type << " " << c.d;
    EXPECT_FALSE(Brio::TavLfoStepShape(steps, 2, 0.5));
    for (const auto& [draw, height] : std::vector<std::pair<uint32_t, double>>{{0, 0}, {100, 1}, {101, 0}, {150, 0.49}})
        EXPECT_DOUBLE_EQ(TavLfoCycleHeight(draw), height) << draw;
}

TEST(DeviceLfoShapes, SiblingShapes) {
    struct Case {
        double (*shape)(double);
        double u, value;
    };
    for (const Case& c : std::vector<Case>{{Vale::TavLfoXSin, 0.25, 1}, {Vale::TavLfoXSin, 0.75, -1},
                                           {Vale::TavLfoXSin, 1.0 / 12, 0.25}, {Vale::TavLfoTwm, 0, 0},
                                           {Vale::TavLfoStairs, 0, -1}, {Vale::TavLfoStairs, 0.3, -1.0 / 3},
                                           {Vale::TavLfoStairs, 1.99, 1}, {Vale::TavLfoMorphing, 0.25, 1},
                                           {Vale::TavLfoMorphing, 2.125, 0.46875 * std::sqrt(0.5) + 0.53125 * 0.5}})
        EXPECT_NEAR(c.shape(c.u), c.value, 1e-12) << c.u;
    double peak = 0;
    for (int i = 0; i < 1000; ++i)
        peak = std::max(peak, Vale::TavLfoTwm(i / 1000.0));
    EXPECT_NEAR(peak, 1, 1e-4);
}

TEST_F(DeviceLfo, DeviceControlReadsItsRolesStepsAndMove) {
    for (int role = 0; role <= Brio::CTavLfoControl::kStepType; ++role)
        EXPECT_EQ(device->RoleRef(role), role);
    EXPECT_EQ(device->Steps()[0], 100);
    EXPECT_EQ(device->Steps()[1], 28);
    EXPECT_EQ(device->Move(), 2);
    // Square steps: step 0 over the first 10 pixels (16 steps over two periods of 80).
    ASSERT_FALSE(device->Picture().curve.empty());
    EXPECT_EQ(device->Picture().curve[0].y, kCentre + kAmplitude);
    EXPECT_EQ(device->Picture().curve[10].y, kCentre - kAmplitude);
    Set("step[0]", 64);
    EXPECT_EQ(device->Picture().curve[0].y, kCentre);
    Set("stepType", 2); // no step shape
    EXPECT_TRUE(device->Picture().curve.empty());
    EXPECT_EQ(device->Markers(), (std::array<int32_t, 3>{1, 81, 81}));
}

TEST_F(DeviceLfo, VaryingSineTakesEachCyclesHeightFromTheSource) {
    for (CTavLfoControl* control : {static_cast<CTavLfoControl*>(device), static_cast<CTavLfoControl*>(sibling)}) {
        control->Random().seed(7);
        Set("wave", 11);
        CTavLfoControl::RandomEngine same(7);
        const double first = TavLfoCycleHeight(static_cast<uint32_t>(same()));
        const double second = TavLfoCycleHeight(static_cast<uint32_t>(same()));
        // The crests of the first two cycles, a quarter period into each.
        const int32_t centre = control->Rect().top + kCentre;
        EXPECT_EQ(control->Picture().curve[20].y, std::lround(centre + kAmplitude * first));
        EXPECT_EQ(control->Picture().curve[100].y, std::lround(centre + kAmplitude * second));
        Set("wave", 0);
    }
}

TEST_F(DeviceLfo, SiblingDrawsItsOwnShapesAndNoneBeyond) {
    Set("wave", Vale::CTavLfoControl::kStairs);
    ASSERT_FALSE(sibling->Picture().curve.empty());
    EXPECT_EQ(sibling->Picture().curve[0].y, 50 + kCentre - kAmplitude); // the lowest stair
    Set("wave", 15);
    EXPECT_FALSE(sibling->Picture().curve.empty());
    EXPECT_TRUE(device->Picture().curve.empty()); // the device has no waveform 15
}

TEST_F(DeviceLfo, DrawsFillMarkersThenTheCurveOverItsGlow) {
    CTavDrawInfo info;
    log.clear();
    device->Draw(info);
    const std::vector<std::string> drawn = {"fill 43,19,88",   "line 180 222,0,255", "line 1 222,0,255",
                                            "line 81 222,0,255", "line 81 222,0,255", "curve 3 30,89,128",
                                            "curve 1 0,255,222"};
    EXPECT_EQ(log, drawn);
}

TEST_F(DeviceLfo, IndicatorShowsTheFrameOfItsValue) {
    EXPECT_EQ(indicator->GetKind(), "valeIndicator");
    EXPECT_EQ(indicator->Frame(), 2);
    Set("offset", 4); // beyond the last frame
    EXPECT_EQ(indicator->Frame(), 3);
}

TEST(DeviceLfoBuild, AControlLackingAValueFailsWithItsMessage) {
    std::string noStep = kDevice;
    noStep.replace(noStep.find("<stepValueRef>"), std::string("<stepValueRef>p.v.step[%d]</stepValueRef>").size(),
                   "<stepValueRef>p.v.step[0]</stepValueRef>");
    std::string noRate = kSibling;
    noRate.replace(noRate.find("<rateValueRef>"), std::string("<rateValueRef>p.v.rate</rateValueRef>").size(), "");
    for (const auto& [controls, text] :
         std::vector<std::pair<std::string, std::string>>{{noStep, "There is no value reference for LFO control main.q.\n"},
                                                          {noRate, "There is no value reference for LFO control main.w.\n"}}) {
        std::vector<std::string> log;
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<Resources>(log));
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(controls)));
        EXPECT_FALSE(system.CreateManagers());
        EXPECT_NE(system.ErrorText().find(text), std::string::npos) << system.ErrorText();
    }
}

} // namespace
