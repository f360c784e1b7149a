// Drawing bitmap states and text with the Qt resources, checked pixel by pixel.

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/CTavTextOut.h"
#include "script/qt/CGraphDrawer.h"
#include "script/qt/CStateBitmap.h"
#include "script/qt/CTextWriter.h"
#include "script/qt/TavShiftJis.h"
#include "support/TestSupport.h"
#include "view/qt/CDrawInfo.h"

namespace {

constexpr QRgb kBackground = 0xFF808080;
const QRgb kStateColors[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

// Three states of sw x sh in their colours; with a mask, every state's mask is black except
// state 2's, which keeps only its first column.
QImage MakeStrip(int direction, bool mask, int sw, int sh) {
    const bool vertical = direction == 0;
    const int parts = mask ? 2 : 1;
    QImage image(vertical ? sw * parts : sw * 3, vertical ? sh * 3 : sh * parts, QImage::Format_RGB32);
    for (int s = 0; s < 3; ++s) {
        const QPoint origin = vertical ? QPoint(0, s * sh) : QPoint(s * sw, 0);
        const QPoint maskOrigin = origin + (vertical ? QPoint(sw, 0) : QPoint(0, sh));
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                image.setPixel(origin + QPoint(x, y), kStateColors[s]);
                if (mask)
                    image.setPixel(maskOrigin + QPoint(x, y), (s == 2 && x > 0) ? 0xFFFFFFFF : 0xFF000000);
            }
        }
    }
    return image;
}

QImage Canvas(int width, int height, QRgb fill) {
    QImage canvas(width, height, QImage::Format_ARGB32);
    canvas.fill(fill);
    return canvas;
}

// The columns and rows holding pixels that differ from the background.
QRect Ink(const QImage& image, QRgb background) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage DrawText(TavItems items, const TavRect& rect, const std::string& text, QSize size, QRgb fill) {
    CTextWriter writer;
    items.insert(items.begin(), {"name", "writer"});
    EXPECT_TRUE(writer.Convert(items, nullptr));
    QImage canvas = Canvas(size.width(), size.height(), fill);
    QPainter painter(&canvas);
    CDrawInfo info(&painter);
    writer.DrawText(info, rect, text);
    painter.end();
    return canvas;
}

} // namespace

TEST(StateBitmapDrawing, StateTwoComesFromTheRightPlaceInBothDirectionsAndThroughTheMask) {
    test::TempDir folder;
    const int sw = 4;
    const int sh = 5;
    for (int direction : {0, 1}) {
        for (bool mask : {false, true}) {
            SCOPED_TRACE(testing::Message() << "direction " << direction << " mask " << mask);
            const std::string name = "strip" + std::to_string(direction) + (mask ? "m" : "");
            ASSERT_TRUE(MakeStrip(direction, mask, sw, sh)
                            .save(QString::fromStdString((folder.Path() / (name + ".bmp")).string()), "BMP"));
            CStateBitmap bitmap;
            TavItems items = {{"name", name},
                              {"stateCount", "3"},
                              {"direction", std::to_string(direction)},
                              {"mask", mask ? "1" : "0"}};
            ASSERT_TRUE(bitmap.Convert(items, nullptr));
            bitmap.SetImageFolder(folder.Path().string() + "/");
            ASSERT_TRUE(bitmap.Acquire());
            ASSERT_EQ(bitmap.StateWidth(), sw);
            ASSERT_EQ(bitmap.StateHeight(), sh);

            QImage canvas = Canvas(30, 30, kBackground);
            QPainter painter(&canvas);
            CDrawInfo info(&painter);
            bitmap.DrawState(info, {10, 10}, 2);
            painter.end();
            EXPECT_EQ(canvas.pixel(10, 10), kStateColors[2]);
            EXPECT_EQ(canvas.pixel(10, 10 + sh - 1), kStateColors[2]);
            EXPECT_EQ(canvas.pixel(11, 12), mask ? kBackground : kStateColors[2]);
            EXPECT_EQ(Ink(canvas, kBackground), mask ? QRect(10, 10, 1, sh) : QRect(10, 10, sw, sh));
            bitmap.Release();
        }
    }
}

// A target of a device pixel ratio draws the "@2x" image pixel for pixel at 2, scaled
// smoothly at other ratios (the same pixels again from the kept copy at the next draw), and
// the 1x image at 1 or when the 2x one is missing or unfit (reported once). Sizes and
// positions stay in 1x units throughout.
TEST(StateBitmapDrawing, TheTwiceSizedImageIsDrawnForTheTargetsPixelRatio) {
    enum class Twice { kNone, kFit, kWrongSize, kFolder };
    const struct {
        Twice twice;
        double ratio;
        bool drawsTwice;
        bool reported;
        int at = 10;
    } cases[] = {
        {Twice::kFit, 1, false, false},       {Twice::kFit, 2, true, false},
        {Twice::kFit, 1.5, true, false},      {Twice::kFit, 1.5, true, false, 11},
        {Twice::kFit, 1.25, true, false, 11}, {Twice::kNone, 1.5, false, false},
        {Twice::kNone, 2, false, false},      {Twice::kWrongSize, 2, false, true},
        {Twice::kFolder, 2, false, true},
    };
    const int sw = 4;
    const int sh = 5;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << static_cast<int>(c.twice) << " ratio " << c.ratio << " at "
                                        << c.at);
        test::TempDir folder;
        const auto path = [&](const char* name) {
            return QString::fromStdString((folder.Path() / name).string());
        };
        ASSERT_TRUE(MakeStrip(1, true, sw, sh).save(path("strip.bmp"), "BMP"));
        // The 2x strip: state 2's first column (masked in) is a checkerboard of its colour
        // and white, which no doubling of the 1x pixels can give.
        QImage twice = MakeStrip(1, true, sw * 2, sh * 2);
        for (int y = 0; y < sh * 2; ++y)
            twice.setPixel(2 * sw * 2 + 1, y, y % 2 ? 0xFFFFFFFFu : kStateColors[2]);
        for (int y = 0; y < sh * 2; ++y)
            twice.setPixel(2 * sw * 2 + 1, sh * 2 + y, 0xFF000000u);
        if (c.twice == Twice::kFit) {
            ASSERT_TRUE(twice.save(path("strip@2x.bmp"), "BMP"));
        } else if (c.twice == Twice::kWrongSize) {
            ASSERT_TRUE(MakeStrip(1, true, sw * 3, sh * 3).save(path("strip@2x.bmp"), "BMP"));
        }
        if (c.twice == Twice::kFolder)
            std::filesystem::create_directory(folder.Path() / "strip@2x.bmp");

        CTavTextOutStringStream errors;
        CStateBitmap bitmap;
        TavItems items = {{"name", "strip"}, {"stateCount", "3"}, {"direction", "1"}, {"mask", "1"}};
        ASSERT_TRUE(bitmap.Convert(items, &errors));
        bitmap.SetImageFolder(folder.Path().string() + "/");
        bitmap.SetErrorOutput(&errors);
        ASSERT_TRUE(bitmap.Acquire());
        EXPECT_EQ(bitmap.StateWidth(), sw);
        EXPECT_EQ(bitmap.StateHeight(), sh);

        QImage canvases[2];
        for (QImage& canvas : canvases) {
            canvas = QImage(QSize(30, 30) * c.ratio, QImage::Format_ARGB32);
            canvas.setDevicePixelRatio(c.ratio);
            canvas.fill(kBackground);
            QPainter painter(&canvas);
            CDrawInfo info(&painter);
            bitmap.DrawState(info, {c.at, c.at}, 2);
        }
        const QImage& canvas = canvases[0];
        EXPECT_EQ(canvases[1], canvas);
        EXPECT_EQ(bitmap.ScaleOf(bitmap.PicturesFor(c.ratio)), c.drawsTwice ? 2 : 1);
        EXPECT_EQ(errors.Text().find("is not a BMP file twice the size of") != std::string::npos, c.reported)
            << errors.Text();
        EXPECT_EQ(errors.Text().find("twice") == errors.Text().rfind("twice"), true) << "reported once";
        // The state lands on the same 1x rectangle at every ratio.
        const QRect expected(QPointF(c.at * c.ratio, c.at * c.ratio).toPoint(),
                             QSizeF(1 * c.ratio, sh * c.ratio).toSize());
        const QRect ink = Ink(canvas, kBackground);
        EXPECT_LE(std::abs(ink.left() - expected.left()) + std::abs(ink.top() - expected.top()), 2)
            << ink.x();
        EXPECT_LE(std::abs(ink.width() - expected.width()) + std::abs(ink.height() - expected.height()), 2);
        if (c.ratio == 2) {
            // Pixel for pixel: the checkerboard when the 2x image is drawn, pairs otherwise.
            EXPECT_EQ(canvas.pixel(21, 20), kStateColors[2]);
            EXPECT_EQ(canvas.pixel(21, 21), c.drawsTwice ? 0xFFFFFFFFu : kStateColors[2]);
        }
        bitmap.Release();
    }
}

TEST(TextWriterDrawing, ColoursUseTheHighByteOfEachChannelAndStayInsideTheRectangle) {
    const TavItems blue = {
        {"fontHeight", "30"}, {"fontColor", "0,0,65280"}, {"backgroundColor", "65280,0,0"}};
    const TavRect rect{10, 5, 110, 45};
    QImage canvas = DrawText(blue, rect, "HH", {120, 50}, kBackground);
    EXPECT_EQ(canvas.pixel(rect.left, rect.top), 0xFFFF0000u);
    EXPECT_EQ(Ink(canvas, kBackground), QRect(10, 5, 100, 40));
    int fullBlue = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            fullBlue += canvas.pixel(x, y) == 0xFF0000FFu;
    EXPECT_GT(fullBlue, 20);

    const TavItems low = {{"fontHeight", "30"}, {"fontColor", "0,0,255"}, {"backgroundColor", "65280,0,0"}};
    canvas = DrawText(low, rect, "HH", {120, 50}, kBackground);
    int inked = 0;
    int bluish = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const QRgb pixel = canvas.pixel(x, y);
            bluish += qBlue(pixel) != 0;
            inked += pixel != 0xFFFF0000u;
        }
    }
    EXPECT_EQ(bluish, 0);
    EXPECT_GT(inked, 20);
}

TEST(TextWriterDrawing, AlignmentPlacesTheInk) {
    const TavRect wide{0, 0, 200, 40};
    const QRgb white = 0xFFFFFFFF;
    const QRect left = Ink(DrawText({{"fontHeight", "20"}}, wide, "II", {200, 40}, white), white);
    const QRect centre = Ink(
        DrawText({{"fontHeight", "20"}, {"textAlignment", "Center"}}, wide, "II", {200, 40}, white), white);
    const QRect right = Ink(
        DrawText({{"fontHeight", "20"}, {"textAlignmentHorizontal", "right"}}, wide, "II", {200, 40}, white),
        white);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_LT(left.left(), 10);
    EXPECT_NEAR(centre.center().x(), 100, 3);
    EXPECT_GT(right.right(), 190);
    EXPECT_NEAR(left.center().y(), 20, 4);

    const QRect bottom = Ink(
        DrawText({{"fontHeight", "20"}, {"textAlignmentVertical", "bottom"}}, wide, "II", {200, 40}, white),
        white);
    EXPECT_GT(bottom.bottom(), 30);

    // A vertical font runs upwards: left alignment puts the line at the bottom.
    const TavRect tall{0, 0, 40, 200};
    const QRect vertical = Ink(
        DrawText({{"fontHeight", "20"}, {"verticalFont", "true"}}, tall, "IIII", {40, 200}, white), white);
    EXPECT_GT(vertical.bottom(), 190);
    EXPECT_GT(vertical.top(), 100);
    EXPECT_GT(vertical.height(), vertical.width());
}

TEST(GraphDrawing, FillCoversExactlyTheRectangleInTheHighBytesColour) {
    QImage canvas(40, 30, QImage::Format_RGB32);
    canvas.fill(kBackground);
    {
        QPainter painter(&canvas);
        CDrawInfo info(&painter);
        CGraphDrawer drawer;
        drawer.FillRect(info, {5, 6, 15, 26}, {0x12FF, 0x3400, 0xFF00});
        drawer.FillRect(info, {30, 0, 30, 30}, {0, 0, 0}); // empty: nothing
    }
    EXPECT_EQ(Ink(canvas, kBackground), QRect(5, 6, 10, 20));
    EXPECT_EQ(canvas.pixel(5, 6), qRgb(0x12, 0x34, 0xFF));
}

TEST(ShiftJisText, DecodesCodePage932AndReplacesInvalidBytes) {
    EXPECT_EQ(TavDecodeShiftJis("\x83\x65\x83\x58\x83\x67"), QString::fromUtf8("テスト"));
    EXPECT_EQ(TavDecodeShiftJis("a\\b~"), QStringLiteral("a\\b~"));
    EXPECT_EQ(TavDecodeShiftJis("x\xFFy"), QString::fromUtf8("x\xEF\xBF\xBDy"));
    EXPECT_EQ(TavDecodeShiftJis("ab\x83"), QString::fromUtf8("ab\xEF\xBF\xBD"));
    EXPECT_EQ(TavDecodeShiftJis(""), QString());
}
