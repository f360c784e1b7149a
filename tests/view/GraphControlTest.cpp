// The envelope, fade range, bias and LFO controls built from a script: their pictures
// follow the values, random LFO curves hold still until the next refresh, and scripts
// that leave out or misstate what a control needs fail with the control's message.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/FakeResources.h"
#include "support/GraphScript.h"
#include "support/ModelFixture.h"
#include "view/CTavBiasControl.h"
#include "view/CTavEnvelopeControl.h"
#include "view/CTavFadeRangeControl.h"
#include "view/CTavLfoControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

using test::graph::kBias;
using test::graph::kEnvelope;
using test::graph::kFadeRange;
using test::graph::kLfo;
using test::graph::Script;

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
