#include "midi/port/CMidiOut.h"

#include <cstring>

#include "app/CTavTextOut.h"
#include "midi/port/CMidiPorts.h"

CMidiOut::CMidiOut(ITavClock& clock) : m_clock(clock) {}

CMidiOut::~CMidiOut() {
    Close();
}

bool CMidiOut::Open(const std::string& name, const CMidiPorts& ports, CTavTextOut* messages) {
    Close();
    m_messages = messages;
    std::string error;
    m_driver = ports.OpenOutput(name, error);
    if (!m_driver && !error.empty() && messages)
        messages->Printf("%s\n", error.c_str());
    return m_driver != nullptr;
}

void CMidiOut::Adopt(std::unique_ptr<IMidiOutDriver> driver, CTavTextOut* messages) {
    Close();
    m_driver = std::move(driver);
    m_messages = messages;
}

bool CMidiOut::Fail(const char* text) {
    if (m_messages)
        m_messages->Printf("%s\n", text);
    return false;
}

bool CMidiOut::SendShort(const uint8_t* bytes, size_t size) {
    if (!m_driver)
        return false;
    std::string error;
    if (!m_driver->SendShort(bytes, size, error))
        return Fail(error.c_str());
    return true;
}

bool CMidiOut::SendLong(const uint8_t* bytes, size_t size) {
    if (!m_driver)
        return false;
    if (size > CMidiPacket::kCapacity)
        return Fail("Unable to send MIDI system exclusive. The message is longer than 2048 bytes.");
    // A packet the port still held after a time-out is never overwritten: the port is
    // reset first, and if it still holds the packet the send is refused.
    if (m_packetHeld && !m_driver->LongDone()) {
        m_driver->Reset();
        if (!m_driver->LongDone())
            return Fail("Unable to send MIDI system exclusive. The MIDI device is still busy.");
    }
    m_packetHeld = false;
    std::memcpy(m_packet.data.get(), bytes, size);
    m_packet.bytesRecorded = size;

    const TavTime start = m_clock.Now();
    std::string error;
    if (!m_driver->SendLong(m_packet.data.get(), size, error))
        return Fail(error.c_str());

    // Hold the sender back to what the cable carries.
    const long long length = static_cast<long long>(size);
    const long long elapsed = TavMilliseconds(start, m_clock.Now());
    if (m_driver->Paced() && elapsed * kBytesPerSecond < length * 1000)
        m_clock.SleepFor(
            std::chrono::milliseconds((length * 1000 - elapsed * kBytesPerSecond) / kBytesPerSecond));

    while (!m_driver->LongDone()) {
        if (TavMilliseconds(start, m_clock.Now()) >= kTimeoutMs) {
            m_packetHeld = true;
            return Fail("Unable to send MIDI system exclusive. Timeout.");
        }
        m_clock.SleepFor(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

void CMidiOut::Reset() {
    if (m_driver)
        m_driver->Reset();
}

void CMidiOut::Close() {
    if (!m_driver)
        return;
    m_driver->Reset();
    m_driver.reset();
    m_packetHeld = false;
}
