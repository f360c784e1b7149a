#include "files/CTavSmf.h"

#include <algorithm>
#include <cstring>

namespace {

std::string Hex(uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

} // namespace

CTavSmfRead::~CTavSmfRead() = default;

bool CTavSmfRead::Fail(std::string why) {
    m_fault = std::move(why);
    m_faultPosition = m_itemStart;
    return false;
}

void CTavSmfRead::Stop(std::string why) {
    m_stopped = true;
    m_stopReason = std::move(why);
}

std::string CTavSmfRead::FaultText() const {
    if (m_fault.empty())
        return {};
    std::string where = "byte " + std::to_string(m_faultPosition);
    if (m_currentTrack >= 0)
        where = "track " + std::to_string(m_currentTrack + 1) + ", " + where;
    return where + ": " + m_fault;
}

size_t CTavSmfRead::Fill(size_t count) {
    size_t ready = Buffered();
    if (ready >= count)
        return ready;
    // The unread bytes move to the front, and the file is read on after them.
    if (ready > 0 && m_position != m_bufferStart)
        std::memmove(m_buffer.get(), Cursor(), ready);
    m_bufferStart = m_position;
    m_bufferFill = ready;
    while (m_bufferFill < count) {
        const size_t room = m_bufferSize - m_bufferFill;
        const size_t got = std::min(ReadBytes(m_bufferStart + m_bufferFill, m_buffer.get() + m_bufferFill, room), room);
        if (got == 0)
            break;
        m_bufferFill += got;
    }
    return m_bufferFill;
}

bool CTavSmfRead::ReadExact(uint8_t* bytes, size_t count) {
    if (count == 0) // empty data needs no read, and may have no storage to read into
        return true;
    if (count <= m_bufferSize) {
        const size_t taken = std::min(Fill(count), count);
        if (taken > 0)
            std::memcpy(bytes, Cursor(), taken);
        m_position += taken;
        return taken == count;
    }
    // More than the buffer holds: what it has, then the rest straight from the file.
    size_t taken = Buffered();
    if (taken > 0)
        std::memcpy(bytes, Cursor(), taken);
    m_position += taken;
    while (taken < count) {
        const size_t got = std::min(ReadBytes(m_position, bytes + taken, count - taken), count - taken);
        if (got == 0)
            break;
        taken += got;
        m_position += got;
    }
    m_bufferStart = m_position;
    m_bufferFill = 0;
    return taken == count;
}

bool CTavSmfRead::ReadVariableLength(uint32_t& value, const char* what) {
    m_itemStart = m_position;
    const size_t ready = std::min(Fill(kMaxVariableLengthBytes), kMaxVariableLengthBytes);
    const size_t used = ready > 0 ? ParseVariableLength(Cursor(), ready, value) : 0;
    if (used == 0) {
        m_position += ready;
        return Fail(std::string(what) +
                    (ready == kMaxVariableLengthBytes ? " is longer than 4 bytes" : " runs past the end of the file"));
    }
    m_position += used;
    return true;
}

bool CTavSmfRead::ReadData(uint32_t length, TavBytes& bytes, const char* what) {
    // The length is checked against what is left before anything is allocated, so a
    // hostile length costs nothing.
    const uint64_t left = m_fileSize > m_position ? m_fileSize - m_position : 0;
    if (length > left)
        return Fail(std::string(what) + " of " + std::to_string(length) +
                    " bytes runs past the end of the file");
    const size_t start = bytes.size();
    bytes.resize(start + length);
    if (!ReadExact(bytes.data() + start, length))
        return Fail(std::string(what) + " of " + std::to_string(length) + " bytes is cut short");
    return true;
}

bool CTavSmfRead::Read() {
    m_numberOfTracks = 0;
    m_currentTrack = -1;
    m_position = 0;
    m_itemStart = 0;
    m_fault.clear();
    m_faultPosition = 0;
    m_eventStatus = 0;
    m_stopped = false;
    m_stopReason.clear();
    m_fileSize = Size();
    // A small file gets a buffer of its size; every fixed-size item fits in the smallest.
    m_bufferSize = static_cast<size_t>(std::clamp<uint64_t>(m_fileSize, kHeaderSize, kBufferSize));
    if (m_bufferSize > m_bufferCapacity) {
        m_buffer = std::make_unique_for_overwrite<uint8_t[]>(m_bufferSize);
        m_bufferCapacity = m_bufferSize;
    }
    m_bufferStart = 0;
    m_bufferFill = 0;

    uint8_t header[kHeaderSize];
    if (!ReadExact(header, sizeof header))
        return Fail("the file is shorter than the 14-byte header");
    if (std::memcmp(header, "MThd", 4) != 0)
        return Fail("the file does not start with MThd");
    if (header[4] != 0 || header[5] != 0 || header[6] != 0 || header[7] != 6)
        return Fail("the header length is not 6");
    OnHeader(header);
    if (m_stopped)
        return Fail(m_stopReason);
    m_numberOfTracks = (header[10] << 8) | header[11];

    // Every track takes at least its 8 header bytes and one 4-byte event, so a header
    // announcing more tracks than the file holds fails at the first missing one.
    for (int32_t track = 0; track < m_numberOfTracks; ++track) {
        m_currentTrack = track;
        m_itemStart = m_position;
        uint8_t trackHeader[kTrackHeaderSize];
        if (!ReadExact(trackHeader, sizeof trackHeader))
            return Fail("track " + std::to_string(track + 1) + " of " + std::to_string(m_numberOfTracks) +
                        ": the file ends before its header");
        if (std::memcmp(trackHeader, "MTrk", 4) != 0)
            return Fail("track " + std::to_string(track + 1) + ": the chunk is not MTrk");
        OnTrack(trackHeader);
        m_endOfTrack = false;
        m_runningStatus = 0;
        // Every event takes at least one byte, so this ends at the end of the file.
        while (!m_stopped && !m_endOfTrack)
            if (!ReadEvent())
                return false;
        if (m_stopped) {
            m_itemStart = m_position;
            return Fail(m_stopReason);
        }
    }
    return true;
}

bool CTavSmfRead::ReadEvent() {
    uint32_t delta = 0;
    if (!ReadVariableLength(delta, "the delta time"))
        return false;
    m_itemStart = m_position;
    uint8_t status = 0;
    if (!ReadExact(&status, 1))
        return Fail("the file ends before the event");
    m_eventStatus = status;

    // What follows an exclusive, meta or system event cannot belong to a channel message
    // before it: every status but a channel status ends the running status.
    m_eventBytes.clear();
    if (status == 0xF0 || status == 0xF7) {
        m_runningStatus = 0;
        const uint64_t eventStart = m_itemStart;
        uint32_t length = 0;
        if (!ReadVariableLength(length, "the exclusive length"))
            return false;
        if (status == 0xF0)
            m_eventBytes.push_back(0xF0);
        m_itemStart = eventStart;
        if (!ReadData(length, m_eventBytes, status == 0xF0 ? "the exclusive event" : "the escape"))
            return false;
        m_message.Reset();
        m_message.SetBytes(m_eventBytes);
        OnExclusiveEvent(delta, m_message);
        return true;
    }

    if (status == 0xFF) {
        m_runningStatus = 0;
        const uint64_t eventStart = m_itemStart;
        uint8_t type = 0;
        if (!ReadExact(&type, 1))
            return Fail("the file ends before the meta event's type");
        uint32_t length = 0;
        if (!ReadVariableLength(length, "the meta event's length"))
            return false;
        m_itemStart = eventStart;
        if (!ReadData(length, m_eventBytes, "the meta event"))
            return false;
        OnMetaEvent(delta, type, m_eventBytes);
        if (type == kMetaEndOfTrack)
            m_endOfTrack = true;
        return true;
    }

    size_t dataBytes = 0;
    if (status & 0x80) {
        m_runningStatus = status < 0xF0 ? status : 0;
        m_eventBytes.push_back(status);
        dataBytes = DataBytesAfter(status);
    } else {
        if (m_runningStatus == 0)
            return Fail("the data byte " + Hex(status) + " has no running status");
        m_eventStatus = m_runningStatus;
        m_eventBytes.push_back(m_runningStatus);
        m_eventBytes.push_back(status);
        dataBytes = DataBytesAfter(m_runningStatus) - 1;
    }
    const size_t start = m_eventBytes.size();
    m_eventBytes.resize(start + dataBytes);
    if (!ReadExact(m_eventBytes.data() + start, dataBytes))
        return Fail("the file ends inside the channel message");
    OnShortEvent(delta, m_eventBytes);
    return true;
}
