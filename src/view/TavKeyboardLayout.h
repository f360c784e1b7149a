#pragma once
// Where the keys of an on-screen keyboard lie. The keyboard bitmap holds one octave drawn
// as it appears on screen, starting at the bitmap's left edge: the upper parts of the white
// keys C to B, one lower part shared by every white key and one black key, plus the parts
// of the lowest and the highest key. The rectangles of those pictures give the layout: the
// octave is as wide as the right edge of B's upper part, a white key's lower part lies under
// it at its seventh of the octave, and a black key is centred between the upper parts of the
// white keys beside it. Pure functions, so the geometry is tested without a window.

#include <array>
#include <cstdint>

#include "view/TavViewTypes.h"

// The rectangles of one version (normal or pressed) of the key pictures.
struct TavKeyShapes {
    std::array<TavRect, 7> whiteUpper{}; // C, D, E, F, G, A, B
    TavRect ivoryLower;
    TavRect ebony;
    TavRect lowestUpper;
    TavRect lowestLower;
    TavRect highestUpper;
    TavRect highestLower;
};

// The keys lowKey .. highKey - 1 laid out from the normal shapes, the control's top-left
// corner at origin.
struct TavKeyboardLayout {
    TavKeyShapes shapes;
    int32_t lowKey = 0;
    int32_t highKey = 128;
    TavPoint origin;
};

// The parts of one placed key; a black key has no lower part (empty rectangle).
struct TavKeyPlace {
    TavRect upper;
    TavRect lower;
    bool white = true;
};

// The part a key's picture is taken from.
enum class TavKeyPart { kUpper, kLower };

// Note classes 0, 2, 4, 5, 7, 9 and 11 are white keys; any key number, negative included.
bool TavIsWhiteKey(int32_t key);
// The note class 0 .. 11 of a key, negative keys included.
int32_t TavNoteClass(int32_t key);
// The right edge of B's upper part.
int32_t TavOctaveWidth(const TavKeyShapes& shapes);
// The rectangle of the given shapes a key of this class draws a part from: the lowest or
// highest key's own parts, a white key's upper part or the shared lower part, or the black
// key (whose lower part is empty).
TavRect TavKeyShape(const TavKeyShapes& shapes, const TavKeyboardLayout& layout, int32_t key, TavKeyPart part);
// The placed parts of key (lowKey <= key < highKey).
TavKeyPlace TavPlaceKey(const TavKeyboardLayout& layout, int32_t key);
// From the left edge of the lowest key to the right edge of the highest, as tall as the
// white keys.
TavRect TavKeyboardRect(const TavKeyboardLayout& layout);
// The key under a point, the point first limited to the keyboard's rectangle; -1 when it
// falls between keys. Above the bottom of the lowest key's upper part, black keys win
// where they cover a white key.
int32_t TavKeyAt(const TavKeyboardLayout& layout, TavPoint point);
// The note a key plays at an octave value (64 plays the key's own number); outside
// 0 .. 127 the key is silent (the result is still returned).
int64_t TavNoteOfKey(int32_t key, int32_t octave);
inline bool TavIsRealNote(int64_t note) {
    return note >= 0 && note < 128;
}
