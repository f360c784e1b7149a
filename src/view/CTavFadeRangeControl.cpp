#include "view/CTavFadeRangeControl.h"

#include <cstdio>

CTavFadeRangeControl::CTavFadeRangeControl()
    : CTavGraphControl({"rangeLowerValueRef", "rangeUpperValueRef", "fadeWidthLowerValueRef",
                        "fadeWidthUpperValueRef"}) {}

bool CTavFadeRangeControl::Configure(TavItems& items) {
    if (!CTavGraphControl::Configure(items))
        return false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first != "displayRange") {
            ++it;
            continue;
        }
        long lower = 0, upper = 0;
        if (std::sscanf(it->second.c_str(), "%li,%li", &lower, &upper) != 2)
            return ReportFailure("Display range is invalid for fade range. : %s :%s\n", it->second);
        if (lower < 0 || upper < lower)
            return ReportFailure("Display range lower is invalid for fade range. : %s : %s\n", it->second);
        if (upper > 128)
            return ReportFailure("Display range upper is invalid for fade range. : %s : %s\n", it->second);
        m_displayLower = static_cast<int32_t>(lower);
        m_displayUpper = static_cast<int32_t>(upper);
        it = items.erase(it);
    }
    return true;
}

bool CTavFadeRangeControl::Associate(CTavPanel* parent) {
    if (!AssociateGraph(parent))
        return ReportFailure("Unable to create fade range control. : %s\n");
    if (!HasRole(kRangeLower) || !HasRole(kRangeUpper))
        return ReportFailure("Either or both of range value references are not defined for fade range. : %s\n");
    if (HasRole(kFadeWidthLower) != HasRole(kFadeWidthUpper))
        return ReportFailure("Either of fade width value references is not defined for fade range. : %s\n");
    Refresh();
    return true;
}

void CTavFadeRangeControl::Refresh() {
    m_hasZones = TavFadeRangeZones(m_rect, m_displayLower, m_displayUpper, RoleInteger(kRangeLower),
                                   RoleInteger(kRangeUpper), RoleInteger(kFadeWidthLower),
                                   RoleInteger(kFadeWidthUpper), m_zones);
}

void CTavFadeRangeControl::Draw(CTavDrawInfo& info) {
    if (!ShouldDraw(info))
        return;
    CTavGraphDrawer& drawer = *Drawer();
    if (!m_hasZones) {
        drawer.FillRect(info, m_rect, kOutside);
        return;
    }
    static constexpr Rgb16 kColors[] = {kOutside, kFade, kRange, kFade, kOutside};
    for (size_t zone = 0; zone < m_zones.size(); ++zone)
        drawer.FillRect(info, m_zones[zone], kColors[zone]);
}
