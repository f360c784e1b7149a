#pragma once
// What a MIDI input hands channel and universal messages to: the MIDI struct that mirrors
// the 16 MIDI channels. GUI thread only.

#include "midi/CTavLongMessage.h"
#include "midi/ITavMidiOut.h"

class ITavMidiStruct {
public:
    virtual ~ITavMidiStruct() = default;
    // A channel message (status below F0); true when values changed and were handed to
    // the buffer manager.
    virtual bool ReceiveShort(TavShortMessage message) = 0;
    // A universal exclusive message; accepted and ignored.
    virtual bool ReceiveUniversal(const CTavLongMessage&) { return true; }
};
