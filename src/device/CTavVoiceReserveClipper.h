#pragma once
// The sixteen parts share 64 voices: a part's voice reserve is kept within what the other
// fifteen leave free. Only single edits in the normal mode ("vs.control.mode" 0) are
// clipped; loading, receiving and writes of several values (pasting a part mixer, say)
// pass unchanged. GUI thread only.

#include <array>
#include <cstdint>

#include "device/CTavBoundTable.h"
#include "model/ITavBufferHandler.h"

namespace Brio {

class CTavBufferAccessor;

class CTavVoiceReserveClipper : public ITavBufferHandler {
public:
    static constexpr int32_t kVoiceCount = 64;

    // Works only when the script defines the mode and all sixteen reserves.
    explicit CTavVoiceReserveClipper(CTavBufferAccessor& accessor);

    bool IsActive() const { return m_active; }

    // Takes over the edit of one voice reserve: writes it clamped to 0..limit, where limit
    // is 64 less the other reserves (limit..0 when they already exceed 64), with change
    // notification when that differs from the reserve's value.
    bool BeforeWriteIntegers(const TavIntegerWrites& writes) override;

private:
    CTavBufferAccessor& m_accessor;
    CTavValue* m_mode = nullptr;
    std::array<CTavValue*, kTavPartCount> m_reserves{};
    bool m_active = false;
};

} // namespace Brio
