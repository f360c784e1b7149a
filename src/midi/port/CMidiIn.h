#pragma once
// An input port. The driver's thread hands each complete message to DriverMessage, which
// only copies it into preallocated rings (short messages as packed events, exclusive
// messages into packets) and wakes the input thread. The input thread takes the events
// in order and calls the handlers below; derived classes pass them on to the GUI thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "midi/port/CMidiPorts.h"
#include "midi/port/CMidiRings.h"

class CTavTextOut;

class CMidiIn {
public:
    CMidiIn();
    virtual ~CMidiIn();
    CMidiIn(const CMidiIn&) = delete;
    CMidiIn& operator=(const CMidiIn&) = delete;

    // Opens the port of that exact name. A name no port has fails without a message; a
    // port that fails to open shows the service's error text on messages.
    bool Open(const std::string& name, const CMidiPorts& ports, CTavTextOut* messages);
    // Adopts an already opened driver (for ports made outside the catalogue).
    void Adopt(std::unique_ptr<IMidiInDriver> driver) { m_driver = std::move(driver); }
    bool Start();
    bool Stop();
    void Close();
    bool IsOpen() const { return m_driver != nullptr; }
    bool IsRunning() const { return m_running.load(std::memory_order_acquire); }

    // Driver side, any one thread at a time: one complete message. Never blocks,
    // allocates or locks; a message that finds no room is dropped and counted.
    void DriverMessage(const uint8_t* bytes, size_t size);
    void DriverEvent(TavMidiEvent event);

    // Messages dropped since the start because the input thread fell behind or an
    // exclusive message was longer than a packet.
    uint32_t LostMessages() const { return m_lost.load(std::memory_order_relaxed); }

protected:
    // Input thread.
    virtual void OnOpen() {}
    virtual void OnClose() {}
    virtual void OnShortMessage(uint32_t) {}
    virtual void OnLongMessage(const uint8_t*, size_t) {}
    virtual void OnError() {}
    virtual void OnLongError() {}
    virtual void OnMoreData() {}
    // Input thread: count more messages were dropped since the last call.
    virtual void OnMessagesLost(uint32_t) {}

private:
    bool Push(int32_t event);
    void Wake();
    void Lose();
    void ProcessEvents();

    std::unique_ptr<IMidiInDriver> m_driver;
    CTavTextOut* m_messages = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<uint32_t> m_signal{0};
    std::atomic<uint32_t> m_lost{0};
    uint32_t m_lostReported = 0; // input thread
    std::thread m_thread;
    std::unique_ptr<CEventRing> m_events;
    std::unique_ptr<CPacketRing> m_packets;
};

// Packs up to three bytes of a short message, the status byte lowest.
uint32_t TavPackMidiShort(const uint8_t* bytes, size_t size);
