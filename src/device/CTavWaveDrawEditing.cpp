// The mouse side of the waveform views: the marker, envelope and chop point edits.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "device/CTavWaveDrawControl.h"
#include "device/TavDeviceControlValues.h"
#include "device/TavWaveSource.h"
#include "model/CTavValue.h"
#include "view/CTavCursor.h"

namespace Brio {

namespace {

// The cursor shown over something the mouse can drag sideways.
constexpr int kMoveCursor = 3;

} // namespace

bool CTavWaveDrawControl::OnMouse(const CTavMouseInfo& info) {
    const TavRect plot = PlotRect();
    const TavRect pressArea{plot.left, m_rect.top, plot.right, m_rect.bottom};
    switch (info.kind) {
    case CTavMouseInfo::kPressed:
    case CTavMouseInfo::kDoubleClick:
        if (!pressArea.Contains(info.point))
            return false;
        SetFocus(true);
        Capture(true);
        BeginDrag(info);
        return true;
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        Capture(false);
        EndDrag(info);
        return true;
    case CTavMouseInfo::kMove:
        if (!m_captured && !m_rect.Contains(info.point)) {
            if (CTavCursor* cursor = CTavCursor::Current())
                cursor->Release(this);
            return false;
        }
        Hover(info);
        if (m_captured)
            Drag(info);
        return true;
    }
    return false;
}

void CTavWaveDrawControl::WriteRole(int role, int64_t raw) {
    CTavBufferManager* buffers = BufferManager();
    if (CTavValue* value = RoleValue(role); value && buffers)
        TavWriteLimited(*buffers, {{value, static_cast<int32_t>(std::clamp<int64_t>(raw, INT32_MIN, INT32_MAX))}});
}

int CTavWaveDrawControl::NearestChop(int32_t x) const {
    const std::vector<int64_t> frames = ChopFrames();
    int best = -1;
    int32_t distance = kHitDistance + 1;
    for (size_t i = 0; i < frames.size(); ++i) {
        const int32_t d = std::abs(FrameToX(frames[i]) - x);
        if (d < distance) {
            distance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void CTavWaveDrawControl::Hover(const CTavMouseInfo& info) {
    CTavCursor* cursor = CTavCursor::Current();
    if (!cursor || m_captured)
        return;
    bool overMarker = false;
    if (m_mode == kChop) {
        overMarker = ChopMode() != kChopAdd && NearestChop(info.point.x) >= 0;
    } else if (m_mode == kStartLoopEnd || m_mode == kStartLoopEndAlt) {
        for (int role : {kStart, kLoop, kEnd})
            overMarker = overMarker ||
                         (m_refs[role] >= 0 && std::abs(FrameToX(RawOf(role)) - info.point.x) <= kHitDistance);
    }
    if (overMarker)
        cursor->SetCursor(kMoveCursor, this);
    else
        cursor->Release(this);
}

void CTavWaveDrawControl::BeginDrag(const CTavMouseInfo& info) {
    m_dragTarget = -1;
    if (m_mode == kChop) {
        BeginChop(info);
    } else if (m_mode == kAmpEnvelope) {
        BeginEnvelope(info);
    } else if (m_mode == kStartLoopEnd || m_mode == kStartLoopEndAlt) {
        // Of markers on the same spot, the mouse right of them takes the last (the end).
        int32_t distance = kHitDistance + 1;
        for (int marker = 0; marker < 3; ++marker) {
            const int role = kStart + marker;
            if (m_refs[role] < 0)
                continue;
            const int32_t x = FrameToX(RawOf(role));
            const int32_t d = std::abs(x - info.point.x);
            if (d < distance || (d == distance && info.point.x >= x)) {
                distance = d;
                m_dragTarget = marker;
            }
        }
    }
}

void CTavWaveDrawControl::Drag(const CTavMouseInfo& info) {
    if (m_dragTarget < 0)
        return;
    if (m_mode == kStartLoopEnd || m_mode == kStartLoopEndAlt) {
        TavWaveSource().MoveMarker(m_dragTarget, XToFrame(info.point.x));
    } else if (m_mode == kAmpEnvelope) {
        DragEnvelope(info);
    } else if (m_mode == kChop && ChopMode() != kChopDelete &&
               m_dragTarget < static_cast<int>(m_chopRefs.size())) {
        CTavBufferManager* buffers = BufferManager();
        if (CTavValue* frame = GetValue(m_chopRefs[m_dragTarget]); frame && buffers)
            TavWriteLimited(*buffers, {{frame, static_cast<int32_t>(XToFrame(info.point.x))}});
    }
}

void CTavWaveDrawControl::EndDrag(const CTavMouseInfo& info) {
    if (m_mode == kChop)
        EndChop(info);
    else if (m_mode == kAmpEnvelope && m_useTipBar)
        TavHideMouseTip(*this);
    m_dragTarget = -1;
}

// ---- Chop points -----------------------------------------------------------------------

void CTavWaveDrawControl::BeginChop(const CTavMouseInfo& info) {
    ITavWaveSource& source = TavWaveSource();
    if (ChopMode() != kChopAdd) {
        m_dragTarget = NearestChop(info.point.x);
        if (m_dragTarget >= 0)
            WriteRole(kChopPointId, m_dragTarget);
        return;
    }
    const std::vector<int64_t> before = ChopFrames();
    if (before.size() >= static_cast<size_t>(CTavSampleEditor::kMaxChopPoints))
        return;
    const int64_t frame = XToFrame(info.point.x);
    if (!source.SendChopPoint(static_cast<int32_t>(before.size()), frame))
        return;
    source.ReadChopPoints();
    // The device keeps its points in order, so the new one is found by its frame.
    const std::vector<int64_t> after = ChopFrames();
    const auto found = std::find(after.begin(), after.end(), frame);
    if (found == after.end())
        return;
    m_dragTarget = static_cast<int>(found - after.begin());
    WriteRole(kChopPointId, m_dragTarget);
}

void CTavWaveDrawControl::EndChop(const CTavMouseInfo& info) {
    ITavWaveSource& source = TavWaveSource();
    const int index = m_dragTarget;
    if (index < 0 || index >= static_cast<int>(m_chopRefs.size()))
        return;
    if (ChopMode() != kChopDelete) {
        source.SendChopPoint(index, TavRawOf(GetValue(m_chopRefs[index]), 0));
        source.ReadChopPoints();
        return;
    }
    if (info.forced || !m_rect.Contains(info.point))
        return;
    source.ClearChopPoint(index);
    source.ReadChopPoints();
    const int32_t last = std::max<int32_t>(static_cast<int32_t>(ChopFrames().size()) - 1, 0);
    WriteRole(kChopPointId, std::clamp(RawOf(kChopPointId), 0, last));
}

// ---- Amp envelope ----------------------------------------------------------------------

void CTavWaveDrawControl::BeginEnvelope(const CTavMouseInfo& info) {
    if (RawOf(kEnvMode, 1) == 0) {
        m_dragTarget = 0;
        return;
    }
    int32_t distance = kHitDistance + 1;
    for (int i = 0; i < 4; ++i) {
        const TavPoint p = EnvelopePoint(i);
        const int32_t d = std::max(std::abs(p.x - info.point.x), std::abs(p.y - info.point.y));
        if (d < distance) {
            distance = d;
            m_dragTarget = i;
        }
    }
}

void CTavWaveDrawControl::DragEnvelope(const CTavMouseInfo& info) {
    const int i = m_dragTarget;
    CTavBufferManager* buffers = BufferManager();
    CTavValue* rate = RoleValue(kR1 + i);
    if (!buffers || !rate)
        return;
    const int32_t maximum = rate->Spec().maximum > 0 ? rate->Spec().maximum : 200;
    const int64_t h = std::max(2, Bottom() - Top());
    const int64_t fromBottom = std::clamp<int64_t>(Bottom() - 1 - info.point.y, 0, h - 1);
    const int32_t newRate = static_cast<int32_t>((fromBottom * maximum + (h - 1) / 2) / (h - 1));
    TavIntegerWrites writes{{rate, newRate}};
    int64_t frame = RawOf(kA1 + i);
    const bool fourPoints = RawOf(kEnvMode, 1) != 0;
    if (fourPoints && RoleValue(kA1 + i)) {
        // A point stays between its neighbours.
        const int64_t lower = i > 0 && m_refs[kA1 + i - 1] >= 0 ? RawOf(kA1 + i - 1) : 0;
        const int64_t upper = i < 3 && m_refs[kA1 + i + 1] >= 0 ? RawOf(kA1 + i + 1) : INT32_MAX;
        frame = std::clamp(XToFrame(info.point.x), lower, std::max(lower, upper));
        writes.emplace_back(RoleValue(kA1 + i), static_cast<int32_t>(frame));
    }
    TavWriteLimited(*buffers, writes);
    if (!m_useTipBar)
        return;
    char text[64];
    if (fourPoints)
        std::snprintf(text, sizeof text, "%d: %lld / %d%%", i + 1, static_cast<long long>(frame), RawOf(kR1 + i));
    else
        std::snprintf(text, sizeof text, "%d%%", RawOf(kR1 + i));
    TavShowMouseTip(*this, info.point, text);
}

} // namespace Brio
