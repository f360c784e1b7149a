#pragma once
// The wave group of a tone or wave layer: internal waves, user samples or card samples,
// shown as "INTERNAL", "SAMP USER", "SAMP CARD" or "---" and chosen from a small menu.

#include <memory>

#include "device/TavSelectorText.h"
#include "view/CTavPopControl.h"

namespace Brio {

class CTavWaveGroupSelectControl : public CTavPopControl {
public:
    std::string_view GetKind() const override { return "quasarWaveGroupSelect"; }
    // The pop control's attributes, then "waveGroupTypeValueRef" and "waveGroupIDValueRef"
    // (required) and "waveNumberLValueRef" and "waveNumberRValueRef": value references in
    // that order, after any "valueRef".
    bool Configure(TavItems& items) override;
    // The group type and ID must be integers.
    bool Associate(CTavPanel* parent) override;
    std::string GetText() const override;
    // The menu with the current group marked; a choice is written with SetGroup.
    void Pop() override;
    // The wheel would step whichever value is first; the group is chosen from the menu.
    bool OnWheel(const CTavWheelInfo&) override { return false; }

    TavWaveGroup Group() const;
    // Writes the group's type and ID, and limits the wave numbers to the new group's bank
    // (its last entry), as one edit. Choosing the current group changes nothing.
    bool SetGroup(TavWaveGroup group);

    // "INTERNAL", and "SAMPLE" holding "USER" and "CARD"; leaf n is the group n.
    static std::unique_ptr<CTavMenuItem> BuildMenu();

private:
    int m_typeRef = -1;
    int m_idRef = -1;
    int m_numberLRef = -1;
    int m_numberRRef = -1;
};

} // namespace Brio
