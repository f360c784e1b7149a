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

bool CTavSmfRead::ReadExact(uint8_t* bytes, size_t count) {
    if (count == 0) // empty data needs no read, and may have no storage to read into
        return true;
    const size_t read = std::min(ReadBytes(m_position, bytes, count), count);
    m_position += read;
    return read == count;
}

bool CTavSmfRead::ReadVariableLength(uint32_t& value, const char* what) {
    m_itemStart = m_position;
    uint8_t bytes[kMaxVariableLengthBytes];
    const size_t read = std::min(ReadBytes(m_position, bytes, sizeof bytes), sizeof bytes);
    const size_t used = ParseVariableLength(bytes, read, value);
    if (used == 0) {
        m_position += read;
        return Fail(std::string(what) +
                    (read == sizeof bytes ? " is longer than 4 bytes" : " runs past the end of the file"));
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
    m_fileSize = Size();

    uint8_t header[kHeaderSize];
    if (!ReadExact(header, sizeof header))
        return Fail("the file is shorter than the 14-byte header");
    if (std::memcmp(header, "MThd", 4) != 0)
        return Fail("the file does not start with MThd");
    if (header[4] != 0 || header[5] != 0 || header[6] != 0 || header[7] != 6)
        return Fail("the header length is not 6");
    OnHeader(header);
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
        while (!m_endOfTrack)
            if (!ReadEvent())
                return false;
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

    if (status == 0xF0 || status == 0xF7) {
        const uint64_t eventStart = m_itemStart;
        uint32_t length = 0;
        if (!ReadVariableLength(length, "the exclusive length"))
            return false;
        TavBytes bytes;
        if (status == 0xF0)
            bytes.push_back(0xF0);
        m_itemStart = eventStart;
        if (!ReadData(length, bytes, status == 0xF0 ? "the exclusive event" : "the escape"))
            return false;
        CTavLongMessage message;
        message.SetBytes(bytes);
        OnExclusiveEvent(delta, message);
        return true;
    }

    if (status == 0xFF) {
        const uint64_t eventStart = m_itemStart;
        uint8_t type = 0;
        if (!ReadExact(&type, 1))
            return Fail("the file ends before the meta event's type");
        uint32_t length = 0;
        if (!ReadVariableLength(length, "the meta event's length"))
            return false;
        TavBytes data;
        m_itemStart = eventStart;
        if (!ReadData(length, data, "the meta event"))
            return false;
        OnMetaEvent(delta, type, data);
        if (type == kMetaEndOfTrack)
            m_endOfTrack = true;
        return true;
    }

    TavBytes message;
    size_t dataBytes = 0;
    if (status & 0x80) {
        // A system status ends any running status: what follows it cannot belong to it.
        m_runningStatus = status < 0xF0 ? status : 0;
        message.push_back(status);
        dataBytes = DataBytesAfter(status);
    } else {
        if (m_runningStatus == 0)
            return Fail("the data byte " + Hex(status) + " has no running status");
        m_eventStatus = m_runningStatus;
        message.push_back(m_runningStatus);
        message.push_back(status);
        dataBytes = DataBytesAfter(m_runningStatus) - 1;
    }
    const size_t start = message.size();
    message.resize(start + dataBytes);
    if (!ReadExact(message.data() + start, dataBytes))
        return Fail("the file ends inside the channel message");
    OnShortEvent(delta, message);
    return true;
}
