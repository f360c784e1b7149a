#include "entity/CTavEntityRecords.h"

#include "entity/CTavEntityBanks.h"

namespace {

bool AllSevenBit(const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (data[i] > 0x7F)
            return false;
    return true;
}

// Name characters are printable ASCII; anything else marks a broken record.
bool ReadName(const uint8_t* data, size_t length, std::string& name) {
    name.assign(reinterpret_cast<const char*>(data), length);
    for (char c : name)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// Four bits per byte, most significant first; false on a byte above 0x0F.
bool ReadNibbles(const uint8_t* data, size_t count, int64_t& value) {
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (data[i] > 0x0F)
            return false;
        value = value << 4 | data[i];
    }
    return true;
}

} // namespace

bool TavIsEndRecord(const uint8_t* data, size_t size) {
    if (!data || size == 0)
        return false;
    for (size_t i = 0; i < size; ++i)
        if (data[i] != 0)
            return false;
    return true;
}

bool TavParseNameRecord(const uint8_t* data, size_t size, CTavNameRecord& record) {
    if (!data || size != kTavNameRecordSize || !AllSevenBit(data, size) || TavIsEndRecord(data, size))
        return false;
    record.program = {data[0], data[1], data[2]};
    record.category = data[3];
    return ReadName(data + 5, kTavNameLength, record.name);
}

bool TavParseSampleRecord(const uint8_t* data, size_t size, CTavSampleRecord& record) {
    if (!data || size != kTavSampleRecordSize || !AllSevenBit(data, size) || TavIsEndRecord(data, size))
        return false;
    int64_t number = 0;
    if (!ReadNibbles(data + 1, 4, number) || data[5] > Brio::TavSampleKind::None)
        return false;
    record.lsb = data[0];
    record.number = static_cast<int32_t>(number);
    record.kind = data[5];
    if (!ReadName(data + 6, kTavSampleNameLength, record.name))
        return false;
    record.size = 0;
    for (size_t i = 22; i < 27; ++i)
        record.size = record.size << 7 | data[i];
    record.flag = data[27];
    return true;
}

bool TavParseNumberRecord(const uint8_t* data, size_t size, CTavNumberRecord& record) {
    // At least one count byte; at most seven, so the count fits 28 bits.
    if (!data || size < 4 || size > 10 || !AllSevenBit(data, size))
        return false;
    int64_t count = 0;
    if (!ReadNibbles(data + 3, size - 3, count) || count > kTavMaxBankCount)
        return false;
    record.lsb = data[1];
    record.count = static_cast<int32_t>(count);
    return true;
}

bool TavFileNameRecord(const CTavEntityManager& manager, CTavEntityManager::IInserter& inserter,
                       const uint8_t* data, size_t size) {
    CTavNameRecord record;
    if (!TavParseNameRecord(data, size, record) || !manager.EntityIdOf(record.program).IsValid() ||
        inserter.IsFull())
        return false;
    return inserter.PushBack(CCategoryInformation(record.name, record.category));
}

bool TavFileSampleRecord(CTavEntityManager& manager, const uint8_t* data, size_t size) {
    CTavSampleRecord record;
    if (!TavParseSampleRecord(data, size, record))
        return false;
    int32_t area = 0;
    if (record.lsb == 0)
        area = TavEntityArea::User;
    else if (record.lsb == TavBankSelect::CardLsbBase)
        area = TavEntityArea::Card;
    else
        return false;
    const CTavEntityId sample = manager.EntityIdOf({TavBankSelect::SampleMsb, record.lsb, record.number});
    if (!sample.IsValid() || sample.type != TavEntityType::Sample || sample.bank != area)
        return false;
    // Sizes beyond 32 bits cannot be real; they are kept at the largest value.
    const int32_t sizeValue = record.size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(record.size);
    if (!manager.SetInformation(
            sample, Brio::CTavSampleInformation(record.name, record.kind, sizeValue, record.flag)))
        return false;
    const int32_t patchBank =
        area == TavEntityArea::User ? TavEntityArea::UserSamplePatch : TavEntityArea::CardSamplePatch;
    const std::string name =
        record.kind == Brio::TavSampleKind::StereoRight ? kTavStereoRightName : record.name;
    if (record.number >= 1)
        manager.SetInformation({TavEntityType::Patch, patchBank, 0, record.number - 1},
                               CCategoryInformation(name, TavEntityCategory::SamplePatch));
    return true;
}
