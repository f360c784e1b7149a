#include "device/TavSampleWire.h"

#include <algorithm>

namespace Brio {

void TavPutSevenBits(std::vector<uint8_t>& bytes, int64_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (7 * i) & 0x7F));
}

int64_t TavGetSevenBits(const uint8_t* bytes, int count) {
    int64_t value = 0;
    for (int i = 0; i < count && i < 9; ++i)
        value = value << 7 | (bytes[i] & 0x7F);
    return value;
}

std::vector<uint8_t> TavEncodeWaveRequest(const TavWaveRequest& request) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kTavWaveRequestSize);
    TavPutSevenBits(bytes, request.group, 1);
    TavPutSevenBits(bytes, request.number, 2);
    TavPutSevenBits(bytes, request.firstFrame, 5);
    TavPutSevenBits(bytes, request.framesPerPoint, 3);
    TavPutSevenBits(bytes, request.count, 1);
    return bytes;
}

TavWavePoint TavDecodeWavePoint(uint8_t first, uint8_t second, int32_t framesPerPoint) {
    if (framesPerPoint == 1) {
        const int32_t sample = static_cast<int32_t>(TavGetSevenBits(&first, 1) << 7 | (second & 0x7F)) * 4 - 32768;
        return {static_cast<int16_t>(sample), static_cast<int16_t>(sample)};
    }
    return {static_cast<int16_t>(((first & 0x7F) - 64) * 512), static_cast<int16_t>(((second & 0x7F) - 64) * 512)};
}

bool TavDecodeWaveAnswer(const uint8_t* data, size_t size, const TavWaveRequest& request,
                         std::vector<TavWavePoint>& points) {
    if (!data || size <= kTavWaveHeaderSize)
        return false;
    const size_t count = data[size - 1] & 0x7F;
    if (size < 2 * count + 12 || count > static_cast<size_t>(std::max(request.count, 0)))
        return false;
    // Byte 0 is not compared: the device's meaning for it is its own.
    if (TavGetSevenBits(data + 1, 2) != request.number || TavGetSevenBits(data + 3, 5) != request.firstFrame ||
        TavGetSevenBits(data + 8, 3) != request.framesPerPoint)
        return false;
    points.reserve(points.size() + count);
    for (size_t i = 0; i < count; ++i)
        points.push_back(TavDecodeWavePoint(data[11 + 2 * i], data[12 + 2 * i], request.framesPerPoint));
    return true;
}

int64_t TavKilobytes(int64_t bytes) {
    return bytes < 0 ? 0 : (bytes + 512) / 1024;
}

} // namespace Brio
