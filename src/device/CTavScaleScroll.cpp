#include "device/CTavScaleScroll.h"

#include <algorithm>

#include "device/TavWaveSource.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"

namespace Brio {

void CTavScaleScroll::CScaleScrollKeyOperator::ApplyStep() {
    CTavSingleKeyOperator::ApplyStep();
    static_cast<CTavScaleScroll&>(m_control).ValueStepped();
}

CTavScaleScroll::CTavScaleScroll() = default;
// The resource manager frees every image itself and may be gone before the views.
CTavScaleScroll::~CTavScaleScroll() = default;

std::unique_ptr<CTavKeyOperator> CTavScaleScroll::CreateKeyOperator() {
    return std::make_unique<CScaleScrollKeyOperator>(*this);
}

std::unique_ptr<CTavTipBarOperator> CTavScaleScroll::CreateTipBarOperator() {
    return std::make_unique<CScaleScrollTipBarOperator>(*this);
}

bool CTavScaleScroll::Configure(TavItems& items) {
    if (!CTavDragControl::Configure(items) || !TavTakeFlag(items, "requestWave", *this, nullptr, m_requestWave))
        return false;
    bool hasBitmap = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "bitmapRef") {
            CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
            m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
            if (!m_bitmap)
                return ReportFailure("Unable to find bitmap for scale scroll. : %s : %s\n", it->second);
            hasBitmap = true;
        } else if (it->first == "direction") {
            long number = 0;
            if (!TavScanLong(it->second, number))
                return ReportFailure("Direction is invalid for scale scroll. : %s : %s\n", it->second);
            if (number != kVertical && number != kHorizontal)
                return ReportFailure("Direction must be 0 or 1 for scale scroll. : %s : %s\n", it->second);
            m_direction = static_cast<int32_t>(number);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (!hasBitmap)
        return ReportFailure("There is no bitmap reference for scale scroll. : %s.\n");
    return true;
}

bool CTavScaleScroll::Associate(CTavPanel* parent) {
    if (!AssociateValueControl(parent, "scale scroll"))
        return false;
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap && m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for scale scroll. : %s\n");
    if (m_direction == kHorizontal && m_bitmap->StateWidth() >= m_rect.Width())
        return ReportFailure("Knob width must be less than base width for scale scroll. : %s\n");
    if (m_direction == kVertical && m_bitmap->StateHeight() >= m_rect.Height())
        return ReportFailure("Knob height must be less than base height for scale scroll. : %s\n");
    Refresh();
    return true;
}

TavPoint CTavScaleScroll::KnobSize() const {
    return m_bitmapAcquired ? TavPoint{m_bitmap->StateWidth(), m_bitmap->StateHeight()} : TavPoint{};
}

std::pair<int64_t, int64_t> CTavScaleScroll::Travel() const {
    const TavPoint knob = KnobSize();
    if (m_direction == kVertical)
        return {m_rect.bottom - knob.y, m_rect.top};
    return {m_rect.left, m_rect.right - knob.x};
}

TavPoint CTavScaleScroll::IndexToKnobPosition(int32_t index) const {
    const auto [start, end] = Travel();
    const int64_t count = MainValueCount();
    const int64_t along = count > 1 ? start + ((end - start) * index * 2 + (count - 1)) / (2 * (count - 1)) : start;
    const TavPoint knob = KnobSize();
    if (m_direction == kVertical)
        return {(m_rect.left + m_rect.right - knob.x) / 2, static_cast<int32_t>(along)};
    return {static_cast<int32_t>(along), (m_rect.top + m_rect.bottom - knob.y) / 2};
}

int32_t CTavScaleScroll::PointToIndex(TavPoint point) const {
    const auto [start, end] = Travel();
    const int64_t count = MainValueCount();
    if (count <= 1 || end == start)
        return 0;
    const int64_t along = (m_direction == kVertical ? point.y : point.x) - m_grab;
    const int64_t index = ((along - start) * (count - 1) * 2 + (end - start)) / (2 * (end - start));
    return static_cast<int32_t>(std::clamp<int64_t>(index, 0, count - 1));
}

void CTavScaleScroll::Refresh() {
    if (const CTavValue* value = GetValue(0))
        m_knobPosition = IndexToKnobPosition(value->GetPosition());
}

void CTavScaleScroll::Draw(CTavDrawInfo& info) {
    const TavPoint knob = KnobSize();
    const TavRect rect{m_knobPosition.x, m_knobPosition.y, m_knobPosition.x + knob.x, m_knobPosition.y + knob.y};
    if (m_bitmapAcquired && info.Intersects(rect))
        m_bitmap->DrawState(info, m_knobPosition, 0);
}

void CTavScaleScroll::ValueStepped() {
    if (m_requestWave)
        TavWaveSource().RefreshSampleView(true);
}

void CTavScaleScroll::BeginDrag(const CTavMouseInfo& info) {
    const CTavValue* value = GetValue(0);
    m_beginRaw = value ? std::optional<int32_t>(value->GetRaw()) : std::nullopt;
    const TavPoint knob = KnobSize();
    const TavRect rect{m_knobPosition.x, m_knobPosition.y, m_knobPosition.x + knob.x, m_knobPosition.y + knob.y};
    const bool vertical = m_direction == kVertical;
    // A press on the knob holds it where it was grabbed; beside it, the middle jumps there.
    m_grab = rect.Contains(info.point) ? (vertical ? info.point.y - m_knobPosition.y : info.point.x - m_knobPosition.x)
                                       : (vertical ? knob.y / 2 : knob.x / 2);
    SetValueIndex(0, PointToIndex(info.point));
}

void CTavScaleScroll::Drag(const CTavMouseInfo& info) {
    if (m_beginRaw)
        SetValueIndex(0, PointToIndex(info.point));
}

void CTavScaleScroll::EndDrag(const CTavMouseInfo&) {
    const CTavValue* value = GetValue(0);
    if (m_beginRaw && value && value->GetRaw() != *m_beginRaw)
        ValueStepped();
    m_beginRaw.reset();
    m_grab = 0;
}

} // namespace Brio
