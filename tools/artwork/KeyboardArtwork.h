#pragma once
// The keyboard strip along the bottom of the main window: its background, the pictures of
// the on-screen keyboard's keys and the octave buttons.

#include <QImage>

namespace artwork {

// The keys' picture. The top row is one octave of white keys C to B as they appear on
// screen, 16 pixels wide and 72 high each (upper part 46, lower part 26), followed by the
// black key (10 x 44) at x 112; the second row, 72 pixels down, holds the same keys pressed
// (lit). The editor script names the rectangles of these parts.
QImage KeyboardKeys();
// The strip's background, 1080 x 96: a card with the octave lamps' sockets and the
// velocity knob's ticks on the left, the well the keyboard (800 x 72 at 262,12) sits in.
QImage KeyboardStrip();
// Octave buttons, 22 x 18: 0 up, 1 pressed; an arrow pointing left (down) or right (up).
QImage OctaveButton(bool up);

} // namespace artwork
