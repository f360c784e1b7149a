#pragma once
// What the parameter model sends through: data sets and data requests for linear
// addresses, and the last message sent, which the MIDI message values show. The MIDI
// outputs implement it; the model knows nothing else of MIDI. GUI thread only.

#include <cstddef>
#include <cstdint>
#include <vector>

class ITavDataOut {
public:
    virtual ~ITavDataOut() = default;
    // Sends one data set for the linear address with the given data bytes.
    virtual void SendDataSet(int32_t address, const uint8_t* data, size_t size) = 0;
    // Sends one data request for the linear address and size.
    virtual void SendDataRequest(int32_t address, int32_t size) = 0;
    // The bytes of the last message sent through this output; empty when none.
    virtual const std::vector<uint8_t>& LastMessage() const = 0;
};
