#pragma once
// The multi-effect type of an effect block, shown as "%02d %s" with its name from the
// catalog's effect bank and chosen from a menu of the 48 types grouped by category; the
// category names come from the script's string table "mfxCategoryTable".

#include <memory>

#include "entity/CTavEntitySelectionPopupMenuUtility.h"
#include "view/CTavPopControl.h"

namespace Brio {

class CTavMfxSelectCombo : public CTavPopControl {
public:
    std::string_view GetKind() const override { return "quasarMfxSelectCombo"; }
    // The main value must be an integer; the category table is looked up.
    bool Associate(CTavPanel* parent) override;
    // Also decides whether the menu can be built: it needs the category table and the
    // catalog's effect bank. Without them the control is disabled.
    void Refresh() override;
    std::string GetText() const override;
    // A disabled control takes no clicks, keys or wheel.
    bool OnMouse(const CTavMouseInfo& info) override;
    bool OnKey(const CTavKeyInfo& info) override;
    bool OnWheel(const CTavWheelInfo& info) override;
    bool TakesKeyboardFocus() const override { return m_enabled; }
    // The menu with the current type marked; a chosen type is written (limited to the
    // value's range).
    void Pop() override;

    bool IsEnabled() const { return m_enabled; }
    // One submenu per category, in category order, each listing its types as "%02d %s".
    CTavEntitySelectionPopupMenuUtility::CEntityMenu BuildMenu() const;

private:
    const CTavStringTable* m_categories = nullptr;
    bool m_enabled = false;
};

} // namespace Brio
