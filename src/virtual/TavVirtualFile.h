#pragma once
// The framing both files of the virtual device (its catalog and its sample memory) share:
// a magic line, the body's length, the body and its FNV-1a hash, all numbers big-endian;
// and a reader that walks a body front to back and turns bad for good at the first read
// past its end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace TavVirtualFile {

void PutNumber(std::string& out, uint64_t value, size_t bytes);
uint32_t Fnv1a(std::string_view bytes);

// magic, 4-byte length, body, 4-byte hash.
std::string Frame(std::string_view magic, std::string_view body);
// The body of a framed file; false when the magic, the length or the hash do not fit.
bool Unframe(std::string_view bytes, std::string_view magic, std::string_view& body);

class CReader {
public:
    explicit CReader(std::string_view bytes) : m_bytes(bytes) {}
    bool Good() const { return m_good; }
    bool AtEnd() const { return m_at == m_bytes.size(); }
    size_t Left() const { return m_bytes.size() - m_at; }
    uint32_t Number(size_t bytes);
    // A text of 7-bit bytes.
    std::string Text(size_t length);
    // count 16-bit frames.
    void Frames(std::vector<int16_t>& out, size_t count);

private:
    bool Take(size_t count);
    std::string_view m_bytes;
    size_t m_at = 0;
    bool m_good = true;
};

} // namespace TavVirtualFile
