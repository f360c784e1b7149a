#include "view/CTavKnobControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/CTavTextOut.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavKeyOperator.h"
#include "view/CTavTipBarOperator.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

CTavKnobControl::CTavKnobControl() = default;

// The resource manager frees every image itself and may be gone before the views.
CTavKnobControl::~CTavKnobControl() = default;

std::unique_ptr<CTavKeyOperator> CTavKnobControl::CreateKeyOperator() {
    return std::make_unique<CTavSingleKeyOperator>(*this);
}

std::unique_ptr<CTavTipBarOperator> CTavKnobControl::CreateTipBarOperator() {
    return std::make_unique<CTavSingleTipBarOperator>(*this);
}

bool CTavKnobControl::Configure(TavItems& items) {
    if (!CTavDragControl::Configure(items))
        return false;
    bool hasBitmap = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "bitmapRef") {
            CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
            m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
            if (!m_bitmap)
                return ReportFailure("Unable to find bitmap for knob. : %s : %s\n", it->second);
            hasBitmap = true;
        } else if (it->first == "angleRange") {
            long min = 0, max = 0;
            if (std::sscanf(it->second.c_str(), "%li,%li", &min, &max) != 2)
                return ReportFailure("Angle range is invalid for knob. : %s : %s\n", it->second);
            if (min >= max)
                return ReportFailure("Angle max must be greater than angle min for knob. : %s : %s\n",
                                     it->second);
            m_angleMin = static_cast<int32_t>(min);
            m_angleMax = static_cast<int32_t>(max);
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (!hasBitmap)
        return ReportFailure("There is no bitmap reference for knob. : %s.\n", "");
    return true;
}

bool CTavKnobControl::Associate(CTavPanel* parent) {
    if (!AssociateValueControl(parent, "knob"))
        return false;
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap && m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for knob. : %s\n");
    SetRect(m_rect);
    return true;
}

void CTavKnobControl::SetRect(const TavRect& rect) {
    TavRect sized = rect;
    if (m_bitmapAcquired) {
        sized.right = rect.left + m_bitmap->StateWidth();
        sized.bottom = rect.top + m_bitmap->StateHeight();
    }
    CTavDragControl::SetRect(sized);
}

void CTavKnobControl::Draw(CTavDrawInfo& info) {
    if (m_bitmapAcquired && info.Intersects(m_rect))
        m_bitmap->DrawState(info, {m_rect.left, m_rect.top}, m_frame);
}

int32_t CTavKnobControl::ValueCount() const {
    return MainValueCount();
}

int32_t CTavKnobControl::AngleOfPoint(TavPoint point) const {
    const int32_t cx = (m_rect.left + m_rect.right) / 2;
    const int32_t cy = (m_rect.top + m_rect.bottom) / 2;
    if (point.y == cy)
        return point.x < cx ? 90 : 270;
    double angle = -std::atan2(double(point.x - cx), double(point.y - cy)) * 57.29577951308232;
    if (angle < 0)
        angle += 360;
    return static_cast<int32_t>(angle);
}

int32_t CTavKnobControl::AngleToIndex(int32_t angle) const {
    const int64_t count = ValueCount();
    const int64_t index =
        (int64_t(angle - m_angleMin) * (count - 1) * 10 / (m_angleMax - m_angleMin) + 5) / 10;
    return static_cast<int32_t>(std::clamp<int64_t>(index, 0, std::max<int64_t>(count - 1, 0)));
}

int32_t CTavKnobControl::IndexToFrame(int32_t index) const {
    const int64_t count = ValueCount();
    const int64_t frames = m_bitmap ? m_bitmap->StateCount() : 1;
    if (count <= 1)
        return 0;
    const int64_t frame = (int64_t(index) * (frames - 1) * 10 / (count - 1) + 5) / 10;
    return static_cast<int32_t>(std::clamp<int64_t>(frame, 0, std::max<int64_t>(frames - 1, 0)));
}

void CTavKnobControl::Refresh() {
    if (const CTavValue* value = GetValue(0))
        m_frame = IndexToFrame(value->GetPosition());
}

void CTavKnobControl::BeginDrag(const CTavMouseInfo& info) {
    m_lastPoint = info.point;
    if (info.modifiers == kTavCtrl) {
        SetDefaultIndex(0);
        Capture(false);
        m_lastPoint.reset();
    }
}

void CTavKnobControl::Drag(const CTavMouseInfo& info) {
    if (!m_lastPoint || *m_lastPoint == info.point)
        return;
    const int32_t from = AngleOfPoint(*m_lastPoint);
    const int32_t to = AngleOfPoint(info.point);
    if (std::abs(to - from) > 180)
        return;
    m_lastPoint = info.point;
    SetValueIndex(0, AngleToIndex(to));
}

void CTavKnobControl::EndDrag(const CTavMouseInfo&) {
    m_lastPoint.reset();
}
