// The sample view and the overview: which frames each shows.

#include <algorithm>

#include "device/CTavWaveDrawControl.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavWaveSource.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

void CTavSampleViewControl::Refresh() {
    if (!IsOpen() || m_requesting)
        return;
    FollowZoom();
    // A change published while a transfer waits (the sample's own values arriving) must not
    // start a request inside that wait: the refresh asks the views when it is done.
    if (m_held != Wanted() && TavWaveSource().CanExchange())
        RequestWaveData();
}

void CTavSampleViewControl::FollowZoom() {
    const int64_t perPoint = std::max(RawOf(kDotSamples, 1), 1);
    const int64_t width = int64_t{PlotWidth()} * perPoint;
    const int64_t scrollLo = RawOf(kScrollLo), scrollUp = std::max<int64_t>(RawOf(kScrollUp), scrollLo);
    // The upper end follows the frames per column; the window stays inside the scroll range.
    int64_t lo = std::clamp<int64_t>(RawOf(kViewLo), scrollLo, std::max(scrollLo, scrollUp - width));
    const int64_t up = std::min(lo + width, scrollUp);
    lo = std::max(scrollLo, std::min(lo, up));
    CTavBufferManager* buffers = BufferManager();
    if (buffers && (lo != RawOf(kViewLo) || up != RawOf(kViewUp))) {
        m_requesting = true;
        TavWriteLimited(*buffers, {{RoleValue(kViewLo), static_cast<int32_t>(lo)},
                                   {RoleValue(kViewUp), static_cast<int32_t>(up)}});
        m_requesting = false;
    }
}

std::array<int64_t, 5> CTavSampleViewControl::Wanted() const {
    return {RawOf(kViewLo), RawOf(kViewUp), RawOf(kSampleNumber), RawOf(kGroup), RawOf(kSampleState, 3)};
}

bool CTavSampleViewControl::RequestWaveData() {
    // A refresh of the whole view may come before the view followed a new sample's length.
    if (!m_requesting)
        FollowZoom();
    m_held = Wanted();
    const int64_t lo = RawOf(kViewLo);
    const int64_t up = std::max<int64_t>(RawOf(kViewUp), lo);
    return RequestWaveRange(RawOf(kSampleNumber), RawOf(kGroup), lo, up);
}

bool CTavOverviewControl::RequestWaveData() {
    return RequestWaveRange(RawOf(kSampleNumber), RawOf(kGroup), 0, std::max(RawOf(kScrollUp), 0));
}

std::pair<int32_t, int32_t> CTavOverviewControl::RangeBox() const {
    const TavRect plot = PlotRect();
    const int64_t scrollUp = std::max(RawOf(kScrollUp), 0);
    const int64_t lo = std::clamp<int64_t>(RawOf(kViewLo), 0, scrollUp);
    const int64_t up = std::clamp<int64_t>(RawOf(kViewUp), lo, scrollUp);
    const int32_t right = std::max(plot.left, plot.right - 1);
    return {std::clamp(FrameToX(lo), plot.left, right), std::clamp(FrameToX(up), plot.left, right)};
}

void CTavOverviewControl::DrawOverlay(CTavDrawInfo& info) {
    const TavRect plot = PlotRect();
    if (plot.IsEmpty())
        return;
    const auto [left, right] = RangeBox();
    const int32_t bottom = plot.bottom - 1;
    FillLine(info, left, plot.top, right, plot.top, kRangeColor);
    FillLine(info, left, bottom, right, bottom, kRangeColor);
    FillLine(info, left, plot.top, left, bottom, kRangeColor);
    FillLine(info, right, plot.top, right, bottom, kRangeColor);
}

} // namespace Brio
