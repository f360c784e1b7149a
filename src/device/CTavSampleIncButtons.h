#pragma once
// Increment buttons of the sample edit window: the frame increment button moves the
// start, loop or end marker (by its delta in frames, or to the next beat point), the chop
// frame increment button the current chop point, and the time increment button steps the
// time-stretch ratio by its delta in milliseconds of the stretched length.

#include <array>
#include <cstdint>

#include "view/CTavButton.h"

class CTavBufferManager;
class CTavValue;

namespace Brio {

class CTavFrameIncButton : public CTavIncrementButton {
public:
    static constexpr int32_t kBeatPoints = 32;

    std::string_view GetKind() const override { return "quasarFrameIncButton"; }
    // The increment button's attributes, "frameId" (required: 0 start, 1 loop, 2 end) and
    // "beat" (0 or 1).
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // Moves the marker through the sample editor's marker operation.
    void Step() override;

    int32_t FrameId() const { return m_frameId; }
    bool Beat() const { return m_beat; }

private:
    int32_t m_frameId = -1;
    bool m_beat = false;
    int m_markerRef = -1;
    int m_beatCountRef = -1;
    std::array<int, kBeatPoints> m_beatRefs{};
};

// Moves the chop point "vs.sampleEdit.modify.chop.edit.currentChopId" names by the delta,
// when that chop point exists; the device is sent the new frame.
class CTavChopFrameIncButton : public CTavIncrementButton {
public:
    std::string_view GetKind() const override { return "quasarChopFrameIncButton"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    void Step() override;

private:
    int m_chopIdRef = -1;
    int m_countRef = -1;
    int m_frameRef = -1;
};

// The main value is the ratio, "endValueRef" the sample's length in frames.
class CTavTimeIncButton : public CTavIncrementButton {
public:
    std::string_view GetKind() const override { return "quasarTimeIncButton"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // The stretched length plus the delta in milliseconds; a step too small to change the
    // ratio moves it by one.
    void Step() override;

private:
    int m_endRef = -1;
};

// Moves chop point index to frame (limited to the frame value's range): written to the
// view state and sent to the device.
void TavMoveChopPoint(CTavBufferManager& buffers, CTavValue& frameValue, int32_t index, int64_t frame);

} // namespace Brio
