#pragma once
// The popup menu the root object holds: shows a menu tree at a point on the screen with
// the path to the current leaf marked, and answers the leaf the user chose.

#include <cstdint>

#include "view/CTavMenuItem.h"
#include "view/TavViewTypes.h"

// Where a popup menu opens: at the mouse (10 pixels right and down of it), at an offset
// from the mouse, or at a point in screen coordinates.
struct TavPopupPosition {
    enum Kind : int32_t { kAtMouse = 0, kFromMouse = 1, kAtPoint = 2 };
    Kind kind = kAtMouse;
    TavPoint point;

    static TavPopupPosition AtMouse() { return {}; }
    static TavPopupPosition FromMouse(TavPoint offset) { return {kFromMouse, offset}; }
    static TavPopupPosition AtPoint(TavPoint screenPoint) { return {kAtPoint, screenPoint}; }
    // The menu's top-left corner for the mouse at the given screen point.
    TavPoint Resolve(TavPoint mouse) const {
        switch (kind) {
        case kFromMouse: return {mouse.x + point.x, mouse.y + point.y};
        case kAtPoint: return point;
        case kAtMouse: break;
        }
        return {mouse.x + 10, mouse.y + 10};
    }
};

class ITavPopupMenu {
public:
    virtual ~ITavPopupMenu() = default;
    // Shows the children of the menu item as a popup menu and waits for the user. The
    // leaf with index currentLeaf (none when -1) and every submenu on its path carry the
    // check mark. Returns the chosen leaf's index, or -1 when the menu was dismissed or
    // has nothing to choose.
    virtual int32_t Show(const CTavMenuItem& menu, int32_t currentLeaf, const TavPopupPosition& position) = 0;
};
