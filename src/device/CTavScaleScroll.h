#pragma once
// The scale scroll: a knob bitmap dragged along a track over a zoom value of the sample
// view ("vs.sampleEdit.view.dotSamples", "dataScale"). Vertical scrolls put index 0 at the
// bottom, horizontal ones at the left. With "requestWave" a drag or key step that changed
// the value refreshes the sample view with its waves.

#include <cstdint>
#include <optional>

#include "view/CTavControl.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavTipBarOperator.h"

class CTavStateBitmap;

namespace Brio {

class CTavScaleScroll : public CTavDragControl {
public:
    enum Direction : int32_t { kVertical = 0, kHorizontal = 1 };

    // Steps the value with the arrow keys; each step refreshes when "requestWave" is set.
    class CScaleScrollKeyOperator : public CTavSingleKeyOperator {
    public:
        using CTavSingleKeyOperator::CTavSingleKeyOperator;

    protected:
        void ApplyStep() override;
    };
    // Shows the value while the scroll has the focus.
    class CScaleScrollTipBarOperator : public CTavSingleTipBarOperator {
    public:
        using CTavSingleTipBarOperator::CTavSingleTipBarOperator;
    };

    CTavScaleScroll();
    ~CTavScaleScroll() override;

    std::string_view GetKind() const override { return "quasarScaleScroll"; }
    // "bitmapRef" (required), "direction" (0 or 1), "requestWave".
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    void Draw(CTavDrawInfo& info) override;
    void Refresh() override;

    // The knob's top-left corner for an index, and the index under a point.
    TavPoint IndexToKnobPosition(int32_t index) const;
    int32_t PointToIndex(TavPoint point) const;
    TavPoint KnobPosition() const { return m_knobPosition; }
    bool RequestsWave() const { return m_requestWave; }
    // Refreshes the sample view with waves when "requestWave" is set.
    void ValueStepped();

protected:
    std::unique_ptr<CTavKeyOperator> CreateKeyOperator() override;
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override;
    void BeginDrag(const CTavMouseInfo& info) override;
    void Drag(const CTavMouseInfo& info) override;
    void EndDrag(const CTavMouseInfo& info) override;

private:
    TavPoint KnobSize() const;
    // Start and end of the knob's travel along the track.
    std::pair<int64_t, int64_t> Travel() const;

    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    int32_t m_direction = kVertical;
    bool m_requestWave = false;
    TavPoint m_knobPosition;
    int32_t m_grab = 0;
    std::optional<int32_t> m_beginRaw;
};

} // namespace Brio
