#include "view/TavFocusOrder.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "view/CTavControl.h"
#include "view/CTavPanel.h"

namespace {

// Whether a's vertical centre lies within b's top ... bottom (in half pixels, so odd
// heights need no rounding).
bool CentreWithin(const TavRect& a, const TavRect& b) {
    const int64_t centre = int64_t{a.top} + a.bottom;
    return centre >= 2 * int64_t{b.top} && centre <= 2 * int64_t{b.bottom};
}

bool ShareLine(const TavRect& a, const TavRect& b) {
    return CentreWithin(a, b) && CentreWithin(b, a);
}

void Collect(const CTavPanel& panel, std::vector<CTavView*>& views) {
    if (!panel.IsOpen())
        return;
    for (const auto& control : panel.Controls())
        if (TavTakesFocus(*control))
            views.push_back(control.get());
    for (const auto& child : panel.ChildPanels())
        Collect(*child, views);
}

} // namespace

std::vector<size_t> TavReadingOrder(std::span<const TavRect> rects) {
    std::vector<size_t> byTop(rects.size());
    std::iota(byTop.begin(), byTop.end(), size_t{0});
    std::stable_sort(byTop.begin(), byTop.end(), [&](size_t a, size_t b) {
        return rects[a].top != rects[b].top ? rects[a].top < rects[b].top : rects[a].left < rects[b].left;
    });
    // Each rectangle joins the first line whose first rectangle it shares a line with;
    // lines begin in the order of their tops.
    std::vector<std::vector<size_t>> lines;
    for (size_t index : byTop) {
        auto line = std::find_if(lines.begin(), lines.end(), [&](const std::vector<size_t>& l) {
            return ShareLine(rects[l.front()], rects[index]);
        });
        if (line == lines.end())
            lines.push_back({index});
        else
            line->push_back(index);
    }
    std::vector<size_t> order;
    order.reserve(rects.size());
    for (std::vector<size_t>& line : lines) {
        std::stable_sort(line.begin(), line.end(),
                         [&](size_t a, size_t b) { return rects[a].left < rects[b].left; });
        order.insert(order.end(), line.begin(), line.end());
    }
    return order;
}

bool TavTakesFocus(const CTavView& view) {
    if (!view.IsOpen() || !view.TakesKeyboardFocus())
        return false;
    const auto* control = dynamic_cast<const CTavControl*>(&view);
    return !control || !control->IsDisabled();
}

std::vector<CTavView*> TavFocusOrder(const CTavPanel& panel) {
    std::vector<CTavView*> views;
    Collect(panel, views);
    return TavInReadingOrder(views);
}

CTavView* TavNextFocus(const CTavPanel& panel, const CTavView* from, bool forward) {
    std::vector<CTavView*> views;
    Collect(panel, views);
    const bool listed = from && std::find(views.begin(), views.end(), from) != views.end();
    // A view that is no stop takes its place among the others for the step off it.
    if (from && !listed)
        views.push_back(const_cast<CTavView*>(from));
    const std::vector<CTavView*> order = TavInReadingOrder(views);
    const size_t count = order.size() - (from && !listed ? 1 : 0);
    if (count == 0)
        return nullptr;
    if (!from)
        return forward ? order.front() : order.back();
    const size_t at = static_cast<size_t>(std::find(order.begin(), order.end(), from) - order.begin());
    const size_t next = forward ? (at + 1) % order.size() : (at + order.size() - 1) % order.size();
    return order[next];
}

const CTavView& TavRootOf(const CTavView& view) {
    const CTavView* root = &view;
    while (const CTavPanel* parent = root->GetParent())
        root = parent;
    return *root;
}
