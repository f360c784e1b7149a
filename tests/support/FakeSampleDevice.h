#pragma once
// A catalog device that also plays the sample editor's side: it answers wave requests,
// modify commands (progress, then the echo or result, or an error), the memory figures and
// chop points, and logs every data set it is sent. What it answers can be replaced by raw
// payloads, so tests can send short or hostile answers.

#include <map>
#include <optional>

#include "model/CTavBufferManager.h"
#include "support/FakeCatalogDevice.h"

namespace test {

class FakeSampleDevice : public FakeCatalogDevice {
public:
    struct Sent {
        uint32_t address;
        TavBytes data;
    };

    FakeSampleDevice(const Brio::CTavDeviceBindings& bound, CTavMidi& framing, CTavBufferManager& buffers)
        : FakeCatalogDevice(bound, framing), m_buffers(buffers), m_addressSize(framing.AddressSize()) {}

    uint32_t At(const char* path) const {
        const CTavValue* value = m_buffers.FindValue(path);
        return value ? static_cast<uint32_t>(value->AbsoluteRange().begin) : 0xFFFFFFFF;
    }
    // The data sets sent to one address.
    std::vector<TavBytes> SentTo(const char* path) const {
        std::vector<TavBytes> found;
        for (const Sent& sent : dataSets)
            if (sent.address == At(path))
                found.push_back(sent.data);
        return found;
    }

    std::vector<Sent> dataSets;
    // Data requests answered with these bytes instead (the struct "com.utility.sample").
    std::map<uint32_t, TavBytes> memory;
    // The wave answer's payload instead of the one built from the request; nullopt: built.
    std::optional<TavBytes> waveAnswer;
    // Points the built wave answer holds (fewer than asked at the sample's end).
    int32_t wavePoints = 117;
    int64_t remainBytes = 1536, wholeBytes = 4096;
    std::vector<int64_t> chopFrames;
    // Percent steps sent before a modify command's answer.
    std::vector<uint8_t> progress = {30, 60};
    bool modifyFails = false;
    bool modifySilent = false;
    // Data sets sent after the modify command's answer.
    std::vector<TavBytes> afterAnswer;

    void Send(const TavBytes& bytes) override {
        CTavHaldenMessage message;
        if (!message.Parse(bytes, m_addressSize))
            return;
        const TavBytes addressBytes = message.GetField(CTavHaldenMessage::kAddress);
        const uint32_t address = TavDecodeAddress(addressBytes.data(), addressBytes.size());
        const TavBytes data = message.GetField(CTavHaldenMessage::kData);
        if (message.GetField(CTavHaldenMessage::kCommandId) == TavBytes{CTavHaldenMessage::kDataSet}) {
            dataSets.push_back({address, data});
            OnDataSet(address, data);
            return;
        }
        if (Request(address, data))
            requests.push_back({address, data});
        else
            FakeCatalogDevice::Send(bytes);
    }

private:
    static void Seven(TavBytes& bytes, int64_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bytes.push_back(static_cast<uint8_t>(value >> (7 * i) & 0x7F));
    }

    bool Request(uint32_t address, const TavBytes& size) {
        const uint32_t length = TavDecodeAddress(size.data(), size.size());
        if (silent.count(address))
            return true;
        if (address == At("com.utility.command.sampleMemoryRemain") ||
            address == At("com.utility.command.sampleMemoryWhole")) {
            TavBytes answer;
            Seven(answer, address == At("com.utility.command.sampleMemoryRemain") ? remainBytes : wholeBytes, 5);
            replies.push_back(DataSet(address, answer));
        } else if (address == At("com.utility.sampleEdit.modify.chopPointSize")) {
            replies.push_back(DataSet(address, {static_cast<uint8_t>(chopFrames.size())}));
        } else if (address == At("com.utility.sampleEdit.modify.chopPoint") && length >= 1) {
            TavBytes answer{static_cast<uint8_t>(length - 1)};
            Seven(answer, length - 1 < chopFrames.size() ? chopFrames[length - 1] : 0, 5);
            replies.push_back(DataSet(address, answer));
        } else if (const auto found = memory.find(address); found != memory.end() && found->second.size() == length) {
            replies.push_back(DataSet(address, found->second));
        } else {
            return false;
        }
        return true;
    }

    void OnDataSet(uint32_t address, const TavBytes& data) {
        if (address == At("com.utility.sampleEdit.wave.request") && data.size() == 12) {
            TavBytes answer = waveAnswer.value_or(TavBytes{});
            if (!waveAnswer) {
                answer.assign(data.begin(), data.begin() + 11);
                const int32_t count = std::min<int32_t>(data[11], wavePoints);
                for (int32_t i = 0; i < count; ++i) {
                    answer.push_back(static_cast<uint8_t>(64 - i % 64));
                    answer.push_back(static_cast<uint8_t>(64 + i % 64));
                }
                answer.push_back(static_cast<uint8_t>(count));
            }
            replies.push_back(DataSet(At("com.utility.sampleEdit.wave.data"), answer));
            return;
        }
        const bool chop = address == At("com.utility.sampleEdit.modify.chop");
        const bool autoChop = address == At("com.utility.sampleEdit.modify.autoChop");
        const bool unload = address == At("com.utility.sampleEdit.utility.unload");
        bool modify = chop || autoChop || unload;
        for (const char* name : {"truncate", "emphasis", "normalize", "amp", "timeStretch"})
            modify = modify || address == At((std::string("com.utility.sampleEdit.modify.") + name).c_str());
        if (!modify || modifySilent)
            return;
        for (uint8_t percent : progress)
            replies.push_back(DataSet(At("com.utility.sampleEdit.modify.progress"), {percent}));
        if (modifyFails)
            replies.push_back(DataSet(At("com.utility.sampleEdit.modify.error"), {1}));
        else if (chop || autoChop || unload)
            replies.push_back(DataSet(At(chop       ? "com.utility.sampleEdit.modify.chopResult"
                                         : autoChop ? "com.utility.sampleEdit.modify.autoChopResult"
                                                    : "com.utility.sampleEdit.utility.unloadResult"),
                                      {1}));
        else
            replies.push_back(DataSet(address, data));
        for (TavBytes& extra : afterAnswer)
            replies.push_back(std::move(extra));
        afterAnswer.clear();
    }

    CTavBufferManager& m_buffers;
    int m_addressSize;
};

} // namespace test
