#pragma once
// A MIDI output that records the short messages and data sets sent through it and
// answers a last message the test sets.

#include <cstdint>
#include <vector>

#include "midi/ITavMidiOut.h"

namespace test {

class RecordingMidiOut : public ITavMidiOut {
public:
    struct DataSet {
        int32_t address;
        TavBytes data;
        bool operator==(const DataSet&) const = default;
    };
    void SendShort(TavShortMessage message) override { shorts.push_back(message); }
    void SendDataSet(int32_t address, const uint8_t* data, size_t size) override {
        sent.push_back({address, TavBytes(data, data + size)});
    }
    void SendDataRequest(int32_t, int32_t) override {}
    const TavBytes& LastMessage() const override { return last; }

    std::vector<TavShortMessage> shorts;
    std::vector<DataSet> sent;
    TavBytes last;
};

} // namespace test
