#include "device/CTavToneSelectButton.h"

#include <string>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "script/ITavResourceFactory.h"
#include "view/TavSetValue.h"

namespace Brio {

namespace {

constexpr uint32_t kShift = 1;
constexpr uint32_t kCtrl = 2;
constexpr int32_t kAllTones = 15;

bool IsInteger(const CTavValue* value) {
    return value && value->Kind() == kTavKindInteger;
}

} // namespace

TavToneSelectMode TavToneSelectModeOf(uint32_t modifiers) {
    const uint32_t keys = modifiers & (kShift | kCtrl);
    if (keys == kShift)
        return TavToneSelectMode::kToggle;
    if (keys == kCtrl)
        return TavToneSelectMode::kAll;
    return TavToneSelectMode::kSingle;
}

int32_t TavToneSelectFrameBase(TavToneSelection now, int32_t id) {
    if ((now.state & (1 << id)) == 0)
        return 0;
    return now.active == id ? 4 : 2;
}

TavToneSelection TavToneSelectClick(TavToneSelectMode mode, TavToneSelection now, int32_t id) {
    switch (mode) {
    case TavToneSelectMode::kSingle:
        return {1 << id, id};
    case TavToneSelectMode::kAll:
        return {kAllTones, id};
    case TavToneSelectMode::kToggle:
        break;
    }
    if (now.active == id)
        return now;
    const int32_t state = now.state ^ (1 << id);
    return state == 0 ? now : TavToneSelection{state, now.active};
}

bool CTavToneSelectButton::Configure(TavItems& items) {
    if (!CTavButton::Configure(items))
        return false;
    std::string active, state;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first == "id") {
            long id = 0;
            if (!TavScanLong(it->second, id))
                return ReportFailure("ZQ Tone Select Button %s id is invalid. : %s\n", it->second);
            if (id < 0 || id >= kToneCount)
                return ReportFailure("ZQ Tone Select Button %s id must be 0 through 3. : %s\n", it->second);
            m_id = static_cast<int32_t>(id);
        } else if (it->first == "activeValueRef")
            active = it->second;
        else if (it->first == "stateValueRef")
            state = it->second;
        else {
            ++it;
            continue;
        }
        it = items.erase(it);
    }
    if (active.empty() || state.empty())
        return ReportFailure("There is no value reference for tone select button. : %s\n");
    m_activeRef = AddValueRef(active);
    m_stateRef = AddValueRef(state);
    return true;
}

bool CTavToneSelectButton::Associate(CTavPanel* parent) {
    if (!CTavButton::Associate(parent))
        return ReportFailure("Unable to create tone select button. : %s\n");
    if (Bitmap()->StateCount() < 6)
        return ReportFailure("Tone select button %s bitmap must have 6 states.\n");
    if (!IsInteger(GetValue(m_activeRef)) || !IsInteger(GetValue(m_stateRef)))
        return ReportFailure("Referred value must be integer for tone select button. : %s\n");
    return true;
}

TavToneSelection CTavToneSelectButton::Selection() const {
    const CTavValue* active = GetValue(m_activeRef);
    const CTavValue* state = GetValue(m_stateRef);
    return {IsInteger(state) ? state->GetRaw() : 0, IsInteger(active) ? active->GetRaw() : -1};
}

void CTavToneSelectButton::Refresh() {
    SetStatePart(TavToneSelectFrameBase(Selection(), m_id) / 2);
}

void CTavToneSelectButton::OnPress(const CTavMouseInfo& info) {
    m_mode = TavToneSelectModeOf(info.modifiers);
}

void CTavToneSelectButton::OnRelease(const CTavMouseInfo& info) {
    CTavValue* active = GetValue(m_activeRef);
    CTavValue* state = GetValue(m_stateRef);
    CTavBufferManager* buffers = BufferManager();
    if (!ReleasedInside(info) || !buffers || !IsInteger(active) || !IsInteger(state))
        return;
    const TavToneSelection now = Selection();
    const TavToneSelection next = TavToneSelectClick(m_mode, now, m_id);
    if (next == now)
        return;
    // The set of tones first, then the tone shown.
    buffers->WriteInteger(*state, next.state);
    buffers->WriteInteger(*active, next.active);
    TavCommitPending(*buffers);
}

} // namespace Brio
