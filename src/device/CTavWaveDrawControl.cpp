#include "device/CTavWaveDrawControl.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "device/TavDeviceControlValues.h"
#include "device/TavWaveSource.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavCursor.h"
#include "view/CTavViewManager.h"

namespace Brio {

namespace {

struct RoleTag {
    const char* tag;
    int role;
};

constexpr RoleTag kRoleTags[] = {
    {"startValueRef", CTavWaveDrawControl::kStart},
    {"loopValueRef", CTavWaveDrawControl::kLoop},
    {"endValueRef", CTavWaveDrawControl::kEnd},
    {"chopFrameValueRef", CTavWaveDrawControl::kChopFrame},
    {"chopPointIdValueRef", CTavWaveDrawControl::kChopPointId},
    {"chopPreviewValueRef", CTavWaveDrawControl::kChopPreview},
    {"previewFrameValueRef", CTavWaveDrawControl::kPreviewFrame},
    {"samplePreviewValueRef", CTavWaveDrawControl::kSamplePreview},
    {"envModeValueRef", CTavWaveDrawControl::kEnvMode},
    {"A1ValueRef", CTavWaveDrawControl::kA1},
    {"A2ValueRef", CTavWaveDrawControl::kA2},
    {"A3ValueRef", CTavWaveDrawControl::kA3},
    {"A4ValueRef", CTavWaveDrawControl::kA4},
    {"R1ValueRef", CTavWaveDrawControl::kR1},
    {"R2ValueRef", CTavWaveDrawControl::kR2},
    {"R3ValueRef", CTavWaveDrawControl::kR3},
    {"R4ValueRef", CTavWaveDrawControl::kR4},
};

constexpr RoleTag kWindowPaths[] = {
    {"vs.sampleEdit.view.sampleNumberL", CTavWaveDrawControl::kSampleNumber},
    {"vs.sampleEdit.view.sampleGroupID", CTavWaveDrawControl::kGroup},
    {"vs.sampleEdit.view.sampleState", CTavWaveDrawControl::kSampleState},
    {"vs.sampleEdit.view.dataScale", CTavWaveDrawControl::kDataScale},
    {"vs.sampleEdit.view.dotSamples", CTavWaveDrawControl::kDotSamples},
    {"vs.sampleEdit.view.viewRangeLo", CTavWaveDrawControl::kViewLo},
    {"vs.sampleEdit.view.viewRangeUp", CTavWaveDrawControl::kViewUp},
    {"vs.sampleEdit.view.scrollRangeLo", CTavWaveDrawControl::kScrollLo},
    {"vs.sampleEdit.view.scrollRangeUp", CTavWaveDrawControl::kScrollUp},
};

constexpr RoleTag kChopPaths[] = {
    {"vs.sampleEdit.modify.chop.edit.mode", CTavWaveDrawControl::kChopEditMode},
    {"vs.sampleEdit.modify.chop.edit.chopPointCount", CTavWaveDrawControl::kChopCount},
};

constexpr const char* kDefaultChopFrames = "vs.sampleEdit.modify.chop.chopPoint[%d].frame";
constexpr const char* kBeatCountPath = "com.utility.sample.sampleBeatPoint.beatDataSize";
constexpr const char* kBeatPointPath = "com.utility.sample.sampleBeatPoint.beatPoint[%d]";

constexpr int32_t kFullScale = 32767;

std::string Indexed(const std::string& pattern, int index) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", index);
    std::string path = pattern;
    if (const size_t at = path.find("%d"); at != std::string::npos)
        path.replace(at, 2, text);
    return path;
}

} // namespace

CTavWaveDrawControl::CTavWaveDrawControl() {
    m_refs.fill(-1);
}

CTavWaveDrawControl::~CTavWaveDrawControl() {
    if (m_registered)
        TavWaveSource().RemoveWaveView(this);
}

bool CTavWaveDrawControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    if (!TavTakeUseTipBar(items, *this, m_useTipBar))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        const auto role = std::find_if(std::begin(kRoleTags), std::end(kRoleTags),
                                       [&](const RoleTag& r) { return it->first == r.tag; });
        if (it->first == "mode") {
            long mode = 0;
            if (!TavScanLong(it->second, mode))
                return ReportFailure("wave draw view control %s id is invalid. : %s\n", it->second);
            m_mode = static_cast<int32_t>(mode);
        } else if (role == std::end(kRoleTags)) {
            ++it;
            continue;
        } else if (role->role == kChopFrame && it->second.find("%d") != std::string::npos) {
            m_chopFramePath = it->second;
        } else {
            m_refs[role->role] = AddValueRef(it->second);
        }
        it = items.erase(it);
    }
    for (const RoleTag& path : kWindowPaths)
        m_refs[path.role] = AddValueRef(path.tag);
    if (m_mode == kChop) {
        for (const RoleTag& path : kChopPaths)
            m_refs[path.role] = AddValueRef(path.tag);
        const std::string pattern = m_chopFramePath.empty() ? kDefaultChopFrames : m_chopFramePath;
        for (int i = 0; i < CTavSampleEditor::kMaxChopPoints; ++i)
            m_chopRefs.push_back(AddValueRef(Indexed(pattern, i)));
    }
    return true;
}

bool CTavWaveDrawControl::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return false;
    CTavBufferManager* buffers = BufferManager();
    if ((m_mode == kStartLoopEnd || m_mode == kStartLoopEndAlt) && buffers && !m_beatCount) {
        m_beatCount = buffers->FindValue(kBeatCountPath);
        for (int i = 0; m_beatCount && i < kMaxBeatPoints; ++i) {
            const CTavValue* point = buffers->FindValue(Indexed(kBeatPointPath, i));
            if (!point)
                break;
            m_beatPoints.push_back(point);
        }
    }
    if (CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr)
        m_drawer = resources->ResourceFactory().CreateGraphDrawer();
    return true;
}

bool CTavWaveDrawControl::Open() {
    const bool opened = CTavControl::Open();
    if (!m_registered) {
        TavWaveSource().AddWaveView(this);
        m_registered = true;
    }
    return opened;
}

bool CTavWaveDrawControl::Close() {
    if (m_registered) {
        TavWaveSource().RemoveWaveView(this);
        m_registered = false;
    }
    if (CTavCursor* cursor = CTavCursor::Current())
        cursor->Release(this);
    return CTavControl::Close();
}

void CTavWaveDrawControl::SetRect(const TavRect& rect) {
    CTavControl::SetRect(rect);
    if (m_last == m_first)
        m_last = m_first + int64_t{PlotWidth()} * m_framesPerPoint;
}

void CTavWaveDrawControl::Refresh() {}

// ---- Geometry --------------------------------------------------------------------------

int32_t CTavWaveDrawControl::Margin() const {
    switch (m_mode) {
    case kStartLoopEnd:
    case kStartLoopEndAlt:
        return 10;
    case kAmpEnvelope:
        return 2;
    default:
        return 1;
    }
}

int32_t CTavWaveDrawControl::PlotWidth() const {
    return std::max(0, m_rect.right - m_rect.left - 2 * Margin() - 1);
}

int32_t CTavWaveDrawControl::Top() const {
    const bool titled = m_mode == kStartLoopEnd || m_mode == kStartLoopEndAlt || m_mode == kChop;
    return m_rect.top + (titled ? kTitleHeight : 0);
}

int32_t CTavWaveDrawControl::Bottom() const {
    return std::max(Top(), m_rect.bottom - (m_mode == kAmpEnvelope ? 3 : 1));
}

TavRect CTavWaveDrawControl::PlotRect() const {
    const int32_t left = m_rect.left + Margin();
    return {left, Top(), left + PlotWidth(), Bottom()};
}

bool CTavWaveDrawControl::IsStereo() const {
    const int32_t state = RawOf(kSampleState, 3);
    return state == 1 || state == 2;
}

std::vector<TavRect> CTavWaveDrawControl::Lanes() const {
    const TavRect plot = PlotRect();
    if (!IsStereo())
        return {plot};
    const int32_t half = plot.Height() / 2;
    return {{plot.left, plot.top, plot.right, plot.top + half}, {plot.left, plot.top + half, plot.right, plot.top + 2 * half}};
}

int32_t CTavWaveDrawControl::FrameToX(int64_t frame) const {
    const int64_t left = m_rect.left + Margin();
    if (m_last == m_first)
        return static_cast<int32_t>(left);
    const int64_t x = left + (frame - m_first) * (PlotWidth() - 1) / (m_last - m_first);
    return static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN / 2, INT32_MAX / 2));
}

int64_t CTavWaveDrawControl::XToFrame(int32_t x) const {
    const int64_t w = PlotWidth();
    if (w <= 1)
        return m_first;
    const int64_t column = std::clamp<int64_t>(x - (m_rect.left + Margin()), 0, w - 1);
    // The first frame drawn at that column.
    return m_first + (column * (m_last - m_first) + (w - 2)) / (w - 1);
}

int32_t CTavWaveDrawControl::DataScale() const {
    return std::max(1, RawOf(kDataScale, 1));
}

int32_t CTavWaveDrawControl::ValueToY(int32_t value, const TavRect& lane) const {
    // +full scale / S at the top row, -full scale / S at the bottom row.
    const int64_t scaled = std::clamp<int64_t>(int64_t{value} * DataScale(), -kFullScale, kFullScale);
    const int64_t rows = std::max(lane.Height() - 1, 0);
    return static_cast<int32_t>(lane.top + rows * (kFullScale - scaled) / (2 * kFullScale));
}

int32_t CTavWaveDrawControl::RawOf(int role, int32_t absent) const {
    return TavRawOf(RoleValue(role), absent);
}

std::vector<int64_t> CTavWaveDrawControl::ChopFrames() const {
    std::vector<int64_t> frames;
    const int32_t count = std::clamp(RawOf(kChopCount), 0, static_cast<int32_t>(m_chopRefs.size()));
    for (int32_t i = 0; i < count; ++i)
        frames.push_back(TavRawOf(GetValue(m_chopRefs[i]), 0));
    return frames;
}

TavPoint CTavWaveDrawControl::EnvelopePoint(int index) const {
    const CTavValue* rate = RoleValue(kR1 + index);
    const int32_t maximum = rate && rate->Spec().maximum > 0 ? rate->Spec().maximum : 200;
    const int64_t h = std::max(1, Bottom() - Top());
    const int64_t r = std::clamp(TavRawOf(rate, 0), 0, maximum);
    return {FrameToX(RawOf(kA1 + index)), static_cast<int32_t>(Bottom() - 1 - r * (h - 1) / maximum)};
}

// ---- Requests --------------------------------------------------------------------------

bool CTavWaveDrawControl::RequestChannel(int channel, int32_t number, int32_t group) {
    std::vector<TavWavePoint>& points = m_points[channel];
    const int32_t width = PlotWidth();
    for (int32_t m = 0; m < width; m += CTavSampleEditor::kMaxWavePoints) {
        const int32_t count = std::min(CTavSampleEditor::kMaxWavePoints, width - m);
        const size_t before = points.size();
        const bool ok = TavWaveSource().RequestWave(group, number, m_first + int64_t{m_framesPerPoint} * m,
                                                    m_framesPerPoint, count, points);
        // An answer never grows the buffer past what was asked.
        if (points.size() > before + count)
            points.resize(before + count);
        Update();
        if (!ok)
            return false;
        if (points.size() - before < static_cast<size_t>(count))
            break;
    }
    return true;
}

bool CTavWaveDrawControl::RequestWave(int32_t number, int32_t group, int64_t firstFrame, int32_t framesPerPoint) {
    if (m_requesting)
        return false;
    m_requesting = true;
    m_first = std::max<int64_t>(firstFrame, 0);
    m_framesPerPoint = std::max(framesPerPoint, 1);
    m_last = m_first + int64_t{PlotWidth()} * m_framesPerPoint;
    for (auto& points : m_points)
        points.clear();
    const int32_t state = RawOf(kSampleState, 3);
    bool ok = true;
    if (state != 3) {
        ok = RequestChannel(0, number, group);
        if (ok && state == 1)
            ok = RequestChannel(1, number + 1, group);
    }
    Invalidate();
    m_requesting = false;
    return ok;
}

bool CTavWaveDrawControl::RequestWaveRange(int32_t number, int32_t group, int64_t lo, int64_t hi) {
    const int64_t width = PlotWidth();
    const int64_t span = std::max<int64_t>(hi - lo, 0);
    const int64_t perPoint = width > 0 ? (span + width - 1) / width : 1;
    return RequestWave(number, group, lo, static_cast<int32_t>(std::clamp<int64_t>(perPoint, 1, INT32_MAX)));
}

// ---- Drawing ---------------------------------------------------------------------------

void CTavWaveDrawControl::FillLine(CTavDrawInfo& info, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb16 color) {
    m_drawer->FillRect(info, {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1}, color);
}

void CTavWaveDrawControl::Draw(CTavDrawInfo& info) {
    if (!m_drawer || !info.Intersects(m_rect))
        return;
    m_drawer->BeginClip(info, m_rect);
    const std::vector<TavRect> lanes = Lanes();
    DrawLanes(info, lanes);
    for (size_t channel = 0; channel < lanes.size(); ++channel)
        DrawWave(info, m_points[channel], lanes[channel]);
    DrawMarkers(info);
    DrawOverlay(info);
    if (m_refs[kPreviewFrame] >= 0 && (m_refs[kSamplePreview] < 0 || RawOf(kSamplePreview) != 0))
        VerticalMarker(info, RawOf(kPreviewFrame), kPreviewColor, false);
    m_drawer->EndClip(info);
}

void CTavWaveDrawControl::DrawLanes(CTavDrawInfo& info, const std::vector<TavRect>& lanes) {
    for (const TavRect& lane : lanes) {
        if (lane.IsEmpty())
            continue;
        const int32_t right = lane.right - 1, bottom = lane.bottom - 1;
        FillLine(info, lane.left, lane.top, right, lane.top, kLaneColor);
        FillLine(info, lane.left, bottom, right, bottom, kLaneColor);
        FillLine(info, lane.left, lane.top, lane.left, bottom, kLaneColor);
        FillLine(info, right, lane.top, right, bottom, kLaneColor);
        const int32_t centre = lane.top + lane.Height() / 2;
        FillLine(info, lane.left, centre, right, centre, kLaneColor);
    }
}

void CTavWaveDrawControl::DrawWave(CTavDrawInfo& info, const std::vector<TavWavePoint>& points, const TavRect& lane) {
    const size_t columns = std::min(points.size(), static_cast<size_t>(lane.Width()));
    int32_t previousTop = 0, previousBottom = 0;
    for (size_t i = 0; i < columns; ++i) {
        const TavWavePoint& point = points[i];
        const int32_t top = ValueToY(std::max(point.minimum, point.maximum), lane);
        const int32_t bottom = ValueToY(std::min(point.minimum, point.maximum), lane);
        // Reaching the previous column's range keeps the trace continuous.
        const int32_t drawnTop = i == 0 ? top : std::min(top, previousBottom);
        const int32_t drawnBottom = i == 0 ? bottom : std::max(bottom, previousTop);
        const int32_t x = lane.left + static_cast<int32_t>(i);
        m_drawer->FillRect(info, {x, drawnTop, x + 1, drawnBottom + 1}, kWaveColor);
        previousTop = top;
        previousBottom = bottom;
    }
}

void CTavWaveDrawControl::VerticalMarker(CTavDrawInfo& info, int64_t frame, Rgb16 color, bool flag) {
    const TavRect plot = PlotRect();
    const int32_t x = FrameToX(frame);
    if (x < plot.left || x >= plot.right || plot.IsEmpty())
        return;
    FillLine(info, x, plot.top, x, plot.bottom - 1, color);
    if (flag && plot.top > m_rect.top)
        m_drawer->FillRect(info, {x - 2, m_rect.top, x + 3, plot.top}, color);
}

void CTavWaveDrawControl::DrawMarkers(CTavDrawInfo& info) {
    switch (m_mode) {
    case kStartLoopEnd:
    case kStartLoopEndAlt: {
        const size_t beats = std::min(static_cast<size_t>(std::max(TavRawOf(m_beatCount, 0), 0)), m_beatPoints.size());
        for (size_t i = 0; i < beats; ++i)
            VerticalMarker(info, TavRawOf(m_beatPoints[i], 0), kHighlightColor, false);
        for (int role : {kStart, kLoop, kEnd})
            if (m_refs[role] >= 0)
                VerticalMarker(info, RawOf(role), kMarkerColor, true);
        break;
    }
    case kChop: {
        const std::vector<int64_t> frames = ChopFrames();
        const int32_t current = RawOf(kChopPointId, -1);
        for (size_t i = 0; i < frames.size(); ++i)
            if (static_cast<int32_t>(i) != current)
                VerticalMarker(info, frames[i], kMarkerColor, true);
        if (current >= 0 && current < static_cast<int32_t>(frames.size()))
            VerticalMarker(info, frames[current], kHighlightColor, true);
        break;
    }
    case kAmpEnvelope: {
        if (RawOf(kEnvMode, 1) == 0) {
            const TavPoint level = EnvelopePoint(0);
            const TavRect plot = PlotRect();
            FillLine(info, plot.left, level.y, plot.right - 1, level.y, kHighlightColor);
            break;
        }
        for (int i = 0; i < 4; ++i) {
            const TavPoint p = EnvelopePoint(i);
            if (i == 0)
                m_drawer->MoveTo(info, p);
            else
                m_drawer->LineTo(info, p, 1, kHighlightColor);
        }
        for (int i = 0; i < 4; ++i) {
            const TavPoint p = EnvelopePoint(i);
            m_drawer->FillRect(info, {p.x - 2, p.y - 2, p.x + 3, p.y + 3}, kHighlightColor);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace Brio
