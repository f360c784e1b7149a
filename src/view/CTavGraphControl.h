#pragma once
// The base of the display-only controls that draw a picture of several values with the
// graph drawer (envelope, fade range, bias, LFO). Each value plays a role named by its
// own attribute ("L1ValueRef", "rateValueRef", ...); the roles present become the value
// references in the order of the roles, after any "valueRef". The picture is worked out
// in Refresh, whenever a value changes or the rectangle moves, and only painted in Draw.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/ITavResourceFactory.h"
#include "view/CTavControl.h"
#include "view/TavGraphGeometry.h"

class CTavGraphControl : public CTavControl {
public:
    using Rgb16 = CTavGraphDrawer::Rgb16;
    static constexpr Rgb16 kBackground{0x2B00, 0x1300, 0x5800};
    static constexpr Rgb16 kCurve{0x0000, 0xFF00, 0xDE00};
    static constexpr Rgb16 kGuide{0xDE00, 0x0000, 0xFF00};
    // The halo under a curve: 0.7 of the background and 0.3 of the curve, truncated.
    static Rgb16 Glow(Rgb16 background, Rgb16 curve);

    // The control's attributes, then the role attributes (a repeated one keeps its last
    // path).
    bool Configure(TavItems& items) override;
    // Moves the control and works the picture out again.
    void SetRect(const TavRect& rect) override;
    // Takes no input.
    bool OnMouse(const CTavMouseInfo&) override { return false; }

    // Index of the value reference that plays the role, or -1 when the script left it out.
    int RoleRef(int role) const;
    bool HasRole(int role) const { return RoleRef(role) >= 0; }
    // The drawer made at association; none when the resource factory gives none.
    CTavGraphDrawer* Drawer() const { return m_drawer.get(); }
    // A graphic telling its values by role.
    void Describe(CTavControlDescription& description) const override;

protected:
    // The attribute name of each role, in role order.
    explicit CTavGraphControl(std::vector<std::string> roleTags);
    ~CTavGraphControl() override;

    // The control's association and the drawer; false when the control's association fails.
    bool AssociateGraph(CTavPanel* parent);
    // The value playing the role; null when it is absent or unresolved.
    CTavValue* RoleValue(int role) const;
    // Its index of its count (0 of 1 without it) and its integer (0 without it).
    TavRatio RoleRatio(int role) const;
    int64_t RoleInteger(int role) const;
    const std::vector<std::string>& RoleTags() const { return m_roleTags; }
    // True when painting has a drawer and touches the control.
    bool ShouldDraw(const CTavDrawInfo& info) const;
    // A polyline 3 pixels wide in the glow colour under the same
    // line 1 pixel wide in the curve colour.
    void DrawCurve(CTavDrawInfo& info, const std::vector<TavPoint>& points);
    // A 1-pixel guide line.
    void DrawGuide(CTavDrawInfo& info, TavPoint from, TavPoint to);

private:
    std::vector<std::string> m_roleTags;
    std::vector<std::string> m_rolePaths;
    std::vector<int> m_roleRefs;
    std::unique_ptr<CTavGraphDrawer> m_drawer;
};
