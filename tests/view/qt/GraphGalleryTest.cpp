// The graph drawer on a QPainter (line styles, end pixels, polygons, nested clips) and
// each graph control painted offscreen: the curve colour where the curve must run, the
// guide and glow colours beside it, the background elsewhere and nothing outside.

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "script/qt/CGraphDrawer.h"
#include "script/qt/CResourceFactory.h"
#include "support/GraphScript.h"
#include "view/CTavLfoControl.h"
#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/qt/CDrawInfo.h"

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBackground = qRgb(0x2B, 0x13, 0x58);
constexpr QRgb kCurve = qRgb(0x00, 0xFF, 0xDE);
constexpr QRgb kGuide = qRgb(0xDE, 0x00, 0xFF);
constexpr QRgb kGlow = qRgb(30, 89, 128);
constexpr CTavGraphDrawer::Rgb16 kRed{0xFF00, 0, 0};
constexpr CTavGraphDrawer::Rgb16 kBlue{0, 0, 0xFF00};

// Paints into a white image of the given size.
QImage Paint(int width, int height, const std::function<void(CTavDrawInfo&)>& draw) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter painter(&image);
    CDrawInfo info(&painter);
    draw(info);
    painter.end();
    return image;
}

int CountRow(const QImage& image, int y, int from, int to, QRgb color) {
    int count = 0;
    for (int x = from; x <= to; ++x)
        count += image.pixel(x, y) == color;
    return count;
}

struct Pixel {
    const char* what;
    int x, y;
    QRgb color;
};

void ExpectPixels(const QImage& image, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(image.pixel(p.x, p.y), p.color) << p.what << " at " << p.x << "," << p.y << ": " << std::hex
                                                  << image.pixel(p.x, p.y);
}

} // namespace

TEST(GraphDrawer, LinesCarryTheirStyleAndEndPixelAndShapesFill) {
    CGraphDrawer drawer;
    struct Style {
        int32_t style;
        int minGaps, maxGaps;
    };
    // Dashes are longer than their gaps, dots shorter.
    for (const Style& s : {Style{0, 0, 0}, Style{1, 6, 18}, Style{2, 21, 32}, Style{7, 0, 0}}) {
        const QImage image = Paint(40, 10, [&](CTavDrawInfo& info) {
            drawer.SetLineStyle(s.style);
            drawer.MoveTo(info, {0, 5});
            drawer.LineTo(info, {39, 5}, 1, kRed);
        });
        const int gaps = 40 - CountRow(image, 5, 0, 39, qRgb(255, 0, 0));
        EXPECT_GE(gaps, s.minGaps) << "style " << s.style;
        EXPECT_LE(gaps, s.maxGaps) << "style " << s.style;
        EXPECT_EQ(image.pixel(39, 5), qRgb(255, 0, 0)) << "end pixel, style " << s.style;
        EXPECT_EQ(CountRow(image, 4, 0, 39, kWhite), 40) << "one pixel wide";
    }
    // LineTo goes on from where the last one ended.
    const QImage corner = Paint(20, 20, [&](CTavDrawInfo& info) {
        drawer.SetLineStyle(0);
        drawer.MoveTo(info, {2, 2});
        drawer.LineTo(info, {12, 2}, 1, kRed);
        drawer.LineTo(info, {12, 12}, 1, kBlue);
    });
    ExpectPixels(corner, {{"first leg", 7, 2, qRgb(255, 0, 0)}, {"second leg", 12, 7, qRgb(0, 0, 255)},
                          {"second end", 12, 12, qRgb(0, 0, 255)}, {"beyond", 12, 13, kWhite}});

    const QImage shapes = Paint(40, 40, [&](CTavDrawInfo& info) {
        drawer.Polyline(info, {{0, 0}, {10, 0}, {10, 10}}, 1, kRed);
        drawer.Polyline(info, {{30, 30}}, 1, kBlue);
        drawer.FillPolygon(info, {{20, 0}, {39, 0}, {20, 19}}, kBlue);
        drawer.FillRect(info, {0, 30, 10, 40}, kRed);
        drawer.FillRect(info, {5, 20, 5, 25}, kBlue); // empty
    });
    ExpectPixels(shapes, {{"polyline", 5, 0, qRgb(255, 0, 0)},
                          {"polyline end", 10, 10, qRgb(255, 0, 0)},
                          {"below its end", 10, 11, kWhite},
                          {"one-point polyline", 30, 30, qRgb(0, 0, 255)},
                          {"polygon inside", 24, 4, qRgb(0, 0, 255)},
                          {"polygon outline", 20, 10, qRgb(0, 0, 255)},
                          {"outside the polygon", 36, 16, kWhite},
                          {"rectangle", 9, 39, qRgb(255, 0, 0)},
                          {"empty rectangle", 5, 22, kWhite}});
}

TEST(GraphDrawer, ClipsNestAndEndClipRestoresOnlyWhatBeginClipSaved) {
    CGraphDrawer drawer;
    const QImage image = Paint(30, 30, [&](CTavDrawInfo& info) {
        drawer.EndClip(info); // nothing saved: nothing restored
        drawer.BeginClip(info, {0, 0, 20, 20});
        drawer.BeginClip(info, {10, 10, 30, 30});
        drawer.FillRect(info, {0, 0, 30, 30}, kRed); // only 10 ... 20 square
        drawer.EndClip(info);
        drawer.FillRect(info, {0, 0, 30, 5}, kBlue); // only within the outer clip
        drawer.EndClip(info);
        drawer.FillRect(info, {25, 25, 30, 30}, kBlue); // no clip left
        drawer.BeginClip(info, {0, 0, 0, 0});
        drawer.FillRect(info, {0, 25, 5, 30}, kRed); // an empty clip shows nothing
        drawer.EndClip(info);
    });
    ExpectPixels(image, {{"both clips", 15, 15, qRgb(255, 0, 0)},
                         {"outer only", 5, 15, kWhite},
                         {"inner only", 25, 15, kWhite},
                         {"after the inner ended", 15, 2, qRgb(0, 0, 255)},
                         {"outside the outer", 25, 2, kWhite},
                         {"after both ended", 27, 27, qRgb(0, 0, 255)},
                         {"empty clip", 2, 27, kWhite}});

    // Without a painter nothing happens.
    CDrawInfo none;
    drawer.BeginClip(none, {0, 0, 5, 5});
    drawer.Polyline(none, {{0, 0}, {3, 3}}, 3, kRed);
    drawer.EndClip(none);
}

namespace {

class GraphGallery : public testing::Test {
protected:
    void SetUp() override {
        system.SetTextOut(CTavSystem::kErrorOutput, new CTavTextOutStringStream);
        system.SetTextOut(CTavSystem::kBufferOutput, new CTavTextOutBuffer);
        system.AttachErrorOutputToManagers();
        system.SetResourceFactory(std::make_unique<CResourceFactory>());
        using namespace test::graph;
        ASSERT_TRUE(system.ReadScript(Script(std::string(kEnvelope) + kFadeRange + kBias + kLfo)))
            << system.ErrorText();
        ASSERT_TRUE(system.CreateManagers()) << system.ErrorText();
        ASSERT_TRUE(system.ViewManager().OpenRootPanel("main")) << system.ErrorText();
        panel = system.ViewManager().FindRootPanel("main");
    }
    QImage Render(const char* path) {
        CTavView* view = nullptr;
        EXPECT_TRUE(panel->FindControl(path, view)) << path;
        return Paint(400, 200, [view](CTavDrawInfo& info) {
            if (view)
                view->Draw(info);
        });
    }
    void Set(const std::string& name, int32_t raw) {
        TavSetValueInteger(system.BufferManager(), *system.BufferManager().FindValue("p.v." + name), raw);
    }

    CTavSystem system;
    CTavRootPanel* panel = nullptr;
};

} // namespace

TEST_F(GraphGallery, EnvelopeDrawsItsCurveWithAGlowOnTheBackground) {
    Set("l1", 127);
    Set("l2", 64);
    Set("l3", 32);
    Set("t1", 127);
    Set("t2", 64);
    Set("t3", 32);
    Set("t4", 100);
    // Points (11,60) (30,11) (40,35) (45,48) (65,48) (80,60) (110,60) in 10,10 ... 112,62.
    ExpectPixels(Render("main.env"), {{"attack peak", 30, 11, kCurve},
                                      {"sustain", 55, 48, kCurve},
                                      {"glow above the sustain", 55, 47, kGlow},
                                      {"glow below the sustain", 55, 49, kGlow},
                                      {"release end on the bottom line", 95, 60, kCurve},
                                      {"background", 55, 25, kBackground},
                                      {"background corner", 111, 10, kBackground},
                                      {"outside", 9, 9, kWhite},
                                      {"outside right", 112, 30, kWhite}});
}

TEST_F(GraphGallery, FadeRangeFillsItsFiveZones) {
    // Range 40 ... 80 with fades 10 and 20 over 0 ... 128 in 10,70 ... 138,80.
    ExpectPixels(Render("main.fr"), {{"below", 20, 75, qRgb(0x70, 0x70, 0x70)},
                                     {"lower fade", 45, 75, qRgb(0x10, 0xA0, 0x10)},
                                     {"range", 70, 75, qRgb(0x80, 0xF0, 0x40)},
                                     {"upper fade", 100, 79, qRgb(0x10, 0xA0, 0x10)},
                                     {"above", 137, 70, qRgb(0x70, 0x70, 0x70)},
                                     {"outside", 138, 75, kWhite}});
}

TEST_F(GraphGallery, BiasDrawsGuidesThroughTheMiddleAndItsCurve) {
    // Inverted V (151,11) (200,35) (250,11) in 150,10 ... 252,62; the middle is 201,36.
    ExpectPixels(Render("main.b"), {{"left end", 151, 11, kCurve},
                                    {"right end", 250, 11, kCurve},
                                    {"glow under the left end", 151, 12, kGlow},
                                    {"horizontal guide", 170, 36, kGuide},
                                    {"vertical guide", 201, 55, kGuide},
                                    {"background", 170, 55, kBackground},
                                    {"outside", 149, 36, kWhite}});
}

TEST_F(GraphGallery, LfoDrawsTheCentreLineMarkersAndItsCurve) {
    Set("delay", 127); // the delay marker half a time unit in: x = 151 + 80
    // Sine of period 80 around y 91 in 150,70 ... 332,112: top at x 171, bottom at x 211.
    const QImage image = Render("main.l");
    ExpectPixels(image, {{"top of the sine", 171, 81, kCurve},
                         {"glow above the top", 171, 80, kGlow},
                         {"bottom of the sine", 211, 101, kCurve},
                         {"centre line", 171, 91, kGuide},
                         {"delay marker", 231, 75, kGuide},
                         {"background", 190, 108, kBackground},
                         {"outside", 333, 91, kWhite}});
}

TEST_F(GraphGallery, SampleAndHoldRepaintsTheSameStepsUntilRefreshed) {
    CTavView* view = nullptr;
    ASSERT_TRUE(panel->FindControl("main.l", view));
    auto* lfo = dynamic_cast<CTavLfoControl*>(view);
    ASSERT_NE(lfo, nullptr);
    lfo->Random().seed(3);
    Set("wave", CTavLfoControl::kSampleHold);
    const QImage first = Render("main.l");
    EXPECT_EQ(Render("main.l"), first);
    lfo->Refresh();
    EXPECT_NE(Render("main.l"), first);
}
