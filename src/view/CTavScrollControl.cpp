#include "view/CTavScrollControl.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "app/CTavTextOut.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

namespace {

// a / b rounded to the nearest integer, halves away from zero; b > 0.
int64_t RoundDiv(int64_t a, int64_t b) {
    return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b));
}

struct RangeTag {
    const char* tag;
    int ref;
};

constexpr RangeTag kRangeTags[] = {
    {"currentRangeLowerValueRef", CTavScrollControl::kCurrentLower},
    {"currentRangeUpperValueRef", CTavScrollControl::kCurrentUpper},
    {"scrollRangeLowerValueRef", CTavScrollControl::kScrollLower},
    {"scrollRangeUpperValueRef", CTavScrollControl::kScrollUpper},
    {"operatedValueRef", CTavScrollControl::kOperated},
};

} // namespace

int64_t TavScrollWindow::Limit(int64_t lower) const {
    if (Width() == 0 || Span() <= 0)
        return scrollLower;
    return std::clamp(lower, scrollLower, scrollLower + Span());
}

bool TavScrollWindow::Read(const CTavView& view, TavScrollWindow& window) {
    const CTavValue* values[4] = {view.GetValue(CTavScrollControl::kCurrentLower),
                                  view.GetValue(CTavScrollControl::kCurrentUpper),
                                  view.GetValue(CTavScrollControl::kScrollLower),
                                  view.GetValue(CTavScrollControl::kScrollUpper)};
    for (const CTavValue* value : values)
        if (!value)
            return false;
    window = {values[0]->GetRaw(), values[1]->GetRaw(), values[2]->GetRaw(), values[3]->GetRaw()};
    return true;
}

bool TavScrollWindow::MoveTo(const CTavView& view, CTavBufferManager& buffers, int64_t lower) const {
    CTavValue* lowerValue = view.GetValue(CTavScrollControl::kCurrentLower);
    CTavValue* upperValue = view.GetValue(CTavScrollControl::kCurrentUpper);
    if (lower == currentLower || !lowerValue || !upperValue)
        return false;
    buffers.WriteInteger(*lowerValue, static_cast<int32_t>(lower));
    buffers.WriteInteger(*upperValue, static_cast<int32_t>(lower + Width()));
    TavCommitPending(buffers);
    return true;
}

void TavTakeScrollRangeRefs(CTavView& view, TavItems& items) {
    std::string paths[std::size(kRangeTags)];
    for (auto it = items.begin(); it != items.end();) {
        const auto range = std::find_if(std::begin(kRangeTags), std::end(kRangeTags),
                                        [&](const RangeTag& r) { return it->first == r.tag; });
        if (range == std::end(kRangeTags)) {
            ++it;
            continue;
        }
        paths[range->ref] = it->second;
        it = items.erase(it);
    }
    if (view.ValueRefs().empty())
        for (const std::string& path : paths)
            view.AddValueRef(path);
}

CTavScrollControl::CTavScrollControl() = default;
CTavScrollControl::~CTavScrollControl() = default;

bool CTavScrollControl::Configure(TavItems& items) {
    if (!CTavDragControl::Configure(items))
        return false;
    TavTakeScrollRangeRefs(*this, items);
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "direction") {
            long number = 0;
            if (std::sscanf(it->second.c_str(), "%li", &number) != 1)
                return ReportFailure("Direction is invalid for slider. : %s : %s\n", it->second);
            if (number != kVertical && number != kHorizontal)
                return ReportFailure("Direction must be 0 or 1 for slider. : %s : %s\n", it->second);
            m_direction = static_cast<int32_t>(number);
        } else if (it->first == "knobColor") {
            short r = 0, g = 0, b = 0;
            if (std::sscanf(it->second.c_str(), "%hi,%hi,%hi", &r, &g, &b) != 3) {
                if (CTavTextOut* errors = ErrorOutput())
                    errors->Printf("TextWriter %s knobColor is invalid. : %s\n", Name().c_str(),
                                   it->second.c_str());
                return false;
            }
            m_knobColor = {uint16_t(r), uint16_t(g), uint16_t(b)};
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavScrollControl::Associate(CTavPanel* parent) {
    // The scroll control reports as a slider, as its messages always have.
    if (!AssociateValueControl(parent, "slider", false))
        return false;
    if (CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr)
        m_drawer = resources->ResourceFactory().CreateGraphDrawer();
    Refresh();
    return true;
}

void CTavScrollControl::Refresh() {
    m_thumb = m_rect;
    Window window;
    if (!Window::Read(*this, window) || window.Width() == 0 || window.Span() <= 0)
        return;
    const int64_t length = TrackLength();
    const int64_t total = window.scrollUpper - window.scrollLower;
    const int64_t thumb =
        std::min(std::max(RoundDiv(window.Width() * length, total), int64_t(kMinThumb)), length);
    const int64_t offset =
        std::clamp(RoundDiv((length - thumb) * (window.currentLower - window.scrollLower), window.Span()),
                   int64_t(0), length - thumb);
    const int32_t start = TrackStart() + static_cast<int32_t>(offset);
    const int32_t end = start + static_cast<int32_t>(thumb);
    if (m_direction == kVertical) {
        m_thumb.top = start;
        m_thumb.bottom = end;
    } else {
        m_thumb.left = start;
        m_thumb.right = end;
    }
}

int64_t CTavScrollControl::LowerForPointer(const Window& window, int32_t along) const {
    if (window.Width() == 0 || window.Span() < 1)
        return window.scrollLower;
    const int64_t travel = TrackLength() - ThumbLength();
    if (travel <= 0)
        return window.currentLower;
    return window.Limit(window.scrollLower +
                        RoundDiv(int64_t(along - m_grabOffset - TrackStart()) * window.Span(), travel));
}

void CTavScrollControl::MoveWindow(const Window& window, int64_t lower) {
    if (CTavBufferManager* buffers = BufferManager())
        window.MoveTo(*this, *buffers, lower);
}

void CTavScrollControl::PageStep() {
    Window window;
    if (!m_lastPoint || !Window::Read(*this, window) || window.Width() == 0 || window.Span() <= 0) {
        m_pageDirection = 0;
        return;
    }
    int64_t lower = window.Limit(window.currentLower + m_pageDirection * (window.Width() - 1));
    // Paging stops where the thumb reaches the pointer.
    const int64_t pointer = LowerForPointer(window, Along(*m_lastPoint));
    lower = m_pageDirection < 0 ? std::max(lower, pointer) : std::min(lower, pointer);
    if (lower == window.currentLower) {
        m_pageDirection = 0;
        return;
    }
    MoveWindow(window, lower);
}

void CTavScrollControl::Draw(CTavDrawInfo& info) {
    if (m_drawer && info.Intersects(m_thumb))
        m_drawer->FillRect(info, m_thumb, m_knobColor);
}

bool CTavScrollControl::OnTimer(const CTavTimerInfo& info) {
    if (!m_captured || !m_timer.Expired(Clock()))
        return CTavDragControl::OnTimer(info);
    if (m_pageDirection == 0) {
        m_timer.Stop();
        return true;
    }
    PageStep();
    m_timer.Repeat(Clock(), kRepeatMs);
    return true;
}

bool CTavScrollControl::OnKey(const CTavKeyInfo& info) {
    Window window;
    if (!HasFocus() || m_captured || !Window::Read(*this, window))
        return CTavDragControl::OnKey(info);
    const int64_t line = std::max<int64_t>(window.Width() / 16, 1);
    const int64_t page = std::max<int64_t>(window.Width() - 1, 1);
    int64_t lower = window.currentLower;
    switch (info.code) {
    case kTavKeyUp:
    case kTavKeyLeft: lower -= line; break;
    case kTavKeyDown:
    case kTavKeyRight: lower += line; break;
    case kTavKeyPageUp: lower -= page; break;
    case kTavKeyPageDown: lower += page; break;
    case kTavKeyHome: lower = window.scrollLower; break;
    case kTavKeyEnd: lower = window.scrollUpper; break;
    default: return CTavDragControl::OnKey(info);
    }
    if (info.kind != CTavKeyInfo::kDown)
        return true;
    lower = window.Limit(lower);
    if (lower == window.currentLower)
        return true;
    MoveWindow(window, lower);
    SetValueIndex(kOperated, 1);
    MovedByKey();
    return true;
}

void CTavScrollControl::BeginDrag(const CTavMouseInfo& info) {
    m_lastPoint = info.point;
    const int32_t along = Along(info.point);
    if (m_thumb.Contains(info.point)) {
        m_grabOffset = along - ThumbStart();
        m_pageDirection = 0;
        return;
    }
    m_grabOffset = ThumbLength() / 2;
    m_pageDirection = along <= ThumbStart() ? -1 : 1;
    PageStep();
    m_timer.Start(Clock(), kFirstRepeatMs);
}

void CTavScrollControl::Drag(const CTavMouseInfo& info) {
    if (!m_lastPoint || *m_lastPoint == info.point)
        return;
    m_lastPoint = info.point;
    Window window;
    if (m_pageDirection != 0 || !Window::Read(*this, window))
        return;
    MoveWindow(window, LowerForPointer(window, Along(info.point)));
}

void CTavScrollControl::EndDrag(const CTavMouseInfo&) {
    m_lastPoint.reset();
    m_pageDirection = 0;
    m_timer.Stop();
    SetValueIndex(kOperated, 1);
}
