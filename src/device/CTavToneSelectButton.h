#pragma once
// The patch tone buttons: which of the four tones are edited together (the bits 1, 2, 4, 8
// of a state value) and which one the edit windows show (the active value, 0 ... 3).
// A click selects its tone alone; with Shift it adds or removes its tone from the set;
// with Ctrl it selects all four and shows its own.

#include <cstdint>

#include "view/CTavButton.h"

namespace Brio {

enum class TavToneSelectMode { kSingle, kToggle, kAll };

struct TavToneSelection {
    int32_t state = 0;
    int32_t active = 0;
    bool operator==(const TavToneSelection&) const = default;
};

// The mode of a press: Shift alone toggles, Ctrl alone selects all, anything else single.
TavToneSelectMode TavToneSelectModeOf(uint32_t modifiers);
// Frame base of tone id's button: 0 while its bit is clear in the state, 4 while it is set
// and the tone is active, else 2.
int32_t TavToneSelectFrameBase(TavToneSelection now, int32_t id);
// What a click on tone id's button leaves. A toggle of the active tone changes nothing, nor
// does one that would leave no tone in the set.
TavToneSelection TavToneSelectClick(TavToneSelectMode mode, TavToneSelection now, int32_t id);

// Frames (6): tone not in the set, in the set, in the set and active, each up and pressed.
class CTavToneSelectButton : public CTavButton {
public:
    static constexpr int32_t kToneCount = 4;

    std::string_view GetKind() const override { return "zqToneSelectButton"; }
    // The button's attributes, "id" (0 ... 3), "activeValueRef" and "stateValueRef" (the
    // button's references in that order, after any "valueRef").
    bool Configure(TavItems& items) override;
    // At least 6 frames; both values exist and are integers.
    bool Associate(CTavPanel* parent) override;
    void Refresh() override;

    int32_t Id() const { return m_id; }
    TavToneSelectMode Mode() const { return m_mode; }
    // A toggle: whether its tone is edited, and shown.
    void Describe(CTavControlDescription& description) const override;

protected:
    void OnPress(const CTavMouseInfo& info) override;
    // Over the button: writes the state, then the active tone, and sends both.
    void OnRelease(const CTavMouseInfo& info) override;

private:
    TavToneSelection Selection() const;

    int32_t m_id = 0;
    int m_activeRef = -1;
    int m_stateRef = -1;
    TavToneSelectMode m_mode = TavToneSelectMode::kSingle;
};

} // namespace Brio
