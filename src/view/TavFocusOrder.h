#pragma once
// The order in which Tab and Shift+Tab move the keyboard focus through a panel window's
// controls: reading order over the controls' rectangles. Controls are put into lines (two
// share a line when each one's vertical centre lies within the other's top and bottom, so
// a row of knobs and the fields beside them that sit a few pixels lower read as one line),
// the lines from top to bottom, each from left to right. Only controls that take keys,
// are open (in open panels) and are not disabled are visited.

#include <cstddef>
#include <span>
#include <vector>

#include "view/TavViewTypes.h"

class CTavPanel;
class CTavView;

// The indexes of the rectangles in reading order. Rectangles at the same place keep the
// order they were given in.
std::vector<size_t> TavReadingOrder(std::span<const TavRect> rects);

// The views (controls or any view with a Rect()) in reading order, by their rectangles.
template <typename View> std::vector<View*> TavInReadingOrder(const std::vector<View*>& views) {
    std::vector<TavRect> rects;
    rects.reserve(views.size());
    for (const View* view : views)
        rects.push_back(view->Rect());
    std::vector<View*> ordered;
    ordered.reserve(views.size());
    for (size_t index : TavReadingOrder(rects))
        ordered.push_back(views[index]);
    return ordered;
}

// Whether Tab stops at the view now: it takes keys, is open and is not disabled.
bool TavTakesFocus(const CTavView& view);

// The views of the panel Tab stops at, in reading order: its own and those of its open
// child panels, at any depth. None while the panel is closed.
std::vector<CTavView*> TavFocusOrder(const CTavPanel& panel);

// Where Tab (forward) or Shift+Tab moves the focus from `from`: the next or previous view
// of the panel's focus order, wrapping around at the ends. From a view the order does not
// hold (closed or disabled meanwhile) it goes on from that view's place; from none, to
// the first or the last. None when there is nowhere to go.
CTavView* TavNextFocus(const CTavPanel& panel, const CTavView* from, bool forward);

// The root panel the view sits in (the view itself when it has no parent).
const CTavView& TavRootOf(const CTavView& view);
