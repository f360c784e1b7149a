#include "model/CTavEffectSwapper.h"

#include <algorithm>

#include "model/CTavBufferManager.h"
#include "model/CTavStruct.h"

bool CTavEffectSwapper::Register(CTavValue& typeValue, CTavStruct& effect, TavSavedBlocks blocks) {
    const std::vector<uint8_t>* bytes = effect.Bytes();
    if (!bytes || typeValue.Kind() != kTavKindInteger || m_entries.count(&typeValue))
        return false;
    for (const auto& [raw, block] : blocks)
        if (block.size() != bytes->size())
            return false;
    m_entries.emplace(&typeValue, Entry{&effect, std::move(blocks)});
    return true;
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
    std::copy(bytes.begin(), bytes.end(), oldBlock->second.begin());
    std::copy(newBlock->second.begin(), newBlock->second.end(), bytes.begin());
    typeValue->SetRaw(newType);
    m_manager.RecordChange(*typeValue);
    entry.effect->Transmit();
    // A type value kept inside the effect struct went out with it.
    if (typeValue->Parent() == entry.effect)
        m_manager.ExcludeFromTransmission(*typeValue);
    // The parameters changed with the block: views must show them, but they went to the
    // device with the whole struct just now, so they are not sent again.
    if (std::vector<CTavValue>* values = entry.effect->ChildValues()) {
        for (CTavValue& value : *values) {
            if (&value == typeValue)
                continue;
            m_manager.RecordChange(value);
            m_manager.ExcludeFromTransmission(value);
        }
    }
    return true;
}
