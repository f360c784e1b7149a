#include "view/TavKeyboardLayout.h"

#include <algorithm>

namespace {

// The index of a white key's class among C, D, E, F, G, A, B; -1 for black keys.
constexpr std::array<int32_t, 12> kWhiteIndex = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};

TavRect MoveTo(const TavRect& rect, int32_t left) {
    return rect.Offset(left - rect.left, 0);
}

// The parts of a key inside the bitmap's octave, before the octave and the control's
// origin move them.
TavKeyPlace PlaceInOctave(const TavKeyboardLayout& layout, int32_t key) {
    const TavKeyShapes& shapes = layout.shapes;
    const int32_t noteClass = TavNoteClass(key);
    const int32_t white = kWhiteIndex[static_cast<size_t>(noteClass)];
    TavKeyPlace place;
    place.white = white >= 0;
    if (!place.white) {
        // Centred between the upper parts of the white keys on either side.
        const TavRect& below = shapes.whiteUpper[static_cast<size_t>(kWhiteIndex[noteClass - 1])];
        const TavRect& above = shapes.whiteUpper[static_cast<size_t>(kWhiteIndex[noteClass + 1])];
        const int32_t centre = (below.right + above.left) / 2;
        place.upper = MoveTo(shapes.ebony, centre - shapes.ebony.Width() / 2);
        return place;
    }
    if (key == layout.lowKey) {
        place.upper = shapes.lowestUpper;
        place.lower = shapes.lowestLower;
    } else if (key == layout.highKey - 1) {
        place.upper = shapes.highestUpper;
        place.lower = shapes.highestLower;
    } else {
        place.upper = shapes.whiteUpper[static_cast<size_t>(white)];
        place.lower = MoveTo(shapes.ivoryLower, white * TavOctaveWidth(shapes) / 7);
    }
    return place;
}

} // namespace

int32_t TavNoteClass(int32_t key) {
    const int32_t noteClass = key % 12;
    return noteClass < 0 ? noteClass + 12 : noteClass;
}

bool TavIsWhiteKey(int32_t key) {
    return kWhiteIndex[static_cast<size_t>(TavNoteClass(key))] >= 0;
}

int32_t TavOctaveWidth(const TavKeyShapes& shapes) {
    return shapes.whiteUpper[6].right;
}

TavRect TavKeyShape(const TavKeyShapes& shapes, const TavKeyboardLayout& layout, int32_t key, TavKeyPart part) {
    const bool upper = part == TavKeyPart::kUpper;
    const int32_t white = kWhiteIndex[static_cast<size_t>(TavNoteClass(key))];
    if (white < 0)
        return upper ? shapes.ebony : TavRect{};
    if (key == layout.lowKey)
        return upper ? shapes.lowestUpper : shapes.lowestLower;
    if (key == layout.highKey - 1)
        return upper ? shapes.highestUpper : shapes.highestLower;
    return upper ? shapes.whiteUpper[static_cast<size_t>(white)] : shapes.ivoryLower;
}

TavKeyPlace TavPlaceKey(const TavKeyboardLayout& layout, int32_t key) {
    TavKeyPlace place = PlaceInOctave(layout, key);
    const int32_t octaveWidth = TavOctaveWidth(layout.shapes);
    // Keys below the lowest key's class belong to the octave that starts after it.
    int32_t dx = layout.origin.x - layout.shapes.lowestLower.left + (key - layout.lowKey) / 12 * octaveWidth;
    if (TavNoteClass(key) < TavNoteClass(layout.lowKey))
        dx += octaveWidth;
    place.upper = place.upper.Offset(dx, layout.origin.y);
    if (place.white)
        place.lower = place.lower.Offset(dx, layout.origin.y);
    return place;
}

TavRect TavKeyboardRect(const TavKeyboardLayout& layout) {
    if (layout.lowKey >= layout.highKey)
        return {layout.origin.x, layout.origin.y, layout.origin.x, layout.origin.y};
    const TavKeyPlace lowest = TavPlaceKey(layout, layout.lowKey);
    const TavKeyPlace highest = TavPlaceKey(layout, layout.highKey - 1);
    int32_t left = lowest.upper.left;
    if (lowest.white)
        left = std::min(left, lowest.lower.left);
    int32_t right = highest.upper.right;
    if (highest.white)
        right = std::max(right, highest.lower.right);
    const TavKeyShapes& shapes = layout.shapes;
    const int32_t height =
        std::max({shapes.ivoryLower.bottom, shapes.lowestLower.bottom, shapes.highestLower.bottom});
    return {left, layout.origin.y, std::max(left, right), layout.origin.y + std::max(height, 0)};
}

int32_t TavKeyAt(const TavKeyboardLayout& layout, TavPoint point) {
    const TavRect rect = TavKeyboardRect(layout);
    const int32_t octaveWidth = TavOctaveWidth(layout.shapes);
    if (rect.IsEmpty() || octaveWidth <= 0)
        return -1;
    point.x = std::clamp(point.x, rect.left, rect.right - 1);
    point.y = std::clamp(point.y, rect.top, rect.bottom - 1);
    const int32_t first = layout.lowKey + (point.x - rect.left) / octaveWidth * 12;
    // One key either side of the octave: a black key or a wide lowest or highest key may
    // reach across its edge.
    const int32_t from = std::max(first - 1, layout.lowKey);
    const int32_t to = std::min(first + 13, layout.highKey);
    if (point.y < layout.origin.y + layout.shapes.lowestUpper.bottom) {
        for (const bool white : {false, true})
            for (int32_t key = from; key < to; ++key)
                if (TavIsWhiteKey(key) == white && TavPlaceKey(layout, key).upper.Contains(point))
                    return key;
        return -1;
    }
    for (int32_t key = from; key < to; ++key)
        if (TavIsWhiteKey(key) && TavPlaceKey(layout, key).lower.Contains(point))
            return key;
    return -1;
}

int64_t TavNoteOfKey(int32_t key, int32_t octave) {
    return int64_t{key} + int64_t{octave} * 12 - 768;
}
