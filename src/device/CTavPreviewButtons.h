#pragma once
// The sample edit window's preview controls. The preview button previews the shown sample
// while it is held; the chop preview button previews from a chop point; the preview
// control is an area of the display that previews in its mode while pressed.

#include <cstdint>
#include <optional>
#include <string>

#include "view/CTavButton.h"
#include "view/TavExpression.h"

namespace Brio {

// The "onValue" and "offValue" expressions both preview buttons write to their main value.
class CTavPreviewValues {
public:
    // Takes both items out (defaults "1" and "0") and evaluates them once, so the paths
    // they read become references of the view; false with what did not read in failed.
    bool Configure(TavItems& items, CTavView& view, std::string& failed, bool& onFailed);
    // The expression's result now, limited to the range of value; nothing when it fails.
    std::optional<int32_t> On(CTavView& view, const CTavValue& value) const;
    std::optional<int32_t> Off(CTavView& view, const CTavValue& value) const;

private:
    CTavExpression m_on;
    CTavExpression m_off;
};

// Frames: 0 up, 1 pressed. The press stops a running scrub, sets the preview frame to the
// sample's start and writes the on value; the release writes the off value. Both are sent.
class CTavPreviewButtonControl : public CTavUnlatchButton {
public:
    std::string_view GetKind() const override { return "quasarPreviewButton"; }
    // The unlatch button's attributes, exactly one "valueRef", "onValue" and "offValue".
    bool Configure(TavItems& items) override;
    // The main value and the scrub, preview frame and start values are integers.
    bool Associate(CTavPanel* parent) override;

protected:
    void OnPress(const CTavMouseInfo& info) override;
    void OnRelease(const CTavMouseInfo& info) override;

private:
    CTavPreviewValues m_values;
    int m_scrubRef = -1;
    int m_previewFrameRef = -1;
    int m_startRef = -1;
};

// Frames: 0 up, 1 pressed. Previews from the chop point "chopPointIdValueRef" names
// ("vs.sampleEdit.modify.chop.chopPoint[<that id>].frame"): the press (only for a chop
// point that exists, below the chop point count) stops a running scrub, writes the point's
// frame to "startFrameValueRef" (the preview frame) and the on value; the release writes
// the off value after a press that previewed.
class CTavChopPreviewButton : public CTavButton {
public:
    std::string_view GetKind() const override { return "quasarChopPreviewButton"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;

protected:
    void OnPress(const CTavMouseInfo& info) override;
    void OnRelease(const CTavMouseInfo& info) override;

private:
    CTavPreviewValues m_values;
    int m_chopIdRef = -1;
    int m_startFrameRef = -1;
    int m_countRef = -1;
    int m_chopFrameRef = -1;
    int m_scrubRef = -1;
    bool m_previewing = false;
};

// An area of the waveform display: a press inside previews in its "mode" (1 from the
// preview frame, 2 the loop, 3 the whole sample), the release stops it. Draws nothing.
class CTavPreviewControl : public CTavControl {
public:
    static constexpr int32_t kFirstMode = 1;
    static constexpr int32_t kLastMode = 3;

    std::string_view GetKind() const override { return "quasarPreviewControl"; }
    // The control's attributes and "mode" (required).
    bool Configure(TavItems& items) override;
    bool OnMouse(const CTavMouseInfo& info) override;
    // While focused, Space or Return held down previews as a press held on the area does.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }

    int32_t Mode() const { return m_mode; }
    bool IsPreviewing() const { return m_previewing; }
    // A button, playing or not.
    void Describe(CTavControlDescription& description) const override;

private:
    int32_t m_mode = 0;
    bool m_previewing = false;
};

} // namespace Brio
