#pragma once
// The time-stretch ratio of the sample edit window (1/100000: 100000 keeps the length)
// shown and typed as the stretched length ("editTime") or as the stretched tempo
// ("editBPM"), and moved by a slider that also follows the sample's tempo.

#include "device/TavSampleControlSupport.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavSliderControl.h"

namespace Brio {

// The main value is the ratio, "endValueRef" the sample's length in frames. Shows
// minutes'seconds"milliseconds; takes exactly that form back.
class CTavEditTimeControl : public CTavDeviceEdit<CTavPopEditControl> {
public:
    std::string_view GetKind() const override { return "editTime"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    std::string GetText() const override;
    // Text that does not read keeps the ratio.
    void SetText(const std::string& text) override;

private:
    int m_endRef = -1;
};

// The main value is the ratio, "bpmValueRef" the sample's own tempo; both tempo and the
// text use the double edit's division value ("divisionValue" or "scale") as scale and its
// precision ("precision" or "decimals") as decimals.
class CTavEditBPMControl : public CTavDeviceEdit<CTavEditDoubleControl> {
public:
    std::string_view GetKind() const override { return "editBPM"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    std::string GetText() const override;
    // Text in which no number reads keeps the ratio.
    void SetText(const std::string& text) override;

private:
    int m_bpmRef = -1;
};

// A slider over the ratio that repaints with "bpmValueRef" as well; exactly the two
// references.
class CTavBpmSlider : public CTavSliderControl {
public:
    std::string_view GetKind() const override { return "quasarBpmSlider"; }
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;

private:
    int m_bpmRef = -1;
};

} // namespace Brio
