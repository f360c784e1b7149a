// How the device layer's controls describe themselves to assistive technology, where
// their kind's base says too little (TavControlDescription.h).

#include <algorithm>

#include "device/CTavPartButtons.h"
#include "device/CTavPreviewButtons.h"
#include "device/CTavSampleListControl.h"
#include "device/CTavSwitchableControls.h"
#include "device/CTavToneSelectButton.h"
#include "device/CTavWaveDrawControl.h"
#include "model/CTavValue.h"
#include "script/CTavTable.h"
#include "view/TavControlDescription.h"
#include "view/TavValueText.h"

namespace Brio {

void CTavToneSelectButton::Describe(CTavControlDescription& description) const {
    CTavButton::Describe(description);
    const TavToneSelection now = Selection();
    description.role = TavControlRole::kToggleButton;
    description.checkable = true;
    description.checked = (now.state & (1 << m_id)) != 0;
    description.value = !description.checked ? "not edited" : now.active == m_id ? "edited, shown" : "edited";
}

void CTavEditPartButton::Describe(CTavControlDescription& description) const {
    CTavButton::Describe(description);
    description.role = TavControlRole::kToggleButton;
    description.checkable = true;
    description.checked = State() / 2 != 0;
    description.value = description.checked ? "editor shown" : "editor not shown";
}

void CTavSoloPartButton::Describe(CTavControlDescription& description) const {
    CTavButton::Describe(description);
    static constexpr const char* kTexts[] = {"off", "off, another part solo", "solo"};
    const int32_t part = std::clamp<int32_t>(State() / 2, 0, 2);
    description.role = TavControlRole::kToggleButton;
    description.checkable = true;
    description.checked = part == 2;
    description.value = kTexts[part];
}

void CTavSampleViewGroupButton::Describe(CTavControlDescription& description) const {
    CTavLatchButton::Describe(description);
    description.value = description.checked ? "card" : "user";
}

void CTavPreviewControl::Describe(CTavControlDescription& description) const {
    description.role = TavControlRole::kButton;
    description.pressable = true;
    description.value = m_previewing ? "playing" : "not playing";
}

void CTavSwitchableStaticTextPictureControl::Describe(CTavControlDescription& description) const {
    CTavStaticTextPictureControl::Describe(description);
    if (Frame() >= 0 && m_pictureTable)
        description.value = TavTableText(*m_pictureTable, Frame());
}

void CTavWaveDrawControl::Describe(CTavControlDescription& description) const {
    // The frames in view and the markers the kind shows.
    description.role = TavControlRole::kGraphic;
    description.namedByValue = false;
    description.value = "frames " + TavNumberText(m_first) + " to " + TavNumberText(m_last);
    static constexpr std::pair<int, const char*> kMarkers[] = {
        {kStart, "start"}, {kLoop, "loop"}, {kEnd, "end"}};
    for (const auto& [role, word] : kMarkers)
        if (const CTavValue* value = RoleValue(role); value && value->Kind() == kTavKindInteger)
            description.value += std::string(", ") + word + " " + TavNumberText(value->GetRaw());
}

} // namespace Brio
