#pragma once
// Exclusive messages. CTavLongMessage is an exclusive message of any manufacturer;
// CTavHaldenMessage is one in the device maker's framing: device ID, model ID, command ID,
// address, data and checksum, each a field of (offset, length) into the bytes. Messages
// are plain values, copied by their owners and never used through a pointer to the base,
// so they have no virtual functions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

using TavBytes = std::vector<uint8_t>;

// Device addresses and sizes on the wire: size bytes of 7 bits each, most significant
// first; higher bits are dropped.
TavBytes TavEncodeAddress(uint32_t value, int size);
// The bytes read as base-128 digits, most significant first.
uint32_t TavDecodeAddress(const uint8_t* bytes, size_t count);
inline uint32_t TavDecodeAddress(const TavBytes& bytes) {
    return TavDecodeAddress(bytes.data(), bytes.size());
}

// The index of the first status byte (80 or above) among count bytes; count when none.
size_t TavFindStatusByte(const uint8_t* bytes, size_t count);

class CTavLongMessage {
public:
    CTavLongMessage() { Reset(); }

    // F0 00 F7.
    void Reset();
    // Takes the bytes when every byte strictly between the first and the last is a data
    // byte (below 80); false leaves the message as it was. Fewer than two bytes are refused.
    bool SetBytes(const TavBytes& bytes) { return SetBytes(bytes.data(), bytes.size()); }
    bool SetBytes(const uint8_t* bytes, size_t count);
    void SetManufacturer(uint8_t id);
    // Keeps the start byte and manufacturer, puts the body after them and F7 last.
    void SetBody(const TavBytes& body);

    const TavBytes& Bytes() const { return m_bytes; }

protected:
    // A derived message starts from its own default bytes, built once.
    explicit CTavLongMessage(std::initializer_list<uint8_t> bytes) : m_bytes(bytes) {}

    TavBytes m_bytes;
};

class CTavHaldenMessage : public CTavLongMessage {
public:
    enum Field : int { kDeviceId = 0, kModelId = 1, kCommandId = 2, kAddress = 3, kData = 4, kChecksum = 5 };
    static constexpr uint8_t kManufacturerId = 0x41;
    static constexpr uint8_t kDataRequest = 0x11;
    static constexpr uint8_t kDataSet = 0x12;

    CTavHaldenMessage() : CTavLongMessage({0xF0, kManufacturerId, 0x7F, 0x42, kDataSet, 0xF7}) { ResetFields(); }

    // F0 41 7F 42 12 F7 with an empty address, data and checksum.
    void Reset();
    // Reads a received message with the given address size (0 to 4). False for status
    // bytes inside the message or a message too short for its fields; the message is
    // then unusable.
    bool Parse(const TavBytes& bytes, int addressSize) {
        return Parse(bytes.data(), bytes.size(), addressSize);
    }
    bool Parse(const uint8_t* bytes, size_t count, int addressSize);
    // Replaces a field's bytes and moves the fields after it.
    void SetField(int index, const TavBytes& bytes);
    TavBytes GetField(int index) const;
    // Whether a field holds exactly these bytes, without copying it.
    bool FieldIs(int index, const TavBytes& bytes) const {
        return FieldIs(index, bytes.data(), bytes.size());
    }
    bool FieldIs(int index, const uint8_t* bytes, size_t count) const;
    bool FieldIs(int index, uint8_t byte) const { return FieldIs(index, &byte, 1); }
    int FieldOffset(int index) const { return m_fields[index].offset; }
    int FieldLength(int index) const { return m_fields[index].length; }
    const uint8_t* FieldData(int index) const { return m_bytes.data() + m_fields[index].offset; }

    // The 7-bit complement of the sum of address and data; FF when both are empty.
    uint8_t ComputeChecksum() const;
    // The checksum byte; FF when there is none.
    uint8_t StoredChecksum() const;
    void UpdateChecksum();

    // A data set or data request as an output builds it.
    static CTavHaldenMessage DataSet(uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                     int addressSize, uint32_t address, const uint8_t* data, size_t size);
    static CTavHaldenMessage DataRequest(uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                         int addressSize, uint32_t address, uint32_t size);
    // The bytes of the same messages written over bytes, whose capacity is kept: an output
    // that only sends them builds no message and allocates nothing once bytes has grown.
    static void FrameDataSet(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                             int addressSize, uint32_t address, const uint8_t* data, size_t size);
    static void FrameDataRequest(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                 int addressSize, uint32_t address, uint32_t size);

private:
    void ResetFields();
    // Writes the framed message over bytes; the address (and a request's size) takes
    // addressSize bytes of 7 bits.
    static void Frame(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                      uint8_t command, int addressSize, uint32_t address, const uint8_t* data, size_t size);
    static CTavHaldenMessage Assemble(uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                      uint8_t command, int addressSize, uint32_t address, const uint8_t* data,
                                      size_t size);

    struct FieldRange {
        int offset;
        int length;
    };
    std::array<FieldRange, 6> m_fields{};
};

// The identity request F0 7E dd 06 01 F7 for a device ID.
CTavLongMessage TavIdentityRequest(uint8_t deviceId);
