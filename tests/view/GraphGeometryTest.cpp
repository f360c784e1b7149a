// The pictures of the envelope, fade range, bias and LFO controls as plain arithmetic:
// points and zones for given rectangles and values, the LFO's rate, period, waveforms and
// fader, and the degenerate inputs that must neither divide by zero nor crash.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "view/CTavGraphControl.h"
#include "view/CTavLfoControl.h"
#include "view/TavGraphGeometry.h"

namespace {

using Lfo = CTavLfoControl;

TavRatio R(int64_t index, int64_t count) {
    return TavRatio::Of(index, count);
}

struct EnvelopeCase {
    const char* what;
    TavRect rect;
    std::array<TavRatio, 5> levels;
    std::array<TavRatio, 4> times;
    std::array<TavPoint, 7> points;
};

} // namespace

TEST(GraphGeometry, RatiosKeepTheIndexInsideACountOfAtLeastOne) {
    EXPECT_EQ(R(5, 10), (TavRatio{5, 10}));
    EXPECT_EQ(R(12, 10), (TavRatio{9, 10}));
    EXPECT_EQ(R(-3, 10), (TavRatio{0, 10}));
    EXPECT_EQ(R(4, 0), (TavRatio{0, 1}));
    EXPECT_EQ(R(4, -2), (TavRatio{0, 1}));
    EXPECT_EQ(TavRatio::Of(nullptr), (TavRatio{0, 1}));
}

TEST(GraphGeometry, EnvelopeTimesAreFifthsOfTheWidthAndLevelsRiseFromTheBottomLine) {
    const TavRect r{0, 0, 102, 52}; // 100 x 50 inside the margins
    const TavRatio none = R(0, 1);
    const EnvelopeCase cases[] = {
        {"all missing: flat on the bottom line, sustain a fifth wide",
         r,
         {none, none, none, none, none},
         {none, none, none, none},
         {{{1, 50}, {1, 50}, {1, 50}, {1, 50}, {21, 50}, {21, 50}, {100, 50}}}},
        {"no L0 and L4: starts and ends on the bottom line",
         r,
         {none, R(127, 128), R(64, 128), R(32, 128), none},
         {R(127, 128), R(64, 128), R(32, 128), R(100, 128)},
         {{{1, 50}, {20, 1}, {30, 25}, {35, 38}, {55, 38}, {70, 50}, {100, 50}}}},
        {"L0 and L4 given",
         r,
         {R(1, 2), R(0, 10), R(0, 10), R(0, 10), R(3, 4)},
         {R(1, 2), R(1, 2), R(1, 2), R(1, 2)},
         {{{1, 25}, {11, 50}, {21, 50}, {31, 50}, {51, 50}, {61, 13}, {100, 13}}}},
        {"offset rectangle",
         {10, 20, 112, 72},
         {none, R(1, 2), R(1, 2), R(1, 2), none},
         {none, none, none, none},
         {{{11, 70}, {11, 45}, {11, 45}, {11, 45}, {31, 45}, {31, 70}, {110, 70}}}},
        {"a pixel: no room for the margins, nothing divides by zero",
         {10, 10, 11, 11},
         {R(5, 9), R(5, 9), R(5, 9), R(5, 9), R(5, 9)},
         {R(5, 9), R(5, 9), R(5, 9), R(5, 9)},
         {{{11, 9}, {11, 9}, {11, 9}, {11, 9}, {11, 9}, {11, 9}, {9, 9}}}},
    };
    for (const EnvelopeCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(TavEnvelopePoints(c.rect, c.levels, c.times), c.points);
    }
}

TEST(GraphGeometry, FadeRangeZonesFollowTheDisplayRangeAndStayInside) {
    struct Case {
        const char* what;
        TavRect rect;
        int64_t d1, d2, r1, r2, f1, f2;
        std::array<int32_t, 4> xs; // a, b, c, d
    };
    const Case cases[] = {
        {"mid range with fade zones", {0, 0, 128, 10}, 0, 128, 40, 80, 10, 20, {30, 39, 80, 100}},
        {"range at the display lower: no grey, no fade on the left", {0, 0, 128, 10}, 0, 128, 0, 80, 10, 0,
         {0, 0, 80, 80}},
        {"range at the display upper: the upper fade is cut", {0, 0, 128, 10}, 0, 128, 40, 128, 0, 5,
         {40, 39, 128, 128}},
        {"scaled onto 100 pixels", {10, 0, 110, 10}, 0, 127, 64, 100, 0, 0, {60, 59, 88, 88}},
        {"values beyond the display range are held at the edges", {10, 0, 110, 10}, 0, 127, -20, 300, 7, 9,
         {10, 10, 110, 110}},
        {"a range above the display range", {0, 0, 128, 10}, 0, 64, 100, 120, 0, 0, {128, 128, 128, 128}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<TavRect, 5> zones{};
        ASSERT_TRUE(TavFadeRangeZones(c.rect, c.d1, c.d2, c.r1, c.r2, c.f1, c.f2, zones));
        const int32_t left = c.rect.left, right = c.rect.right, t = c.rect.top, b = c.rect.bottom;
        const auto [a, bb, cc, d] = c.xs;
        const std::array<TavRect, 5> expected = {TavRect{left, t, a, b}, TavRect{a, t, bb, b},
                                                 TavRect{bb, t, cc, b}, TavRect{cc, t, d, b},
                                                 TavRect{d, t, right, b}};
        EXPECT_EQ(zones, expected);
    }
    std::array<TavRect, 5> zones{};
    EXPECT_FALSE(TavFadeRangeZones({0, 0, 128, 10}, 50, 50, 10, 20, 0, 0, zones)) << "empty display range";
    EXPECT_FALSE(TavFadeRangeZones({0, 0, 128, 10}, 60, 50, 10, 20, 0, 0, zones)) << "reversed display range";
    EXPECT_TRUE(TavFadeRangeZones({5, 0, 5, 10}, 0, 127, 10, 20, 0, 0, zones)) << "zero width";
    EXPECT_EQ(zones[kTavFadeRange], (TavRect{5, 0, 5, 10}));
}

TEST(GraphGeometry, BiasDirectionsSlopeOneSideTheOtherBothOrStraightThrough) {
    // 102 x 52: x 1 ... 100 and y 1 ... 50 in whole pixels, centre (50, 25) at position 50 of 101.
    const TavRect r{0, 0, 102, 52};
    struct Case {
        const char* what;
        TavRatio position, level;
        int64_t direction;
        std::array<TavPoint, 3> points;
    };
    const Case cases[] = {
        {"0: left side rises to the top", R(50, 101), R(100, 101), 0, {{{1, 1}, {50, 25}, {100, 25}}}},
        {"1: right side rises to the top", R(50, 101), R(100, 101), 1, {{{1, 25}, {50, 25}, {100, 1}}}},
        {"2: symmetric inverted V", R(50, 101), R(100, 101), 2, {{{1, 1}, {50, 25}, {100, 1}}}},
        {"2: symmetric V", R(50, 101), R(0, 101), 2, {{{1, 49}, {50, 25}, {100, 49}}}},
        {"3: one straight line through the centre", R(50, 101), R(100, 101), 3, {{{1, 49}, {50, 25}, {100, 1}}}},
        {"middle level: flat", R(50, 101), R(50, 101), 3, {{{1, 25}, {50, 25}, {100, 25}}}},
        {"4: the ends go to the origin", R(50, 101), R(100, 101), 4, {{{0, 0}, {50, 25}, {0, 0}}}},
        {"steep: stops on the bottom edge", R(0, 101), R(0, 101), 1, {{{1, 25}, {1, 25}, {51, 50}}}},
        {"steep: stops on the top edge", R(0, 101), R(100, 101), 1, {{{1, 25}, {1, 25}, {51, 1}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<TavPoint, 3> points{};
        ASSERT_TRUE(TavBiasPoints(r, c.position, c.level, c.direction, points));
        EXPECT_EQ(points, c.points);
    }

    std::array<TavPoint, 3> points{};
    EXPECT_FALSE(TavBiasPoints(r, R(0, 1), R(5, 10), 3, points)) << "position without range";
    EXPECT_FALSE(TavBiasPoints(r, R(5, 10), R(0, 1), 3, points)) << "level without range";
    for (const TavRect& tiny : {TavRect{0, 0, 0, 52}, TavRect{0, 0, 3, 52}, TavRect{0, 0, 102, 2}})
        EXPECT_FALSE(TavBiasPoints(tiny, R(5, 10), R(5, 10), 3, points)) << tiny.right << "x" << tiny.bottom;
    EXPECT_TRUE(TavBiasPoints({0, 0, 4, 3}, R(1, 2), R(1, 2), 2, points)) << "smallest with room";
}

TEST(GraphGeometry, HugeRectanglesAndCountsStayInsideTheBoundedRectangle) {
    const TavRect huge{-2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000};
    const int32_t far = 1 << 20;
    const auto inside = [far](TavPoint p) { return std::abs(p.x) <= far && std::abs(p.y) <= far; };
    const TavRatio top = R(2'147'483'645, 2'147'483'646);

    for (const TavPoint& p : TavEnvelopePoints(huge, {top, top, top, top, top}, {top, top, top, top}))
        EXPECT_TRUE(inside(p)) << p.x << "," << p.y;
    for (int64_t direction = 0; direction < 5; ++direction) {
        std::array<TavPoint, 3> points{};
        ASSERT_TRUE(TavBiasPoints(huge, top, R(0, 2'147'483'646), direction, points));
        for (const TavPoint& p : points)
            EXPECT_TRUE(inside(p)) << direction << ": " << p.x << "," << p.y;
    }
    // A narrow, tall bias has the steepest slope there is.
    std::array<TavPoint, 3> steep{};
    ASSERT_TRUE(TavBiasPoints({0, -far, 4, far}, R(1, 2), R(0, 2'147'483'646), 3, steep));
    EXPECT_EQ(steep[1], (TavPoint{2, 0}));
    std::array<TavRect, 5> zones{};
    ASSERT_TRUE(TavFadeRangeZones(huge, 0, 128, 2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000, zones));
    for (const TavRect& zone : zones)
        EXPECT_TRUE(zone.left >= -far && zone.right <= far);
}

TEST(GraphGeometry, GlowMixesSevenTenthsBackgroundWithThreeTenthsCurve) {
    const CTavGraphControl::Rgb16 glow = CTavGraphControl::Glow(CTavGraphControl::kBackground, CTavGraphControl::kCurve);
    EXPECT_EQ(glow, (CTavGraphControl::Rgb16{7705, 22988, 32819}));
    EXPECT_EQ(CTavGraphControl::Glow({0xFFFF, 0, 100}, {0xFFFF, 0xFFFF, 0}), (CTavGraphControl::Rgb16{0xFFFF, 19660, 70}));
}

TEST(GraphGeometry, LfoRateFoldsNoteLengthsAndThePeriodIsAtLeastFourPixels) {
    const std::pair<int64_t, int64_t> rates[] = {{0, 0}, {64, 64}, {127, 127}, {128, 127}, {148, 6}, {149, 0},
                                                 {160, -66}};
    for (const auto& [rate, effective] : rates)
        EXPECT_EQ(Lfo::EffectiveRate(rate), effective) << rate;

    struct Case {
        int64_t effective, width, period;
    };
    const Case periods[] = {
        {0, 180, 80},  // 2 cycles per time unit
        {127, 180, 5}, // 32 cycles per time unit
        {6, 180, 47},
        {127, 40, 4},  // 1.1 pixels: drawn with 4
        {-66, 180, 4}, // no cycle rate at all
        {0, 0, 4},
        {0, -10, 4},
    };
    for (const Case& c : periods)
        EXPECT_EQ(Lfo::Period(c.effective, c.width), c.period) << c.effective << " over " << c.width;
}

TEST(GraphGeometry, LfoWaveformsFollowTheirFormulas) {
    // Amplitude -10 (up is negative y), period 8 pixels, offset 50.
    const Lfo::CShape shape{-10, 1.0 / 8, 0, 50};
    Lfo::RandomEngine random(1);
    struct Case {
        int64_t kind;
        std::vector<std::pair<double, double>> values; // x, value
    };
    const Case cases[] = {
        {Lfo::kSine, {{0, 50}, {2, 40}, {4, 50}, {6, 60}, {8, 50}}},
        {Lfo::kTriangle, {{0, 50}, {1, 45}, {2, 40}, {4, 50}, {6, 60}, {7, 55}}},
        {Lfo::kSawUp, {{0, 60}, {2, 55}, {4, 50}, {6, 45}, {8, 60}}},
        {Lfo::kSawDown, {{0, 40}, {2, 45}, {6, 55}, {8, 40}}},
        {Lfo::kSquare, {{0, 40}, {3, 40}, {4, 60}, {7, 60}, {8, 40}}},
        {Lfo::kBendUp, {{0, 60}, {4, 55}, {7.999, 50.00125}, {8, 50}, {20, 50}}},
        {Lfo::kBendDown, {{0, 40}, {4, 45}, {8, 50}, {20, 50}}},
        {Lfo::kTrapezoid, {{0, 50}, {1, 40}, {3, 40}, {4, 50}, {6, 60}, {7, 60}, {7.5, 55}, {8, 50}}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Lfo::IWaveForm> wave = Lfo::MakeWaveForm(c.kind, shape, random);
        ASSERT_NE(wave, nullptr) << c.kind;
        for (const auto& [x, value] : c.values)
            EXPECT_NEAR(wave->Value(x), value, 1e-9) << "kind " << c.kind << " at " << x;
    }
    // Every waveform is 0 left of its start; unknown kinds make none.
    const Lfo::CShape late{-10, 1.0 / 8, 10, 50};
    for (int64_t kind = Lfo::kSine; kind <= Lfo::kChaos; ++kind)
        EXPECT_EQ(Lfo::MakeWaveForm(kind, late, random)->Value(9.5), 0.0) << kind;
    EXPECT_EQ(Lfo::MakeWaveForm(11, shape, random), nullptr);
    EXPECT_EQ(Lfo::MakeWaveForm(-1, shape, random), nullptr);
}

TEST(GraphGeometry, LfoRandomWaveformsDrawHundredthsAndKeepWhatTheyDrew) {
    const Lfo::CShape shape{-100, 1.0 / 8, 0, 0};
    const auto isHundredth = [](double v) { return std::abs(v - std::round(v)) < 1e-9 && std::abs(v) <= 100; };

    Lfo::RandomEngine random(7);
    auto hold = Lfo::MakeWaveForm(Lfo::kSampleHold, shape, random);
    std::vector<double> steps;
    for (int k = 0; k < 20; ++k) {
        const double first = hold->Value(8.0 * k);
        EXPECT_TRUE(isHundredth(first)) << first;
        for (double x = 8.0 * k; x < 8.0 * (k + 1); x += 1)
            EXPECT_EQ(hold->Value(x), first) << "one level through step " << k;
        steps.push_back(first);
    }
    EXPECT_EQ(hold->Value(8.0 * 3), steps[3]) << "asked again: kept";
    EXPECT_GT(std::count_if(steps.begin(), steps.end(), [&](double v) { return v != steps[0]; }), 10);
    EXPECT_TRUE(std::isfinite(hold->Value(1e12))) << "far right: bounded";

    auto chain = Lfo::MakeWaveForm(Lfo::kRandom, shape, random);
    const double p0 = chain->Value(0), p1 = chain->Value(8), p2 = chain->Value(16);
    EXPECT_TRUE(isHundredth(p0) && isHundredth(p1) && isHundredth(p2));
    EXPECT_NEAR(chain->Value(4), (p0 + p1) / 2, 1e-9) << "straight between its points";
    EXPECT_NEAR(chain->Value(14), p1 + (p2 - p1) * 0.75, 1e-9);
    EXPECT_EQ(chain->Value(8), p1);
    EXPECT_TRUE(std::isfinite(chain->Value(1e12)));

    auto chaos = Lfo::MakeWaveForm(Lfo::kChaos, shape, random);
    std::vector<double> calls;
    for (int i = 0; i < 20; ++i)
        calls.push_back(chaos->Value(3));
    EXPECT_TRUE(std::all_of(calls.begin(), calls.end(), isHundredth));
    EXPECT_GT(std::count_if(calls.begin(), calls.end(), [&](double v) { return v != calls[0]; }), 10)
        << "a new level at every call, even at the same x";

    // The same seed repeats the same levels.
    Lfo::RandomEngine again(7);
    auto replay = Lfo::MakeWaveForm(Lfo::kSampleHold, shape, again);
    for (int k = 0; k < 20; ++k)
        EXPECT_EQ(replay->Value(8.0 * k), steps[k]);
}

TEST(GraphGeometry, LfoFaderModesFadeInOrOutBetweenDelayAndFadeEnd) {
    struct Case {
        int64_t mode;
        std::array<double, 4> levels; // at t = 0.1, 0.25, 0.5, 0.9
    };
    const Case cases[] = {
        {0, {0, 0, 0.5, 1}},
        {1, {1, 1, 0.5, 0}},
        {2, {0, 0, 0.5, 1}},
        {3, {1, 1, 0.5, 0}},
    };
    const double ts[] = {0.1, 0.25, 0.5, 0.9};
    for (const Case& c : cases) {
        const std::optional<Lfo::CFader> fader = Lfo::MakeFader(c.mode, 0.25, 0.75);
        ASSERT_TRUE(fader.has_value()) << c.mode;
        for (size_t i = 0; i < 4; ++i)
            EXPECT_DOUBLE_EQ(fader->Value(ts[i]), c.levels[i]) << "mode " << c.mode << " at " << ts[i];
    }
    EXPECT_FALSE(Lfo::MakeFader(4, 0.25, 0.75).has_value());
    EXPECT_FALSE(Lfo::MakeFader(-1, 0.25, 0.75).has_value());
    // No fade time: a step at the delay, no division.
    const Lfo::CFader step(0.5, 0.5, 0, 1);
    EXPECT_EQ(step.Value(0.49), 0);
    EXPECT_EQ(step.Value(0.5), 1);
}

TEST(GraphGeometry, LfoPictureScalesOffsetsFadesAndMarksTheCurve) {
    // x 1 ... 180 (180 pixels), y 1 ... 41, centre 21, amplitude -10.
    const TavRect r{0, 0, 182, 42};
    Lfo::RandomEngine random(3);
    Lfo::CParams sine; // sine, rate 0 (period 80), offset 0, fade mode 0
    sine.offset = 2;
    sine.fadeMode = 4; // no fader
    Lfo::CPicture plain = Lfo::Build(r, sine, random);
    EXPECT_EQ(plain.period, 80);
    EXPECT_EQ(plain.centreY, 21);
    ASSERT_EQ(plain.curve.size(), 180u);
    EXPECT_EQ(plain.curve.front(), (TavPoint{1, 21}));
    EXPECT_EQ(plain.curve[20], (TavPoint{21, 11})); // a quarter period: the top
    EXPECT_EQ(plain.curve[60], (TavPoint{61, 31}));
    EXPECT_EQ(plain.curve.back().x, 180);

    struct Offset {
        int64_t index;
        int32_t centre; // the sine's y at x = 1
    };
    for (const Offset& o : {Offset{0, 31}, Offset{1, 26}, Offset{2, 21}, Offset{3, 16}, Offset{4, 11}}) {
        Lfo::CParams params = sine;
        params.offset = o.index;
        EXPECT_EQ(Lfo::Build(r, params, random).curve.front().y, o.centre) << "offset " << o.index;
    }

    Lfo::CParams fadeIn = sine;
    fadeIn.fadeMode = 0;
    fadeIn.delayTime = 0;
    fadeIn.fadeTime = 127; // fades in over half a time unit
    const Lfo::CPicture in = Lfo::Build(r, fadeIn, random);
    EXPECT_EQ(in.delayX, 1);
    EXPECT_EQ(in.fadeEndX, 81);
    EXPECT_EQ(in.curve[20], (TavPoint{21, 19})); // a quarter faded in: 18.5 rounded away from zero
    EXPECT_EQ(in.curve[100], plain.curve[100]);  // fully in

    Lfo::CParams fadeOut = sine;
    fadeOut.fadeMode = 1;
    fadeOut.delayTime = 127;
    fadeOut.fadeTime = 0;
    const Lfo::CPicture out = Lfo::Build(r, fadeOut, random);
    EXPECT_EQ(out.delayX, 81);
    EXPECT_EQ(out.fadeEndX, 81);
    EXPECT_EQ(out.curve[20], plain.curve[20]);
    EXPECT_EQ(out.curve[100], (TavPoint{101, 21})); // gone after the delay

    // A square wave at the largest offset stays inside the plot.
    Lfo::CParams square = sine;
    square.waveForm = Lfo::kSquare;
    square.offset = 0;
    for (const TavPoint& p : Lfo::Build(r, square, random).curve)
        EXPECT_TRUE(p.y >= 1 && p.y <= 41) << p.x << "," << p.y;

    Lfo::CParams unknown = sine;
    unknown.waveForm = 11;
    const Lfo::CPicture none = Lfo::Build(r, unknown, random);
    EXPECT_TRUE(none.curve.empty());
    EXPECT_EQ(none.waveForm, nullptr);
}

TEST(GraphGeometry, LfoPictureOfHostileRectanglesAndValuesIsBounded) {
    Lfo::RandomEngine random(5);
    Lfo::CParams params;
    params.waveForm = Lfo::kSampleHold;
    for (const TavRect& r : {TavRect{0, 0, 0, 0}, TavRect{5, 5, 6, 6}, TavRect{0, 0, 2, 2}, TavRect{0, 0, 3, 1}}) {
        const Lfo::CPicture picture = Lfo::Build(r, params, random);
        EXPECT_LE(picture.curve.size(), 1u) << r.right << "x" << r.bottom;
        EXPECT_EQ(picture.period, 4);
    }
    Lfo::CParams wild;
    wild.waveForm = Lfo::kSine;
    wild.rate = 1'000'000'000;
    wild.offset = 3'000'000'000;
    wild.delayTime = 4'000'000'000;
    wild.fadeTime = 4'000'000'000;
    const TavRect r{0, 0, 182, 42};
    const Lfo::CPicture picture = Lfo::Build(r, wild, random);
    EXPECT_EQ(picture.period, 4);
    EXPECT_EQ(picture.delayX, 182);
    for (const TavPoint& p : picture.curve)
        EXPECT_TRUE(p.y >= 1 && p.y <= 41);
    const Lfo::CPicture wide = Lfo::Build({0, 0, 2'000'000'000, 42}, params, random);
    EXPECT_EQ(wide.curve.size(), size_t(Lfo::kMaxPlotWidth));
}
