#pragma once
// Turns Qt's mouse and key events into the event records the view tree works with.

#include <Qt>

#include "view/TavViewTypes.h"

class QKeyEvent;
class QMouseEvent;

// Bit 0 Shift, bit 1 Ctrl.
uint32_t TavModifiersFromQt(Qt::KeyboardModifiers modifiers);

// The key code of a Qt key: the mapped navigation and keypad keys (256 to 270), letters
// and digits by their upper-case character, other keys by the usual PC key code; 0 for
// keys that have none.
int32_t TavKeyCodeFromQt(int key, Qt::KeyboardModifiers modifiers);

// False for events that produce no record: buttons other than the left one. Moves always
// produce one. The point is the event's position in the receiving widget.
bool TavMouseInfoFromQt(const QMouseEvent& event, CTavMouseInfo& info);

// False for auto-repeated presses (the key operators repeat by themselves), for
// auto-repeated releases and for keys without a code.
bool TavKeyInfoFromQt(const QKeyEvent& event, CTavKeyInfo& info);
