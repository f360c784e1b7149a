#pragma once
// The knob: one frame of a multi-frame bitmap shows the main value; dragging the mouse
// around the knob's centre turns it. Angles are in degrees, 0 pointing straight down and
// growing clockwise (90 left, 180 up, 270 right).

#include <cstdint>
#include <optional>

#include "view/CTavControl.h"

class CTavStateBitmap;

class CTavKnobControl : public CTavDragControl {
public:
    CTavKnobControl();
    ~CTavKnobControl() override;

    std::string_view GetKind() const override { return "knob"; }
    // "bitmapRef" (required) and "angleRange" ("min,max", min below max).
    bool Configure(TavItems& items) override;
    // The main value must be an integer with more than one value; the control takes the
    // size of one bitmap frame.
    bool Associate(CTavPanel* parent) override;
    void Draw(CTavDrawInfo& info) override;
    void Refresh() override;
    // Moves the control; its size stays that of the bitmap frame.
    void SetRect(const TavRect& rect) override;

    virtual int32_t ValueCount() const;
    virtual int32_t AngleOfPoint(TavPoint point) const;
    // The index an angle selects, limited to the value's range.
    virtual int32_t AngleToIndex(int32_t angle) const;
    virtual int32_t IndexToFrame(int32_t index) const;

    int32_t Frame() const { return m_frame; }
    int32_t AngleMin() const { return m_angleMin; }
    int32_t AngleMax() const { return m_angleMax; }

protected:
    std::unique_ptr<CTavKeyOperator> CreateKeyOperator() override;
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override;
    // A double-click or Return types the value into the edit box.
    bool TakesTypedValue() const override { return true; }
    // Ctrl alone restores the default index and ends the drag at once.
    void BeginDrag(const CTavMouseInfo& info) override;
    // A move that crosses the bottom (more than 180 degrees at once) is ignored.
    void Drag(const CTavMouseInfo& info) override;
    void EndDrag(const CTavMouseInfo& info) override;

private:
    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    int32_t m_angleMin = 30;
    int32_t m_angleMax = 330;
    int32_t m_frame = 0;
    std::optional<TavPoint> m_lastPoint;
};
