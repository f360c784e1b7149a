#include "device/CTavSwitchableControls.h"

#include <algorithm>

#include "device/TavDeviceControlValues.h"
#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"
#include "view/TavSetValue.h"
#include "view/TavValueText.h"

namespace Brio {

namespace {

// The switch and the two values: references 0, 1 and 2.
constexpr int kSwitchRef = 0;
constexpr int kValue0Ref = 1;
constexpr int kValue1Ref = 2;
constexpr size_t kRefCount = 3;

void TakeSwitchedRefs(TavItems& items, CTavView& view) {
    int value0 = -1;
    int value1 = -1;
    TavTakeValueRefs(items, view, {{"value0Ref", &value0}, {"value1Ref", &value1}});
}

bool IsInteger(const CTavValue* value) {
    return value && value->Kind() == kTavKindInteger;
}

} // namespace

std::string TavSwitchedText(const CTavValueTextFormat& format, const CTavValue* value) {
    if (!value)
        return {};
    if (value->Kind() == kTavKindString)
        return value->GetText() + format.unit;
    if (format.stringTable)
        return TavTableText(*format.stringTable, value->GetPosition()) + format.unit;
    return TavNumberText(int64_t{value->GetRaw()} + format.offsetValue, format.unit);
}

// --- CTavSwitchableSliderControl ---------------------------------------------------------

bool CTavSwitchableSliderControl::Configure(TavItems& items) {
    if (!CTavSliderControl::Configure(items))
        return false;
    TakeSwitchedRefs(items, *this);
    return true;
}

bool CTavSwitchableSliderControl::Associate(CTavPanel* parent) {
    if (OwnValueRefCount() != kRefCount)
        return ReportFailure("Value references are necessary for switchable slider. : %s.\n");
    // The slider reports its own failures in the switchable slider's words.
    if (!CTavSliderControl::Associate(parent))
        return false;
    for (int ref : {kValue0Ref, kValue1Ref}) {
        const CTavValue* value = m_valueRefs[ref].value;
        if (!IsInteger(value))
            return ReportFailure("Referred value must be integer for switchable slider. : %s\n");
        if (TavValueCount(*value) <= 1)
            return ReportFailure("Referred value range must be greater than 1 for switchable slider. : %s\n");
    }
    return true;
}

CTavValue* CTavSwitchableSliderControl::Switch() const {
    return m_valueRefs.empty() ? nullptr : m_valueRefs[kSwitchRef].value;
}

int CTavSwitchableSliderControl::Selected() const {
    return TavRawOf(Switch(), 0) >= 1 ? 1 : 0;
}

CTavValueRef* CTavSwitchableSliderControl::GetValueRef(int) {
    // Paths inside the references' indexes add references of their own after these three.
    if (OwnValueRefCount() != kRefCount)
        return nullptr;
    return &m_valueRefs[Selected() ? kValue1Ref : kValue0Ref];
}

// --- CTavSwitchableStaticTextPictureControl ----------------------------------------------

bool CTavSwitchableStaticTextPictureControl::Configure(TavItems& items) {
    if (!CTavStaticTextPictureControl::Configure(items))
        return false;
    TakeSwitchedRefs(items, *this);
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->first != "pictureTableRef")
            continue;
        CTavResourceManager* resources = ViewManager() ? ViewManager()->ResourceManager() : nullptr;
        m_pictureTable = resources ? resources->FindStringTable(it->second) : nullptr;
        if (!m_pictureTable)
            return ReportFailure("Unable to find picture table for static text control. : %s : %s\n",
                                 it->second);
        items.erase(it);
        break;
    }
    return true;
}

bool CTavSwitchableStaticTextPictureControl::Associate(CTavPanel* parent) {
    if (OwnValueRefCount() != kRefCount)
        return ReportFailure("Unable to create static text control. : %s\n");
    if (!CTavStaticTextPictureControl::Associate(parent))
        return false;
    if (!IsInteger(GetValue(kSwitchRef)) || !IsInteger(GetValue(kValue1Ref)))
        return ReportFailure("Unable to create static text control. : %s\n");
    return true;
}

void CTavSwitchableStaticTextPictureControl::Refresh() {
    const CTavValue* selector = GetValue(kSwitchRef);
    const int32_t position = std::clamp(IsInteger(selector) ? selector->GetPosition() : 0, 0, 1);
    if (position == 0) {
        Show(TavSwitchedText(Format(), GetValue(kValue0Ref)), -1);
        return;
    }
    const CTavValue* picture = GetValue(kValue1Ref);
    const int32_t frames = FrameCount();
    const int32_t index = IsInteger(picture) ? picture->GetPosition() : 0;
    Show({}, frames > 0 ? std::clamp(index, 0, frames - 1) : -1);
}

} // namespace Brio
