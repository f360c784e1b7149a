#pragma once
// The storage an input port shares between the driver's thread and the input thread:
// a ring of input events and the packets exclusive messages are stored in. Both are allocated once
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
    kMidiEventLongData = -2, // an exclusive message is stored; the next event is its size
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

    std::unique_ptr<uint8_t[]> data;
    size_t bytesRecorded = 0;
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

    // Producer side: both events or neither, published together.
    bool Push(int32_t first, int32_t second) {
        const uint32_t write = m_write.load(std::memory_order_relaxed);
        const uint32_t read = m_read.load(std::memory_order_acquire);
        if ((read + kCapacity - write - 1) % kCapacity < 2) {
            m_dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        m_entries[write] = first;
        m_entries[(write + 1) % kCapacity] = second;
        m_write.store((write + 2) % kCapacity, std::memory_order_release);
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

// The exclusive-message storage of an input: kCapacity packets, all of them the driver
// side's to fill. The driver side stores each message whole in the packet it is filling,
// after the messages already there, and moves on to the next packet when the message does
// not fit; the input thread takes the messages back in the same order by the same rule and
// hands a packet back when it moves past it. Only the sizes travel through the event ring,
// so a burst of small messages takes a few packets, and the driver side never writes into
// a packet the input thread has not finished with. Counters run freely; only differences
// of them are compared.
class CPacketRing {
public:
    static constexpr uint32_t kCapacity = 128;
    static constexpr size_t kPacketBytes = CMidiPacket::kCapacity;

    // Only while neither side runs.
    void Start() {
        m_filling = 0;
        m_fillOffset = 0;
        m_reading = 0;
        m_readOffset = 0;
        m_released.store(0, std::memory_order_relaxed);
    }

    // Driver side: where a message of size bytes (1 to kPacketBytes) goes, or null when it
    // needs a packet the input thread still holds. Nothing is taken until Commit.
    uint8_t* Reserve(size_t size) {
        if (m_fillOffset + size <= kPacketBytes)
            return m_packets[m_filling % kCapacity].data.get() + m_fillOffset;
        if (m_filling + 1 - m_released.load(std::memory_order_acquire) >= kCapacity)
            return nullptr;
        return m_packets[(m_filling + 1) % kCapacity].data.get();
    }
    // Driver side: the message Reserve placed has been announced to the input thread.
    void Commit(size_t size) {
        if (m_fillOffset + size > kPacketBytes) {
            ++m_filling;
            m_fillOffset = 0;
        }
        m_fillOffset += size;
    }

    // Input thread: the next message, of the size its event announced. Moving on to the
    // next packet hands the one before back to the driver side.
    const uint8_t* Take(size_t size) {
        if (m_readOffset + size > kPacketBytes) {
            ++m_reading;
            m_readOffset = 0;
            m_released.store(m_reading, std::memory_order_release);
        }
        const uint8_t* bytes = m_packets[m_reading % kCapacity].data.get() + m_readOffset;
        m_readOffset += size;
        return bytes;
    }

private:
    std::array<CMidiPacket, kCapacity> m_packets;
    // Driver side.
    uint32_t m_filling = 0;
    size_t m_fillOffset = 0;
    // Input thread.
    uint32_t m_reading = 0;
    size_t m_readOffset = 0;
    // The first packet the input thread still holds; every one before it is free again.
    std::atomic<uint32_t> m_released{0};
};
