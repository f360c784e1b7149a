#pragma once
// Opened MIDI devices as the MIDI inputs and outputs see them. The platform layer (and the
// Standard MIDI File writer) implement the output side; an input device hands every
// complete message it receives to its listeners in order. GUI thread only.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "midi/CTavLongMessage.h"

class CTavMidiOutDevice {
public:
    virtual ~CTavMidiOutDevice() = default;
    // Sends one complete message (a short message or an exclusive message).
    virtual void Send(const TavBytes& bytes) = 0;
};

class ITavMidiInListener {
public:
    virtual ~ITavMidiInListener() = default;
    virtual void Receive(const TavBytes& bytes) = 0;
};

class CTavMidiInDevice {
public:
    void AddListener(ITavMidiInListener* listener) { m_listeners.push_back(listener); }
    void RemoveListener(ITavMidiInListener* listener) { std::erase(m_listeners, listener); }
    const std::vector<ITavMidiInListener*>& Listeners() const { return m_listeners; }
    void Deliver(const TavBytes& bytes) {
        for (ITavMidiInListener* listener : m_listeners)
            listener->Receive(bytes);
    }

private:
    std::vector<ITavMidiInListener*> m_listeners;
};
