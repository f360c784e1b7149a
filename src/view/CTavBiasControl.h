#pragma once
// The bias curve: a line through a centre point set by the position value, sloped by the
// level value to one side, the other or both, as the direction value says.

#include <array>

#include "view/CTavGraphControl.h"

class CTavBiasControl : public CTavGraphControl {
public:
    enum Role : int { kLevel, kPosition, kDirection, kRoleCount };

    CTavBiasControl();

    std::string_view GetKind() const override { return "bias"; }
    // Exactly the three role references; position and level must have more than one
    // value; the rectangle must have a width.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    // Background, the middle guide lines and the curve.
    void Draw(CTavDrawInfo& info) override;

    // False when the rectangle or the values leave no curve to draw.
    bool HasCurve() const { return m_hasCurve; }
    const std::array<TavPoint, 3>& Points() const { return m_points; }

private:
    bool m_hasCurve = false;
    std::array<TavPoint, 3> m_points{};
};
