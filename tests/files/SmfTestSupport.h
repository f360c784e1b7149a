#pragma once
// Builders of MIDI file bytes and a reader that records what it is handed, one line per
// call: "header", "track", "short D: 90 3C 64", "exclusive D: F0 .. F7", "meta D 2F:".

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "files/CTavSmf.h"

namespace smftest {

inline std::string Hex(const TavBytes& bytes) {
    std::string text;
    for (uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", byte);
        text += digits;
    }
    return text;
}

inline TavBytes Vlq(uint32_t value) {
    TavBytes bytes;
    CTavSmf::AppendVariableLength(bytes, value);
    return bytes;
}

inline TavBytes Join(std::initializer_list<TavBytes> parts) {
    TavBytes all;
    for (const TavBytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline TavBytes BigEndian32(uint32_t value) {
    return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

// "MThd", length 6, format 0, the announced number of tracks, division 96.
inline TavBytes Header(uint16_t tracks) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, uint8_t(tracks >> 8), uint8_t(tracks), 0, 0x60};
}

inline const TavBytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// A track chunk of the events with its true length; the end of track is not added.
inline TavBytes Track(const TavBytes& events) {
    return Join({{'M', 'T', 'r', 'k'}, BigEndian32(uint32_t(events.size())), events});
}

// An exclusive event as a writer puts it: delta, F0, length of the rest, the rest.
inline TavBytes ExclusiveEvent(uint32_t delta, const TavBytes& message) {
    return Join({Vlq(delta),
                 {0xF0},
                 Vlq(uint32_t(message.size() - 1)),
                 TavBytes(message.begin() + 1, message.end())});
}

// A data set of the device's framing: manufacturer, device ID, model 00 6A, command 12,
// four address bytes, data and the checksum.
inline TavBytes DataSet(uint8_t manufacturer, uint8_t deviceId, uint32_t address, const TavBytes& data) {
    return CTavHaldenMessage::DataSet(manufacturer, deviceId, {0x00, 0x6A}, 4, address, data.data(),
                                      data.size())
        .Bytes();
}

class RecordingRead : public CTavSmfMemoryRead {
public:
    using CTavSmfMemoryRead::CTavSmfMemoryRead;

    std::vector<std::string> events;
    size_t largestRequest = 0;
    size_t requests = 0;
    // Every request: where it asked and how many bytes it got.
    std::vector<std::pair<uint64_t, size_t>> handedOut;
    // ReadBytes hands out nothing at or after this position, as a stream that fails would.
    uint64_t readableUpTo = UINT64_MAX;

protected:
    void OnHeader(const uint8_t*) override { events.push_back("header"); }
    void OnTrack(const uint8_t*) override { events.push_back("track"); }
    void OnShortEvent(uint32_t delta, const TavBytes& message) override {
        events.push_back("short " + std::to_string(delta) + ": " + Hex(message));
    }
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override {
        events.push_back("exclusive " + std::to_string(delta) + ": " + Hex(message.Bytes()));
    }
    void OnMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) override {
        events.push_back("meta " + std::to_string(delta) + " " + Hex({type}) + ":" +
                         (data.empty() ? "" : " ") + Hex(data));
    }
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override {
        largestRequest = std::max(largestRequest, count);
        ++requests;
        const uint64_t left = position < readableUpTo ? readableUpTo - position : 0;
        const size_t got = left == 0 ? 0 : CTavSmfMemoryRead::ReadBytes(position, bytes, count < left ? count : size_t(left));
        handedOut.emplace_back(position, got);
        return got;
    }
};

} // namespace smftest
