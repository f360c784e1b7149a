#include "ArtworkStyle.h"

#include <QPainterPath>
#include <QPen>

#include <cmath>

namespace artwork {

namespace {
int g_drawScale = 1;
} // namespace

void SetDrawScale(int scale) {
    g_drawScale = scale < 1 ? 1 : scale;
}

int DrawScale() {
    return g_drawScale;
}

QImage ScaledImage(QSize size, QImage::Format format) {
    return QImage(size * g_drawScale, format);
}

void BeginScaled(QPainter& painter, QImage& image) {
    painter.begin(&image);
    painter.scale(g_drawScale, g_drawScale);
}

QRgb Mix(QRgb a, QRgb b, double t) {
    auto channel = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

QRgb FrameFill() {
    return Mix(palette::kBackground, palette::kSurface, 0.4);
}

QRgb HeaderFill() {
    return Mix(palette::kBackground, palette::kInset, 0.6);
}

QFont Font(int pixelSize, bool bold, double letterSpacing) {
    QFont font(kFontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return font;
}

void DrawText(QPainter& painter, const QRectF& rect, int flags, const QString& text, const QFont& font,
              QRgb colour) {
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor(colour));
    painter.drawText(rect, flags, text);
    painter.restore();
}

void DrawField(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(Mix(palette::kInset, palette::kLine, 0.45)), 1));
    painter.setBrush(QColor(palette::kInset));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.restore();
}

void DrawSection(QPainter& painter, const QRect& rect, const QString& title) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(palette::kLine), 1));
    painter.setBrush(QColor(FrameFill()));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(rect.left() + 12, rect.top() + 9, 3, 11), QColor(palette::kAccent));
    painter.restore();
    DrawText(painter, QRect(rect.left() + 21, rect.top(), rect.width() - 33, 28),
             Qt::AlignLeft | Qt::AlignVCenter, title, Font(11, true, 1), palette::kText);
}

void DrawKnobWell(QPainter& painter, QPoint centre, int knobSize, const QString& label, bool bipolar,
                  bool endsOnly) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double radius = knobSize / 2.0 + 3.5;
    // Eleven ticks over the knobs' sweep of 30 to 330 degrees, 0 pointing down and the
    // angle growing clockwise; the ends, and the centre of a bipolar knob, stand out.
    for (int i = 0; i <= 10; ++i) {
        const double degrees = 30 + 30 * i;
        const double rad = degrees * M_PI / 180;
        const bool major = i == 0 || i == 10 || (bipolar && i == 5);
        if (endsOnly && !major)
            continue;
        const QPointF at(centre.x() + 0.5 - std::sin(rad) * radius,
                         centre.y() + 0.5 + std::cos(rad) * radius);
        painter.setBrush(QColor(major ? palette::kDimText : palette::kLine));
        const double dot = major ? 1.5 : 1.0;
        painter.drawEllipse(at, dot, dot);
    }
    painter.restore();
    const int top = centre.y() + knobSize / 2 + 6;
    DrawText(painter, QRect(centre.x() - 40, top, 80, 14), Qt::AlignHCenter | Qt::AlignTop, label, Font(10),
             palette::kDimText);
}

void DrawLabelledField(QPainter& painter, const QRect& label, const QRect& field, const QString& text) {
    DrawText(painter, label, Qt::AlignLeft | Qt::AlignVCenter, text, Font(11), palette::kDimText);
    DrawField(painter, field);
}

QImage Strip(QSize state, int count, const DrawState& draw) {
    QImage image = ScaledImage(QSize(state.width(), state.height() * count), QImage::Format_RGB32);
    image.fill(QColor(palette::kBackground));
    QPainter painter;
    BeginScaled(painter, image);
    for (int i = 0; i < count; ++i) {
        painter.save();
        painter.translate(0, i * state.height());
        painter.setClipRect(QRect(QPoint(0, 0), state));
        draw(painter, i);
        painter.restore();
    }
    return image;
}

QImage MaskedStrip(QSize state, int count, QRgb matte, const DrawState& draw) {
    const int width = state.width() * g_drawScale;
    const int height = state.height() * g_drawScale;
    QImage image(width * 2, height * count, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        QImage layer = ScaledImage(state, QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter painter;
            BeginScaled(painter, layer);
            draw(painter, i);
        }
        layer = layer.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = layer.pixel(x, y);
                const bool drawn = qAlpha(pixel) >= 128;
                const QRgb colour = Mix(matte, pixel | 0xff000000u, qAlpha(pixel) / 255.0);
                image.setPixel(x, i * height + y, drawn ? colour : qRgb(0, 0, 0));
                image.setPixel(width + x, i * height + y, drawn ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            }
        }
    }
    return image;
}

} // namespace artwork
