#include "device/CTavWaveScrollControls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "device/TavDeviceControlValues.h"
#include "device/TavWaveSource.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavTipBarOperator.h"

namespace Brio {

// ---- CTavWaveScroll --------------------------------------------------------------------

std::unique_ptr<CTavTipBarOperator> CTavWaveScroll::CreateTipBarOperator() {
    return std::make_unique<CTavSingleTipBarOperator>(*this);
}

std::array<int32_t, 2> CTavWaveScroll::Positions() const {
    const CTavValue* operated = GetValue(kOperated);
    return {operated ? operated->GetPosition() : 0, TavRawOf(GetValue(kCurrentLower), 0)};
}

void CTavWaveScroll::MovedByKey() {
    TavWaveSource().RefreshSampleView(false);
}

void CTavWaveScroll::BeginDrag(const CTavMouseInfo& info) {
    m_begin = Positions();
    CTavScrollControl::BeginDrag(info);
}

void CTavWaveScroll::EndDrag(const CTavMouseInfo& info) {
    CTavScrollControl::EndDrag(info);
    if (Positions() != m_begin)
        TavWaveSource().RefreshSampleView(false);
}

// ---- CTavScaleIncButton ----------------------------------------------------------------

bool CTavScaleIncButton::Configure(TavItems& items) {
    if (!CTavIncrementButton::Configure(items) || !TavTakeUseTipBar(items, *this, m_useTipBar) ||
        !TavTakeFlag(items, "requestWave", *this, "scale increment button request is invalid. : %s : %s\n",
                     m_requestWave))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "direction") {
            ++it;
            continue;
        }
        long direction = 0;
        if (!TavScanLong(it->second, direction) || (direction != 0 && direction != 1))
            return ReportFailure("scale increment button direction is invalid. : %s : %s\n", it->second);
        m_direction = static_cast<int32_t>(direction);
        it = items.erase(it);
    }
    return true;
}

int32_t CTavScaleIncButton::NextPowerOfTwo(int32_t value, int32_t step, int32_t lo, int32_t hi) {
    const double exponent = std::round(std::log2(std::max(value, 1))) + (step >= 0 ? 1 : -1);
    const double next = std::round(std::exp2(std::clamp(exponent, 0.0, 31.0)));
    return static_cast<int32_t>(std::clamp<double>(next, lo, hi));
}

std::string CTavScaleIncButton::TipText(int32_t value) const {
    char text[24];
    std::snprintf(text, sizeof text, m_direction == 0 ? "1/%d" : "%d", value);
    return text;
}

bool CTavScaleIncButton::OnMouse(const CTavMouseInfo& info) {
    m_mouse = info.point;
    return CTavIncrementButton::OnMouse(info);
}

void CTavScaleIncButton::Step() {
    const CTavValue* value = GetValue(0);
    if (!value || value->Kind() != kTavKindInteger)
        return;
    const int32_t next = NextPowerOfTwo(value->GetRaw(), Delta(), value->Spec().minimum, value->Spec().maximum);
    SetValueInteger(0, next);
    if (m_useTipBar)
        TavShowMouseTip(*this, m_mouse, TipText(next));
}

void CTavScaleIncButton::OnRelease(const CTavMouseInfo& info) {
    CTavIncrementButton::OnRelease(info);
    if (m_useTipBar)
        TavHideMouseTip(*this);
    if (m_requestWave)
        TavWaveSource().RefreshSampleView(true);
}

// ---- CTavWaveScrollIncButton -----------------------------------------------------------

bool CTavWaveScrollIncButton::Configure(TavItems& items) {
    return CTavScrollButton::Configure(items) && TavTakeUseTipBar(items, *this, m_useTipBar) &&
           TavTakeFlag(items, "requestWave", *this, "wave scroll increment button request is invalid. : %s : %s\n",
                       m_requestWave);
}

bool CTavWaveScrollIncButton::OnMouse(const CTavMouseInfo& info) {
    m_mouse = info.point;
    return CTavScrollButton::OnMouse(info);
}

void CTavWaveScrollIncButton::Step() {
    TavScrollWindow window;
    CTavBufferManager* buffers = BufferManager();
    if (!buffers || !TavScrollWindow::Read(*this, window))
        return;
    const int64_t step = std::max<int64_t>(window.Width() / kStepDivisions, 1) * Delta();
    const int64_t lower = window.Limit(window.currentLower + step);
    window.MoveTo(*this, *buffers, lower);
    if (m_useTipBar)
        TavShowMouseTip(*this, m_mouse, std::to_string(lower));
}

void CTavWaveScrollIncButton::OnRelease(const CTavMouseInfo& info) {
    CTavScrollButton::OnRelease(info);
    if (m_useTipBar)
        TavHideMouseTip(*this);
    if (m_requestWave)
        TavWaveSource().RefreshSampleView(true);
}

// ---- CTavScrubButtonControl ------------------------------------------------------------

bool CTavScrubButtonControl::Configure(TavItems& items) {
    const bool hasValue = std::any_of(items.begin(), items.end(), [](const auto& item) { return item.first == "valueRef"; });
    if (!hasValue) {
        for (const auto& item : items)
            if (item.first == "name")
                SetName(item.second);
        return ReportFailure("There is no value reference for scrub button control %s.\n");
    }
    return CTavLatchButton::Configure(items);
}

// The message has no line end of its own; the latch button's line precedes it.
bool CTavScrubButtonControl::Associate(CTavPanel* parent) {
    return CTavLatchButton::Associate(parent) || ReportFailure("Unable to create scrub button. : %s");
}

void CTavScrubButtonControl::OnRelease(const CTavMouseInfo& info) {
    const CTavValue* value = GetValue(0);
    int32_t on = 0, off = 0;
    if (!ReleasedInside(info) || !value || value->Kind() != kTavKindInteger ||
        !OnValue().Evaluate(*this, TavExpressionMode::kEvaluating, on) ||
        !OffValue().Evaluate(*this, TavExpressionMode::kEvaluating, off))
        return;
    TavWaveSource().Scrub(value->GetRaw() == on ? off : on);
}

} // namespace Brio
