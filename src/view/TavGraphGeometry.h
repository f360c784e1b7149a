#pragma once
// The pictures of the envelope, fade range and bias controls as plain arithmetic on a
// rectangle and the values' indices, counts and integers, so each can be checked alone.
// All of it is integer arithmetic; degenerate inputs (no room, a count of one, an empty
// display range) never divide by zero, and rectangles are held within a million pixels
// of the origin so nothing overflows.

#include <array>
#include <cstdint>

#include "view/TavViewTypes.h"

class CTavValue;

// Where a value stands in its range: index of count. Made through Of, so the count is at
// least 1 and the index lies in 0 ... count - 1.
struct TavRatio {
    int64_t index = 0;
    int64_t count = 1;

    static TavRatio Of(int64_t index, int64_t count);
    // An integer value's index and number of values; a missing or non-integer value is
    // 0 of 1.
    static TavRatio Of(const CTavValue* value);
    bool operator==(const TavRatio&) const = default;
};

// The envelope's seven points: levels L0 to L4 and times T1 to T4 (times[0] is T1). The
// sustain segment (points 3 to 4) is a fifth of the width; a missing level is 0 of 1, so
// it sits on the bottom line.
std::array<TavPoint, 7> TavEnvelopePoints(const TavRect& rect, const std::array<TavRatio, 5>& levels,
                                          const std::array<TavRatio, 4>& times);

// The fade range's five full-height zones from left to right: grey below, the lower fade
// zone, the range itself, the upper fade zone, grey above. d1 ... d2 is the display range,
// r1 ... r2 the range and f1, f2 the fade widths, all in the values' integers. False (and
// the zones untouched) when the display range is empty.
enum TavFadeZone : int { kTavFadeBelow, kTavFadeLower, kTavFadeRange, kTavFadeUpper, kTavFadeAbove };
bool TavFadeRangeZones(const TavRect& rect, int64_t d1, int64_t d2, int64_t r1, int64_t r2, int64_t f1,
                       int64_t f2, std::array<TavRect, 5>& zones);

// The bias curve: left end, centre, right end. The centre sits at the position along the
// width and at half height; the level sets the slope, the direction which side(s) slope:
// 0 left only, 1 right only, 2 both mirrored, 3 one straight line; any other direction puts
// both ends at (0, 0). False (points untouched) when position or level has a single value
// or the rectangle has no room for a curve.
bool TavBiasPoints(const TavRect& rect, TavRatio position, TavRatio level, int64_t direction,
                   std::array<TavPoint, 3>& points);
