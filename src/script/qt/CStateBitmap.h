#pragma once
// A multi-state bitmap on a QImage.
//
// Drawn into a target of a device pixel ratio above 1 (a high-density screen, or a
// screenshot at scale 2), the bitmap draws its "@2x" image when there is one: exactly at
// ratio 2, smoothly scaled at ratios that are no whole multiple. That image is loaded at the
// first such draw; without one the 1x image is drawn, scaled as the target's ratio asks.
// At a fractional ratio the rectangles drawn are scaled once and kept (a bounded number per
// bitmap), so a repaint copies pixels instead of filtering them again.

#include <QImage>

#include <map>
#include <tuple>

#include "script/ITavResourceFactory.h"

class QPainter;

class CStateBitmap : public CTavStateBitmap {
public:
    // Copies the state's rectangle to 'at'; with the mask in use only the pixels the mask
    // marks as drawn are copied. A state outside [0, state count) draws nothing.
    void DrawState(CTavDrawInfo& info, TavPoint at, int32_t state) override;
    // Copies the image's rectangle at source, as large as destination; what lies outside
    // the image is left alone.
    void DrawPart(CTavDrawInfo& info, const TavRect& destination, TavPoint source) override;

    // The pictures drawn into a target of this device pixel ratio: the 2x ones (loaded now
    // if they have not been tried) above 1 when there are any, else the 1x ones.
    const QImage& PicturesFor(double ratio);
    // 1 or 2: how many image pixels one 1x unit of these pictures is.
    int ScaleOf(const QImage& pictures) const { return &pictures == &m_pictures2x ? 2 : 1; }

protected:
    bool LoadImage(const std::string& path, int32_t& width, int32_t& height) override;
    void ReleaseImage() override;

private:
    // Draws the part of the pictures at source (1x units) into target.
    void Blit(QPainter& painter, QPoint target, const QRect& source);
    // The pictures' rectangle at source smoothly scaled to size for the ratio, made at the
    // first draw; null when the cache is full (the caller filters the pictures itself then).
    const QImage& ScaledPart(const QImage& pictures, const QRect& source, QSize size, double ratio);

    // The states' pictures, opaque without a mask; with one, the mask part made the alpha
    // channel (mask black: drawn, white: transparent).
    QImage m_pictures;
    QImage m_pictures2x;
    bool m_tried2x = false;
    int m_fileWidth = 0;
    int m_fileHeight = 0;
    // Rectangles scaled for m_scaledRatio, by position and size in the pictures and the
    // size drawn (which the position on the target may round one pixel either way).
    std::map<std::tuple<int, int, int, int, int, int>, QImage> m_scaled;
    double m_scaledRatio = 0;
};
