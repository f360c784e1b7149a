#pragma once
// What the fuzz targets that feed data sets to a waiting reader share: a clock that jumps
// when the input is used up, so the wait times out at once, and the framing of one data
// set for the first MIDI input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/TavClock.h"
#include "midi/CTavLongMessage.h"
#include "midi/CTavMidi.h"

class FuzzJumpingClock : public ITavClock {
public:
    TavTime Now() const override { return m_now; }
    void SleepFor(TavDuration duration) override { m_now += duration; }
    void Advance(TavDuration duration) { m_now += duration; }

private:
    TavTime m_now{};
};

// F0, maker, device, model, 12, address, data, checksum, F7.
inline constexpr size_t kFuzzMaxFrame = 16 + 255 + 2;

// Frames the data set into out (kFuzzMaxFrame bytes) and answers its length; with sevenBit
// the data bytes lose their eighth bit, as a real message's never carry it. Left without
// coverage and address checks: the harness is not under test, its byte loops would
// otherwise be counted like the reader's, and every length is clamped to the frame.
__attribute__((no_sanitize("coverage", "address"))) inline size_t
FuzzFrameDataSet(const CTavMidiIn& input, uint32_t address, const uint8_t* payload, size_t length,
                 bool sevenBit, uint8_t* out) {
    size_t n = 0;
    out[n++] = 0xF0;
    out[n++] = input.ManufacturerId();
    out[n++] = input.DeviceId();
    const TavBytes& model = input.ModelId();
    const size_t modelSize = std::min<size_t>(model.size(), 8);
    std::memcpy(out + n, model.data(), modelSize);
    n += modelSize;
    out[n++] = CTavHaldenMessage::kDataSet;
    unsigned sum = 0;
    const int addressSize = std::min(input.AddressSize(), 4);
    for (int shift = 7 * (addressSize - 1); shift >= 0; shift -= 7) {
        out[n] = static_cast<uint8_t>((address >> shift) & 0x7F);
        sum += out[n++];
    }
    length = std::min<size_t>(length, 255);
    for (size_t i = 0; i < length; ++i) {
        out[n] = sevenBit ? payload[i] & 0x7F : payload[i];
        sum += out[n++];
    }
    out[n++] = static_cast<uint8_t>((128 - sum % 128) % 128);
    out[n++] = 0xF7;
    return n;
}
