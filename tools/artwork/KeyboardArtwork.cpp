#include "KeyboardArtwork.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include "ArtworkStyle.h"

namespace artwork {

namespace {

using namespace palette;

constexpr int kWhiteWidth = 16;
constexpr int kKeyHeight = 72;
constexpr int kUpperHeight = 46;
constexpr int kBlackWidth = 10;
constexpr int kBlackHeight = 44;
constexpr int kOctaveWidth = 7 * kWhiteWidth;

constexpr QRgb kIvory = qRgb(236, 233, 226);
constexpr QRgb kEbony = qRgb(22, 25, 30);

const QSize kStripSize(1080, 96);
const QRect kFrame(8, 2, 1064, 88);
const QRect kCard(16, 8, 232, 76);
const QRect kKeyboardWell(258, 8, 808, 80);
constexpr int kLampCount = 7;
const QPoint kFirstLamp(58, 55); // centres, 12 apart
constexpr int kLampPitch = 12;
const QPoint kVelocityKnobCentre(208, 38);

// One white key at x, lit while pressed: a face with a shadow along its left edge and a
// rounded, slightly darker front edge at the bottom.
void DrawWhiteKey(QPainter& painter, int x, int y, bool pressed) {
    const QRgb face = pressed ? Mix(kIvory, kAccent, 0.6) : kIvory;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Mix(face, kInset, 0.35)));
    painter.drawRoundedRect(QRectF(x + 0.5, y, kWhiteWidth - 1, kKeyHeight - 0.5), 2, 2);
    painter.setBrush(QColor(face));
    painter.drawRoundedRect(QRectF(x + 0.5, y - 3, kWhiteWidth - 1, kKeyHeight - (pressed ? 1.5 : 3.5)), 2,
                            2);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(x + 1, y, 1, kKeyHeight - 4), QColor(Mix(face, kInset, 0.12)));
    painter.restore();
}

// The black key: a dark body with a lighter top face that ends short of the front edge,
// lit amber while pressed.
void DrawBlackKey(QPainter& painter, int x, int y, bool pressed) {
    const QRgb body = pressed ? Mix(kAccent, kEbony, 0.35) : kEbony;
    painter.fillRect(QRect(x, y, kBlackWidth, kBlackHeight), QColor(body));
    const int front = pressed ? 3 : 6;
    painter.fillRect(QRect(x + 2, y, kBlackWidth - 4, kBlackHeight - front),
                     QColor(pressed ? Mix(kAccent, kEbony, 0.1) : Mix(body, kSurface, 0.55)));
    painter.fillRect(QRect(x, y + kBlackHeight - 1, kBlackWidth, 1), QColor(Mix(body, kInset, 0.5)));
}

void DrawArrow(QPainter& painter, QPointF centre, double half, bool right, QRgb colour) {
    const double tip = right ? half * 0.7 : -half * 0.7;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(colour));
    painter.drawPolygon(QPolygonF{QPointF(centre.x() - tip, centre.y() - half),
                                  QPointF(centre.x() - tip, centre.y() + half),
                                  QPointF(centre.x() + tip, centre.y())});
}

} // namespace

QImage KeyboardKeys() {
    QImage image = ScaledImage(QSize(kOctaveWidth + kBlackWidth, 2 * kKeyHeight), QImage::Format_RGB32);
    image.fill(QColor(kInset));
    QPainter painter;
    BeginScaled(painter, image);
    for (const bool pressed : {false, true}) {
        const int y = pressed ? kKeyHeight : 0;
        painter.save();
        painter.setClipRect(QRect(0, y, kOctaveWidth, kKeyHeight));
        for (int key = 0; key < 7; ++key)
            DrawWhiteKey(painter, key * kWhiteWidth, y, pressed);
        painter.restore();
        DrawBlackKey(painter, kOctaveWidth, y, pressed);
    }
    static_assert(kUpperHeight < kKeyHeight && kBlackHeight < kUpperHeight);
    return image;
}

QImage KeyboardStrip() {
    return Strip(kStripSize, 1, [](QPainter& painter, int) {
        painter.fillRect(QRect(QPoint(0, 0), kStripSize), QColor(kBackground));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(kLine), 1));
        painter.setBrush(QColor(FrameFill()));
        painter.drawRoundedRect(QRectF(kFrame).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.setPen(QPen(QColor(Mix(kSurface, kLine, 0.6)), 1));
        painter.setBrush(QColor(kSurface));
        painter.drawRoundedRect(QRectF(kCard).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(QRect(kCard.left() + 8, kCard.top() + 6, 3, 11), QColor(kAccent));
        painter.restore();
        DrawText(painter, QRect(kCard.left() + 16, kCard.top() + 2, 120, 18),
                 Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KEYBOARD"), Font(11, true, 1), kText);
        DrawText(painter, QRect(kCard.left() + 10, kCard.top() + 22, 140, 14),
                 Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OCTAVE"), Font(10), kDimText);

        // The lamps' sockets, the middle one marking no shift, and the shifts they stand for.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        for (int lamp = 0; lamp < kLampCount; ++lamp) {
            const QPointF centre(kFirstLamp.x() + kLampPitch * lamp, kFirstLamp.y());
            painter.setBrush(QColor(kInset));
            painter.drawEllipse(centre, 4, 4);
        }
        painter.restore();
        const QString marks[] = {QStringLiteral("-3"), QStringLiteral("0"), QStringLiteral("+3")};
        for (int i = 0; i < 3; ++i) {
            const int x = kFirstLamp.x() + kLampPitch * 3 * i;
            DrawText(painter, QRect(x - 10, kFirstLamp.y() + 6, 20, 12), Qt::AlignHCenter | Qt::AlignTop,
                     marks[i], Font(8), kDimText);
        }
        DrawKnobWell(painter, kVelocityKnobCentre, 32, QStringLiteral("VELOCITY"), false);
        DrawField(painter, QRect(kVelocityKnobCentre.x() - 30, kVelocityKnobCentre.y() + 38, 60, 12));
        DrawField(painter, kKeyboardWell);
    });
}

QImage OctaveButton(bool up) {
    const QSize size(22, 18);
    return MaskedStrip(size, 2, kSurface, [=](QPainter& painter, int state) {
        const bool pressed = state == 1;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(kLine), 1));
        painter.setBrush(QColor(pressed ? Mix(kAccent, kInset, 0.25) : Mix(kSurface, kText, 0.1)));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
        DrawArrow(painter, QPointF(size.width() / 2.0, size.height() / 2.0 + (pressed ? 1 : 0)), 4.5, up,
                  pressed ? kInset : kText);
    });
}

} // namespace artwork
