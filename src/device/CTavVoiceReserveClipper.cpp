#include "device/CTavVoiceReserveClipper.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "model/CTavValue.h"

namespace Brio {

CTavVoiceReserveClipper::CTavVoiceReserveClipper(CTavBufferAccessor& accessor) : m_accessor(accessor) {
    const CTavBoundTable& bound = accessor.Bound();
    m_mode = bound.mode;
    m_reserves = bound.voiceReserve;
    m_active = m_mode && std::none_of(m_reserves.begin(), m_reserves.end(),
                                      [](const CTavValue* reserve) { return reserve == nullptr; });
}

bool CTavVoiceReserveClipper::BeforeWriteIntegers(const TavIntegerWrites& writes) {
    if (!m_active || writes.size() != 1 || m_mode->GetRaw() != 0)
        return false;
    CTavValue* edited = writes.front().first;
    const auto found = std::find(m_reserves.begin(), m_reserves.end(), edited);
    if (found == m_reserves.end())
        return false;
    int32_t others = 0;
    for (const CTavValue* reserve : m_reserves)
        if (reserve != edited)
            others += reserve->GetRaw();
    const int32_t limit = kVoiceCount - others;
    const int32_t raw = writes.front().second;
    int32_t clipped = limit >= 0 ? std::clamp(raw, 0, limit) : std::clamp(raw, limit, 0);
    // A reserve never leaves its own range, whatever the others hold.
    const CTavValueSpec& spec = edited->Spec();
    clipped = std::clamp(clipped, std::min(spec.minimum, spec.maximum), std::max(spec.minimum, spec.maximum));
    if (clipped != edited->GetRaw())
        m_accessor.Notify(edited, clipped);
    return true;
}

} // namespace Brio
