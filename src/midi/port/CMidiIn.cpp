#include "midi/port/CMidiIn.h"

#include <cstring>

#include "app/CTavTextOut.h"
#include "midi/port/CMidiPorts.h"

uint32_t TavPackMidiShort(const uint8_t* bytes, size_t size) {
    uint32_t packed = 0;
    for (size_t i = 0; i < size && i < 3; ++i)
        packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return packed;
}

CMidiIn::CMidiIn() : m_events(std::make_unique<CEventRing>()), m_packets(std::make_unique<CPacketRing>()) {}

CMidiIn::~CMidiIn() {
    Close();
}

bool CMidiIn::Open(const std::string& name, const CMidiPorts& ports, CTavTextOut* messages) {
    Close();
    m_messages = messages;
    std::string error;
    m_driver = ports.OpenInput(name, *this, error);
    if (!m_driver && !error.empty() && messages)
        messages->Printf("%s\n", error.c_str());
    return m_driver != nullptr;
}

bool CMidiIn::Start() {
    if (!m_driver || IsRunning())
        return false;
    m_events->Reset();
    m_packets->Start();
    m_running.store(true, std::memory_order_release);
    std::string error;
    if (!m_driver->Start(error)) {
        m_running.store(false, std::memory_order_release);
        if (m_messages && !error.empty())
            m_messages->Printf("%s\n", error.c_str());
        return false;
    }
    m_thread = std::thread([this] { ThreadMain(); });
    return true;
}

bool CMidiIn::Stop() {
    if (!m_driver)
        return false;
    m_running.store(false, std::memory_order_release);
    std::string error;
    const bool stopped = m_driver->Stop(error);
    if (!stopped && m_messages && !error.empty())
        m_messages->Printf("%s\n", error.c_str());
    // The input thread never waits for the GUI thread, so joining cannot deadlock.
    m_signal.fetch_add(1, std::memory_order_release);
    m_signal.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_packets->Stop();
    return stopped;
}

void CMidiIn::Close() {
    if (!m_driver)
        return;
    Stop();
    m_driver.reset();
}

bool CMidiIn::Push(int32_t event) {
    if (!m_running.load(std::memory_order_acquire) || !m_events->Push(event))
        return false;
    m_signal.fetch_add(1, std::memory_order_release);
    m_signal.notify_one();
    return true;
}

void CMidiIn::DriverEvent(TavMidiEvent event) {
    Push(event);
}

void CMidiIn::DriverMessage(const uint8_t* bytes, size_t size) {
    if (size == 0 || !m_running.load(std::memory_order_acquire))
        return;
    if (bytes[0] != 0xF0) {
        Push(static_cast<int32_t>(TavPackMidiShort(bytes, size)));
        return;
    }
    if (size > CMidiPacket::kCapacity) {
        Push(kMidiEventLongError);
        return;
    }
    CMidiPacket* packet = m_packets->NextToFill();
    if (!packet) {
        Push(kMidiEventMoreData);
        return;
    }
    std::memcpy(packet->data.get(), bytes, size);
    packet->bytesRecorded = size;
    // The packet counts as used only when its event got into the ring; otherwise the
    // input thread would take every later packet for the one before it.
    if (Push(kMidiEventLongData))
        m_packets->Filled();
}

void CMidiIn::ThreadMain() {
    while (m_running.load(std::memory_order_acquire)) {
        const uint32_t seen = m_signal.load(std::memory_order_acquire);
        ProcessEvents();
        m_signal.wait(seen, std::memory_order_acquire);
    }
    ProcessEvents();
}

void CMidiIn::ProcessEvents() {
    int32_t event;
    while (m_events->Pop(event)) {
        switch (event) {
        case kMidiEventOpen:
            OnOpen();
            break;
        case kMidiEventClose:
            OnClose();
            break;
        case kMidiEventLongData: {
            CMidiPacket& packet = m_packets->TakeFilled();
            // A packet handed back empty (as on a reset) is neither reported nor queued.
            if (packet.bytesRecorded != 0) {
                OnLongMessage(packet.data.get(), packet.bytesRecorded);
                m_packets->QueueAgain();
            }
            break;
        }
        case kMidiEventError:
            OnError();
            break;
        case kMidiEventLongError:
            OnLongError();
            break;
        case kMidiEventMoreData:
            OnMoreData();
            break;
        default:
            OnShortMessage(static_cast<uint32_t>(event));
            break;
        }
    }
}
