#pragma once
// The storage an input port shares between the driver's thread and the input thread:
// a ring of input events and a ring of exclusive-message packets. Both are allocated once
// when the port is made; the driver side only copies into them and never allocates,
// blocks or locks.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// Input events: a packed short message (status in the low byte) or one of these codes.
enum TavMidiEvent : int32_t {
    kMidiEventEmpty = -1,
    kMidiEventLongData = -2, // an exclusive message is waiting in the next packet
    kMidiEventOpen = -3,
    kMidiEventClose = -4,
    kMidiEventError = -5,     // an invalid short message
    kMidiEventLongError = -6, // an exclusive message that did not fit its packet
    kMidiEventMoreData = -7,  // no packet was free for an exclusive message
};

// One exclusive-message buffer.
struct CMidiPacket {
    static constexpr size_t kCapacity = 2048;

    CMidiPacket() : data(new uint8_t[kCapacity]) {}
    void Reset() {
        bytesRecorded = 0;
        prepared = false;
    }

    std::unique_ptr<uint8_t[]> data;
    size_t bytesRecorded = 0;
    bool prepared = false;
};

// Single-producer, single-consumer ring of events. The producer publishes its write
// index with release ordering after the entry is stored; the consumer reads it with
// acquire ordering. One slot stays free, so a full ring is told from an empty one: an
// event that finds the ring full is dropped and counted instead of blocking the driver.
class CEventRing {
public:
    static constexpr uint32_t kCapacity = 2048;

    CEventRing() { Reset(); }

    // Only while neither side runs.
    void Reset() {
        m_entries.fill(kMidiEventEmpty);
        m_read.store(0, std::memory_order_relaxed);
        m_write.store(0, std::memory_order_relaxed);
        m_dropped.store(0, std::memory_order_relaxed);
    }

    // Producer side.
    bool Push(int32_t event) {
        const uint32_t write = m_write.load(std::memory_order_relaxed);
        const uint32_t next = (write + 1) % kCapacity;
        if (next == m_read.load(std::memory_order_acquire)) {
            m_dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        m_entries[write] = event;
        m_write.store(next, std::memory_order_release);
        return true;
    }

    // Consumer side.
    bool Pop(int32_t& event) {
        const uint32_t read = m_read.load(std::memory_order_relaxed);
        if (read == m_write.load(std::memory_order_acquire))
            return false;
        event = m_entries[read];
        m_entries[read] = kMidiEventEmpty;
        m_read.store((read + 1) % kCapacity, std::memory_order_release);
        return true;
    }

    bool Empty() const {
        return m_read.load(std::memory_order_acquire) == m_write.load(std::memory_order_acquire);
    }
    // Events dropped because the ring was full.
    uint32_t Dropped() const { return m_dropped.load(std::memory_order_relaxed); }

private:
    std::array<int32_t, kCapacity> m_entries;
    std::atomic<uint32_t> m_read{0};
    std::atomic<uint32_t> m_write{0};
    std::atomic<uint32_t> m_dropped{0};
};

// The packets of an input. Packets between the fill index and the write index are
// queued with the driver side, which fills them in order; the input thread takes filled
// packets at the read index and queues one again (advancing the write index) after it
// has handed the bytes on. Only a quarter of the packets is queued at a time.
class CPacketRing {
public:
    static constexpr uint32_t kCapacity = 128;
    static constexpr uint32_t kQueued = kCapacity / 4;

    // Only while neither side runs: resets every packet and queues the first quarter.
    void Start() {
        for (CMidiPacket& packet : m_packets) {
            packet.Reset();
            packet.prepared = true;
        }
        m_read = 0;
        m_fill = 0;
        m_write.store(kQueued, std::memory_order_relaxed);
    }
    void Stop() {
        for (CMidiPacket& packet : m_packets)
            packet.prepared = false;
    }

    // Driver side: the next queued packet to fill, or none when the driver side has used
    // every queued packet (the input thread has fallen behind).
    CMidiPacket* NextToFill() {
        if (m_fill == m_write.load(std::memory_order_acquire))
            return nullptr;
        return &m_packets[m_fill];
    }
    void Filled() { m_fill = (m_fill + 1) % kCapacity; }

    // Input thread side.
    CMidiPacket& TakeFilled() {
        CMidiPacket& packet = m_packets[m_read];
        m_read = (m_read + 1) % kCapacity;
        return packet;
    }
    void QueueAgain() {
        const uint32_t write = m_write.load(std::memory_order_relaxed);
        CMidiPacket& packet = m_packets[write];
        if (!packet.prepared)
            return;
        packet.bytesRecorded = 0;
        m_write.store((write + 1) % kCapacity, std::memory_order_release);
    }

private:
    std::array<CMidiPacket, kCapacity> m_packets;
    uint32_t m_read = 0;
    uint32_t m_fill = 0;
    std::atomic<uint32_t> m_write{0};
};
