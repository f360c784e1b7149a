#include "device/CTavSampleTempoControls.h"

#include "app/CTavTextOut.h"
#include "device/TavDeviceControlValues.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

bool Fail(CTavTextOut* errors, const char* line) {
    if (errors)
        errors->Write(line);
    return false;
}

// Takes the second reference out of items; true when the view then has exactly the main
// value and it.
bool TakeSecondRef(TavItems& items, CTavView& view, const char* tag, int& ref) {
    const size_t own = view.ValueRefs().size();
    TavTakeValueRefs(items, view, {{tag, &ref}});
    return own == 1 && ref >= 0;
}

} // namespace

// --- CTavEditTimeControl ----------------------------------------------------------------

bool CTavEditTimeControl::Configure(TavItems& items) {
    if (!CTavPopEditControl::Configure(items))
        return false;
    if (!TakeSecondRef(items, *this, "endValueRef", m_endRef))
        return Fail(Errors(), "There is no value reference for edit time control.\n");
    return true;
}

bool CTavEditTimeControl::Associate(CTavPanel* parent) {
    if (!CTavPopEditControl::Associate(parent) || !TavAreIntegers(*this, {0, m_endRef}))
        return Fail(Errors(), "Unable to create edit time control.\n");
    return true;
}

std::string CTavEditTimeControl::GetText() const {
    const CTavValue* ratio = GetValue(0);
    if (!ratio || ratio->Kind() != kTavKindInteger)
        return {};
    return TavStretchTimeText(TavRawOf(GetValue(m_endRef), 0), ratio->GetRaw());
}

void CTavEditTimeControl::SetText(const std::string& text) {
    const CTavValue* ratio = GetValue(0);
    const std::optional<double> ms = TavReadStretchTime(text);
    if (!ratio || ratio->Kind() != kTavKindInteger || !ms)
        return;
    const CTavValueSpec& spec = ratio->Spec();
    if (const std::optional<int32_t> next =
            TavRatioForTimeMs(TavRawOf(GetValue(m_endRef), 0), *ms, spec.minimum, spec.maximum))
        SetValueInteger(0, *next);
}

// --- CTavEditBPMControl -----------------------------------------------------------------

bool CTavEditBPMControl::Configure(TavItems& items) {
    // "scale" and "decimals" name the double edit's division value and precision here.
    for (TavItem& item : items) {
        if (item.first == "scale")
            item.first = "divisionValue";
        else if (item.first == "decimals")
            item.first = "precision";
    }
    if (!CTavEditDoubleControl::Configure(items))
        return false;
    if (!TakeSecondRef(items, *this, "bpmValueRef", m_bpmRef))
        return Fail(Errors(), "There is no value reference for edit bpm control.\n");
    return true;
}

bool CTavEditBPMControl::Associate(CTavPanel* parent) {
    if (!CTavEditDoubleControl::Associate(parent) || !TavAreIntegers(*this, {0, m_bpmRef}))
        return Fail(Errors(), "Unable to create edit bpm control.\n");
    return true;
}

std::string CTavEditBPMControl::GetText() const {
    const CTavValue* ratio = GetValue(0);
    const CTavValue* tempo = GetValue(m_bpmRef);
    if (!ratio || !tempo || ratio->Kind() != kTavKindInteger || tempo->Kind() != kTavKindInteger)
        return {};
    return TavStretchTempoText(tempo->GetRaw(), ratio->GetRaw(), DivisionValue(), Precision());
}

void CTavEditBPMControl::SetText(const std::string& text) {
    const CTavValue* ratio = GetValue(0);
    const CTavValue* tempo = GetValue(m_bpmRef);
    if (!ratio || !tempo || ratio->Kind() != kTavKindInteger || tempo->Kind() != kTavKindInteger)
        return;
    const std::optional<int32_t> next =
        TavTypedTempoRatio(text, tempo->GetRaw(), DivisionValue(), tempo->Spec().minimum, tempo->Spec().maximum,
                           ratio->Spec().minimum, ratio->Spec().maximum);
    if (next)
        SetValueInteger(0, *next);
}

// --- CTavBpmSlider ----------------------------------------------------------------------

bool CTavBpmSlider::Configure(TavItems& items) {
    if (!CTavSliderControl::Configure(items))
        return false;
    if (!TakeSecondRef(items, *this, "bpmValueRef", m_bpmRef))
        return Fail(Errors(), "There is no value reference for bpm slider control.\n");
    return true;
}

bool CTavBpmSlider::Associate(CTavPanel* parent) {
    if (!CTavSliderControl::Associate(parent))
        return false;
    if (!TavAreIntegers(*this, {m_bpmRef}))
        return Fail(Errors(), "There is no value reference for bpm slider control.\n");
    return true;
}

} // namespace Brio
