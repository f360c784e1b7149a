#include "view/CTavEnvelopeControl.h"

#include "app/CTavTextOut.h"

CTavEnvelopeControl::CTavEnvelopeControl()
    : CTavGraphControl({"L0ValueRef", "L1ValueRef", "L2ValueRef", "L3ValueRef", "L4ValueRef", "T1ValueRef",
                        "T2ValueRef", "T3ValueRef", "T4ValueRef"}) {}

bool CTavEnvelopeControl::Associate(CTavPanel* parent) {
    if (!AssociateGraph(parent))
        return ReportFailure("Unable to create envelope control %s.\n");
    static constexpr struct {
        Role role;
        const char* name;
    } kRequired[] = {{kL1, "L1"}, {kL2, "L2"}, {kL3, "L3"}, {kT1, "T1"},
                     {kT2, "T2"}, {kT3, "T3"}, {kT4, "T4"}};
    std::string missing;
    for (const auto& required : kRequired)
        if (!HasRole(required.role))
            missing += (missing.empty() ? "" : ", ") + std::string(required.name);
    if (!missing.empty()) {
        if (CTavTextOut* errors = ErrorOutput())
            errors->Printf("There is no value reference %s for envelope control %s.\n", missing.c_str(),
                           Path().c_str());
        return false;
    }
    Refresh();
    return true;
}

void CTavEnvelopeControl::Refresh() {
    const std::array<TavRatio, 5> levels = {RoleRatio(kL0), RoleRatio(kL1), RoleRatio(kL2), RoleRatio(kL3),
                                            RoleRatio(kL4)};
    const std::array<TavRatio, 4> times = {RoleRatio(kT1), RoleRatio(kT2), RoleRatio(kT3), RoleRatio(kT4)};
    m_points = TavEnvelopePoints(m_rect, levels, times);
}

void CTavEnvelopeControl::Draw(CTavDrawInfo& info) {
    if (!ShouldDraw(info))
        return;
    CTavGraphDrawer& drawer = *Drawer();
    drawer.BeginClip(info, m_rect);
    drawer.FillRect(info, m_rect, kBackground);
    DrawCurve(info, {m_points.begin(), m_points.end()});
    drawer.EndClip(info);
}
