#include "files/CTavSmf.h"

#include <algorithm>

CTavSmfWrite::~CTavSmfWrite() = default;

void CTavSmfWrite::Put(uint64_t position, const TavBytes& bytes) {
    if (WriteBytes(position, bytes.data(), bytes.size()) != bytes.size())
        m_good = false;
}

void CTavSmfWrite::Append(const TavBytes& bytes) {
    Put(m_position, bytes);
    m_position += bytes.size();
}

TavBytes CTavSmfWrite::HeaderChunk() const {
    const auto tracks = static_cast<uint16_t>(std::min(m_numberOfTracks, 0xFFFF));
    TavBytes header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0};
    for (uint16_t number : {tracks, kDivision}) {
        header.push_back(static_cast<uint8_t>(number >> 8));
        header.push_back(static_cast<uint8_t>(number & 0xFF));
    }
    return header;
}

void CTavSmfWrite::BeginFile() {
    m_numberOfTracks = 0;
    m_position = 0;
    m_trackStart = 0;
    m_inTrack = false;
    m_good = true;
    OnBeginFile();
    Append(HeaderChunk());
}

void CTavSmfWrite::BeginTrack() {
    m_trackStart = m_position;
    m_inTrack = true;
    Append({'M', 'T', 'r', 'k', 0, 0, 0, 0});
}

void CTavSmfWrite::WriteExclusiveEvent(uint32_t delta, const CTavLongMessage& message) {
    const TavBytes& bytes = message.Bytes();
    if (bytes.empty())
        return;
    if (bytes.size() - 1 > kMaxVariableLength) {
        m_good = false;
        return;
    }
    TavBytes& event = m_event;
    event.clear();
    AppendVariableLength(event, delta);
    event.push_back(0xF0);
    AppendVariableLength(event, static_cast<uint32_t>(bytes.size() - 1));
    event.insert(event.end(), bytes.begin() + 1, bytes.end());
    Append(event);
}

void CTavSmfWrite::WriteChannelEvent(uint32_t delta, const TavBytes& message) {
    if (message.empty() || message[0] < 0x80 || message[0] >= 0xF0)
        return;
    // A message shorter than its status needs, or with a status byte among its data, would
    // put the events after it out of step.
    const size_t size = 1 + DataBytesAfter(message[0]);
    if (message.size() < size ||
        std::any_of(message.begin() + 1, message.begin() + size, [](uint8_t b) { return b & 0x80; }))
        return;
    TavBytes& event = m_event;
    event.clear();
    AppendVariableLength(event, delta);
    event.insert(event.end(), message.begin(), message.begin() + size);
    Append(event);
}

void CTavSmfWrite::WriteMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) {
    if (data.size() > kMaxVariableLength) {
        m_good = false;
        return;
    }
    TavBytes& event = m_event;
    event.clear();
    AppendVariableLength(event, delta);
    event.push_back(0xFF);
    event.push_back(type);
    AppendVariableLength(event, static_cast<uint32_t>(data.size()));
    event.insert(event.end(), data.begin(), data.end());
    Append(event);
}

void CTavSmfWrite::EndTrack() {
    if (!m_inTrack)
        return;
    WriteMetaEvent(0, kMetaEndOfTrack, {});
    const uint64_t length = m_position - m_trackStart - kTrackHeaderSize;
    if (length > 0xFFFFFFFFu)
        m_good = false;
    Put(m_trackStart,
        {'M', 'T', 'r', 'k', static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
         static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
    m_inTrack = false;
    if (m_numberOfTracks == 0xFFFF)
        m_good = false;
    else
        ++m_numberOfTracks;
}

void CTavSmfWrite::EndFile() {
    if (m_inTrack)
        EndTrack();
    Put(0, HeaderChunk());
}
