#include "script/qt/CStateBitmap.h"

#include <QPainter>

#include <vector>

#include "files/TavReadFile.h"

#include "view/qt/CDrawInfo.h"

bool CStateBitmap::LoadImage(const std::string& path, int32_t& width, int32_t& height) {
    // Read as any outside file: a FIFO in the image's place is refused, not waited on.
    std::vector<uint8_t> bytes;
    QImage image;
    if (TavReadWholeFile(path, kTavMaxBitmapFileSize, bytes) != TavFileRead::kRead ||
        !image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP") || image.isNull())
        return false;
    width = image.width();
    height = image.height();
    if (!UsesMask()) {
        m_pictures = image.convertToFormat(QImage::Format_RGB32);
        return true;
    }
    // The mask part lies beside the pictures (vertical direction) or below them
    // (horizontal); it has the pictures' size.
    const bool vertical = Direction() == 0;
    const int w = vertical ? width / 2 : width;
    const int h = vertical ? height : height / 2;
    const int dx = vertical ? w : 0;
    const int dy = vertical ? 0 : h;
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    m_pictures = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const QRgb* picture = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const QRgb* mask = reinterpret_cast<const QRgb*>(source.constScanLine(y + dy)) + dx;
        QRgb* out = reinterpret_cast<QRgb*>(m_pictures.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = qGray(mask[x]) < 128 ? (picture[x] | 0xFF000000u) : 0u;
    }
    return true;
}

void CStateBitmap::ReleaseImage() {
    m_pictures = QImage();
}

void CStateBitmap::DrawState(CTavDrawInfo& info, TavPoint at, int32_t state) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || m_pictures.isNull() || state < 0 || state >= StateCount())
        return;
    const TavPoint origin = StateOrigin(state);
    painter->drawImage(QPoint(at.x, at.y), m_pictures,
                       QRect(origin.x, origin.y, StateWidth(), StateHeight()));
}

void CStateBitmap::DrawPart(CTavDrawInfo& info, const TavRect& destination, TavPoint source) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || m_pictures.isNull() || destination.IsEmpty())
        return;
    const QRect part = QRect(source.x, source.y, destination.Width(), destination.Height()) & m_pictures.rect();
    if (part.isEmpty())
        return;
    painter->drawImage(QPoint(destination.left + part.left() - source.x, destination.top + part.top() - source.y),
                       m_pictures, part);
}
