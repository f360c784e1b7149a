#include "midi/CTavLongMessage.h"

#include <cstring>

#include <algorithm>

TavBytes TavEncodeAddress(uint32_t value, int size) {
    TavBytes bytes;
    bytes.reserve(size > 0 ? static_cast<size_t>(size) : 0);
    for (int i = size - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>((value >> (7 * i)) & 0x7F));
    return bytes;
}

uint32_t TavDecodeAddress(const uint8_t* bytes, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = value * 128 + bytes[i];
    return value;
}

// Exclusive messages are scanned and summed eight bytes at a time: they run to hundreds of
// bytes, and every message of a transfer passes both loops.
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FFull;

uint64_t Word(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The sum of the bytes, in any order.
unsigned ByteSum(const uint8_t* bytes, size_t count) {
    unsigned sum = 0;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const uint64_t word = Word(bytes + i);
        // Four 16-bit lanes of two bytes each (at most 510), then the lanes added up.
        const uint64_t pairs = (word & kLowBytes) + ((word >> 8) & kLowBytes);
        sum += static_cast<unsigned>((pairs * 0x0001000100010001ull) >> 48);
    }
    for (; i < count; ++i)
        sum += bytes[i];
    return sum;
}

} // namespace

size_t TavFindStatusByte(const uint8_t* bytes, size_t count) {
    size_t i = 0;
    while (i + 8 <= count && (Word(bytes + i) & kHighBits) == 0)
        i += 8;
    for (; i < count; ++i)
        if (bytes[i] & 0x80)
            return i;
    return count;
}

// ---- CTavLongMessage ----------------------------------------------------------------

void CTavLongMessage::Reset() {
    m_bytes = {0xF0, 0x00, 0xF7};
}

bool CTavLongMessage::SetBytes(const uint8_t* bytes, size_t count) {
    if (count < 2 || TavFindStatusByte(bytes + 1, count - 2) != count - 2)
        return false;
    m_bytes.assign(bytes, bytes + count);
    return true;
}

void CTavLongMessage::SetManufacturer(uint8_t id) {
    if (m_bytes.size() >= 2)
        m_bytes[1] = id;
}

void CTavLongMessage::SetBody(const TavBytes& body) {
    const uint8_t start = m_bytes.empty() ? 0xF0 : m_bytes[0];
    const uint8_t manufacturer = m_bytes.size() >= 2 ? m_bytes[1] : 0x00;
    m_bytes.assign(body.size() + 3, 0);
    m_bytes[0] = start;
    m_bytes[1] = manufacturer;
    std::copy(body.begin(), body.end(), m_bytes.begin() + 2);
    m_bytes.back() = 0xF7;
}

// ---- CTavHaldenMessage --------------------------------------------------------------

void CTavHaldenMessage::Reset() {
    m_bytes = {0xF0, kManufacturerId, 0x7F, 0x42, kDataSet, 0xF7};
    ResetFields();
}

void CTavHaldenMessage::ResetFields() {
    m_fields = {{{2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 0}}};
}

bool CTavHaldenMessage::Parse(const uint8_t* bytes, size_t count, int addressSize) {
    // Shorter sequences cannot hold the start, manufacturer, device ID and end bytes.
    if (count < 5 || addressSize < 0 || !SetBytes(bytes, count))
        return false;
    const int length = static_cast<int>(count);
    m_fields[kDeviceId] = {2, 1};

    // Model ID and command ID: any run of zero bytes ended by one non-zero byte.
    auto readId = [&](int start, int lastIndex, FieldRange& field) {
        int i = start;
        while (i <= lastIndex && m_bytes[static_cast<size_t>(i)] == 0)
            ++i;
        if (i > lastIndex)
            return false;
        field = {start, i - start + 1};
        return true;
    };
    if (!readId(3, length - 3, m_fields[kModelId]))
        return false;
    const int command = m_fields[kModelId].offset + m_fields[kModelId].length;
    if (!readId(command, length - 2, m_fields[kCommandId]))
        return false;

    const int address = m_fields[kCommandId].offset + m_fields[kCommandId].length;
    if (addressSize >= 1 && address + addressSize - 1 > length - 3)
        return false;
    m_fields[kAddress] = {address, addressSize};
    const int data = address + addressSize;
    const int dataLength = length - data - 2;
    if (dataLength < 0) {
        // Nothing but the end byte after the fields: no data and no checksum.
        if (addressSize != 0 || data != length - 1)
            return false;
        m_fields[kData] = {data, 0};
        m_fields[kChecksum] = {data, 0};
        return true;
    }
    m_fields[kData] = {data, dataLength};
    const bool hasChecksum = addressSize > 0 || dataLength > 0;
    m_fields[kChecksum] = {data + dataLength, hasChecksum ? 1 : 0};
    return true;
}

void CTavHaldenMessage::SetField(int index, const TavBytes& bytes) {
    FieldRange& field = m_fields[static_cast<size_t>(index)];
    const auto at = m_bytes.begin() + field.offset;
    m_bytes.erase(at, at + field.length);
    m_bytes.insert(m_bytes.begin() + field.offset, bytes.begin(), bytes.end());
    const int delta = static_cast<int>(bytes.size()) - field.length;
    field.length = static_cast<int>(bytes.size());
    for (size_t later = static_cast<size_t>(index) + 1; later < m_fields.size(); ++later)
        m_fields[later].offset += delta;
}

bool CTavHaldenMessage::FieldIs(int index, const uint8_t* bytes, size_t count) const {
    const FieldRange& field = m_fields[index];
    if (static_cast<size_t>(field.length) != count)
        return false;
    // The fields compared are a few bytes long (model ID, device ID, command), and every
    // received message compares them: byte by byte, without a library call.
    const uint8_t* own = m_bytes.data() + field.offset;
    for (size_t i = 0; i < count; ++i)
        if (own[i] != bytes[i])
            return false;
    return true;
}

TavBytes CTavHaldenMessage::GetField(int index) const {
    const FieldRange& field = m_fields[static_cast<size_t>(index)];
    return TavBytes(m_bytes.begin() + field.offset, m_bytes.begin() + field.offset + field.length);
}

uint8_t CTavHaldenMessage::ComputeChecksum() const {
    const FieldRange& address = m_fields[kAddress];
    const FieldRange& data = m_fields[kData];
    if (address.length == 0 && data.length == 0)
        return 0xFF;
    const unsigned sum = ByteSum(m_bytes.data() + address.offset, static_cast<size_t>(address.length)) +
                         ByteSum(m_bytes.data() + data.offset, static_cast<size_t>(data.length));
    return static_cast<uint8_t>((0u - sum) & 0x7F);
}

uint8_t CTavHaldenMessage::StoredChecksum() const {
    const FieldRange& checksum = m_fields[kChecksum];
    return checksum.length == 0 ? 0xFF : m_bytes[static_cast<size_t>(checksum.offset)];
}

void CTavHaldenMessage::UpdateChecksum() {
    const uint8_t checksum = ComputeChecksum();
    SetField(kChecksum, checksum == 0xFF ? TavBytes{} : TavBytes{checksum});
}

void CTavHaldenMessage::Frame(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                              uint8_t command, int addressSize, uint32_t address, const uint8_t* data,
                              size_t size) {
    // Sized once and written in place: a request is framed for every answer a transfer
    // waits for.
    const size_t body = static_cast<size_t>(std::max(addressSize, 0)) + size;
    bytes.resize(5 + modelId.size() + body + (body > 0 ? 1 : 0));
    uint8_t* out = bytes.data();
    *out++ = 0xF0;
    *out++ = manufacturer;
    *out++ = deviceId;
    out = std::copy(modelId.begin(), modelId.end(), out);
    *out++ = command;
    uint8_t* const addressStart = out;
    for (int i = addressSize - 1; i >= 0; --i)
        *out++ = static_cast<uint8_t>((address >> (7 * i)) & 0x7F);
    if (size > 0)
        out = std::copy(data, data + size, out);
    // The 7-bit complement of the sum of address and data, left out when both are empty.
    if (body > 0)
        *out++ = static_cast<uint8_t>((0u - ByteSum(addressStart, body)) & 0x7F);
    *out = 0xF7;
}

CTavHaldenMessage CTavHaldenMessage::Assemble(uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                              uint8_t command, int addressSize, uint32_t address,
                                              const uint8_t* data, size_t size) {
    // Built in one pass: the same bytes and fields as setting each field of the default
    // message in turn and updating the checksum, without moving the data around.
    CTavHaldenMessage message;
    Frame(message.m_bytes, manufacturer, deviceId, modelId, command, addressSize, address, data, size);
    const int model = 3;
    const int addressLength = std::max(addressSize, 0);
    const int commandOffset = model + static_cast<int>(modelId.size());
    const int addressOffset = commandOffset + 1;
    const int dataOffset = addressOffset + addressLength;
    const int checksumOffset = dataOffset + static_cast<int>(size);
    message.m_fields = {{{2, 1},
                         {model, static_cast<int>(modelId.size())},
                         {commandOffset, 1},
                         {addressOffset, addressLength},
                         {dataOffset, static_cast<int>(size)},
                         {checksumOffset, addressLength > 0 || size > 0 ? 1 : 0}}};
    return message;
}

CTavHaldenMessage CTavHaldenMessage::DataSet(uint8_t manufacturer, uint8_t deviceId, const TavBytes& modelId,
                                             int addressSize, uint32_t address, const uint8_t* data,
                                             size_t size) {
    return Assemble(manufacturer, deviceId, modelId, kDataSet, addressSize, address, data, size);
}

CTavHaldenMessage CTavHaldenMessage::DataRequest(uint8_t manufacturer, uint8_t deviceId,
                                                 const TavBytes& modelId, int addressSize, uint32_t address,
                                                 uint32_t size) {
    const TavBytes encodedSize = TavEncodeAddress(size, addressSize);
    return Assemble(manufacturer, deviceId, modelId, kDataRequest, addressSize, address, encodedSize.data(),
                    encodedSize.size());
}

void CTavHaldenMessage::FrameDataSet(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId,
                                     const TavBytes& modelId, int addressSize, uint32_t address,
                                     const uint8_t* data, size_t size) {
    Frame(bytes, manufacturer, deviceId, modelId, kDataSet, addressSize, address, data, size);
}

void CTavHaldenMessage::FrameDataRequest(TavBytes& bytes, uint8_t manufacturer, uint8_t deviceId,
                                         const TavBytes& modelId, int addressSize, uint32_t address,
                                         uint32_t size) {
    // The size is encoded as the address is, at most four bytes of 7 bits.
    uint8_t encodedSize[4];
    const int sizeLength = std::clamp(addressSize, 0, 4);
    for (int i = 0; i < sizeLength; ++i)
        encodedSize[i] = static_cast<uint8_t>((size >> (7 * (sizeLength - 1 - i))) & 0x7F);
    Frame(bytes, manufacturer, deviceId, modelId, kDataRequest, addressSize, address, encodedSize,
          static_cast<size_t>(sizeLength));
}

CTavLongMessage TavIdentityRequest(uint8_t deviceId) {
    CTavLongMessage message;
    message.SetManufacturer(0x7E);
    message.SetBody({0, 0, 0});
    TavBytes bytes = message.Bytes();
    bytes[2] = deviceId;
    bytes[3] = 0x06;
    bytes[4] = 0x01;
    message.SetBytes(bytes);
    return message;
}
