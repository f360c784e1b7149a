#pragma once
// The bitmaps controls draw over panel backgrounds: knob strips, slider knobs, button state
// strips, small indicators and cursors. All of them carry a mask part.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace artwork {

// Knob frames sweep 30 to 330 degrees, 0 pointing down and growing clockwise (so the sweep
// runs from lower left over the top to lower right). A bipolar knob's arc starts at the top;
// give it an odd frame count so that the middle frame points straight up. matte is the
// colour the knob sits on.
QImage Knob(int size, int frames, bool bipolar, QRgb matte);

// A fader cap for a vertical slider (wide) or a horizontal one (tall).
QImage SliderKnob(bool vertical);

// Latch button frames: 0 off, 1 off and pressed, 2 on, 3 on and pressed. offLabel and
// onLabel may differ (an "OFF"/"ON" switch).
QImage LatchButton(QSize size, const QString& offLabel, const QString& onLabel);
// Solo button frames: 0 no part soloed, 2 another part soloed, 4 this part soloed; each
// followed by its pressed look.
QImage SoloButton(QSize size, const QString& label);
// A strip's part number as its edit part button (34 x 24): 0 up, 1 pressed, 2 the part the
// edit windows show, 3 that pressed.
QImage EditPartButton(int number);
// A page tab: latch frames as above, on the header band.
QImage Tab(const QString& label, QSize size = QSize(104, 28));
// A slide switch with latch frames for the rows of two-way settings: the knob sits left
// while off and right, over the lit track, while on. The background names both ends.
QImage SlideSwitch(QSize size);

enum class Glyph { PopDown, StepUp, StepDown };
// Push button frames: 0 up, 1 pressed.
QImage PushButton(QSize size, Glyph glyph);
// A push button that names what it does: 0 up, 1 pressed (lit while held).
QImage LabelButton(QSize size, const QString& label, int fontSize = 10);

// What a part plays, drawn whole over a strip's type field: PATCH, then RHYTHM, each
// outlined and lettered in its colour.
QImage EntityTypeBadges();
// The lit lamp over a strip's dark lamp socket.
QImage Lamp();
// The keyboard's octave shift from -3 to +3: one lamp of seven lit per frame, 12 apart.
QImage OctaveLamps();
// What the tempo follows when a patch takes the system's: its clock, internal or MIDI.
QImage ClockSourceBadges();
// The bar under the header of the part the edit windows show.
QImage SelectionBar();

// The main window's tool bar button that opens the manual (16 x 15), shown where the
// desktop's icon theme has no "help-contents".
QImage ManualIcon();

// Cursors are 32 x 32 with the hot spot at the centre (16, 16). The split cursors are two
// bars with arrows pointing away from them (a boundary dragged left or right, up or down);
// the hands grab what lies under them, open over it and closed while dragging.
enum class CursorShape {
    ResizeHorizontal,
    ResizeVertical,
    Cross,
    Move,
    SplitHorizontal,
    SplitVertical,
    HandOpen,
    HandClosed
};
QImage Cursor(CursorShape shape);

} // namespace artwork
