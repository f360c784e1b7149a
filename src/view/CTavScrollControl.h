#pragma once
// The scroll control: a scroll bar whose thumb shows which window (current lower to
// current upper) of a larger range (scroll lower to scroll upper) is in view. Dragging
// the thumb moves the window; pressing beside it pages, repeating while held. Releasing
// sets the operated value to 1, telling the view's owner that a scroll gesture ended.

#include <cstdint>
#include <memory>
#include <optional>

#include "script/ITavResourceFactory.h"
#include "view/CTavControl.h"
#include "view/TavRepeatTimer.h"

class CTavBufferManager;

// The window of a larger range that a scroll control or a scroll button moves: the
// integers of the view's references 0 to 3 (current lower, current upper, scroll lower,
// scroll upper).
struct TavScrollWindow {
    int64_t currentLower = 0, currentUpper = 0, scrollLower = 0, scrollUpper = 0;
    // Width in view and the distance the lower value can travel.
    int64_t Width() const { return currentUpper - currentLower; }
    int64_t Span() const { return (scrollUpper - scrollLower) - Width(); }
    // lower limited to scroll lower ... scroll lower + span; scroll lower itself when the
    // window cannot move (no width or no span).
    int64_t Limit(int64_t lower) const;

    // False when one of the four references is not resolved.
    static bool Read(const CTavView& view, TavScrollWindow& window);
    // Sets current lower and upper together with one commit; nothing (false) when lower
    // is the current lower or a value is missing.
    bool MoveTo(const CTavView& view, CTavBufferManager& buffers, int64_t lower) const;
};

// Takes the five range references ("currentRangeLowerValueRef", ...) out of items; when
// the view has no "valueRef" they become its value references, in the scroll control's
// order.
void TavTakeScrollRangeRefs(CTavView& view, TavItems& items);

class CTavScrollControl : public CTavDragControl {
public:
    // The value references, in this order.
    enum Ref : int {
        kCurrentLower = 0,
        kCurrentUpper = 1,
        kScrollLower = 2,
        kScrollUpper = 3,
        kOperated = 4
    };
    enum Direction : int32_t { kVertical = 0, kHorizontal = 1 };
    static constexpr int kFirstRepeatMs = 200;
    static constexpr int kRepeatMs = 50;
    static constexpr int32_t kMinThumb = 10;

    CTavScrollControl();
    ~CTavScrollControl() override;

    std::string_view GetKind() const override { return "scroll"; }
    // "direction", "knobColor" ("r,g,b") and the five range references by name; they
    // become the value references when the control has no "valueRef".
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // Places the thumb for the current window.
    void Refresh() override;
    // Fills the thumb in the knob colour.
    void Draw(CTavDrawInfo& info) override;
    // Pages while the mouse is held beside the thumb.
    bool OnTimer(const CTavTimerInfo& info) override;
    // The window is moved by dragging, paging and keys only.
    bool OnWheel(int, uint32_t) override { return false; }
    // While focused: the arrow keys move the window a sixteenth of its width (at least
    // one), Page Up and Page Down a page as pressing beside the thumb does, Home and End to
    // the ends (Up and Left move back). Each move ends with the operated value set, as a
    // drag does.
    bool OnKey(const CTavKeyInfo& info) override;

    const TavRect& Thumb() const { return m_thumb; }
    // A scroll bar telling its window and range.
    void Describe(CTavControlDescription& description) const override;
    int32_t PageDirection() const { return m_pageDirection; }
    CTavTextWriter::Rgb16 KnobColor() const { return m_knobColor; }
    // Made by the resource factory at association; paints the thumb in the knob colour.
    CTavGraphDrawer* GraphDrawer() const { return m_drawer.get(); }

protected:
    // A key moved the window.
    virtual void MovedByKey() {}
    void BeginDrag(const CTavMouseInfo& info) override;
    void Drag(const CTavMouseInfo& info) override;
    void EndDrag(const CTavMouseInfo& info) override;

private:
    using Window = TavScrollWindow;
    int32_t TrackStart() const { return m_direction == kVertical ? m_rect.top : m_rect.left; }
    int32_t TrackLength() const { return m_direction == kVertical ? m_rect.Height() : m_rect.Width(); }
    int32_t Along(TavPoint point) const { return m_direction == kVertical ? point.y : point.x; }
    int32_t ThumbStart() const { return m_direction == kVertical ? m_thumb.top : m_thumb.left; }
    int32_t ThumbLength() const { return m_direction == kVertical ? m_thumb.Height() : m_thumb.Width(); }
    // The lower value that puts the grabbed spot of the thumb under the pointer.
    int64_t LowerForPointer(const Window& window, int32_t along) const;
    void PageStep();
    void MoveWindow(const Window& window, int64_t lower);

    int32_t m_direction = kVertical;
    CTavTextWriter::Rgb16 m_knobColor{0, 0, 0};
    TavRect m_thumb;
    int32_t m_pageDirection = 0;
    std::optional<TavPoint> m_lastPoint;
    int32_t m_grabOffset = 0;
    std::unique_ptr<CTavGraphDrawer> m_drawer;
    CTavRepeatTimer m_timer;
};
