#pragma once
// An output port. Short messages go straight to the port; exclusive messages go through
// one preallocated packet, paced to what a MIDI cable carries and given 2000 ms to be
// taken. Sending blocks the calling (GUI) thread for the whole transmission; all waiting
// reads the injected clock.

#include <memory>
#include <string>

#include "app/TavClock.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/CMidiRings.h"

class CTavTextOut;

class CMidiOut {
public:
    static constexpr int kBytesPerSecond = 3472;
    static constexpr int kTimeoutMs = 2000;
    static constexpr int kPollMs = 10;

    explicit CMidiOut(ITavClock& clock = TavSystemClock());
    ~CMidiOut();
    CMidiOut(const CMidiOut&) = delete;
    CMidiOut& operator=(const CMidiOut&) = delete;

    // Opens the port of that exact name; as CMidiIn::Open.
    bool Open(const std::string& name, const CMidiPorts& ports, CTavTextOut* messages);
    void Adopt(std::unique_ptr<IMidiOutDriver> driver, CTavTextOut* messages);
    bool IsOpen() const { return m_driver != nullptr; }
    bool SendShort(const uint8_t* bytes, size_t size);
    bool SendLong(const uint8_t* bytes, size_t size);
    void Reset();
    void Close();

private:
    bool Fail(const char* text);

    ITavClock& m_clock;
    std::unique_ptr<IMidiOutDriver> m_driver;
    CTavTextOut* m_messages = nullptr;
    CMidiPacket m_packet;
    // The port had not let go of the packet when its send timed out.
    bool m_packetHeld = false;
};
