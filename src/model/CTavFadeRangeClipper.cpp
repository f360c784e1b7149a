#include "model/CTavFadeRangeClipper.h"

#include <algorithm>
#include <utility>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace {

// The pair's place in memory: its lower bound's absolute address, then its upper's.
std::pair<int32_t, int32_t> PositionOf(const CTavValue& lower, const CTavValue& upper) {
    return {lower.AbsoluteRange().begin, upper.AbsoluteRange().begin};
}

} // namespace

bool CTavFadeRangeClipper::AddPair(CTavValue& lower, CTavValue& upper) {
    if (&lower == &upper || lower.Kind() != kTavKindInteger || upper.Kind() != kTavKindInteger)
        return false;
    const auto key = PositionOf(lower, upper);
    const auto at = std::upper_bound(m_pairs.begin(), m_pairs.end(), key, [](const auto& wanted, const Pair& pair) {
        return wanted < PositionOf(*pair.lower, *pair.upper);
    });
    m_pairs.insert(at, Pair{&lower, &upper});
    return true;
}

bool CTavFadeRangeClipper::AfterWrite(const TavValueList& values) {
    bool belongs = false;
    for (const CTavValue* value : values) {
        // A value may be the bound of several pairs (the upper of one and the lower of
        // the next, for example); each pair is checked.
        for (const Pair& pair : m_pairs) {
            const bool isLower = pair.lower == value;
            if (!isLower && pair.upper != value)
                continue;
            belongs = true;
            const int32_t lower = pair.lower->GetRaw();
            const int32_t upper = pair.upper->GetRaw();
            if (upper >= lower)
                continue;
            CTavValue& follower = isLower ? *pair.upper : *pair.lower;
            follower.SetRaw(isLower ? lower : upper);
            m_manager.RecordChange(follower);
        }
    }
    return belongs;
}
