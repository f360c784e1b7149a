#include "virtual/TavVirtualFile.h"

namespace TavVirtualFile {

namespace {
constexpr size_t kLengthBytes = 4;
constexpr size_t kChecksumBytes = 4;
} // namespace

void PutNumber(std::string& out, uint64_t value, size_t bytes) {
    for (size_t i = bytes; i-- > 0;)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t Fnv1a(std::string_view bytes) {
    uint32_t hash = 2166136261u;
    for (char c : bytes)
        hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return hash;
}

std::string Frame(std::string_view magic, std::string_view body) {
    std::string out(magic);
    PutNumber(out, body.size(), kLengthBytes);
    out += body;
    PutNumber(out, Fnv1a(body), kChecksumBytes);
    return out;
}

bool Unframe(std::string_view bytes, std::string_view magic, std::string_view& body) {
    const size_t frame = magic.size() + kLengthBytes + kChecksumBytes;
    if (bytes.size() < frame || bytes.substr(0, magic.size()) != magic)
        return false;
    CReader header(bytes.substr(magic.size(), kLengthBytes));
    if (header.Number(kLengthBytes) != bytes.size() - frame)
        return false;
    body = bytes.substr(magic.size() + kLengthBytes, bytes.size() - frame);
    CReader checksum(bytes.substr(bytes.size() - kChecksumBytes));
    return checksum.Number(kChecksumBytes) == Fnv1a(body);
}

uint32_t CReader::Number(size_t bytes) {
    if (!Take(bytes))
        return 0;
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<uint8_t>(m_bytes[m_at - bytes + i]);
    return value;
}

std::string CReader::Text(size_t length) {
    if (!Take(length))
        return {};
    std::string text(m_bytes.substr(m_at - length, length));
    for (char c : text)
        m_good = m_good && static_cast<uint8_t>(c) < 0x80;
    return text;
}

void CReader::Frames(std::vector<int16_t>& out, size_t count) {
    if (!Take(2 * count))
        return;
    out.resize(count);
    const char* at = m_bytes.data() + m_at - 2 * count;
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<int16_t>(
            static_cast<uint16_t>(static_cast<uint8_t>(at[2 * i]) << 8 | static_cast<uint8_t>(at[2 * i + 1])));
}

bool CReader::Take(size_t count) {
    m_good = m_good && m_bytes.size() - m_at >= count;
    if (m_good)
        m_at += count;
    return m_good;
}

} // namespace TavVirtualFile
