// Reads arbitrary bytes as a MIDI file. The reader must stay inside the file and never ask
// for more than it holds; a file it reads completely is written again event by event and
// must read back to the same events. The readers and the writer live for the whole run and
// the events go into one flat log, so an input allocates only while they grow.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/CTavSmf.h"

namespace {

enum Kind : uint8_t { kChannel, kExclusive, kMeta, kTrackStart };

// Reads the bytes it is pointed at (not a copy) and logs each event as kind, delta (4
// bytes), meta type, length (4 bytes) and bytes.
class Collector : public CTavSmfRead {
public:
    void Point(const uint8_t* bytes, size_t size) {
        m_bytes = bytes;
        m_size = size;
        log.clear();
    }
    TavBytes log;

protected:
    void OnTrack(const uint8_t*) override { Log(kTrackStart, 0, 0, nullptr, 0); }
    void OnShortEvent(uint32_t delta, const TavBytes& message) override {
        // The writer keeps whole channel messages only: system statuses, and messages with
        // a status byte among their data, are not written again.
        if (message.empty() || message[0] >= 0xF0)
            return;
        for (size_t i = 1; i < message.size(); ++i)
            if (message[i] & 0x80)
                return;
        Log(kChannel, delta, 0, message.data(), message.size());
    }
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override {
        // Written back as an F0 event: the first byte becomes F0.
        const TavBytes& bytes = message.Bytes();
        Log(kExclusive, delta, 0, bytes.data(), bytes.size());
        if (!bytes.empty())
            log[log.size() - bytes.size()] = 0xF0;
    }
    void OnMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) override {
        if (type != kMetaEndOfTrack)
            Log(kMeta, delta, type, data.data(), data.size());
    }
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override {
        if (position > m_size || count > m_size + CTavSmf::kHeaderSize) {
            std::fprintf(stderr, "Asked for %zu bytes at %llu of a %zu-byte file\n", count,
                         static_cast<unsigned long long>(position), m_size);
            std::abort();
        }
        const size_t taken = std::min(count, m_size - static_cast<size_t>(position));
        if (taken > 0)
            std::memcpy(bytes, m_bytes + position, taken);
        return taken;
    }
    uint64_t Size() override { return m_size; }

private:
    void Log(Kind kind, uint32_t delta, uint8_t type, const uint8_t* bytes, size_t size) {
        const size_t at = log.size();
        log.resize(at + 10 + size);
        uint8_t* entry = log.data() + at;
        entry[0] = kind;
        PutBigEndian(entry + 1, delta);
        entry[5] = type;
        PutBigEndian(entry + 6, static_cast<uint32_t>(size));
        if (size > 0)
            std::memcpy(entry + 10, bytes, size);
    }
    static void PutBigEndian(uint8_t* to, uint32_t value) {
        for (int i = 3; i >= 0; --i, value >>= 8)
            to[i] = static_cast<uint8_t>(value);
    }

    const uint8_t* m_bytes = nullptr;
    size_t m_size = 0;
};

uint32_t BigEndian(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// Writes the logged events again as a file.
void WriteBack(const TavBytes& log, CTavSmfMemoryWrite& writer, CTavLongMessage& message, TavBytes& bytes) {
    writer.BeginFile();
    for (size_t at = 0; at < log.size();) {
        const auto kind = static_cast<Kind>(log[at]);
        const uint32_t delta = BigEndian(&log[at + 1]);
        const uint8_t type = log[at + 5];
        const uint32_t size = BigEndian(&log[at + 6]);
        bytes.assign(log.begin() + long(at + 10), log.begin() + long(at + 10 + size));
        at += 10 + size;
        switch (kind) {
        case kTrackStart:
            writer.EndTrack(); // nothing before the first track
            writer.BeginTrack();
            break;
        case kChannel:
            writer.WriteChannelEvent(delta, bytes);
            break;
        case kExclusive:
            message.Reset();
            message.SetBytes(bytes);
            writer.WriteExclusiveEvent(delta, message);
            break;
        case kMeta:
            writer.WriteMetaEvent(delta, type, bytes);
            break;
        }
    }
    writer.EndFile();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Collector reader, again;
    static CTavSmfMemoryWrite writer;
    static CTavLongMessage message;
    static TavBytes bytes;
    reader.Point(data, size);
    const bool ok = reader.Read();
    if (reader.Position() > size) {
        std::fprintf(stderr, "Read position %llu past the end\n", static_cast<unsigned long long>(reader.Position()));
        std::abort();
    }
    if (!ok)
        return 0;

    WriteBack(reader.log, writer, message, bytes);
    again.Point(writer.Bytes().data(), writer.Bytes().size());
    if (!writer.Good() || !again.Read() || again.log != reader.log) {
        std::fprintf(stderr, "A file read completely does not read back the same after writing: %s\n",
                     again.Fault().c_str());
        std::abort();
    }
    return 0;
}
