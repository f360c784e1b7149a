#include "midi/port/CMidiDevices.h"

#include "app/CTavTextOut.h"
#include "midi/ITavMidiOut.h"
#include "midi/port/CMidiEventQueue.h"

TavBytes TavUnpackMidiShort(uint32_t packed) {
    const uint8_t status = static_cast<uint8_t>(packed & 0xFF);
    if ((status >= 0xF1 && status <= 0xF6) || status >= 0xF8)
        return {};
    const int length = TavShortMessageLength(status);
    TavBytes bytes;
    for (int i = 0; i < length; ++i)
        bytes.push_back(static_cast<uint8_t>(packed >> (8 * i)));
    return bytes;
}

CMidiInDevice::CMidiInDevice(std::string name, CMidiEventQueue& queue)
    : m_name(std::move(name)), m_queue(queue), m_port(*this) {}

CMidiInDevice::~CMidiInDevice() {
    // Once the port is closed its thread posts nothing more; then the leftovers go.
    m_port.Close();
    m_queue.Forget(this);
}

bool CMidiInDevice::Open(const CMidiPorts& ports, CTavTextOut* messages) {
    m_messages = messages;
    return m_port.Open(m_name, ports, messages) && m_port.Start();
}

void CMidiInDevice::Reception::OnShortMessage(uint32_t packed) {
    TavBytes bytes = TavUnpackMidiShort(packed);
    if (!bytes.empty())
        m_device.m_queue.Post(&m_device, std::move(bytes));
}

// The bytes are copied here, on the input thread, so the packet can be queued again at
// once and the GUI thread never reads a packet the port may be filling.
void CMidiInDevice::Reception::OnLongMessage(const uint8_t* bytes, size_t size) {
    m_device.m_queue.Post(&m_device, TavBytes(bytes, bytes + size));
}

void CMidiInDevice::Reception::OnMessagesLost(uint32_t count) {
    m_device.m_queue.PostLost(&m_device, count);
}

void CMidiInDevice::ReportLost(uint32_t count) {
    if (m_messages)
        m_messages->Printf("MIDI input %s dropped %u messages: they came faster than they could be taken in.\n",
                           m_name.c_str(), count);
}

CMidiOutDevice::CMidiOutDevice(std::string name, ITavClock& clock) : m_name(std::move(name)), m_port(clock) {}

bool CMidiOutDevice::Open(const CMidiPorts& ports, CTavTextOut* messages) {
    return m_port.Open(m_name, ports, messages);
}

void CMidiOutDevice::Send(const TavBytes& bytes) {
    if (bytes.empty())
        return;
    if (bytes[0] == 0xF0)
        m_port.SendLong(bytes.data(), bytes.size());
    else
        m_port.SendShort(bytes.data(), std::min<size_t>(bytes.size(), 3));
}
