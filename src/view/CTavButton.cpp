#include "view/CTavButton.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/CTavSystem.h"
#include "device/CTavFunctionManager.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"

// --- CTavButton -------------------------------------------------------------------------

CTavButton::CTavButton() = default;

// The resource manager frees every image itself and may be gone before the views.
CTavButton::~CTavButton() = default;

bool CTavButton::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    bool hasBitmap = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "bitmapRef") {
            ++it;
            continue;
        }
        CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr;
        m_bitmap = resources ? resources->FindBitmap(it->second) : nullptr;
        if (!m_bitmap)
            return ReportFailure("Unable to find bitmap for button. : %s : %s\n", it->second);
        hasBitmap = true;
        it = items.erase(it);
    }
    if (!hasBitmap)
        return ReportFailure("There is no bitmap reference for button. : %s\n");
    return true;
}

bool CTavButton::Associate(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return ReportFailure("Unable to create button. : %s\n");
    if (!m_bitmapAcquired && !(m_bitmapAcquired = m_bitmap && m_bitmap->Acquire()))
        return ReportFailure("Unable to create bitmap for button. : %s\n");
    SetRect(m_rect);
    return true;
}

void CTavButton::SetRect(const TavRect& rect) {
    TavRect sized = rect;
    if (m_bitmapAcquired) {
        sized.right = rect.left + m_bitmap->StateWidth();
        sized.bottom = rect.top + m_bitmap->StateHeight();
    }
    CTavControl::SetRect(sized);
}

void CTavButton::Draw(CTavDrawInfo& info) {
    if (m_bitmapAcquired && info.Intersects(m_rect))
        m_bitmap->DrawState(info, {m_rect.left, m_rect.top}, State());
}

void CTavButton::SetPressed(bool pressed) {
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    Invalidate();
}

void CTavButton::EndPress() {
    m_pressed = false;
    Capture(false);
    SetFocus(false);
    Invalidate();
}

bool CTavButton::OnMouse(const CTavMouseInfo& info) {
    if (CTavControl::OnMouse(info))
        return true;
    const bool inside = m_rect.Contains(info.point);
    if (!m_captured && !inside)
        return false;
    switch (info.kind) {
    case CTavMouseInfo::kPressed:
    case CTavMouseInfo::kDoubleClick:
        SetPressed(true);
        SetFocus(true);
        Capture(true);
        OnPress(info);
        return true;
    case CTavMouseInfo::kReleased:
        if (!m_captured)
            return false;
        m_pressed = false;
        Capture(false);
        OnRelease(info);
        SetFocus(false);
        Invalidate();
        return true;
    case CTavMouseInfo::kMove:
        if (!m_captured)
            return false;
        SetPressed(inside);
        return true;
    }
    return false;
}

bool CTavButton::OnKey(const CTavKeyInfo& info) {
    return (HasFocus() || m_captured) && ClickByKey(info, true);
}

// --- CTavLatchButton --------------------------------------------------------------------

bool TavTakeOnOffValues(TavItems& items, CTavView& view, CTavExpression& on, CTavExpression& off,
                        std::string& failed, bool& onFailed) {
    std::string onText = "1";
    std::string offText = "0";
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "onValue")
            onText = it->second;
        else if (it->first == "offValue")
            offText = it->second;
        else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    // Evaluating once registers the paths the expressions read as value references.
    int32_t result = 0;
    onFailed = !on.Parse(onText) || !on.Evaluate(view, TavExpressionMode::kRegistering, result);
    if (onFailed) {
        failed = onText;
        return false;
    }
    if (!off.Parse(offText) || !off.Evaluate(view, TavExpressionMode::kRegistering, result)) {
        failed = offText;
        return false;
    }
    return true;
}

bool CTavLatchButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    if (m_valueRefs.size() != 1)
        return ReportFailure("There is no value reference for latch button. : %s\n");
    std::string failed;
    bool onFailed = false;
    if (TavTakeOnOffValues(items, *this, m_onValue, m_offValue, failed, onFailed))
        return true;
    return ReportFailure(onFailed ? "Unable to interpret on value for latch button. : %s : %s\n"
                                  : "Unable to interpret off value for latch button. : %s : %s\n",
                         failed);
}

bool CTavLatchButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent))
        return ReportFailure("Unable to create latch button. : %s\n");
    if (Bitmap()->StateCount() < 4)
        return ReportFailure("Latch button bitmap must have 4 states. : %s\n");
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return ReportFailure("Referred value type must be integer for latch button. : %s\n");
    return true;
}

void CTavLatchButton::Refresh() {
    const CTavValue* value = GetValue(0);
    int32_t on = 0;
    const bool isOn = value && value->Kind() == kTavKindInteger &&
                      m_onValue.Evaluate(*this, TavExpressionMode::kEvaluating, on) && value->GetRaw() == on;
    SetStatePart(isOn ? 1 : 0);
}

void CTavLatchButton::OnRelease(const CTavMouseInfo& info) {
    const CTavValue* value = GetValue(0);
    int32_t on = 0;
    int32_t off = 0;
    if (!ReleasedInside(info) || !value || value->Kind() != kTavKindInteger ||
        !m_onValue.Evaluate(*this, TavExpressionMode::kEvaluating, on) ||
        !m_offValue.Evaluate(*this, TavExpressionMode::kEvaluating, off))
        return;
    const int32_t wanted = value->GetRaw() == on ? off : on;
    SetValueInteger(0, std::clamp(wanted, value->Spec().minimum, value->Spec().maximum));
}

// --- CTavUnlatchButton ------------------------------------------------------------------

bool CTavUnlatchButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "function")
            m_function = it->second;
        else if (it->first == "arguments")
            m_arguments = it->second;
        else if (it->first == "action") {
            long action = 0;
            m_action = TavScanLong(it->second, action) ? static_cast<int32_t>(action) : 0;
        } else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    return true;
}

bool CTavUnlatchButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent))
        return ReportFailure("Unable to create unlatch button. : %s\n");
    if (Bitmap()->StateCount() < 2)
        return ReportFailure("Unlatch button bitmap must have 2 states. : %s\n");
    return true;
}

// A function that is disabled now (Read and Sync while the MIDI link is down) is not
// called.
void CTavUnlatchButton::Invoke() {
    CTavFunctionManager& functions = CTavSystem::Instance().FunctionManager();
    if (functions.IsEnabled(m_function))
        functions.Call(m_function, m_arguments);
}

// The function may open a menu or a dialog, so the press is over before it runs its course;
// the later release then arrives without the capture and is ignored.
void CTavUnlatchButton::OnPress(const CTavMouseInfo&) {
    if (m_action != 0)
        return;
    Invoke();
    EndPress();
}

void CTavUnlatchButton::OnRelease(const CTavMouseInfo& info) {
    if (m_action != 0 && ReleasedInside(info))
        Invoke();
}

// --- CTavIncrementButton ----------------------------------------------------------------

bool CTavIncrementButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "deltaValue") {
            ++it;
            continue;
        }
        long delta = 0;
        if (!TavScanLong(it->second, delta))
            return ReportFailure("Increment button delta value is invalid. : %s : %s\n", it->second);
        m_delta = static_cast<int32_t>(delta);
        it = items.erase(it);
    }
    return true;
}

void CTavIncrementButton::Step() {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return;
    const int32_t count = TavValueCount(*value);
    if (count <= 0)
        return;
    const int64_t index = std::clamp<int64_t>(int64_t{value->GetPosition()} + m_delta, 0, count - 1);
    SetValueIndex(0, static_cast<int32_t>(index));
}

void CTavIncrementButton::OnPress(const CTavMouseInfo&) {
    Step();
    m_timer.Start(Clock(), kFirstRepeatMs);
}

void CTavIncrementButton::OnRelease(const CTavMouseInfo&) {
    m_timer.Stop();
}

bool CTavIncrementButton::OnTimer(const CTavTimerInfo&) {
    if (!HasFocus() || !IsPressed() || !m_timer.Expired(Clock()))
        return false;
    Step();
    m_timer.Repeat(Clock(), kRepeatMs);
    return true;
}
