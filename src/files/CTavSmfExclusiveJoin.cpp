#include "files/CTavSmfExclusiveJoin.h"

namespace {

constexpr uint8_t kStart = 0xF0;
constexpr uint8_t kEnd = 0xF7;

bool Ends(const TavBytes& bytes) {
    return !bytes.empty() && bytes.back() == kEnd;
}

} // namespace

const TavBytes* CTavSmfExclusiveJoin::Add(uint8_t status, const TavBytes& bytes) {
    if (status == kStart) {
        // A new message drops one left open: the end of the old one never came.
        m_open = false;
        if (bytes.size() >= 2 && Ends(bytes))
            return &bytes;
        m_message = bytes;
        m_open = !bytes.empty() && bytes.front() == kStart;
        return nullptr;
    }
    if (status != kEnd)
        return nullptr;
    if (!m_open) // an escape: a message only when it is a whole one
        return bytes.size() >= 2 && bytes.front() == kStart && Ends(bytes) ? &bytes : nullptr;
    m_message.insert(m_message.end(), bytes.begin(), bytes.end());
    if (!Ends(bytes))
        return nullptr;
    m_open = false;
    return &m_message;
}
