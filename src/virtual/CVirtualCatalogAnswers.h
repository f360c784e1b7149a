#pragma once
// The virtual device's answers to the editor's catalog queries under "com.utility.command":
// bank counts, the entry count of one bank, the names of a bank and the samples of a page.
// The addresses come from the editor script; a query value the script lacks is simply not
// answered from the catalog (the request then reads the memory image like any other).
//
// The queries carry their arguments in the request's four size bytes:
//   number information   00, LSB, 00, 01
//   name information     00, LSB, first program, count
//   sample names         00, LSB base + page div 128, page mod 128, 01
// and every answer is one or more data sets on the request's own address.

#include <cstdint>
#include <vector>

#include "midi/CTavLongMessage.h"

class CTavBufferManager;
class CVirtualCatalog;

class CVirtualCatalogAnswers {
public:
    static constexpr size_t kNameRecordSize = 17;
    static constexpr size_t kSampleRecordSize = 28;

    // Finds the query values in the device's tree.
    void Bind(CTavBufferManager& buffers);

    // When a data request for 'address' with the size bytes 'size' is a catalog query,
    // fills the payloads of the data sets that answer it, in order, and answers true.
    bool Answer(const CVirtualCatalog& catalog, uint32_t address, const uint8_t* size, size_t sizeLength,
                std::vector<TavBytes>& payloads) const;

    // Where the device reports a stored patch or rhythm set; false when the script lacks it.
    bool WriteMessageAddress(uint32_t& address) const;

    // The answer to number information: 00, LSB, 00, then the count in four bits per byte,
    // most significant first, up to 'size' bytes.
    static TavBytes NumberRecord(uint8_t lsb, int count, size_t size);
    // Name records of the entries from (msb, lsb, program) on, at most 'count' of them,
    // then the all-zero record.
    static std::vector<TavBytes> NameRecords(const CVirtualCatalog& catalog, uint8_t msb, uint8_t lsb,
                                             uint8_t program, int count);
    // Sample records of one page (lsbByte and pageByte as the query carries them), then the
    // all-zero record. A page beyond its bank holds no samples.
    static std::vector<TavBytes> SampleRecords(const CVirtualCatalog& catalog, uint8_t lsbByte,
                                               uint8_t pageByte);

private:
    enum Query {
        kPatchUserBanks,
        kPatchCardBanks,
        kRhythmSetUserBanks,
        kRhythmSetCardBanks,
        kPatchNumbers,
        kRhythmSetNumbers,
        kPatchNames,
        kRhythmSetNames,
        kSampleNames,
        kWriteMessage,
        kQueryCount
    };
    struct Binding {
        bool bound = false;
        uint32_t address = 0;
        size_t size = 0;
    };
    Binding m_bindings[kQueryCount];
};
