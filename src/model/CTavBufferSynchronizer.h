#pragma once
// Copies an edit to sibling blocks of memory. Each entry is a byte range of a leaf
// struct (the whole leaf or a sub-range of it); a mask value selects the entries that
// take part, bit i selecting entry i. A value written inside a selected entry is copied
// to the value at the same offset in every other selected entry.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/ITavBufferHandler.h"
#include "model/TavAddress.h"

class CTavBufferManager;
class CTavStruct;

class CTavBufferSynchronizer : public ITavBufferHandler {
public:
    // The mask value is a 32-bit mask, so no more entries can be selected.
    static constexpr size_t kMaxEntries = 32;

    explicit CTavBufferSynchronizer(CTavBufferManager& manager) : m_manager(manager) {}

    // Adds the whole leaf as an entry. False, adding nothing, for a struct without bytes
    // or when kMaxEntries entries exist already.
    bool AddEntry(CTavStruct& leaf);
    // Adds the bytes [range.begin, range.end) of the leaf as an entry. Also false for a
    // range that is empty or does not lie inside the leaf's bytes.
    bool AddEntry(CTavStruct& leaf, TavRange range);
    size_t EntryCount() const { return m_entries.size(); }
    // The first entry whose range holds the value's first byte; -1 when none does.
    int32_t EntryOf(const CTavValue& value) const;

    // The value whose raw value selects the entries; without one no entry is selected.
    void SetMaskValue(CTavValue* mask) { m_mask = mask; }
    // A handler that is told of the copies as of a write of their own (its after-write
    // hook, once per edit with every copy), so that what keeps an edited value consistent
    // keeps the copies so too. Not owned; null: nobody is told.
    void SetCopiesHandler(ITavBufferHandler* handler) { m_copiesHandler = handler; }

    // Copies each written value into the other selected entries and records the changes
    // of the copies; the copies are not offered to the handler chain again, only to the
    // copies handler. True when anything was copied.
    bool AfterWrite(const TavValueList& values) override;

private:
    struct Entry {
        CTavStruct* leaf;
        TavRange range;
    };

    bool Selected(uint32_t mask, size_t index) const { return ((mask >> index) & 1u) != 0; }
    // The value of the leaf whose bytes begin at offset; null when there is none.
    static CTavValue* ValueAt(CTavStruct& leaf, int32_t offset);
    bool CopyToTargets(const CTavValue& source, int32_t offset, const std::vector<const Entry*>& targets,
                       TavValueList& copies);

    CTavBufferManager& m_manager;
    std::vector<Entry> m_entries;
    CTavValue* m_mask = nullptr;
    ITavBufferHandler* m_copiesHandler = nullptr;
};
