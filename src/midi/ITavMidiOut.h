#pragma once
// The sending side of a MIDI output, as the parameter model and the device layer see it.
// Every operation runs on the GUI thread.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "midi/CTavLongMessage.h"
#include "model/ITavDataOut.h"

// A short message packed as status | data1 << 8 | data2 << 16.
using TavShortMessage = uint32_t;

inline TavShortMessage TavPackShort(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
    return static_cast<TavShortMessage>(status) | static_cast<TavShortMessage>(data1) << 8 |
           static_cast<TavShortMessage>(data2) << 16;
}

// The number of bytes a short message has, by its status byte: 3, 2 or 1.
int TavShortMessageLength(uint8_t status);

class ITavMidiOut : public ITavDataOut {
public:
    virtual void SendShort(TavShortMessage) {}
    virtual void SendLong(const CTavLongMessage&) {}
    virtual void SendMessage(const CTavHaldenMessage&) {}
};
