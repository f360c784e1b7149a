#include "midi/port/CMidiIn.h"

#include <cstring>

#include "app/CTavTextOut.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/TavInputLoop.h"

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
    m_lost.store(0, std::memory_order_relaxed);
    m_lostReported = 0;
    m_running.store(true, std::memory_order_release);
    std::string error;
    if (!m_driver->Start(error)) {
        m_running.store(false, std::memory_order_release);
        if (m_messages && !error.empty())
            m_messages->Printf("%s\n", error.c_str());
        return false;
    }
    m_thread = std::thread([this] { TavRunInputLoop(m_running, m_signal, [this] { ProcessEvents(); }); });
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
    Wake();
    if (m_thread.joinable())
        m_thread.join();
    return stopped;
}

void CMidiIn::Close() {
    if (!m_driver)
        return;
    Stop();
    m_driver.reset();
}

void CMidiIn::Wake() {
    m_signal.fetch_add(1, std::memory_order_release);
    m_signal.notify_one();
}

// The input thread is woken to report the loss.
void CMidiIn::Lose() {
    m_lost.fetch_add(1, std::memory_order_relaxed);
    Wake();
}

bool CMidiIn::Push(int32_t event) {
    if (!m_running.load(std::memory_order_acquire))
        return false;
    if (!m_events->Push(event)) {
        Lose();
        return false;
    }
    Wake();
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
    if (size > CPacketRing::kPacketBytes) {
        m_events->Push(kMidiEventLongError);
        Lose();
        return;
    }
    uint8_t* packet = m_packets->Reserve(size);
    if (!packet) {
        m_events->Push(kMidiEventMoreData);
        Lose();
        return;
    }
    std::memcpy(packet, bytes, size);
    // The bytes count as stored only when their event got into the ring; otherwise the
    // input thread would read every later message from the wrong place.
    if (!m_events->Push(kMidiEventLongData, static_cast<int32_t>(size))) {
        Lose();
        return;
    }
    m_packets->Commit(size);
    Wake();
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
            // The size follows in the same push.
            int32_t size = 0;
            if (!m_events->Pop(size) || size <= 0 || static_cast<size_t>(size) > CPacketRing::kPacketBytes)
                break;
            OnLongMessage(m_packets->Take(static_cast<size_t>(size)), static_cast<size_t>(size));
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
    const uint32_t lost = m_lost.load(std::memory_order_relaxed);
    if (lost != m_lostReported) {
        OnMessagesLost(lost - m_lostReported);
        m_lostReported = lost;
    }
}
