// Reads arbitrary bytes as a MIDI file. The reader must stay inside the file and never ask
// for more than it holds; a file it reads completely is written again event by event and
// must read back to the same events.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/CTavSmf.h"

namespace {

struct Event {
    int kind; // 0 channel, 1 exclusive, 2 meta, 3 track start
    uint32_t delta;
    uint8_t type;
    TavBytes bytes;
    bool operator==(const Event&) const = default;
};

class Collector : public CTavSmfMemoryRead {
public:
    using CTavSmfMemoryRead::CTavSmfMemoryRead;
    std::vector<Event> events;

protected:
    void OnTrack(const uint8_t*) override { events.push_back({3, 0, 0, {}}); }
    void OnShortEvent(uint32_t delta, const TavBytes& message) override {
        // The writer keeps whole channel messages only: system statuses, and messages with
        // a status byte among their data, are not written again.
        if (message.empty() || message[0] >= 0xF0)
            return;
        for (size_t i = 1; i < message.size(); ++i)
            if (message[i] & 0x80)
                return;
        events.push_back({0, delta, 0, message});
    }
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override {
        // Written back as an F0 event: the first byte becomes F0.
        TavBytes bytes = message.Bytes();
        if (!bytes.empty())
            bytes[0] = 0xF0;
        events.push_back({1, delta, 0, bytes});
    }
    void OnMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) override {
        if (type != kMetaEndOfTrack)
            events.push_back({2, delta, type, data});
    }
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override {
        if (position > Size() || count > Size() + CTavSmf::kHeaderSize) {
            std::fprintf(stderr, "Asked for %zu bytes at %llu of a %llu-byte file\n", count,
                         static_cast<unsigned long long>(position), static_cast<unsigned long long>(Size()));
            std::abort();
        }
        return CTavSmfMemoryRead::ReadBytes(position, bytes, count);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Collector reader(data, size);
    const bool ok = reader.Read();
    if (reader.Position() > size) {
        std::fprintf(stderr, "Read position %llu past the end\n",
                     static_cast<unsigned long long>(reader.Position()));
        std::abort();
    }
    if (!ok)
        return 0;

    CTavSmfMemoryWrite writer;
    writer.BeginFile();
    for (const Event& event : reader.events) {
        switch (event.kind) {
        case 3:
            writer.EndTrack(); // nothing before the first track
            writer.BeginTrack();
            break;
        case 0:
            writer.WriteChannelEvent(event.delta, event.bytes);
            break;
        case 1: {
            CTavLongMessage message;
            message.SetBytes(event.bytes);
            writer.WriteExclusiveEvent(event.delta, message);
            break;
        }
        default:
            writer.WriteMetaEvent(event.delta, event.type, event.bytes);
        }
    }
    writer.EndFile();
    Collector again(writer.Bytes());
    if (!writer.Good() || !again.Read() || again.events != reader.events) {
        std::fprintf(stderr, "A file read completely does not read back the same after writing: %s\n",
                     again.Fault().c_str());
        std::abort();
    }
    return 0;
}
