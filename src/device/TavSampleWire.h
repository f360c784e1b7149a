#pragma once
// The byte layouts of the sample edit exchanges: numbers in bytes of 7 bits (most
// significant first), the wave request and the wave answer. Everything that comes from the
// device is checked against its length before a byte is read.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/CTavSampleEditor.h"

namespace Brio {

// Appends value as count bytes of 7 bits, most significant first; bits above them are lost.
void TavPutSevenBits(std::vector<uint8_t>& bytes, int64_t value, int count);
// Reads count bytes of 7 bits (the eighth bit of each is ignored); count at most 9.
int64_t TavGetSevenBits(const uint8_t* bytes, int count);

// What a wave request asks for.
struct TavWaveRequest {
    int32_t group = 0;
    int32_t number = 0;
    int64_t firstFrame = 0;
    int32_t framesPerPoint = 1;
    int32_t count = 0;
};

inline constexpr size_t kTavWaveRequestSize = 12;
// Header bytes before the points and the count byte after them.
inline constexpr size_t kTavWaveHeaderSize = 11;

// The 12 request bytes: group, number (2), first frame (5), frames per point (3), count (1).
std::vector<uint8_t> TavEncodeWaveRequest(const TavWaveRequest& request);
// The points of a wave answer for the request, appended to points. False, appending
// nothing, when the payload is 11 bytes or fewer, shorter than 2c + 12 for its count c,
// holds more points than were asked for, or answers another sample, frame or step.
bool TavDecodeWaveAnswer(const uint8_t* data, size_t size, const TavWaveRequest& request,
                         std::vector<TavWavePoint>& points);
// One point: with one frame per point the two bytes are one 14-bit sample value,
// otherwise the minimum and maximum, each in steps of 512 around 64.
TavWavePoint TavDecodeWavePoint(uint8_t first, uint8_t second, int32_t framesPerPoint);

// A byte count as the memory figures show it: kilobytes, rounded to nearest.
int64_t TavKilobytes(int64_t bytes);

} // namespace Brio
