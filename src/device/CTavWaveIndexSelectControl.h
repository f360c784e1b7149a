#pragma once
// The wave or sample number of a tone or wave layer, shown as "%04d %s" with its name in
// the catalog bank of the group its group values select, and chosen from a menu of that
// bank. For the halves of a stereo sample the other channel's number can be kept in step.

#include <cstdint>
#include <memory>

#include "device/TavSelectorText.h"
#include "entity/CTavEntitySelectionPopupMenuUtility.h"
#include "view/CTavPopControl.h"

namespace Brio {

class CTavWaveIndexSelectControl : public CTavPopControl {
public:
    CTavWaveIndexSelectControl();
    ~CTavWaveIndexSelectControl() override;

    std::string_view GetKind() const override { return "quasarWaveIndexSelect"; }
    // The pop control's attributes ("valueRef" is the number), then the value references
    // "waveGroupTypeValueRef", "waveGroupIDValueRef" (both required), "entityModifyValueRef"
    // and "complementValueRef" in that order, and "complementDirection": 1 when the
    // complement is the right channel of a pair whose left this control chooses, -1 the
    // other way round (1 when absent).
    bool Configure(TavItems& items) override;
    // The number and group values must be integers.
    bool Associate(CTavPanel* parent) override;
    // Drops the menu when the group, the modify mark or the catalog changed.
    void Refresh() override;
    std::string GetText() const override;
    // The group's bank in blocks of 32 (and of 1024), the current number marked; a choice
    // is written with SetNumber. Nothing opens for the group none or an empty bank.
    void Pop() override;
    // Steps the number one entry per notch, keeping the complement in step.
    bool OnWheel(const CTavWheelInfo& info) override;
    // A catalog that changed since the last refresh refreshes and repaints the text.
    bool OnTimer(const CTavTimerInfo& info) override;

    TavWaveGroup Group() const;
    // Writes the number, limited to its range. When it names one half of a stereo sample
    // whose other half lies in the complement's direction, the complement gets that half's
    // number in the same edit.
    bool SetNumber(int32_t number);
    // The menu Pop shows, built again after a change of the group, the mark or the catalog.
    const CTavEntitySelectionPopupMenuUtility::CEntityMenu& Menu();

private:
    struct CMenuKey {
        TavWaveGroup group = TavWaveGroup::None;
        int32_t mark = -1;
        uint32_t generation = 0;
        bool operator==(const CMenuKey&) const = default;
    };
    CMenuKey CurrentKey() const;

    int m_typeRef = -1;
    int m_idRef = -1;
    int m_modifyRef = -1;
    int m_complementRef = -1;
    int32_t m_direction = 1;
    std::unique_ptr<CTavEntitySelectionPopupMenuUtility::CEntityMenu> m_menu;
    CMenuKey m_menuKey;
    uint32_t m_generation = 0;
};

} // namespace Brio
