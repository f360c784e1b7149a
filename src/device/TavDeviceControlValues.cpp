#include "device/TavDeviceControlValues.h"

#include <algorithm>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "view/CTavView.h"
#include "view/TavSetValue.h"

namespace Brio {

void TavTakeValueRefs(TavItems& items, CTavView& view, std::initializer_list<std::pair<const char*, int*>> refs) {
    for (const auto& ref : refs) {
        const char* tag = ref.first;
        const auto it = std::find_if(items.begin(), items.end(), [tag](const TavItem& item) { return item.first == tag; });
        if (it == items.end())
            continue;
        *ref.second = view.AddValueRef(it->second);
        items.erase(it);
    }
}

bool TavAreIntegers(const CTavView& view, std::initializer_list<int> refs) {
    for (int ref : refs) {
        const CTavValue* value = ref >= 0 ? view.GetValue(ref) : nullptr;
        if (ref >= 0 && (!value || value->Kind() != kTavKindInteger))
            return false;
    }
    return true;
}

int32_t TavRawOf(const CTavValue* value, int32_t absent) {
    return value && value->Kind() == kTavKindInteger ? value->GetRaw() : absent;
}

bool TavWriteLimited(CTavBufferManager& buffers, const TavIntegerWrites& writes) {
    TavIntegerWrites changed;
    for (const auto& [value, raw] : writes) {
        if (!value || value->Kind() != kTavKindInteger)
            continue;
        const int32_t limited = std::clamp(raw, value->Spec().minimum, value->Spec().maximum);
        if (value->GetRaw() != limited)
            changed.emplace_back(value, limited);
    }
    if (changed.empty())
        return false;
    buffers.WriteIntegers(changed);
    TavCommitPending(buffers);
    return true;
}

} // namespace Brio
