#include "model/CTavEffectSwapper.h"

#include <algorithm>

#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

bool CTavEffectSwapper::Register(CTavValue& typeValue, CTavStruct& effect, TavSavedBlocks blocks,
                                 TavValueList swapped) {
    const std::vector<uint8_t>* bytes = effect.Bytes();
    if (!bytes || typeValue.Kind() != kTavKindInteger || m_entries.count(&typeValue))
        return false;
    for (const auto& [raw, block] : blocks)
        if (block.size() != bytes->size())
            return false;
    // A value's range lies inside its leaf (the struct tree checks that when it binds the
    // bytes), so the swap never reaches past a block.
    for (const CTavValue* value : swapped)
        if (!value || value == &typeValue || value->Parent() != &effect || !value->Bytes())
            return false;
    m_entries.emplace(&typeValue, Entry{&effect, std::move(blocks), std::move(swapped)});
    return true;
}

void CTavEffectSwapper::Swap(Entry& entry, std::vector<uint8_t>& oldBlock,
                             const std::vector<uint8_t>& newBlock) {
    std::vector<uint8_t>& bytes = *entry.effect->Bytes();
    if (entry.swapped.empty()) {
        std::copy(bytes.begin(), bytes.end(), oldBlock.begin());
        std::copy(newBlock.begin(), newBlock.end(), bytes.begin());
        return;
    }
    // All saved first, then all brought back: values that share bytes would otherwise
    // save what was just brought back.
    for (const CTavValue* value : entry.swapped) {
        const TavRange range = value->Range();
        std::copy(bytes.begin() + range.begin, bytes.begin() + range.end, oldBlock.begin() + range.begin);
    }
    for (const CTavValue* value : entry.swapped) {
        const TavRange range = value->Range();
        std::copy(newBlock.begin() + range.begin, newBlock.begin() + range.end, bytes.begin() + range.begin);
    }
}

const std::vector<uint8_t>* CTavEffectSwapper::SavedBlock(const CTavValue& typeValue, int32_t raw) const {
    const auto entry = m_entries.find(&typeValue);
    if (entry == m_entries.end())
        return nullptr;
    const auto block = entry->second.blocks.find(raw);
    return block == entry->second.blocks.end() ? nullptr : &block->second;
}

bool CTavEffectSwapper::SetSavedBlock(const CTavValue& typeValue, int32_t raw, std::vector<uint8_t> block) {
    const auto entry = m_entries.find(&typeValue);
    if (entry == m_entries.end() || block.size() != entry->second.effect->Bytes()->size())
        return false;
    entry->second.blocks[raw] = std::move(block);
    return true;
}

bool CTavEffectSwapper::BeforeWriteIntegers(const TavIntegerWrites& writes) {
    if (writes.size() != 1)
        return false;
    CTavValue* typeValue = writes.front().first;
    const auto found = m_entries.find(typeValue);
    if (found == m_entries.end())
        return false;
    Entry& entry = found->second;

    const int32_t oldType = typeValue->GetRaw();
    const int32_t newType = writes.front().second;
    const auto oldBlock = entry.blocks.find(oldType);
    const auto newBlock = entry.blocks.find(newType);
    if (oldType == newType || oldBlock == entry.blocks.end() || newBlock == entry.blocks.end())
        return true;

    std::vector<uint8_t>& bytes = *entry.effect->Bytes();
    // Blocks are checked against the struct when stored; a struct whose bytes changed
    // length since is left alone.
    if (oldBlock->second.size() != bytes.size() || newBlock->second.size() != bytes.size())
        return true;
    Swap(entry, oldBlock->second, newBlock->second);
    typeValue->SetRaw(newType);
    m_manager.RecordChange(*typeValue);
    entry.effect->Transmit();
    // A type value kept inside the effect struct went out with it.
    if (typeValue->Parent() == entry.effect)
        m_manager.ExcludeFromTransmission(*typeValue);
    // The parameters changed with the block: views must show them, but they went to the
    // device with the whole struct just now, so they are not sent again.
    const auto shown = [this](CTavValue& value) {
        m_manager.RecordChange(value);
        m_manager.ExcludeFromTransmission(value);
    };
    if (!entry.swapped.empty()) {
        for (CTavValue* value : entry.swapped)
            shown(*value);
    } else if (std::vector<CTavValue>* values = entry.effect->ChildValues()) {
        for (CTavValue& value : *values)
            if (&value != typeValue)
                shown(value);
    }
    return true;
}
