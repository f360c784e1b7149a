#pragma once
// The envelope: seven points joined by a curve, from the levels L0 to L4 and the times T1
// to T4. L0 and L4 may be left out (the curve then starts and ends on the bottom line).

#include <array>

#include "view/CTavGraphControl.h"

class CTavEnvelopeControl : public CTavGraphControl {
public:
    enum Role : int { kL0, kL1, kL2, kL3, kL4, kT1, kT2, kT3, kT4, kRoleCount };

    CTavEnvelopeControl();

    std::string_view GetKind() const override { return "envelope"; }
    // L1 to L3 and T1 to T4 are required; the missing ones are named in one message.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;
    void Draw(CTavDrawInfo& info) override;

    const std::array<TavPoint, 7>& Points() const { return m_points; }

private:
    std::array<TavPoint, 7> m_points{};
};
