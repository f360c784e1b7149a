#pragma once
// The look every editor bitmap shares: one palette, one font family, and the helpers that
// draw frames, fields, labels and multi-state images (plain, or with a mask part).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <functional>

namespace artwork {

// The palette. The script's text writers use the same colours, each channel written as
// 16 bits (the 8-bit value times 256).
namespace palette {
constexpr QRgb kBackground = qRgb(43, 50, 59); // dark slate
constexpr QRgb kSurface = qRgb(58, 67, 79);    // raised cards, knobs, buttons
constexpr QRgb kInset = qRgb(28, 33, 40);      // fields, tracks, displays
constexpr QRgb kLine = qRgb(80, 91, 106);      // borders and ticks
constexpr QRgb kText = qRgb(230, 233, 238);    // light text
constexpr QRgb kDimText = qRgb(150, 160, 173); // labels
constexpr QRgb kAccent = qRgb(240, 160, 48);   // amber: values, lights, selection
} // namespace palette

inline const QString kFontFamily = QStringLiteral("DejaVu Sans");

// a and b mixed: 0 gives a, 1 gives b.
QRgb Mix(QRgb a, QRgb b, double t);
// The fill of section frames; the mixer strips and page knobs sit on it.
QRgb FrameFill();
// The fill of the main window's header band; the page tabs sit on it.
QRgb HeaderFill();

// The font family at a pixel size, hinted for a crisp 100 % rendering.
QFont Font(int pixelSize, bool bold = false, double letterSpacing = 0);

void DrawText(QPainter& painter, const QRectF& rect, int flags, const QString& text, const QFont& font,
              QRgb colour);
// A recessed field for values and names.
void DrawField(QPainter& painter, const QRect& rect);
// A framed section with its title in a band along the top (28 pixels).
void DrawSection(QPainter& painter, const QRect& rect, const QString& title);
// Where a knob of this size will sit: a ring of ticks around the centre and the label below.
// With endsOnly only the ends of the sweep (and the centre of a bipolar knob) are marked, for
// knobs stacked so closely that full rings would run into each other.
void DrawKnobWell(QPainter& painter, QPoint centre, int knobSize, const QString& label, bool bipolar,
                  bool endsOnly = false);
// A label at the left of a row and a field at its right.
void DrawLabelledField(QPainter& painter, const QRect& label, const QRect& field, const QString& text);

// Every image is drawn in 1x units and stored at this scale (1, or 2 for the "@2x" images of
// high-density screens): the images of a scale have the same layout, each pixel of 1x
// becoming scale x scale pixels.
void SetDrawScale(int scale);
int DrawScale();
// A new image of this 1x size at the drawing scale, and a painter on it in 1x units.
QImage ScaledImage(QSize size, QImage::Format format);
void BeginScaled(QPainter& painter, QImage& image);

using DrawState = std::function<void(QPainter& painter, int state)>;

// States of the given (1x) size stacked top to bottom, every pixel opaque.
QImage Strip(QSize state, int count, const DrawState& draw);
// States stacked top to bottom, each followed on its right by its mask: black where the
// state is drawn, white where what lies below shows through (the picture is black there).
// Each state is drawn on transparency; pixels at least half covered are drawn, blended
// over the matte colour they will mostly sit on.
QImage MaskedStrip(QSize state, int count, QRgb matte, const DrawState& draw);

} // namespace artwork
