#include "device/CTavPcModeHandler.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "model/CTavValue.h"

namespace Brio {

bool CTavPcModeHandler::AfterWrite(const TavValueList& values) {
    if (m_view && std::find(values.begin(), values.end(), m_view) != values.end())
        m_accessor.OnSampleEditView(m_view->GetRaw());
    return false;
}

bool CTavPcModeHandler::AfterReceive(const TavValueList& values) {
    if (m_result && std::find(values.begin(), values.end(), m_result) != values.end())
        m_accessor.OnPcModeResult(m_result->GetRaw());
    return false;
}

} // namespace Brio
