#pragma once
// Geometry and the event records passed down the view tree.

#include <algorithm>
#include <cstdint>
#include <vector>

struct TavPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const TavPoint&) const = default;
};

// Left and top inside, right and bottom outside.
struct TavRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(TavPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    bool Intersects(const TavRect& r) const {
        return std::max(left, r.left) < std::min(right, r.right) &&
               std::max(top, r.top) < std::min(bottom, r.bottom);
    }
    TavRect Offset(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const TavRect&) const = default;
};

// Modifier bits of mouse and key events.
enum : uint32_t { kTavShift = 1u << 0, kTavCtrl = 1u << 1, kTavAlt = 1u << 2 };

// Left button only.
struct CTavMouseInfo {
    enum Kind : int32_t { kPressed = 0, kReleased = 1, kDoubleClick = 2, kMove = 3 };
    Kind kind = kMove;
    TavPoint point; // root client coordinates
    uint32_t modifiers = 0;
    // A release sent because the real one was lost (focus went away, a menu opened): it
    // ends a drag but must not count as a click.
    bool forced = false;
};

// The mouse wheel over a view: notches turned (positive away from the user, one per
// 120 units of wheel delta), at a point in root client coordinates.
struct CTavWheelInfo {
    TavPoint point;
    int32_t notches = 0;
    uint32_t modifiers = 0;
};

// Key codes: the printable keys by their character code (upper case letters, digits),
// these keys mapped.
enum TavKeyCode : int32_t {
    kTavKeyHome = 256,
    kTavKeyUp = 257,
    kTavKeyDown = 258,
    kTavKeyLeft = 259,
    kTavKeyRight = 260,
    kTavKeyPageUp = 261,
    kTavKeyPageDown = 262,
    kTavKeyEnd = 263,
    kTavKeyReturn = 264,
    kTavKeyEscape = 265,
    kTavKeyDelete = 266,
    kTavKeyPadPlus = 267,
    kTavKeyPadMinus = 268,
    kTavKeyPadMultiply = 269,
    kTavKeyPadDivide = 270,
    // Keys that keep their PC key codes.
    kTavKeySpace = 0x20,
    kTavKeyF2 = 0x71,
};

struct CTavKeyInfo {
    enum Kind : int32_t { kDown = 1, kUp = 2 };
    Kind kind = kDown;
    int32_t code = 0;
    uint32_t modifiers = 0;
    // A key-up sent because the real one was lost (the window lost the keyboard): it ends
    // what the key held, but a key that clicks must not count it as a click.
    bool forced = false;
};

// Sent every 50 ms.
struct CTavTimerInfo {
    uint8_t unused = 0;
};

// One paint: the platform's drawing target and the rectangles to repaint. The platform
// layer derives from it and hands its own drawing target to the resources.
class CTavDrawInfo {
public:
    virtual ~CTavDrawInfo() = default;
    std::vector<TavRect> updateRects;

    // With update rectangles: whether any meets the rectangle. Without: whether the
    // rectangle is visible on the target.
    // Covers a disabled control with the panel's colour, half see-through.
    virtual void Dim(const TavRect&) {}

    bool Intersects(const TavRect& rect) const {
        if (updateRects.empty())
            return IsVisible(rect);
        for (const TavRect& r : updateRects)
            if (r.Intersects(rect))
                return true;
        return false;
    }

protected:
    virtual bool IsVisible(const TavRect&) const { return true; }
};
