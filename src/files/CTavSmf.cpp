#include "files/CTavSmf.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "files/TavReadFile.h"

void CTavSmf::AppendVariableLength(TavBytes& out, uint32_t value) {
    value = std::min(value, kMaxVariableLength);
    uint8_t groups[kMaxVariableLengthBytes];
    size_t count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

size_t CTavSmf::ParseVariableLength(const uint8_t* bytes, size_t count, uint32_t& value) {
    uint32_t result = 0;
    const size_t limit = std::min(count, kMaxVariableLengthBytes);
    for (size_t i = 0; i < limit; ++i) {
        result = (result << 7) | (bytes[i] & 0x7Fu);
        if ((bytes[i] & 0x80) == 0) {
            value = result;
            return i + 1;
        }
    }
    return 0;
}

size_t CTavSmf::DataBytesAfter(uint8_t status) {
    if (status >= 0xF0)
        return 0;
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

size_t CTavSmfMemoryRead::ReadBytes(uint64_t position, uint8_t* bytes, size_t count) {
    if (position >= m_bytes.size())
        return 0;
    const size_t available = m_bytes.size() - static_cast<size_t>(position);
    const size_t taken = std::min(count, available);
    if (taken == 0) // an empty event's data may have no storage yet
        return 0;
    std::memcpy(bytes, m_bytes.data() + position, taken);
    return taken;
}

CTavSmfFileRead::CTavSmfFileRead(const std::string& path) : m_owned(true) {
    uint64_t size = 0;
    m_file = TavOpenForReading(path, kMaxFileSize, size, &m_openFault);
}

CTavSmfFileRead::~CTavSmfFileRead() {
    if (m_owned && m_file)
        std::fclose(m_file);
}

uint64_t CTavSmfFileRead::Size() {
    m_streamPosition = UINT64_MAX;
    if (!m_file || ::fseeko(m_file, 0, SEEK_END) != 0)
        return 0;
    const off_t end = ::ftello(m_file);
    return end < 0 ? 0 : static_cast<uint64_t>(end);
}

size_t CTavSmfFileRead::ReadBytes(uint64_t position, uint8_t* bytes, size_t count) {
    if (!m_file || position > static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
        return 0;
    // The reader asks in order, so the stream seeks only after Size or a failed read.
    if (position != m_streamPosition) {
        m_streamPosition = UINT64_MAX;
        if (::fseeko(m_file, static_cast<off_t>(position), SEEK_SET) != 0)
            return 0;
    }
    const size_t read = std::fread(bytes, 1, count, m_file);
    m_streamPosition = read == count ? position + read : UINT64_MAX;
    return read;
}

size_t CTavSmfMemoryWrite::WriteBytes(uint64_t position, const uint8_t* bytes, size_t count) {
    const uint64_t limit = std::min<uint64_t>(m_limit, m_bytes.max_size());
    if (position > limit || count > limit - position)
        return 0;
    const size_t end = static_cast<size_t>(position) + count;
    if (end > m_bytes.size())
        m_bytes.resize(end);
    if (count > 0)
        std::memcpy(m_bytes.data() + position, bytes, count);
    return count;
}
