#include "view/CTavBiasControl.h"

CTavBiasControl::CTavBiasControl() : CTavGraphControl({"levelValueRef", "positionValueRef", "directionValueRef"}) {}

bool CTavBiasControl::Associate(CTavPanel* parent) {
    if (!AssociateGraph(parent))
        return ReportFailure("Unable to create bias control %s.\n");
    if (OwnValueRefCount() != kRoleCount || !HasRole(kLevel) || !HasRole(kPosition) || !HasRole(kDirection))
        return ReportFailure("There is no value reference for bias control %s.\n");
    if (RoleRatio(kPosition).count <= 1)
        return ReportFailure("Position value for bias control %s must have some range.\n");
    if (RoleRatio(kLevel).count <= 1)
        return ReportFailure("Level value for bias control %s must have some range.\n");
    if (m_rect.Width() == 0)
        return ReportFailure("Rectangle width for bias control %s can not be 0.\n");
    Refresh();
    return true;
}

void CTavBiasControl::Refresh() {
    m_hasCurve = TavBiasPoints(m_rect, RoleRatio(kPosition), RoleRatio(kLevel), RoleRatio(kDirection).index,
                               m_points);
}

void CTavBiasControl::Draw(CTavDrawInfo& info) {
    if (!ShouldDraw(info))
        return;
    CTavGraphDrawer& drawer = *Drawer();
    drawer.BeginClip(info, m_rect);
    drawer.FillRect(info, m_rect, kBackground);
    const int32_t middleX = m_rect.left + m_rect.Width() / 2;
    const int32_t middleY = m_rect.top + m_rect.Height() / 2;
    DrawGuide(info, {m_rect.left, middleY}, {m_rect.right - 1, middleY});
    DrawGuide(info, {middleX, m_rect.top}, {middleX, m_rect.bottom - 1});
    if (m_hasCurve)
        DrawCurve(info, {m_points.begin(), m_points.end()});
    drawer.EndClip(info);
}
