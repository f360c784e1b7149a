#pragma once
// The fade range: a key or velocity window over a display range, drawn as five zones
// (grey outside, dark green fade zones, light green range).

#include <array>

#include "view/CTavGraphControl.h"

class CTavFadeRangeControl : public CTavGraphControl {
public:
    enum Role : int { kRangeLower, kRangeUpper, kFadeWidthLower, kFadeWidthUpper, kRoleCount };
    static constexpr Rgb16 kOutside{0x7000, 0x7000, 0x7000};
    static constexpr Rgb16 kFade{0x1000, 0xA000, 0x1000};
    static constexpr Rgb16 kRange{0x8000, 0xF000, 0x4000};

    CTavFadeRangeControl();

    std::string_view GetKind() const override { return "fadeRange"; }
    // The role references and "displayRange" ("lower,upper": 0 <= lower <= upper <= 128;
    // 0,127 when left out).
    bool Configure(TavItems& items) override;
    // Both range references are required; the fade widths come both or neither.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // The five zones; an empty display range shows grey alone.
    void Draw(CTavDrawInfo& info) override;

    int32_t DisplayLower() const { return m_displayLower; }
    int32_t DisplayUpper() const { return m_displayUpper; }
    // False when the display range is empty (nothing but grey to draw).
    bool HasZones() const { return m_hasZones; }
    const std::array<TavRect, 5>& Zones() const { return m_zones; }

private:
    int32_t m_displayLower = 0;
    int32_t m_displayUpper = 127;
    bool m_hasZones = false;
    std::array<TavRect, 5> m_zones{};
};
