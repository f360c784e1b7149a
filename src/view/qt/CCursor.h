#pragma once
// The cursor service on Qt. Each kind has a cursor image of our own, "<name>.bmp" in the
// script folder, drawn as the picture with its mask on the right (black: drawn, white:
// transparent):
//   kind  id    image                   shape                 fallback
//   0     -     (none)                  arrow                 Qt::ArrowCursor
//   1     3079  cursorResizeHorizontal  horizontal resize     Qt::SizeHorCursor
//   5     3080  cursorSplitVertical     vertical split        Qt::SplitVCursor
//   6     3081  cursorMove              move                  Qt::SizeAllCursor
//   3     3082  cursorResizeVertical    vertical resize       Qt::SizeVerCursor
//   4     3083  cursorSplitHorizontal   horizontal split      Qt::SplitHCursor
//   8     3084  cursorHandOpen          open hand             Qt::OpenHandCursor
//   9     3085  cursorHandClosed        closed hand           Qt::ClosedHandCursor
//   7     3086  cursorCross             cross hair            Qt::CrossCursor
// An image that is missing or unreadable is reported once, when the service is made, and
// its kind shows the standard shape instead.

#include <QCursor>
#include <QPoint>

#include <map>
#include <string>

#include "view/CTavCursor.h"
#include "view/TavViewTypes.h"

class CTavTextOut;
class QWidget;

class CCursor : public CTavCursor {
public:
    struct Image {
        int kind;
        int resourceId;
        const char* name;
        QPoint hotSpot;
        Qt::CursorShape fallback;
    };
    // Every image, in resource id order.
    static const Image* Images(size_t& count);
    // The standard shape a kind falls back to.
    static Qt::CursorShape ShapeOfKind(int kind);
    // Loads the images from a folder (ending with '/'); each that cannot be loaded gets one
    // line on errors.
    CCursor(const std::string& folder, CTavTextOut* errors);
    // Loads the images from the process's script folder, reporting to its error output.
    CCursor();

    // What a root window does whenever its cursor has to be chosen (the mouse moved over
    // it): when the owner's HitTest misses the point (client coordinates) the cursor is
    // reset; while an owner remains, the window shows its cursor, otherwise the window's
    // own cursor applies again.
    void ApplyTo(QWidget& window, TavPoint clientPoint);

    // The cursor shown for a kind: its image, or the standard shape without one.
    QCursor CursorOfKind(int kind) const;
    bool HasImage(int kind) const { return m_cursors.count(kind) != 0; }

private:
    std::map<int, QCursor> m_cursors;
};
