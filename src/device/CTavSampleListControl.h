#pragma once
// The sample edit window's list of samples: one row per sample number of the group its
// group value selects (user or card samples), taken from the catalog. Its selection is
// what the sample commands that work on several samples use; every open list registers
// with the sample editor. The sample view group button switches the group and has every
// open list start again on it.

#include <cstdint>
#include <vector>

#include "device/CTavSampleEditor.h"
#include "entity/CTavEntityId.h"
#include "view/CTavButton.h"
#include "view/CTavListControl.h"

namespace Brio {

class CTavSampleListControl : public CTavListControl, public ITavSampleList {
public:
    ~CTavSampleListControl() override;

    std::string_view GetKind() const override { return "quasarSampleListControl"; }
    // The list's attributes, then "waveGroupIDValueRef" (required: 2 user samples, 3 card
    // samples) and "entityModifyValueRef" as further value references.
    bool Configure(TavItems& items) override;
    // The group and modify values must be integers.
    bool Associate(CTavPanel* parent) override;
    // Registers with the sample editor; closing removes it again.
    bool Open() override;
    bool Close() override;
    // A new modify mark or group rebuilds the rows, keeping the selection and current row
    // where the rows still hold them.
    void Refresh() override;
    // Names the catalog gained since the last refresh are shown, and a new current row's
    // sample in the sample view when no key or drag is moving through the list.
    bool OnTimer(const CTavTimerInfo& info) override;

    // ITavSampleList
    std::vector<int32_t> SelectedSamples() const override;
    void ClearSelection() override { CTavListControl::ClearSelection(); }
    // Rows for the group now selected, nothing selected, the first sample current.
    void Resync() override;

    // The catalog bank of the group; the invalid ID for another group.
    CTavEntityId Bank() const;

protected:
    // "U0012" (C for card samples), the name (empty for the right half of a stereo
    // pair), "M", "L" or "R", and the size; an entry without a sample shows its number
    // alone.
    bool RowTexts(int32_t row, std::vector<std::string>& texts) const override;
    // Tells "vs.sampleEdit.view.sampleSelectState": 0 nothing, 1 one, 2 several selected.
    void OnSelectionChanged() override;

private:
    // Writes the rows 1 ... count - 1 of the bank (sample 0 is "Off").
    void Rebuild();

    int m_groupRef = -1;
    int m_modifyRef = -1;
    int32_t m_builtGroup = -1;
    int32_t m_builtMark = -1;
    uint32_t m_generation = 0;
    bool m_registered = false;
    CTavValue* m_selectState = nullptr;
    // The row last shown in the sample view; a current row that differs is shown once the
    // user stops moving through the list.
    int32_t m_shownRow = -1;
};

// A latch button over the sample group value; a release over it that switched the group
// has every open sample list resynchronise.
class CTavSampleViewGroupButton : public CTavLatchButton {
public:
    std::string_view GetKind() const override { return "quasarSampleViewGroupButton"; }
    // A toggle between the user and the card group.
    void Describe(CTavControlDescription& description) const override;

protected:
    void OnRelease(const CTavMouseInfo& info) override;
};

} // namespace Brio
