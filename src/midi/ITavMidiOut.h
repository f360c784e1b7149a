#pragma once
// The sending side of a MIDI output, as the parameter model sees it.

#include <cstddef>
#include <cstdint>
#include <vector>

using TavBytes = std::vector<uint8_t>;

class ITavMidiOut {
public:
    virtual ~ITavMidiOut() = default;
    // Sends one data set for the linear address with the given data bytes.
    virtual void SendDataSet(int32_t address, const uint8_t* data, size_t size) = 0;
    // Sends one data request for the linear address and size.
    virtual void SendDataRequest(int32_t address, int32_t size) = 0;
    // The bytes of the last message sent through this output; empty when none.
    virtual const TavBytes& LastMessage() const = 0;
};
