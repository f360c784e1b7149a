#pragma once
// Passes over the values of leaves that hold none of a few watched values. A handler that
// looks every received value up in a table pays for it on every byte of a transfer; the
// values of one list mostly share their leaf, so with the filter a leaf is looked up once
// for its run of values and the values of other leaves cost one comparison each.

#include <unordered_set>

#include "model/CTavValue.h"

class CTavLeafFilter {
public:
    void Watch(const CTavValue* value) {
        if (value)
            m_leaves.insert(value->Parent());
    }
    // False when the value's leaf holds no watched value; true means look it up.
    bool MayHold(const CTavValue* value) {
        const CTavStruct* leaf = value->Parent();
        if (!m_known || leaf != m_last) {
            m_known = true;
            m_last = leaf;
            m_lastWatched = m_leaves.count(leaf) > 0;
        }
        return m_lastWatched;
    }

private:
    std::unordered_set<const CTavStruct*> m_leaves;
    // The leaf asked about last and its answer: leaves are fixed once the model is built.
    const CTavStruct* m_last = nullptr;
    bool m_known = false;
    bool m_lastWatched = false;
};
