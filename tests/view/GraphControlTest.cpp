// The envelope, fade range, bias and LFO controls built from a script: their pictures
// follow the values, random LFO curves hold still until the next refresh, and scripts
// that leave out or misstate what a control needs fail with the control's message.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/FakeResources.h"
#include "support/ModelFixture.h"
#include "view/CTavBiasControl.h"
#include "view/CTavEnvelopeControl.h"
#include "view/CTavFadeRangeControl.h"
#include "view/CTavLfoControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

const char* const kValues = R"(
<structType><type>Params</type><name>v</name><address>00 00</address>
  <value><name>l1</name><address>00</address><range>0,127</range><default>0</default></value>
  <value><name>l2</name><address>01</address><range>0,127</range><default>0</default></value>
  <value><name>l3</name><address>02</address><range>0,127</range><default>0</default></value>
  <value><name>t1</name><address>03</address><range>0,127</range><default>0</default></value>
  <value><name>t2</name><address>04</address><range>0,127</range><default>0</default></value>
  <value><name>t3</name><address>05</address><range>0,127</range><default>0</default></value>
  <value><name>t4</name><address>06</address><range>0,127</range><default>0</default></value>
  <value><name>lower</name><address>07</address><range>0,127</range><default>40</default></value>
  <value><name>upper</name><address>08</address><range>0,127</range><default>80</default></value>
  <value><name>fadeLower</name><address>09</address><range>0,127</range><default>10</default></value>
  <value><name>fadeUpper</name><address>0A</address><range>0,127</range><default>20</default></value>
  <value><name>level</name><address>0B</address><range>0,100</range><default>100</default></value>
  <value><name>position</name><address>0C</address><range>0,100</range><default>50</default></value>
  <value><name>direction</name><address>0D</address><range>0,4</range><default>2</default></value>
  <value><name>single</name><address>0E</address><range>3,3</range><default>3</default></value>
  <value><name>wave</name><address>0F</address><range>0,12</range><default>0</default></value>
  <value><name>rate</name><address>10</address><range>0,149</range><default>0</default></value>
  <value><name>offset</name><address>11</address><range>0,4</range><default>2</default></value>
  <value><name>delay</name><address>12</address><range>0,127</range><default>0</default></value>
  <value><name>mode</name><address>13</address><range>0,7</range><default>4</default></value>
  <value><name>fade</name><address>14</address><range>0,127</range><default>0</default></value>
</structType>
<structType><type>Root</type><name>p</name><address>00 00 00</address>
  <struct><type>Params</type></struct>
</structType>
<struct><type>Root</type></struct>
)";

const char* const kEnvelope = R"(<control><type>envelope</type><name>env</name><position>10,10</position>
  <size>102,52</size><L1ValueRef>p.v.l1</L1ValueRef><L2ValueRef>p.v.l2</L2ValueRef>
  <L3ValueRef>p.v.l3</L3ValueRef><T1ValueRef>p.v.t1</T1ValueRef><T2ValueRef>p.v.t2</T2ValueRef>
  <T3ValueRef>p.v.t3</T3ValueRef><T4ValueRef>p.v.t4</T4ValueRef></control>)";
const char* const kFadeRange = R"(<control><type>fadeRange</type><name>fr</name><position>10,70</position>
  <size>128,10</size><displayRange>0,128</displayRange><rangeLowerValueRef>p.v.lower</rangeLowerValueRef>
  <rangeUpperValueRef>p.v.upper</rangeUpperValueRef><fadeWidthLowerValueRef>p.v.fadeLower</fadeWidthLowerValueRef>
  <fadeWidthUpperValueRef>p.v.fadeUpper</fadeWidthUpperValueRef></control>)";
const char* const kBias = R"(<control><type>bias</type><name>b</name><position>150,10</position>
  <size>102,52</size><levelValueRef>p.v.level</levelValueRef><positionValueRef>p.v.position</positionValueRef>
  <directionValueRef>p.v.direction</directionValueRef></control>)";
const char* const kLfo = R"(<control><type>lfo</type><name>l</name><position>150,70</position>
  <size>182,42</size><waveFormValueRef>p.v.wave</waveFormValueRef><rateValueRef>p.v.rate</rateValueRef>
  <offsetValueRef>p.v.offset</offsetValueRef><delayTimeValueRef>p.v.delay</delayTimeValueRef>
  <fadeModeValueRef>p.v.mode</fadeModeValueRef><fadeTimeValueRef>p.v.fade</fadeTimeValueRef></control>)";

std::string Script(const std::string& controls) {
    return std::string(kValues) + "<panelType><type>Main</type><name>main</name><size>400,200</size>" + controls +
           "</panelType><panel><type>Main</type><name>main</name></panel>";
}

class GraphControlTest : public test::ModelFixture {
protected:
    void SetUp() override {
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        ASSERT_NO_FATAL_FAILURE(Build(Script(std::string(kEnvelope) + kFadeRange + kBias + kLfo)));
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
        envelope = Find<CTavEnvelopeControl>("main.env");
        fadeRange = Find<CTavFadeRangeControl>("main.fr");
        bias = Find<CTavBiasControl>("main.b");
        lfo = Find<CTavLfoControl>("main.l");
        ASSERT_TRUE(envelope && fadeRange && bias && lfo);
    }
    template <typename Control> Control* Find(const char* path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl(path, view)) << path;
        return dynamic_cast<Control*>(view);
    }
    void Set(const std::string& name, int32_t raw) { TavSetValueInteger(Buffers(), Value("p.v." + name), raw); }

    CTavRootPanel* panel = nullptr;
    CTavEnvelopeControl* envelope = nullptr;
    CTavFadeRangeControl* fadeRange = nullptr;
    CTavBiasControl* bias = nullptr;
    CTavLfoControl* lfo = nullptr;
};

} // namespace

TEST_F(GraphControlTest, EnvelopeWithoutL0AndL4StartsAndEndsOnTheBottomLineAndFollowsItsValues) {
    EXPECT_EQ(envelope->GetKind(), "envelope");
    EXPECT_EQ(envelope->RoleRef(CTavEnvelopeControl::kL0), -1);
    EXPECT_EQ(envelope->RoleRef(CTavEnvelopeControl::kL4), -1);
    EXPECT_EQ(envelope->RoleRef(CTavEnvelopeControl::kL1), 0);
    EXPECT_EQ(envelope->RoleRef(CTavEnvelopeControl::kT4), 6);

    Set("l1", 127);
    Set("l2", 64);
    Set("l3", 32);
    Set("t1", 127);
    Set("t2", 64);
    Set("t3", 32);
    Set("t4", 100);
    // The rectangle is at (10, 10): the points of a 102 x 52 envelope moved by 10.
    const std::array<TavPoint, 7> expected = {
        {{11, 60}, {30, 11}, {40, 35}, {45, 48}, {65, 48}, {80, 60}, {110, 60}}};
    EXPECT_EQ(envelope->Points(), expected);

    // Moving the control works the picture out again.
    envelope->SetRect({0, 0, 102, 52});
    EXPECT_EQ(envelope->Points()[1], (TavPoint{20, 1}));
}

TEST_F(GraphControlTest, FadeRangeZonesFollowTheValuesAndTheDisplayLowerLeavesNoLeftZones) {
    EXPECT_EQ(fadeRange->DisplayLower(), 0);
    EXPECT_EQ(fadeRange->DisplayUpper(), 128);
    ASSERT_TRUE(fadeRange->HasZones());
    const std::array<TavRect, 5> mid = {TavRect{10, 70, 40, 80}, TavRect{40, 70, 49, 80}, TavRect{49, 70, 90, 80},
                                        TavRect{90, 70, 110, 80}, TavRect{110, 70, 138, 80}};
    EXPECT_EQ(fadeRange->Zones(), mid);

    Set("lower", 0);
    EXPECT_TRUE(fadeRange->Zones()[kTavFadeBelow].IsEmpty());
    EXPECT_TRUE(fadeRange->Zones()[kTavFadeLower].IsEmpty());
    EXPECT_EQ(fadeRange->Zones()[kTavFadeRange], (TavRect{10, 70, 90, 80}));
}

TEST_F(GraphControlTest, BiasFollowsDirectionLevelAndPosition) {
    // Level 100 of 0 ... 100, centre at position 50: both sides up (direction 2).
    EXPECT_EQ(bias->Points(), (std::array<TavPoint, 3>{{{151, 11}, {200, 35}, {250, 11}}}));
    Set("direction", 3);
    EXPECT_EQ(bias->Points(), (std::array<TavPoint, 3>{{{151, 59}, {200, 35}, {250, 11}}}));
    Set("direction", 4);
    EXPECT_EQ(bias->Points(), (std::array<TavPoint, 3>{{{0, 0}, {200, 35}, {0, 0}}}));
    Set("direction", 1);
    Set("position", 0);
    Set("level", 0);
    EXPECT_EQ(bias->Points(), (std::array<TavPoint, 3>{{{151, 35}, {151, 35}, {201, 60}}}));
    EXPECT_TRUE(bias->HasCurve());
}

TEST_F(GraphControlTest, LfoReadsItsSixValuesInOrder) {
    for (int role = 0; role < CTavLfoControl::kRoleCount; ++role)
        EXPECT_EQ(lfo->RoleRef(role), role);
    EXPECT_EQ(lfo->Picture().period, 80);
    Set("rate", 148);
    EXPECT_EQ(lfo->Picture().period, 47);
    Set("rate", 128);
    EXPECT_EQ(lfo->Picture().period, 5);
    Set("wave", 11);
    EXPECT_TRUE(lfo->Picture().curve.empty());
    Set("wave", 4);
    EXPECT_EQ(lfo->Picture().curve.size(), 180u);
}

TEST_F(GraphControlTest, SampleAndHoldStaysPutUntilTheNextRefresh) {
    lfo->Random().seed(11);
    Set("wave", CTavLfoControl::kSampleHold);
    const std::vector<TavPoint> first = lfo->Picture().curve;
    ASSERT_EQ(first.size(), 180u);

    CTavDrawInfo paint;
    lfo->Draw(paint);
    lfo->Draw(paint);
    panel->Draw(paint);
    EXPECT_EQ(lfo->Picture().curve, first) << "painting draws the stored curve";
    Set("delay", 5); // another value of the control changes: rebuilt
    EXPECT_NE(lfo->Picture().curve, first);

    // The same seed gives the same steps again.
    lfo->Random().seed(11);
    Set("delay", 0);
    EXPECT_EQ(lfo->Picture().curve, first);
}

namespace {

struct BadScript {
    const char* what;
    std::string controls;
    std::string message;
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(GraphControlMessages, ScriptsThatMisstateAControlFailWithItsMessage) {
    const std::string env = kEnvelope, fr = kFadeRange, b = kBias, l = kLfo;
    const BadScript cases[] = {
        {"envelope without L2 and T3",
         Replace(Replace(env, "<L2ValueRef>p.v.l2</L2ValueRef>", ""), "<T3ValueRef>p.v.t3</T3ValueRef>", ""),
         "There is no value reference L2, T3 for envelope control main.env.\n"},
        {"envelope naming no value", Replace(env, "p.v.l1<", "p.v.nothing<"), "Unable to create envelope control main.env.\n"},
        {"display range not a pair", Replace(fr, "0,128", "wide"),
         "Display range is invalid for fade range. : main.fr :wide\n"},
        {"display range below 0", Replace(fr, "0,128", "-1,10"),
         "Display range lower is invalid for fade range. : main.fr : -1,10\n"},
        {"display range reversed", Replace(fr, "0,128", "20,10"),
         "Display range lower is invalid for fade range. : main.fr : 20,10\n"},
        {"display range past 128", Replace(fr, "0,128", "0,129"),
         "Display range upper is invalid for fade range. : main.fr : 0,129\n"},
        {"fade range without its upper", Replace(fr, "<rangeUpperValueRef>p.v.upper</rangeUpperValueRef>", ""),
         "Either or both of range value references are not defined for fade range. : main.fr\n"},
        {"fade range with one fade width",
         Replace(fr, "<fadeWidthUpperValueRef>p.v.fadeUpper</fadeWidthUpperValueRef>", ""),
         "Either of fade width value references is not defined for fade range. : main.fr\n"},
        {"fade range naming no value", Replace(fr, "p.v.lower<", "p.v.nothing<"),
         "Unable to create fade range control. : main.fr\n"},
        {"bias without direction", Replace(b, "<directionValueRef>p.v.direction</directionValueRef>", ""),
         "There is no value reference for bias control main.b.\n"},
        {"bias with a fourth value", Replace(b, "</control>", "<valueRef>p.v.wave</valueRef></control>"),
         "There is no value reference for bias control main.b.\n"},
        {"bias position of one value", Replace(b, "p.v.position<", "p.v.single<"),
         "Position value for bias control main.b must have some range.\n"},
        {"bias level of one value", Replace(b, "p.v.level<", "p.v.single<"),
         "Level value for bias control main.b must have some range.\n"},
        {"bias without width", Replace(b, "102,52", "0,52"), "Rectangle width for bias control main.b can not be 0.\n"},
        {"bias naming no value", Replace(b, "p.v.level<", "p.v.nothing<"), "Unable to create bias control main.b.\n"},
        {"lfo without fade time", Replace(l, "<fadeTimeValueRef>p.v.fade</fadeTimeValueRef>", ""),
         "There is no value reference for bias control main.l.\n"},
        {"lfo naming no value", Replace(l, "p.v.rate<", "p.v.nothing<"), "Unable to create bias control main.l.\n"},
    };
    for (const BadScript& c : cases) {
        SCOPED_TRACE(c.what);
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(c.controls))) << system.ErrorText();
        EXPECT_FALSE(system.CreateManagers());
        EXPECT_NE(system.ErrorText().find(c.message), std::string::npos) << system.ErrorText();
    }
}

TEST(GraphControlMessages, AWellFormedControlOfEachKindBuilds) {
    for (const char* control : {kEnvelope, kFadeRange, kBias, kLfo}) {
        CTavSystem system;
        system.SetResourceFactory(std::make_unique<test::FakeResources>());
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.AttachErrorOutputToManagers();
        ASSERT_TRUE(system.ReadScript(Script(control))) << system.ErrorText();
        EXPECT_TRUE(system.CreateManagers()) << system.ErrorText();
    }
}
