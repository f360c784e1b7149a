#include "view/TavGraphGeometry.h"

#include <algorithm>

#include "model/CTavValue.h"
#include "view/TavSetValue.h"

namespace {

// Rectangles are held within a million pixels of the origin, so the products of the
// arithmetic below (a coordinate in hundredths times an index below 2^31) fit in 64 bits.
constexpr int32_t kFarthest = 1 << 20;

TavRect Bounded(const TavRect& rect) {
    const auto bound = [](int32_t v) { return std::clamp(v, -kFarthest, kFarthest); };
    return {bound(rect.left), bound(rect.top), bound(rect.right), bound(rect.bottom)};
}

} // namespace

TavRatio TavRatio::Of(int64_t index, int64_t count) {
    if (count < 1)
        return {};
    return {std::clamp<int64_t>(index, 0, count - 1), count};
}

TavRatio TavRatio::Of(const CTavValue* value) {
    if (!value || value->Kind() != kTavKindInteger)
        return {};
    return Of(value->GetPosition(), TavValueCount(*value));
}

std::array<TavPoint, 7> TavEnvelopePoints(const TavRect& bounds, const std::array<TavRatio, 5>& levels,
                                          const std::array<TavRatio, 4>& times) {
    const TavRect rect = Bounded(bounds);
    const int64_t left = rect.left, right = rect.right, bottom = rect.bottom;
    // A rectangle too small for the margins draws everything on its corner lines.
    const int64_t width = std::max<int64_t>(right - left - 2, 0);
    const int64_t height = std::max<int64_t>(bottom - rect.top - 2, 0);
    const auto time = [&](int k) { return times[k - 1].index * width / times[k - 1].count / 5; };
    const auto level = [&](int k) { return bottom - levels[k].index * height / levels[k].count - 2; };

    std::array<int64_t, 7> x{};
    x[0] = left + 1;
    x[1] = x[0] + time(1);
    x[2] = x[1] + time(2);
    x[3] = x[2] + time(3);
    x[4] = x[3] + std::max<int64_t>(right - left, 0) / 5; // the sustain segment
    x[5] = x[4] + time(4);
    x[6] = right - 2;
    const std::array<int64_t, 7> y = {level(0), level(1), level(2), level(3), level(3), level(4), level(4)};

    std::array<TavPoint, 7> points;
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = {static_cast<int32_t>(x[i]), static_cast<int32_t>(y[i])};
    return points;
}

bool TavFadeRangeZones(const TavRect& bounds, int64_t d1, int64_t d2, int64_t r1, int64_t r2, int64_t f1,
                       int64_t f2, std::array<TavRect, 5>& zones) {
    if (d2 <= d1)
        return false;
    const TavRect rect = Bounded(bounds);
    const int64_t left = rect.left, right = std::max<int64_t>(rect.right, rect.left);
    // Values beyond the display range land beyond the rectangle and are held at its edge;
    // limiting them to one step outside first keeps the products small.
    const auto at = [&](int64_t v) {
        v = std::clamp(v, d1 - 1, d2 + 1);
        return left + (right - left) * (v - d1) / (d2 - d1);
    };
    const auto inside = [&](int64_t x) { return static_cast<int32_t>(std::clamp(x, left, right)); };
    const int32_t a = inside(at(std::max(r1 - f1, d1)));
    const int32_t b = inside(std::max(at(r1) - 1, left));
    const int32_t c = inside(at(r2));
    const int32_t d = inside(at(std::min(r2 + f2, d2)));
    const int32_t top = rect.top, bottom = rect.bottom;
    zones = {TavRect{rect.left, top, a, bottom}, TavRect{a, top, b, bottom}, TavRect{b, top, c, bottom},
             TavRect{c, top, d, bottom}, TavRect{d, top, static_cast<int32_t>(right), bottom}};
    return true;
}

bool TavBiasPoints(const TavRect& bounds, TavRatio position, TavRatio level, int64_t direction,
                   std::array<TavPoint, 3>& points) {
    const TavRect rect = Bounded(bounds);
    // Hundredths of a pixel.
    const int64_t xl = int64_t(rect.left) * 100 + 100, xr = int64_t(rect.right) * 100 - 200;
    const int64_t yt = int64_t(rect.top) * 100 + 100, yb = int64_t(rect.bottom) * 100 - 200;
    if (position.count < 2 || level.count < 2 || xr <= xl || yb < yt)
        return false;
    const int64_t x = xl + position.index * (xr - xl) / (position.count - 1);
    const int64_t y = (yt + yb) / 2;
    const int64_t s = (yb - level.index * (yb - yt) / (level.count - 1) - y) * 200 / (xr - xl);

    struct Point {
        int64_t x, y;
    };
    // From the centre toward x = e with slope k, stopped at the top or bottom edge.
    const auto toward = [&](int64_t e, int64_t k) -> Point {
        const int64_t rise = k * (e - x);
        const int64_t ye = y + rise / 100;
        if ((ye >= yt && ye <= yb) || k == 0)
            return {e, ye};
        const int64_t edge = rise < 0 ? yt : yb;
        return {x + (edge - y) * 100 / k, edge};
    };
    Point left{0, 0}, right{0, 0};
    switch (direction) {
    case 0:
        left = toward(xl, -s);
        right = {xr, y};
        break;
    case 1:
        left = {xl, y};
        right = toward(xr, s);
        break;
    case 2:
        left = toward(xl, -s);
        right = toward(xr, s);
        break;
    case 3:
        left = toward(xl, s);
        right = toward(xr, s);
        break;
    default:
        break;
    }
    const auto pixel = [](Point p) { return TavPoint{static_cast<int32_t>(p.x / 100), static_cast<int32_t>(p.y / 100)}; };
    points = {pixel(left), pixel({x, y}), pixel(right)};
    return true;
}
