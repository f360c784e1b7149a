#include "view/qt/TavMaskedImage.h"

#include <cstdint>
#include <vector>

#include "files/TavReadFile.h"

QImage TavLoadMaskedImage(const std::string& path, int maxSide) {
    // A 24-bit BMP of picture and mask, with room for its header and row padding.
    const uint64_t limit = 2 * 3 * uint64_t(maxSide + 1) * uint64_t(maxSide + 1) + 4096;
    std::vector<uint8_t> bytes;
    if (TavReadWholeFile(path, limit, bytes) != TavFileRead::kRead)
        return {};
    QImage file;
    if (!file.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP"))
        return {};
    const int width = file.width() / 2;
    const int height = file.height();
    if (width < 1 || height < 1 || file.width() != 2 * width || width > maxSide || height > maxSide)
        return {};
    const QImage source = file.convertToFormat(QImage::Format_RGB32);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = qGray(line[width + x]) < 128 ? (line[x] | 0xFF000000u) : 0u;
    }
    return image;
}

QImage TavLoadMaskedImageFor(const std::string& stem, int maxSide, double ratio) {
    QImage image = TavLoadMaskedImage(stem + ".bmp", maxSide);
    if (ratio <= 1 || image.isNull())
        return image;
    QImage image2x = TavLoadMaskedImage(stem + "@2x.bmp", 2 * maxSide);
    if (image2x.size() != image.size() * 2)
        return image;
    image2x.setDevicePixelRatio(2);
    return image2x;
}
