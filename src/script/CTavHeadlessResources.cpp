#include "script/CTavHeadlessResources.h"

#include <cstdio>

#include "files/TavReadFile.h"

namespace {

uint32_t Little(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

} // namespace

bool TavReadBmpSize(const std::string& path, int32_t& width, int32_t& height) {
    // File header (14 bytes), then the info header: its size, then width and height, 16 bits
    // each in the old 12-byte core header, 32 bits each (height negative when top-down) in
    // every later one.
    uint64_t size = 0;
    std::FILE* file = TavOpenForReading(path, kTavMaxBitmapFileSize, size);
    if (!file)
        return false;
    unsigned char header[26] = {};
    const size_t read = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (read != sizeof header || header[0] != 'B' || header[1] != 'M')
        return false;
    const uint32_t infoSize = Little(header + 14, 4);
    int64_t w = 0;
    int64_t h = 0;
    if (infoSize == 12) {
        w = Little(header + 18, 2);
        h = Little(header + 20, 2);
    } else if (infoSize >= 40) {
        w = static_cast<int32_t>(Little(header + 18, 4));
        h = static_cast<int32_t>(Little(header + 22, 4));
        if (h < 0)
            h = -h;
    } else {
        return false;
    }
    if (w <= 0 || h <= 0 || h > INT32_MAX)
        return false;
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return true;
}

std::unique_ptr<CTavStateBitmap> CTavHeadlessResourceFactory::CreateBitmap() {
    return std::make_unique<CTavHeadlessStateBitmap>();
}

std::unique_ptr<CTavTextWriter> CTavHeadlessResourceFactory::CreateTextWriter() {
    return std::make_unique<CTavHeadlessTextWriter>();
}

std::unique_ptr<CTavGraphDrawer> CTavHeadlessResourceFactory::CreateGraphDrawer() {
    return std::make_unique<CTavGraphDrawer>();
}
