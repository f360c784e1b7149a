#pragma once
// The keyboard's side of a panel window's focus. Tab and Shift+Tab move the view focus
// through the panel's controls in reading order (TavFocusOrder.h), as a click would give
// it (a drag control shows its value in the tip bar) without changing a value. The control
// the keyboard went to stays the keyboard's place: when a click lets the focus go again
// (a button's release, a combo's menu, a knob's time-out without keys), the next key gives
// it back before the key is handled. Once the keyboard has moved the focus, a focus frame
// is drawn just around that control, until the mouse is pressed or turned in the window.

#include <QColor>
#include <QRect>

#include "view/TavViewTypes.h"

class CTavPanel;
class CTavView;
class QPainter;
class QWidget;

class CKeyboardFocus {
public:
    // The focus frame's colour.
    static constexpr QColor kFrameColor{240, 160, 48};

    // root: the window's root panel (any other view has no order to move through);
    // widget: the window's client area, repainted where the frame was and goes.
    CKeyboardFocus(CTavView& root, QWidget& widget);

    // Tab (forward) or Shift+Tab; nothing while a view holds the capture.
    void Move(bool forward);
    // Before a key-down reaches the views: the keyboard's control takes the focus back
    // when nothing of this window has it.
    void BeforeKey(const CTavKeyInfo& info);
    // The mouse was pressed or the wheel turned: the frame goes, and the control the mouse
    // gave the focus to becomes the keyboard's place.
    void MouseUsed();
    // Repaints the old and the new frame when the frame moved or went (its control closed).
    void Sync();
    // Draws the frame; the painter's coordinates are the root panel's.
    void Draw(QPainter& painter) const;

    // The control the keyboard is at (none), and the frame drawn now in root coordinates
    // (empty when none shows).
    CTavView* Current() const { return m_current; }
    const TavRect& Frame() const { return m_frame; }

private:
    bool Owns(const CTavView* view) const;
    void Repaint(const TavRect& rect);

    CTavView& m_root;
    const CTavPanel* m_panel;
    QWidget& m_widget;
    CTavView* m_current = nullptr;
    bool m_shown = false;
    TavRect m_frame;
};
