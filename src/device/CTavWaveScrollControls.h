#pragma once
// The scroll, zoom and scrub buttons of the sample edit window: the wave scroll over the
// visible range, the increment buttons that step a zoom value through powers of two or
// shift the visible range, and the scrub button that previews from a marker.

#include <array>
#include <cstdint>
#include <string>

#include "view/CTavButton.h"
#include "view/CTavScrollButton.h"
#include "view/CTavScrollControl.h"

namespace Brio {

// The generic scroll control with a tip bar showing its value while it has the focus. A
// drag that moved the window (or the operated value) refreshes the sample view without
// requesting wave data again.
class CTavWaveScroll : public CTavScrollControl {
public:
    std::string_view GetKind() const override { return "quasarWaveScroll"; }

protected:
    std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator() override;
    void MovedByKey() override;
    void BeginDrag(const CTavMouseInfo& info) override;
    void EndDrag(const CTavMouseInfo& info) override;

private:
    std::array<int32_t, 2> Positions() const;
    std::array<int32_t, 2> m_begin{};
};

// Steps a zoom value to the neighbouring power of two: up for a positive "deltaValue",
// down otherwise. "direction" 0 shows the new value as "1/%d" (frames per column), 1 as
// "%d"; "requestWave" refreshes the sample view with waves when the repeat ends.
class CTavScaleIncButton : public CTavIncrementButton {
public:
    std::string_view GetKind() const override { return "quasarScaleIncButton"; }
    bool Configure(TavItems& items) override;
    bool OnMouse(const CTavMouseInfo& info) override;
    void Step() override;

    // 2 to the power (log2 of value rounded to nearest, plus step), limited to lo ... hi.
    static int32_t NextPowerOfTwo(int32_t value, int32_t step, int32_t lo, int32_t hi);
    std::string TipText(int32_t value) const;
    bool RequestsWave() const { return m_requestWave; }

protected:
    void OnRelease(const CTavMouseInfo& info) override;

private:
    int32_t m_direction = 0;
    bool m_requestWave = false;
    bool m_useTipBar = false;
    TavPoint m_mouse;
};

// A scroll button whose step is "deltaValue" sixteenths of the visible width (at least
// one frame); the tip bar shows the new lower frame, and "requestWave" refreshes the
// sample view with waves when the repeat ends.
class CTavWaveScrollIncButton : public CTavScrollButton {
public:
    static constexpr int64_t kStepDivisions = 16;

    std::string_view GetKind() const override { return "quasarWaveScrollIncButton"; }
    bool Configure(TavItems& items) override;
    bool OnMouse(const CTavMouseInfo& info) override;
    void Step() override;

protected:
    void OnRelease(const CTavMouseInfo& info) override;

private:
    bool m_requestWave = false;
    bool m_useTipBar = false;
    TavPoint m_mouse;
};

// A latch button over "vs.sampleEdit.view.scrubFrameId" whose release hands the new value
// to the device layer's scrub operation instead of writing it.
class CTavScrubButtonControl : public CTavLatchButton {
public:
    std::string_view GetKind() const override { return "quasarScrubButton"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;

protected:
    void OnRelease(const CTavMouseInfo& info) override;
};

} // namespace Brio
