#include "model/CTavBufferSynchronizer.h"

#include <cstring>
#include <optional>

#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

bool CTavBufferSynchronizer::AddEntry(CTavStruct& leaf) {
    const std::vector<uint8_t>* bytes = leaf.Bytes();
    if (!bytes)
        return false;
    return AddEntry(leaf, TavRange{0, static_cast<int32_t>(bytes->size())});
}

bool CTavBufferSynchronizer::AddEntry(CTavStruct& leaf, TavRange range) {
    const std::vector<uint8_t>* bytes = leaf.Bytes();
    if (!bytes || m_entries.size() >= kMaxEntries)
        return false;
    if (range.begin < 0 || range.end <= range.begin || range.end > static_cast<int32_t>(bytes->size()))
        return false;
    m_entries.push_back({&leaf, range});
    return true;
}

int32_t CTavBufferSynchronizer::EntryOf(const CTavValue& value) const {
    const CTavStruct* leaf = value.Parent();
    const int32_t position = value.Range().begin;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        if (entry.leaf == leaf && position >= entry.range.begin && position < entry.range.end)
            return static_cast<int32_t>(i);
    }
    return -1;
}

CTavValue* CTavBufferSynchronizer::ValueAt(CTavStruct& leaf, int32_t offset) {
    if (std::vector<CTavValue>* values = leaf.ChildValues())
        for (CTavValue& value : *values)
            if (value.Range().begin == offset)
                return &value;
    return nullptr;
}

bool CTavBufferSynchronizer::AfterWrite(const TavValueList& values) {
    TavValueList copies;
    for (CTavValue* value : values) {
        if (!value || !value->Bytes() || value->Size() <= 0)
            continue;
        const uint32_t mask = m_mask ? static_cast<uint32_t>(m_mask->GetRaw()) : 0u;
        const CTavStruct* leaf = value->Parent();
        const int32_t position = value->Range().begin;

        // The first selected entry holding the value gives the offset; every other
        // selected entry that does not hold it is a target.
        std::optional<int32_t> offset;
        std::vector<const Entry*> targets;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (!Selected(mask, i))
                continue;
            const Entry& entry = m_entries[i];
            const bool holds = entry.leaf == leaf && position >= entry.range.begin && position < entry.range.end;
            if (!holds)
                targets.push_back(&entry);
            else if (!offset)
                offset = position - entry.range.begin;
        }
        if (offset && !targets.empty())
            CopyToTargets(*value, *offset, targets, copies);
    }
    if (copies.empty())
        return false;
    if (m_copiesHandler)
        m_copiesHandler->AfterWrite(copies);
    return true;
}

bool CTavBufferSynchronizer::CopyToTargets(const CTavValue& source, int32_t offset,
                                           const std::vector<const Entry*>& targets, TavValueList& copies) {
    const int32_t size = source.Size();
    bool copied = false;
    for (const Entry* entry : targets) {
        const int32_t position = entry->range.begin + offset;
        if (position >= entry->range.end)
            continue;
        CTavValue* target = ValueAt(*entry->leaf, position);
        // The source's full size must fit into the target leaf's bytes.
        if (!target || target == &source || !target->Bytes() ||
            position + size > static_cast<int32_t>(entry->leaf->Bytes()->size()))
            continue;
        std::memmove(target->Bytes(), source.Bytes(), static_cast<size_t>(size));
        m_manager.RecordChange(*target);
        copies.push_back(target);
        copied = true;
    }
    return copied;
}
