#include "device/CTavChopIdCombo.h"

#include <algorithm>

#include "device/TavDeviceControlValues.h"
#include "device/TavSampleControlSupport.h"

namespace Brio {

bool CTavChopIdCombo::Configure(TavItems& items) {
    if (!CTavPopComboControl::Configure(items))
        return false;
    // Without a "valueRef" the combo chooses the current chop point.
    if (m_valueRefs.empty())
        AddValueRef("vs.sampleEdit.modify.chop.edit.currentChopId");
    m_countRef = TavFixedRef(*this, "vs.sampleEdit.modify.chop.edit.chopPointCount");
    return true;
}

int32_t CTavChopIdCombo::OfferedCount() const {
    return std::clamp(TavRawOf(GetValue(m_countRef), 0), 0, CTavPopComboControl::OfferedCount());
}

void CTavChopIdCombo::Pop() {
    if (OfferedCount() <= 0) {
        Invalidate();
        return;
    }
    CTavPopComboControl::Pop();
}

} // namespace Brio
