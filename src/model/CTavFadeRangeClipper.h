#pragma once
// Keeps the lower bound of a range from passing its upper bound. After a bound of a pair
// is written, the other bound follows it when the two have crossed: a lower bound raised
// above its upper bound raises the upper one to the same raw value, an upper bound
// lowered below its lower bound lowers the lower one.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/ITavBufferHandler.h"

class CTavBufferManager;

class CTavFadeRangeClipper : public ITavBufferHandler {
public:
    explicit CTavFadeRangeClipper(CTavBufferManager& manager) : m_manager(manager) {}

    // Adds a pair, kept in order of the bounds' positions in memory. False, adding
    // nothing, when a bound is not an integer value or both are the same value.
    bool AddPair(CTavValue& lower, CTavValue& upper);
    size_t PairCount() const { return m_pairs.size(); }

    // Moves the other bound of every written bound that crossed it and records that
    // change. True when any written value is a bound of a pair.
    bool AfterWrite(const TavValueList& values) override;

private:
    struct Pair {
        CTavValue* lower;
        CTavValue* upper;
    };

    // Every edit passes through here, and the device registers over a thousand pairs: the
    // pairs of each bound are looked up by value, not found by walking the list.
    void BuildIndex();

    CTavBufferManager& m_manager;
    std::vector<Pair> m_pairs;
    // Each bound to the places of its pairs in m_pairs, in list order; rebuilt after a pair
    // was added.
    std::unordered_map<const CTavValue*, std::vector<uint32_t>> m_index;
    bool m_indexCurrent = true;
};
