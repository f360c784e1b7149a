#pragma once
// Opened MIDI devices: an input port whose messages reach the script inputs listening to
// it on the GUI thread, and an output port the script outputs send through.

#include <string>

#include "midi/CTavMidiDevice.h"
#include "midi/port/CMidiIn.h"
#include "midi/port/CMidiOut.h"

class CMidiEventQueue;
class CMidiPorts;
class CTavTextOut;

class CMidiInDevice : public CTavMidiInDevice {
public:
    CMidiInDevice(std::string name, CMidiEventQueue& queue);
    // Stops and closes the port; messages still queued for the device are dropped.
    ~CMidiInDevice();

    // Opens the port by its name and starts it.
    bool Open(const CMidiPorts& ports, CTavTextOut* messages);
    const std::string& Name() const { return m_name; }
    CMidiIn& Port() { return m_port; }
    // GUI thread: tells the user the port dropped messages.
    void ReportLost(uint32_t count);

private:
    // Turns port events into complete messages for the GUI thread. System common and
    // real-time messages are dropped here.
    class Reception : public CMidiIn {
    public:
        explicit Reception(CMidiInDevice& device) : m_device(device) {}

    protected:
        void OnShortMessage(uint32_t packed) override;
        void OnLongMessage(const uint8_t* bytes, size_t size) override;
        void OnMessagesLost(uint32_t count) override;

    private:
        CMidiInDevice& m_device;
    };

    std::string m_name;
    CMidiEventQueue& m_queue;
    CTavTextOut* m_messages = nullptr;
    Reception m_port;
};

class CMidiOutDevice : public CTavMidiOutDevice {
public:
    explicit CMidiOutDevice(std::string name, ITavClock& clock = TavSystemClock());

    bool Open(const CMidiPorts& ports, CTavTextOut* messages);
    const std::string& Name() const { return m_name; }
    CMidiOut& Port() { return m_port; }

    // An exclusive message (first byte F0) as one packet, anything else as a short message.
    void Send(const TavBytes& bytes) override;

private:
    std::string m_name;
    CMidiOut m_port;
};

// The bytes of a packed short message, or none for system common and real-time messages.
TavBytes TavUnpackMidiShort(uint32_t packed);
