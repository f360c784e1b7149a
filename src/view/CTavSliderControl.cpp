#include "view/CTavSliderControl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavTipBarOperator.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

CTavSliderControl::CTavSliderControl() = default;

// The resource manager frees every image itself and may be gone before the views.
CTavSliderControl::~CTavSliderControl() = default;

std::unique_ptr<CTavKeyOperator> CTavSliderControl::CreateKeyOperator() {
    return std::make_unique<CTavSingleKeyOperator>(*this);
}

std::unique_ptr<CTavTipBarOperator> CTavSliderControl::CreateTipBarOperator() {
    return std::make_unique<CTavSingleTipBarOperator>(*this);
}

bool CTavSliderControl::Configure(TavItems& items) {
    if (!CTavDragControl::Configure(items))
        return false;
    bool hasBitmap = false;
    for (auto it = items.begin(); it != items.end();) {
        long number = 0;
        if (it->first == "bitmapRef") {
            CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
            m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
            if (!m_bitmap)
                return ReportFailure("Unable to find bitmap for slider. : %s : %s\n", it->second);
            hasBitmap = true;
        } else if (it->first == "direction") {
            if (!TavScanLong(it->second, number))
                return ReportFailure("Direction is invalid for slider. : %s : %s\n", it->second);
            if (number != kVertical && number != kHorizontal)
                return ReportFailure("Direction must be 0 or 1 for slider. : %s : %s\n", it->second);
            m_direction = static_cast<int32_t>(number);
        } else if (it->first == "resolution") {
            if (!TavScanLong(it->second, number))
                return ReportFailure("Resolution is invalid for slider. : %s : %s\n", it->second);
            if (number < 1)
                return ReportFailure("Resolution must be 1 over for slider. : %s : %s\n", it->second);
            m_resolution = static_cast<int32_t>(number);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (!hasBitmap)
        return ReportFailure("There is no bitmap reference for slider. : %s.\n", "");
    return true;
}

bool CTavSliderControl::Associate(CTavPanel* parent) {
    if (!AssociateValueControl(parent, MessageKind()))
        return false;
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap && m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for slider. : %s\n");
    if (m_direction == kHorizontal && m_bitmap->StateWidth() >= m_rect.Width())
        return ReportFailure("Knob width must be less than base width for slider. : %s\n");
    if (m_direction == kVertical && m_bitmap->StateHeight() >= m_rect.Height())
        return ReportFailure("Knob height must be less than base height for slider. : %s\n");
    Refresh();
    return true;
}

int32_t CTavSliderControl::ValueCount() const {
    return MainValueCount();
}

TavPoint CTavSliderControl::KnobSize() const {
    return m_bitmapAcquired ? TavPoint{m_bitmap->StateWidth(), m_bitmap->StateHeight()} : TavPoint{};
}

TavPoint CTavSliderControl::IndexToKnobPosition(int32_t index) const {
    const TavPoint knob = KnobSize();
    const int64_t count = ValueCount();
    const bool vertical = m_direction == kVertical;
    const int64_t start = vertical ? m_rect.bottom - knob.y : m_rect.left;
    const int64_t end = vertical ? m_rect.top : m_rect.right - knob.x;
    int64_t along = start;
    if (count > 1)
        along = ((end - start) * index * 10 / (count - 1) + start * 10 + 5) / 10;
    along = std::clamp(along, std::min(start, end), std::max(start, end));
    if (vertical)
        return {(m_rect.left + m_rect.right) / 2 - knob.x / 2, static_cast<int32_t>(along)};
    return {static_cast<int32_t>(along), (m_rect.top + m_rect.bottom) / 2 - knob.y / 2};
}

int32_t CTavSliderControl::PointToIndex(TavPoint point) const {
    const TavPoint knob = KnobSize();
    const int64_t count = ValueCount();
    const CTavValue* value = GetValue(0);
    if (!value || count <= 1)
        return 0;
    const bool vertical = m_direction == kVertical;
    const int64_t across = vertical ? point.x : point.y;
    const int64_t centre = vertical ? (m_rect.left + m_rect.right) / 2 : (m_rect.top + m_rect.bottom) / 2;
    const int64_t sizeAcross = vertical ? m_rect.Width() : m_rect.Height();
    const int64_t d = std::max<int64_t>(0, std::abs(across - centre) - sizeAcross);
    const int64_t start = vertical ? m_rect.bottom - knob.y + d : m_rect.left - d;
    const int64_t end = vertical ? m_rect.top - d : m_rect.right - knob.x + d;
    if (end == start)
        return value->GetPosition();
    const int64_t p = vertical ? point.y - m_grabOffset.y : point.x - m_grabOffset.x;
    int64_t index = ((p - start) * (count - 1) * 10 / (end - start) + 5) / 10;
    if (m_resolution > 1)
        index = (index / m_resolution) * m_resolution + value->GetPosition() % m_resolution;
    return static_cast<int32_t>(std::clamp<int64_t>(index, 0, count - 1));
}

bool CTavSliderControl::SetIndex(int32_t index) {
    return SetValueIndex(0, index);
}

void CTavSliderControl::Refresh() {
    if (const CTavValue* value = GetValue(0))
        m_knobPosition = IndexToKnobPosition(value->GetPosition());
}

void CTavSliderControl::Draw(CTavDrawInfo& info) {
    const TavPoint knob = KnobSize();
    const TavRect knobRect{m_knobPosition.x, m_knobPosition.y, m_knobPosition.x + knob.x,
                           m_knobPosition.y + knob.y};
    if (m_bitmapAcquired && info.Intersects(knobRect))
        m_bitmap->DrawState(info, m_knobPosition, 0);
}

void CTavSliderControl::BeginDrag(const CTavMouseInfo& info) {
    m_lastPoint = info.point;
    if (info.modifiers == kTavCtrl) {
        SetDefaultIndex(0);
        Capture(false);
        m_lastPoint.reset();
        return;
    }
    const TavPoint knob = KnobSize();
    const TavRect knobRect{m_knobPosition.x, m_knobPosition.y, m_knobPosition.x + knob.x,
                           m_knobPosition.y + knob.y};
    m_grabOffset = {info.point.x - m_knobPosition.x, info.point.y - m_knobPosition.y};
    if (knobRect.Contains(info.point))
        return;
    if (m_direction == kVertical)
        m_grabOffset.y = knob.y / 2;
    else
        m_grabOffset.x = knob.x / 2;
    SetIndex(PointToIndex(info.point));
}

void CTavSliderControl::Drag(const CTavMouseInfo& info) {
    if (!m_lastPoint || *m_lastPoint == info.point)
        return;
    m_lastPoint = info.point;
    SetIndex(PointToIndex(info.point));
}

void CTavSliderControl::EndDrag(const CTavMouseInfo&) {
    m_lastPoint.reset();
    m_grabOffset = {};
}
