#include "view/CTavGraphControl.h"

#include <algorithm>

#include "model/CTavValue.h"
#include "script/CTavResourceManager.h"
#include "view/CTavViewManager.h"

CTavGraphControl::CTavGraphControl(std::vector<std::string> roleTags)
    : m_roleTags(std::move(roleTags)), m_rolePaths(m_roleTags.size()), m_roleRefs(m_roleTags.size(), -1) {}

CTavGraphControl::~CTavGraphControl() = default;

CTavGraphControl::Rgb16 CTavGraphControl::Glow(Rgb16 background, Rgb16 curve) {
    const auto mix = [](uint16_t b, uint16_t c) { return static_cast<uint16_t>(0.7 * b + 0.3 * c); };
    return {mix(background.r, curve.r), mix(background.g, curve.g), mix(background.b, curve.b)};
}

bool CTavGraphControl::Configure(TavItems& items) {
    if (!CTavControl::Configure(items))
        return false;
    std::vector<bool> given(m_roleTags.size(), false);
    for (auto it = items.begin(); it != items.end();) {
        const auto tag = std::find(m_roleTags.begin(), m_roleTags.end(), it->first);
        if (tag == m_roleTags.end()) {
            ++it;
            continue;
        }
        const size_t role = static_cast<size_t>(tag - m_roleTags.begin());
        m_rolePaths[role] = it->second;
        given[role] = true;
        it = items.erase(it);
    }
    for (size_t role = 0; role < m_roleTags.size(); ++role)
        if (given[role])
            m_roleRefs[role] = AddValueRef(m_rolePaths[role]);
    return true;
}

bool CTavGraphControl::AssociateGraph(CTavPanel* parent) {
    if (!CTavControl::Associate(parent))
        return false;
    if (CTavResourceManager* resources = m_viewManager ? m_viewManager->ResourceManager() : nullptr)
        m_drawer = resources->ResourceFactory().CreateGraphDrawer();
    return true;
}

void CTavGraphControl::SetRect(const TavRect& rect) {
    CTavControl::SetRect(rect);
    Refresh();
}

int CTavGraphControl::RoleRef(int role) const {
    return role >= 0 && static_cast<size_t>(role) < m_roleRefs.size() ? m_roleRefs[role] : -1;
}

CTavValue* CTavGraphControl::RoleValue(int role) const {
    const int ref = RoleRef(role);
    return ref >= 0 ? GetValue(ref) : nullptr;
}

TavRatio CTavGraphControl::RoleRatio(int role) const {
    return TavRatio::Of(RoleValue(role));
}

int64_t CTavGraphControl::RoleInteger(int role) const {
    const CTavValue* value = RoleValue(role);
    return value && value->Kind() == kTavKindInteger ? value->GetRaw() : 0;
}

bool CTavGraphControl::ShouldDraw(const CTavDrawInfo& info) const {
    return m_drawer && !m_rect.IsEmpty() && info.Intersects(m_rect);
}

void CTavGraphControl::DrawCurve(CTavDrawInfo& info, const std::vector<TavPoint>& points) {
    if (points.empty())
        return;
    m_drawer->Polyline(info, points, 3, Glow(kBackground, kCurve));
    m_drawer->Polyline(info, points, 1, kCurve);
}

void CTavGraphControl::DrawGuide(CTavDrawInfo& info, TavPoint from, TavPoint to) {
    m_drawer->SetLineStyle(CTavGraphDrawer::kSolid);
    m_drawer->MoveTo(info, from);
    m_drawer->LineTo(info, to, 1, kGuide);
}
