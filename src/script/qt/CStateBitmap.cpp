#include "script/qt/CStateBitmap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/CTavTextOut.h"
#include "files/TavReadFile.h"

#include "view/qt/CDrawInfo.h"

namespace {

// Reads a BMP file into pictures, with the mask part (beside the pictures for the vertical
// direction, below them for the horizontal) made the alpha channel.
// missing tells whether there was no file at all.
bool LoadPictures(const std::string& path, bool usesMask, bool vertical, QImage& pictures, int& width,
                  int& height, bool* missing = nullptr) {
    // Read as any outside file: a FIFO in the image's place is refused, not waited on.
    std::vector<uint8_t> bytes;
    QImage image;
    const TavFileRead read = TavReadWholeFile(path, kTavMaxBitmapFileSize, bytes);
    if (missing)
        *missing = read == TavFileRead::kMissing;
    if (read != TavFileRead::kRead ||
        !image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP") || image.isNull())
        return false;
    width = image.width();
    height = image.height();
    if (!usesMask) {
        pictures = image.convertToFormat(QImage::Format_RGB32);
        return true;
    }
    const int w = vertical ? width / 2 : width;
    const int h = vertical ? height : height / 2;
    const int dx = vertical ? w : 0;
    const int dy = vertical ? 0 : h;
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    pictures = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const QRgb* picture = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const QRgb* mask = reinterpret_cast<const QRgb*>(source.constScanLine(y + dy)) + dx;
        QRgb* out = reinterpret_cast<QRgb*>(pictures.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = qGray(mask[x]) < 128 ? (picture[x] | 0xFF000000u) : 0u;
    }
    return true;
}

} // namespace

bool CStateBitmap::LoadImage(const std::string& path, int32_t& width, int32_t& height) {
    int w = 0;
    int h = 0;
    if (!LoadPictures(path, UsesMask(), Direction() == 0, m_pictures, w, h))
        return false;
    width = m_fileWidth = w;
    height = m_fileHeight = h;
    return true;
}

void CStateBitmap::ReleaseImage() {
    m_pictures = QImage();
    m_pictures2x = QImage();
    m_tried2x = false;
    m_scaled.clear();
}

const QImage& CStateBitmap::PicturesFor(double ratio) {
    if (ratio <= 1 || m_pictures.isNull())
        return m_pictures;
    if (!m_tried2x) {
        m_tried2x = true;
        const std::string path = ImagePath2x();
        int w = 0;
        int h = 0;
        bool missing = false;
        const bool loaded = LoadPictures(path, UsesMask(), Direction() == 0, m_pictures2x, w, h, &missing);
        // No 2x image is no fault: a script's own bitmaps may come at 1x only. One that
        // cannot be read, or is not twice the size, is reported once and left aside.
        if (!missing && (!loaded || w != 2 * m_fileWidth || h != 2 * m_fileHeight)) {
            m_pictures2x = QImage();
            if (CTavTextOut* errors = ErrorOutput())
                errors->Printf(
                    "The image %s is not a BMP file twice the size of %s; the 1x image is drawn.\n",
                    path.c_str(), ImagePath().c_str());
        }
    }
    return m_pictures2x.isNull() ? m_pictures : m_pictures2x;
}

void CStateBitmap::Blit(QPainter& painter, QPoint target, const QRect& source) {
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QImage& pictures = PicturesFor(ratio);
    const int scale = ScaleOf(pictures);
    if (scale == 1 && ratio == 1) {
        painter.drawImage(target, pictures, source);
        return;
    }
    // The 2x image at ratio 2 is copied pixel for pixel: without the painter's scale, so
    // that it takes the plain copy rather than a scaling one.
    const QTransform& transform = painter.worldTransform();
    if (ratio == scale && transform.type() <= QTransform::TxTranslate) {
        painter.save();
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.drawImage(
            QPointF((target.x() + transform.dx()) * ratio, (target.y() + transform.dy()) * ratio), pictures,
            QRect(source.topLeft() * scale, source.size() * scale));
        painter.restore();
        return;
    }
    const QRect scaledSource(source.topLeft() * scale, source.size() * scale);
    const double factor = ratio / scale;
    const bool fractional = factor != std::floor(factor);
    if (fractional && transform.type() <= QTransform::TxTranslate) {
        // A fractional ratio: the rectangle scaled once, copied pixel for pixel onto the
        // device pixels its edges round to.
        const QPointF at(target.x() + transform.dx(), target.y() + transform.dy());
        const QPoint topLeft(static_cast<int>(std::lround(at.x() * ratio)),
                             static_cast<int>(std::lround(at.y() * ratio)));
        const QSize size(static_cast<int>(std::lround((at.x() + source.width()) * ratio)) - topLeft.x(),
                         static_cast<int>(std::lround((at.y() + source.height()) * ratio)) - topLeft.y());
        if (const QImage& scaled = ScaledPart(pictures, scaledSource, size, ratio); !scaled.isNull()) {
            painter.save();
            painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
            painter.drawImage(topLeft, scaled);
            painter.restore();
            return;
        }
    }
    // Whole multiples (the 1x image at ratio 2) repeat pixels; other ratios scale smoothly.
    const bool wasSmooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fractional);
    painter.drawImage(QRect(target, source.size()), pictures, scaledSource);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, wasSmooth);
}

const QImage& CStateBitmap::ScaledPart(const QImage& pictures, const QRect& source, QSize size,
                                       double ratio) {
    // States, knob frames and the few parts sliders draw make a few dozen rectangles; a
    // bitmap drawn in ever new parts stops adding to the cache rather than growing it.
    constexpr size_t kMaxScaledParts = 256;
    static const QImage none;
    if (ratio != m_scaledRatio) {
        m_scaled.clear();
        m_scaledRatio = ratio;
    }
    if (size.isEmpty())
        return none;
    const auto key =
        std::make_tuple(source.x(), source.y(), source.width(), source.height(), size.width(), size.height());
    if (auto found = m_scaled.find(key); found != m_scaled.end())
        return found->second;
    if (m_scaled.size() >= kMaxScaledParts)
        return none;
    return m_scaled
        .emplace(key, pictures.copy(source).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
        .first->second;
}

void CStateBitmap::DrawState(CTavDrawInfo& info, TavPoint at, int32_t state) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || m_pictures.isNull() || state < 0 || state >= StateCount())
        return;
    const TavPoint origin = StateOrigin(state);
    Blit(*painter, QPoint(at.x, at.y), QRect(origin.x, origin.y, StateWidth(), StateHeight()));
}

void CStateBitmap::DrawPart(CTavDrawInfo& info, const TavRect& destination, TavPoint source) {
    QPainter* painter = CDrawInfo::PainterOf(info);
    if (!painter || m_pictures.isNull() || destination.IsEmpty())
        return;
    const QRect part =
        QRect(source.x, source.y, destination.Width(), destination.Height()) & m_pictures.rect();
    if (part.isEmpty())
        return;
    Blit(*painter, QPoint(destination.left + part.left() - source.x, destination.top + part.top() - source.y),
         part);
}
