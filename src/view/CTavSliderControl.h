#pragma once
// The slider: a knob bitmap that travels along a track (drawn by the panel's background).
// Vertical sliders put index 0 at the bottom, horizontal ones at the left. With a
// resolution above 1 a drag moves the value in steps of that size, keeping the remainder.

#include <cstdint>
#include <optional>
#include <string>

#include "view/CTavControl.h"

class CTavStateBitmap;

class CTavSliderControl : public CTavDragControl {
public:
    enum Direction : int32_t { kVertical = 0, kHorizontal = 1 };

    CTavSliderControl();
    ~CTavSliderControl() override;

    std::string_view GetKind() const override { return "slider"; }
    // "bitmapRef" (required), "direction" (0 or 1) and "resolution" (1 or more).
    bool Configure(TavItems& items) override;
    // The main value must be an integer with more than one value, and the knob must be
    // shorter than the control along the track.
    bool Associate(CTavPanel* parent) override;
    void Draw(CTavDrawInfo& info) override;
    void Refresh() override;

    virtual bool SetIndex(int32_t index);
    // The index for a pointer position, with the grab offset of the current drag; moving
    // the pointer sideways away from the control makes the travel longer, so finer.
    virtual int32_t PointToIndex(TavPoint point) const;
    // Top-left corner of the knob for an index.
    virtual TavPoint IndexToKnobPosition(int32_t index) const;

    TavPoint KnobPosition() const { return m_knobPosition; }
    int32_t Direction() const { return m_direction; }
    int32_t Resolution() const { return m_resolution; }

protected:
    // The word the association messages name the control by.
    virtual std::string MessageKind() const { return "slider"; }
    std::unique_ptr<CTavKeyOperator> CreateKeyOperator() override;
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override;
    // A double-click or Return types the value into the edit box.
    bool TakesTypedValue() const override { return true; }
    // Ctrl alone restores the default index. A press on the knob holds it where it was
    // grabbed; a press beside it grabs its middle and moves the value there at once.
    void BeginDrag(const CTavMouseInfo& info) override;
    void Drag(const CTavMouseInfo& info) override;
    void EndDrag(const CTavMouseInfo& info) override;

private:
    int32_t ValueCount() const;
    TavPoint KnobSize() const;

    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    int32_t m_direction = kVertical;
    int32_t m_resolution = 1;
    TavPoint m_knobPosition;
    std::optional<TavPoint> m_lastPoint;
    TavPoint m_grabOffset;
};
