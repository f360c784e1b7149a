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
    m_indexCurrent = false;
    return true;
}

void CTavFadeRangeClipper::BuildIndex() {
    m_index.clear();
    for (uint32_t i = 0; i < m_pairs.size(); ++i) {
        m_index[m_pairs[i].lower].push_back(i);
        m_index[m_pairs[i].upper].push_back(i);
    }
    m_indexCurrent = true;
}

bool CTavFadeRangeClipper::AfterWrite(const TavValueList& values) {
    if (!m_indexCurrent)
        BuildIndex();
    bool belongs = false;
    for (const CTavValue* value : values) {
        const auto found = m_index.find(value);
        if (found == m_index.end())
            continue;
        belongs = true;
        // A value may be the bound of several pairs (the upper of one and the lower of
        // the next, for example); each pair is checked.
        for (const uint32_t place : found->second) {
            const Pair& pair = m_pairs[place];
            const bool isLower = pair.lower == value;
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
