#pragma once
// A device that answers the catalog's exchanges at once: bank counts, number information,
// name lists (records, then an all-zero record) and sample name pages; any other data
// request of up to 512 bytes is answered with zeros. Replies queue until the reader's pump
// delivers them. Addresses it does not answer can be named, and every request is logged.

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "device/CTavReader.h"
#include "midi/CTavMidi.h"
#include "model/CTavValue.h"

namespace test {

class FakeCatalogDevice : public CTavMidiOutDevice {
public:
    struct Request {
        uint32_t address;
        TavBytes size; // the four size bytes
    };
    struct Sample {
        int32_t kind;
        std::string name;
        int64_t size;
    };

    FakeCatalogDevice(const Brio::CTavDeviceBindings& bound, CTavMidi& framing)
        : m_bound(bound), m_framing(framing) {}

    // Bank counts per [type][area]; names are made up from type, LSB and program.
    std::vector<int32_t> banks[2][2];
    // Samples by (LSB, number).
    std::map<std::pair<int32_t, int32_t>, Sample> samples;
    std::set<uint32_t> silent;
    // Extra data sets sent before the reply to the next request.
    std::vector<TavBytes> inject;
    // One data set each sent before the reply to the next requests, one per request.
    std::deque<TavBytes> injectEach;
    std::vector<Request> requests;
    std::deque<TavBytes> replies;

    static std::string NameOf(int32_t type, int32_t lsb, int32_t program) {
        char name[16];
        std::snprintf(name, sizeof name, "%c%03d-%03d    ", type ? 'R' : 'P', lsb % 1000, program % 1000);
        return std::string(name, 12);
    }

    TavBytes DataSet(uint32_t address, const TavBytes& data) const {
        return CTavHaldenMessage::DataSet(m_framing.ManufacturerId(), m_framing.DeviceId(),
                                          m_framing.ModelId(), m_framing.AddressSize(), address, data.data(),
                                          data.size())
            .Bytes();
    }
    static uint32_t At(const CTavValue* value) { return static_cast<uint32_t>(value->AbsoluteRange().begin); }

    void Send(const TavBytes& bytes) override {
        CTavHaldenMessage message;
        if (!message.Parse(bytes, m_framing.AddressSize()) ||
            message.GetField(CTavHaldenMessage::kCommandId) != TavBytes{CTavHaldenMessage::kDataRequest})
            return;
        const TavBytes addressBytes = message.GetField(CTavHaldenMessage::kAddress);
        const TavBytes size = message.GetField(CTavHaldenMessage::kData);
        const uint32_t address = TavDecodeAddress(addressBytes.data(), addressBytes.size());
        requests.push_back({address, size});
        for (TavBytes& extra : inject)
            replies.push_back(std::move(extra));
        inject.clear();
        if (!injectEach.empty()) {
            replies.push_back(std::move(injectEach.front()));
            injectEach.pop_front();
        }
        if (silent.count(address) || size.size() != 4)
            return;
        Answer(address, size);
    }

private:
    void Answer(uint32_t address, const TavBytes& size) {
        for (int type = 0; type < 2; ++type)
            for (int area = 0; area < 2; ++area)
                if (m_bound.bankInformation[type][area] &&
                    address == At(m_bound.bankInformation[type][area])) {
                    replies.push_back(DataSet(address, {static_cast<uint8_t>(banks[type][area].size())}));
                    return;
                }
        const bool patchNumbers = address == At(m_bound.patchNumberInformation);
        if (patchNumbers || address == At(m_bound.rhythmSetNumberInformation)) {
            const int32_t count = Count(patchNumbers ? 0 : 1, size[1]);
            replies.push_back(
                DataSet(address, {0, size[1], 0, static_cast<uint8_t>(count >> 12 & 15),
                                  static_cast<uint8_t>(count >> 8 & 15),
                                  static_cast<uint8_t>(count >> 4 & 15), static_cast<uint8_t>(count & 15)}));
            return;
        }
        const bool patchNames = address == At(m_bound.patchNameInformation);
        if (patchNames || address == At(m_bound.rhythmSetNameInformation)) {
            Names(address, patchNames ? 0 : 1, size[1], size[2], size[3]);
            return;
        }
        if (address == At(m_bound.sampleNameInformation)) {
            SamplePage(address, size[1], size[2]);
            return;
        }
        const uint32_t length = TavDecodeAddress(size.data(), size.size());
        if (length <= 512)
            replies.push_back(DataSet(address, TavBytes(length, 0)));
    }

    // The count of the bank an LSB starts.
    int32_t Count(int type, int32_t lsb) const {
        const int area = lsb >= 32 ? 1 : 0;
        const size_t sub = static_cast<size_t>(lsb - area * 32);
        return sub < banks[type][area].size() ? banks[type][area][sub] : 0;
    }

    void Names(uint32_t address, int type, int32_t lsb, int32_t program, int32_t n) {
        // The bank the first entry belongs to: the nearest bank LSB at or below.
        const int area = lsb >= 32 ? 1 : 0;
        const std::vector<int32_t>& list = banks[type][area];
        for (int32_t sub = static_cast<int32_t>(list.size()) - 1; sub >= 0; --sub) {
            const int32_t first = sub + area * 32;
            if (first > lsb)
                continue;
            const int32_t start = (lsb - first) * 128 + program;
            for (int32_t k = start; k < start + n && k < list[sub]; ++k) {
                const int32_t entryLsb = first + k / 128, entryProgram = k % 128;
                TavBytes record = {static_cast<uint8_t>(type ? 82 : 81), static_cast<uint8_t>(entryLsb),
                                   static_cast<uint8_t>(entryProgram),
                                   static_cast<uint8_t>(type ? 39 : k % 40), 0};
                const std::string name = NameOf(type, entryLsb, entryProgram);
                record.insert(record.end(), name.begin(), name.end());
                replies.push_back(DataSet(address, record));
            }
            break;
        }
        replies.push_back(DataSet(address, TavBytes(17, 0)));
    }

    void SamplePage(uint32_t address, int32_t lsbByte, int32_t pageLow) {
        const int32_t lsb = lsbByte >= 32 ? 32 : 0;
        const int32_t page = (lsbByte - lsb) * 128 + pageLow;
        for (int32_t number = page * 50 + 1; number <= page * 50 + 50; ++number) {
            const auto found = samples.find({lsb, number});
            if (found == samples.end())
                continue;
            TavBytes record = {static_cast<uint8_t>(lsb),
                               static_cast<uint8_t>(number >> 12 & 15),
                               static_cast<uint8_t>(number >> 8 & 15),
                               static_cast<uint8_t>(number >> 4 & 15),
                               static_cast<uint8_t>(number & 15),
                               static_cast<uint8_t>(found->second.kind)};
            std::string name = found->second.name;
            name.resize(16, ' ');
            record.insert(record.end(), name.begin(), name.end());
            for (int shift = 28; shift >= 0; shift -= 7)
                record.push_back(static_cast<uint8_t>(found->second.size >> shift & 0x7F));
            record.push_back(0);
            replies.push_back(DataSet(address, record));
        }
        replies.push_back(DataSet(address, TavBytes(28, 0)));
    }

    const Brio::CTavDeviceBindings& m_bound;
    CTavMidi& m_framing;
};

} // namespace test
