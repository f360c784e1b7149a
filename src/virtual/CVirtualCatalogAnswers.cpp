#include "virtual/CVirtualCatalogAnswers.h"

#include <algorithm>
#include <iterator>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"
#include "model/TavAddress.h"
#include "virtual/CVirtualCatalog.h"

namespace {

const char* const kQueryPaths[] = {
    "com.utility.command.patchUserBankInformation",     "com.utility.command.patchCardBankInformation",
    "com.utility.command.rhythmSetUserBankInformation", "com.utility.command.rhythmSetCardBankInformation",
    "com.utility.command.patchNumberInformation",       "com.utility.command.rhythmSetNumberInformation",
    "com.utility.command.patchNameInformation2",        "com.utility.command.rhythmSetNameInformation2",
    "com.utility.command.sampleNameInformation2",       "com.utility.command.writeMessage",
};

// The query values are short slots; anything longer is not one of ours.
constexpr size_t kMaxQuerySize = 32;

void PutSevenBits(uint8_t* out, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>((value >> (7 * (bytes - 1 - i))) & 0x7F);
}

} // namespace

void CVirtualCatalogAnswers::Bind(CTavBufferManager& buffers) {
    static_assert(std::size(kQueryPaths) == kQueryCount);
    for (int query = 0; query < kQueryCount; ++query) {
        const CTavValue* value = buffers.FindValue(kQueryPaths[query]);
        Binding& binding = m_bindings[query];
        binding = {};
        if (!value || value->Size() <= 0 || static_cast<size_t>(value->Size()) > kMaxQuerySize)
            continue;
        binding = {true, static_cast<uint32_t>(value->AbsoluteRange().begin),
                   static_cast<size_t>(value->Size())};
    }
}

bool CVirtualCatalogAnswers::WriteMessageAddress(uint32_t& address) const {
    address = m_bindings[kWriteMessage].address;
    return m_bindings[kWriteMessage].bound;
}

bool CVirtualCatalogAnswers::Answer(const CVirtualCatalog& catalog, uint32_t address, const uint8_t* size,
                                    size_t sizeLength, std::vector<TavBytes>& payloads) const {
    int query = 0;
    while (query < kWriteMessage && !(m_bindings[query].bound && m_bindings[query].address == address))
        ++query;
    if (query == kWriteMessage || !size)
        return false;
    const Binding& binding = m_bindings[query];

    if (query <= kRhythmSetCardBanks) {
        // A plain read of the count value: the size bytes are a size.
        if (TavDecodeAddress(size, sizeLength) != binding.size)
            return false;
        static const CVirtualCatalog::Area kAreas[] = {CVirtualCatalog::PatchUser, CVirtualCatalog::PatchCard,
                                                       CVirtualCatalog::RhythmSetUser,
                                                       CVirtualCatalog::RhythmSetCard};
        TavBytes count(binding.size);
        PutSevenBits(count.data(), static_cast<uint64_t>(catalog.BankCount(kAreas[query])), count.size());
        payloads = {std::move(count)};
        return true;
    }
    // The other queries carry their arguments in four size bytes.
    if (sizeLength != 4)
        return false;
    const uint8_t lsb = size[1];
    switch (query) {
    case kPatchNumbers:
    case kRhythmSetNumbers: {
        if (binding.size < 4)
            return false;
        const uint8_t msb =
            query == kPatchNumbers ? CVirtualCatalog::kPatchMsb : CVirtualCatalog::kRhythmSetMsb;
        payloads = {NumberRecord(lsb, catalog.CountAt(msb, lsb), binding.size)};
        return true;
    }
    case kPatchNames:
    case kRhythmSetNames: {
        const uint8_t msb =
            query == kPatchNames ? CVirtualCatalog::kPatchMsb : CVirtualCatalog::kRhythmSetMsb;
        payloads = NameRecords(catalog, msb, lsb, size[2], size[3]);
        return true;
    }
    default: // kSampleNames
        payloads = SampleRecords(catalog, lsb, size[2]);
        return true;
    }
}

TavBytes CVirtualCatalogAnswers::NumberRecord(uint8_t lsb, int count, size_t size) {
    TavBytes record(size, 0);
    if (size >= 2)
        record[1] = lsb;
    for (size_t i = 3; i < size; ++i) {
        const size_t shift = 4 * (size - 1 - i);
        record[i] = shift < 32 ? static_cast<uint8_t>((static_cast<uint32_t>(count) >> shift) & 0x0F) : 0;
    }
    return record;
}

std::vector<TavBytes> CVirtualCatalogAnswers::NameRecords(const CVirtualCatalog& catalog, uint8_t msb,
                                                          uint8_t lsb, uint8_t program, int count) {
    std::vector<TavBytes> records;
    CVirtualCatalog::Slot slot;
    if (catalog.Find(msb, lsb, program, slot)) {
        const auto& bank = catalog.Bank(slot.area, slot.bank);
        for (int index = slot.index; index < static_cast<int>(bank.size()) && index < slot.index + count;
             ++index) {
            const auto id = CVirtualCatalog::ProgramIdOf(slot.area, slot.bank, index);
            const auto& entry = bank[static_cast<size_t>(index)];
            TavBytes record{id[0], id[1], id[2], entry.category, 0x00};
            const std::string name = CVirtualCatalog::Fit(entry.name, CVirtualCatalog::kNameLength);
            record.insert(record.end(), name.begin(), name.end());
            records.push_back(std::move(record));
        }
    }
    records.emplace_back(kNameRecordSize, 0);
    return records;
}

std::vector<TavBytes> CVirtualCatalogAnswers::SampleRecords(const CVirtualCatalog& catalog, uint8_t lsbByte,
                                                            uint8_t pageByte) {
    std::vector<TavBytes> records;
    const bool card = lsbByte >= CVirtualCatalog::kCardLsb;
    const uint8_t base = card ? CVirtualCatalog::kCardLsb : 0;
    const int page = (lsbByte - base) * 128 + pageByte;
    const int first = page * CVirtualCatalog::kSamplesPerPage + 1;
    const int last = first + CVirtualCatalog::kSamplesPerPage - 1;
    if (lsbByte < 2 * CVirtualCatalog::kCardLsb && last <= CVirtualCatalog::SampleLimit(card)) {
        for (const CVirtualCatalog::Sample& sample : catalog.Samples(card)) {
            if (sample.number < first || sample.number > last)
                continue;
            TavBytes record(kSampleRecordSize, 0);
            record[0] = base;
            for (size_t i = 0; i < 4; ++i)
                record[1 + i] = static_cast<uint8_t>((sample.number >> (4 * (3 - i))) & 0x0F);
            record[5] = static_cast<uint8_t>(sample.kind);
            const std::string name = CVirtualCatalog::Fit(sample.name, CVirtualCatalog::kSampleNameLength);
            std::copy(name.begin(), name.end(), record.begin() + 6);
            PutSevenBits(record.data() + 22, sample.size, 5);
            record[27] = sample.flag & 0x7F;
            records.push_back(std::move(record));
        }
    }
    records.emplace_back(kSampleRecordSize, 0);
    return records;
}
