#include "view/CTavKeyOperator.h"

#include <algorithm>

#include "model/CTavValue.h"
#include "view/CTavControl.h"
#include "view/TavSetValue.h"

ITavClock& CTavSingleKeyOperator::Clock() const {
    return m_control.Clock();
}

void CTavSingleKeyOperator::StartTimer(Delay delay) {
    m_timer.Start(Clock(), kDelayMs[delay]);
}

void CTavSingleKeyOperator::RepeatTimer(Delay delay) {
    m_timer.Repeat(Clock(), kDelayMs[delay]);
}

bool CTavSingleKeyOperator::TimerExpired() const {
    return m_timer.Expired(Clock());
}

int32_t CTavSingleKeyOperator::ValueCount() const {
    const CTavValue* value = m_control.GetValue(0);
    return value ? TavValueCount(*value) : 0;
}

void CTavSingleKeyOperator::ApplyStep() {
    const CTavValue* value = m_control.GetValue(0);
    const int32_t count = ValueCount();
    if (!value || count <= 0)
        return;
    m_control.SetValueIndex(0, std::clamp(value->GetPosition() + m_step, 0, count - 1));
}

void CTavSingleKeyOperator::SetFocus(bool focus) {
    if (focus) {
        StartTimer(kFocusTimeout);
    } else {
        StopTimer();
        m_step = 0;
    }
}

bool CTavSingleKeyOperator::OnMouse(const CTavMouseInfo& info) {
    // Dragging counts as activity: the focus time-out starts again.
    if (m_control.IsCaptured() &&
        (info.kind == CTavMouseInfo::kReleased || info.kind == CTavMouseInfo::kMove))
        StartTimer(kFocusTimeout);
    return false;
}

void CTavSingleKeyOperator::OnWheel() {
    if (m_step == 0)
        StartTimer(kFocusTimeout);
}

bool CTavSingleKeyOperator::OnKey(const CTavKeyInfo& info) {
    const bool arrow = info.code >= kTavKeyUp && info.code <= kTavKeyRight;
    if (!arrow)
        return false;
    if (info.kind == CTavKeyInfo::kUp) {
        m_step = 0;
        StartTimer(kFocusTimeout);
        return true;
    }
    int32_t step = 1;
    if (info.modifiers & kTavShift)
        step = std::min(ValueCount() / 2, kMaxShiftStep);
    m_step = (info.code == kTavKeyUp || info.code == kTavKeyRight) ? step : -step;
    ApplyStep();
    StartTimer(kFirstRepeat);
    return true;
}

bool CTavSingleKeyOperator::OnTimer(const CTavTimerInfo&) {
    if (!m_control.HasFocus() || !TimerExpired())
        return false;
    if (m_step != 0) {
        ApplyStep();
        RepeatTimer(kRepeat);
        return true;
    }
    if (m_control.IsCaptured())
        return false;
    m_control.SetFocus(false);
    return true;
}
