#pragma once
// Gives every type of an effect its own settings. An effect's parameters live in one leaf
// struct whose meaning depends on a type value; for each raw value of the type a saved
// byte block holds the parameters that type had when it was last left. Writing a new type
// saves the current parameters under the old type, brings back those of the new type and
// sends the whole effect struct to the device.
//
// An effect may name the values that belong to its type: then only their bytes are saved
// and brought back, and the rest of the struct (levels and sends that belong to the mix,
// say) stays as it is. Without such a list the whole struct swaps.

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "model/ITavBufferHandler.h"

class CTavBufferManager;
class CTavStruct;

// Saved parameter blocks by type raw value; each as long as the effect struct's bytes.
using TavSavedBlocks = std::map<int32_t, std::vector<uint8_t>>;

class CTavEffectSwapper : public ITavBufferHandler {
public:
    explicit CTavEffectSwapper(CTavBufferManager& manager) : m_manager(manager) {}

    // Registers an effect: its type value (an integer value), the leaf struct holding its
    // parameters, the saved blocks, filled by the caller, and the values of the struct that
    // swap with the type (empty: all of them). False, registering nothing, for a type value
    // registered already, a struct without bytes, a block whose length differs from the
    // struct's, or a swapped value that is not the struct's own or is the type value.
    bool Register(CTavValue& typeValue, CTavStruct& effect, TavSavedBlocks blocks, TavValueList swapped = {});
    size_t EffectCount() const { return m_entries.size(); }
    // The block saved for a type raw value of a registered effect; null when none.
    const std::vector<uint8_t>* SavedBlock(const CTavValue& typeValue, int32_t raw) const;
    // Replaces or adds the block of a type raw value; false for an unregistered type value
    // or a block of the wrong length.
    bool SetSavedBlock(const CTavValue& typeValue, int32_t raw, std::vector<uint8_t> block);

    // Takes over the write of exactly one registered type value: the current type or a
    // type without a saved block (old or new) drops the write, any other type swaps the
    // parameters. Every other write is left to the buffer manager.
    bool BeforeWriteIntegers(const TavIntegerWrites& writes) override;

private:
    struct Entry {
        CTavStruct* effect;
        TavSavedBlocks blocks;
        // The values whose bytes swap; empty for the whole struct.
        TavValueList swapped;
    };

    // Saves the swapping bytes under the old block and brings back the new block's.
    static void Swap(Entry& entry, std::vector<uint8_t>& oldBlock, const std::vector<uint8_t>& newBlock);

    CTavBufferManager& m_manager;
    std::unordered_map<const CTavValue*, Entry> m_entries;
};
