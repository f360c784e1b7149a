#include "ControlArtwork.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <cmath>

#include "ArtworkStyle.h"

namespace artwork {

namespace {

using namespace palette;

constexpr double kSweepStart = 30;
constexpr double kSweepEnd = 330;

// Qt measures arcs counter-clockwise from three o'clock, in sixteenths of a degree; knob
// angles start at six o'clock and grow clockwise.
int QtArcAngle(double knobDegrees) {
    return static_cast<int>(std::lround((270 - knobDegrees) * 16));
}

QPointF Direction(double knobDegrees) {
    const double rad = knobDegrees * M_PI / 180;
    return {-std::sin(rad), std::cos(rad)};
}

QRgb RaisedFill(bool pressed) {
    return pressed ? Mix(kSurface, kInset, 0.45) : Mix(kSurface, kText, 0.1);
}

QRgb LitFill(bool pressed) {
    return pressed ? Mix(kAccent, kInset, 0.25) : kAccent;
}

// A rounded button face with a centred label, moved down a pixel while pressed.
void DrawButtonFace(QPainter& painter, QSize size, QRgb fill, QRgb border, QRgb textColour,
                    const QString& label, bool pressed, int fontSize = 10) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(border), 1));
    painter.setBrush(QColor(fill));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    const QRect textRect(0, pressed ? 1 : 0, size.width(), size.height());
    DrawText(painter, textRect, Qt::AlignCenter, label, Font(fontSize, true), textColour);
}

void DrawTriangle(QPainter& painter, QPointF centre, double half, bool down, QRgb colour) {
    const double tip = down ? half * 0.6 : -half * 0.6;
    const QPolygonF triangle{QPointF(centre.x() - half, centre.y() - tip),
                             QPointF(centre.x() + half, centre.y() - tip),
                             QPointF(centre.x(), centre.y() + tip)};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(colour));
    painter.drawPolygon(triangle);
}

// A double-headed arrow along x through the centre of a 32 x 32 cursor.
QPainterPath HorizontalArrow() {
    QPainterPath path;
    path.addPolygon(QPolygonF{{3, 16},
                              {10, 9},
                              {10, 14},
                              {22, 14},
                              {22, 9},
                              {29, 16},
                              {22, 23},
                              {22, 18},
                              {10, 18},
                              {10, 23},
                              {3, 16}});
    return path;
}

QPainterPath Transposed(const QPainterPath& path) {
    QTransform swap(0, 1, 1, 0, 0, 0);
    return swap.map(path);
}

// Two bars across the centre with an arrow pointing away from each, left and right. The
// pieces stay apart, so each gets its own rim.
QPainterPath SplitArrows() {
    QPainterPath path;
    path.addPolygon(QPolygonF{{2, 16}, {8, 10}, {8, 14}, {11, 14}, {11, 18}, {8, 18}, {8, 22}, {2, 16}});
    path.addPolygon(QPolygonF{{30, 16}, {24, 22}, {24, 18}, {21, 18}, {21, 14}, {24, 14}, {24, 10}, {30, 16}});
    path.addRect(QRectF(13, 5, 2, 22));
    path.addRect(QRectF(17, 5, 2, 22));
    return path;
}

// A right hand seen from its back: the palm, four fingers (stretched, or bent so only the
// knuckles show) and the thumb along the left.
QPainterPath Hand(bool open) {
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8, 14, 17, 13), 4, 4);
    const int fingerTops[] = {6, 4, 5, 8};
    for (int finger = 0; finger < 4; ++finger) {
        QPainterPath part;
        const double top = open ? fingerTops[finger] : 11;
        part.addRoundedRect(QRectF(9 + 4 * finger, top, 4, 17 - top), 2, 2);
        hand = hand.united(part);
    }
    QPainterPath thumb;
    if (open)
        thumb.addPolygon(QPolygonF{{9, 23}, {3, 15}, {5, 13}, {10, 18}, {9, 23}});
    else
        thumb.addRoundedRect(QRectF(5, 16, 5, 6), 2, 2);
    return hand.united(thumb);
}

} // namespace

QImage Knob(int size, int frames, bool bipolar, QRgb matte) {
    return MaskedStrip(QSize(size, size), frames, matte, [=](QPainter& painter, int frame) {
        painter.setRenderHint(QPainter::Antialiasing);
        const double centre = size / 2.0;
        const double angle = kSweepStart + (kSweepEnd - kSweepStart) * frame / (frames - 1);
        const double arcWidth = size >= 40 ? 3 : 2;
        const double arcRadius = centre - arcWidth / 2 - 0.5;
        const QRectF arcRect(centre - arcRadius, centre - arcRadius, 2 * arcRadius, 2 * arcRadius);

        // The track of the whole sweep, then the value's part of it in the accent.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(kInset), arcWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(arcRect, QtArcAngle(kSweepStart), QtArcAngle(kSweepEnd) - QtArcAngle(kSweepStart));
        const double from = bipolar ? 180 : kSweepStart;
        painter.setPen(QPen(QColor(kAccent), arcWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(arcRect, QtArcAngle(from), QtArcAngle(angle) - QtArcAngle(from));

        const double bodyRadius = centre - arcWidth - 3;
        QLinearGradient shade(0, centre - bodyRadius, 0, centre + bodyRadius);
        shade.setColorAt(0, QColor(Mix(kSurface, kText, 0.2)));
        shade.setColorAt(1, QColor(Mix(kSurface, kInset, 0.5)));
        painter.setPen(QPen(QColor(kInset), 1));
        painter.setBrush(shade);
        painter.drawEllipse(QPointF(centre, centre), bodyRadius, bodyRadius);

        const QPointF hub(centre, centre);
        const QPointF direction = Direction(angle);
        painter.setPen(QPen(QColor(kText), size >= 40 ? 2.5 : 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(hub + direction * (bodyRadius * 0.35), hub + direction * (bodyRadius - 2));
    });
}

QImage SliderKnob(bool vertical) {
    const QSize size = vertical ? QSize(32, 16) : QSize(16, 32);
    return MaskedStrip(size, 1, kSurface, [=](QPainter& painter, int) {
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient shade(0, 0, vertical ? 0 : size.width(), vertical ? size.height() : 0);
        shade.setColorAt(0, QColor(Mix(kSurface, kText, 0.3)));
        shade.setColorAt(1, QColor(Mix(kSurface, kInset, 0.3)));
        painter.setPen(QPen(QColor(kInset), 1));
        painter.setBrush(shade);
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // Grip lines either side of the accent line that marks the value.
        const int length = vertical ? size.width() : size.height();
        for (int at : {4, 11}) {
            const QRect grip = vertical ? QRect(5, at, length - 10, 1) : QRect(at, 5, 1, length - 10);
            painter.fillRect(grip, QColor(Mix(kSurface, kInset, 0.6)));
        }
        painter.fillRect(vertical ? QRect(3, 7, length - 6, 2) : QRect(7, 3, 2, length - 6), QColor(kAccent));
    });
}

QImage LatchButton(QSize size, const QString& offLabel, const QString& onLabel) {
    return MaskedStrip(size, 4, kSurface, [=](QPainter& painter, int state) {
        const bool on = state >= 2;
        const bool pressed = state % 2 == 1;
        if (on)
            DrawButtonFace(painter, size, LitFill(pressed), Mix(kAccent, kInset, 0.35), kInset, onLabel,
                           pressed);
        else
            DrawButtonFace(painter, size, RaisedFill(pressed), kLine, kText, offLabel, pressed);
    });
}

QImage SoloButton(QSize size, const QString& label) {
    return MaskedStrip(size, 6, kSurface, [=](QPainter& painter, int state) {
        const bool pressed = state % 2 == 1;
        switch (state / 2) {
        case 0:
            DrawButtonFace(painter, size, RaisedFill(pressed), kLine, kText, label, pressed);
            break;
        case 1: // another part is soloed: this one is silent
            DrawButtonFace(painter, size, Mix(kInset, kSurface, pressed ? 0.2 : 0.5), kLine, kDimText, label,
                           pressed);
            break;
        default:
            DrawButtonFace(painter, size, LitFill(pressed), Mix(kAccent, kInset, 0.35), kInset, label,
                           pressed);
            break;
        }
    });
}

QImage EditPartButton(int number) {
    const QSize size(34, 24);
    return MaskedStrip(size, 4, kSurface, [=](QPainter& painter, int state) {
        const bool selected = state >= 2;
        const bool pressed = state % 2 == 1;
        painter.setRenderHint(QPainter::Antialiasing);
        QRgb fill = selected ? kAccent : kSurface;
        if (pressed)
            fill = Mix(fill, kInset, 0.35);
        painter.setPen(QPen(QColor(selected ? Mix(kAccent, kInset, 0.35) : Mix(kSurface, kLine, 0.5)), 1));
        painter.setBrush(QColor(fill));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
        DrawText(painter, QRect(0, pressed ? 1 : 0, size.width(), size.height()), Qt::AlignCenter,
                 QString::number(number), Font(14, true), selected ? kInset : kText);
    });
}

QImage Tab(const QString& label, QSize size) {
    return MaskedStrip(size, 4, HeaderFill(), [=](QPainter& painter, int state) {
        const bool on = state >= 2;
        const bool pressed = state % 2 == 1;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(on ? kLine : Mix(kLine, kInset, 0.4)), 1));
        QRgb fill = on ? kSurface : Mix(HeaderFill(), kSurface, 0.35);
        if (pressed)
            fill = Mix(fill, kInset, 0.4);
        painter.setBrush(QColor(fill));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
        if (on) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.fillRect(QRect(12, size.height() - 4, size.width() - 24, 2), QColor(kAccent));
        }
        const QRect textRect(0, pressed ? 0 : -1, size.width(), size.height());
        DrawText(painter, textRect, Qt::AlignCenter, label, Font(11, true, 1), on ? kText : kDimText);
    });
}

QImage SlideSwitch(QSize size) {
    return MaskedStrip(size, 4, FrameFill(), [=](QPainter& painter, int state) {
        const bool on = state >= 2;
        const bool pressed = state % 2 == 1;
        painter.setRenderHint(QPainter::Antialiasing);
        const double radius = size.height() / 2.0;
        QRgb track = on ? kAccent : kInset;
        if (pressed)
            track = Mix(track, on ? kInset : kSurface, 0.3);
        painter.setPen(QPen(QColor(on ? Mix(kAccent, kInset, 0.35) : kLine), 1));
        painter.setBrush(QColor(track));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), radius - 0.5,
                                radius - 0.5);
        const double knobRadius = radius - 3;
        const double knobX = on ? size.width() - radius : radius;
        painter.setPen(QPen(QColor(kInset), 1));
        painter.setBrush(QColor(pressed ? Mix(kText, kSurface, 0.45) : Mix(kText, kSurface, 0.15)));
        painter.drawEllipse(QPointF(knobX, radius), knobRadius, knobRadius);
    });
}

QImage PushButton(QSize size, Glyph glyph) {
    return MaskedStrip(size, 2, kSurface, [=](QPainter& painter, int state) {
        const bool pressed = state == 1;
        DrawButtonFace(painter, size, RaisedFill(pressed), kLine, kText, QString(), pressed);
        const QPointF centre(size.width() / 2.0, size.height() / 2.0 + (pressed ? 1 : 0));
        const double half = std::min(size.width(), size.height()) * 0.28;
        DrawTriangle(painter, centre, half, glyph != Glyph::StepUp, kText);
    });
}

QImage LabelButton(QSize size, const QString& label, int fontSize) {
    return MaskedStrip(size, 2, kSurface, [=](QPainter& painter, int state) {
        const bool pressed = state == 1;
        DrawButtonFace(painter, size, pressed ? LitFill(true) : RaisedFill(false), kLine, pressed ? kInset : kText,
                       label, pressed, fontSize);
    });
}

namespace {

void DrawBadge(QPainter& painter, QSize size, const QString& label, QRgb colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(colour), 1));
    painter.setBrush(QColor(Mix(kInset, colour, 0.12)));
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    painter.restore();
    // The narrow cut of the family, so that the longest word keeps a margin.
    QFont font = Font(9);
    font.setStretch(QFont::Condensed);
    DrawText(painter, QRect(QPoint(0, 0), size), Qt::AlignCenter, label, font, colour);
}

} // namespace

QImage EntityTypeBadges() {
    // Drawn whole over the type field of a part strip (which sits on the strip's card), so
    // the corners show the card.
    const QSize size(44, 18);
    return Strip(size, 2, [=](QPainter& painter, int state) {
        painter.fillRect(QRect(QPoint(0, 0), size), QColor(kSurface));
        if (state == 0)
            DrawBadge(painter, size, QStringLiteral("PATCH"), kText);
        else
            DrawBadge(painter, size, QStringLiteral("RHYTHM"), kAccent);
    });
}

QImage Lamp() {
    return MaskedStrip(QSize(8, 8), 1, kInset, [](QPainter& painter, int) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kAccent));
        painter.drawEllipse(QPointF(4, 4), 4, 4);
        painter.setBrush(QColor(Mix(kAccent, kText, 0.6)));
        painter.drawEllipse(QPointF(3.5, 3.5), 1.5, 1.5);
    });
}

QImage OctaveLamps() {
    return MaskedStrip(QSize(80, 8), 7, kInset, [](QPainter& painter, int state) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const double x = 12 * state;
        painter.setBrush(QColor(kAccent));
        painter.drawEllipse(QPointF(x + 4, 4), 4, 4);
        painter.setBrush(QColor(Mix(kAccent, kText, 0.6)));
        painter.drawEllipse(QPointF(x + 3.5, 3.5), 1.5, 1.5);
    });
}

QImage ClockSourceBadges() {
    const QSize size(104, 13);
    return MaskedStrip(size, 2, kInset, [=](QPainter& painter, int state) {
        DrawText(painter, QRect(QPoint(0, 0), size), Qt::AlignCenter,
                 state == 0 ? QStringLiteral("SYSTEM, INTERNAL") : QStringLiteral("SYSTEM, MIDI CLOCK"), Font(9, true),
                 kAccent);
    });
}

QImage SelectionBar() {
    return Strip(QSize(44, 3), 1,
                 [](QPainter& painter, int) { painter.fillRect(0, 0, 44, 3, QColor(kAccent)); });
}

QImage ManualIcon() {
    // Tool bars are light in most styles; the edge pixels are blended over a light grey.
    return MaskedStrip(QSize(16, 15), 1, qRgb(239, 239, 239), [](QPainter& painter, int) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        // A closed book seen from the front: the cover, and the pages' edge at the bottom.
        painter.fillRect(QRect(3, 0, 11, 13), QColor(kSurface));
        painter.fillRect(QRect(3, 0, 2, 13), QColor(kInset)); // the spine
        painter.fillRect(QRect(4, 13, 10, 2), QColor(kText));
        painter.fillRect(QRect(3, 13, 1, 2), QColor(kInset));
        // A question mark in the accent colour on the cover.
        painter.setRenderHint(QPainter::Antialiasing);
        DrawText(painter, QRect(5, 0, 9, 13), Qt::AlignCenter, QStringLiteral("?"), Font(11, true), kAccent);
    });
}

QImage Cursor(CursorShape shape) {
    return MaskedStrip(QSize(32, 32), 1, qRgb(255, 255, 255), [=](QPainter& painter, int) {
        // Hard edges: a cursor is either drawn or not, pixel by pixel.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        switch (shape) {
        case CursorShape::ResizeHorizontal:
            painter.drawPath(HorizontalArrow());
            break;
        case CursorShape::ResizeVertical:
            painter.drawPath(Transposed(HorizontalArrow()));
            break;
        case CursorShape::Move:
            painter.drawPath(HorizontalArrow().united(Transposed(HorizontalArrow())));
            break;
        case CursorShape::SplitHorizontal:
            painter.drawPath(SplitArrows());
            break;
        case CursorShape::SplitVertical:
            painter.drawPath(Transposed(SplitArrows()));
            break;
        case CursorShape::HandOpen:
        case CursorShape::HandClosed: {
            const bool open = shape == CursorShape::HandOpen;
            painter.drawPath(Hand(open));
            // The gaps between the fingers, down to the palm.
            const int gapTops[] = {7, 6, 9};
            for (int gap = 0; gap < 3; ++gap)
                painter.drawLine(13 + 4 * gap, open ? gapTops[gap] : 12, 13 + 4 * gap, open ? 16 : 14);
            break;
        }
        case CursorShape::Cross:
            // White hairs with a black rim, open at the centre so the hot spot stays visible.
            for (const QRect& hair :
                 {QRect(3, 15, 10, 3), QRect(20, 15, 10, 3), QRect(15, 3, 3, 10), QRect(15, 20, 3, 10)}) {
                painter.fillRect(hair.adjusted(-1, -1, 1, 1), Qt::black);
                painter.fillRect(hair, Qt::white);
            }
            painter.fillRect(QRect(16, 16, 1, 1), Qt::black);
            break;
        }
    });
}

} // namespace artwork
