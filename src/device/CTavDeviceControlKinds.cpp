#include "device/CTavDeviceControlKinds.h"

#include "device/CTavChopIdCombo.h"
#include "device/CTavDeviceLfoControls.h"
#include "device/CTavIndicatorControl.h"
#include "device/CTavMfxSelectCombo.h"
#include "device/CTavPartButtons.h"
#include "device/CTavPartPatchNameStaticText.h"
#include "device/CTavPreviewButtons.h"
#include "device/CTavSampleFrameEdits.h"
#include "device/CTavSampleIncButtons.h"
#include "device/CTavSampleListControl.h"
#include "device/CTavSampleTempoControls.h"
#include "device/CTavScaleScroll.h"
#include "device/CTavSwitchableControls.h"
#include "device/CTavToneSelectButton.h"
#include "device/CTavWaveDrawControl.h"
#include "device/CTavWaveGroupSelectControl.h"
#include "device/CTavWaveIndexSelectControl.h"
#include "device/CTavWaveScrollControls.h"

#include "view/CTavViewFactory.h"

namespace Brio {

namespace {

template <class T> std::unique_ptr<CTavView> Make() {
    return std::make_unique<T>();
}

constexpr CTavDeviceControlKind kControls[] = {
    {"quasarWaveIndexSelect", "Brio::CTavWaveIndexSelectControl", Make<CTavWaveIndexSelectControl>},
    {"quasarWaveGroupSelect", "Brio::CTavWaveGroupSelectControl", Make<CTavWaveGroupSelectControl>},
    {"quasarMfxSelectCombo", "Brio::CTavMfxSelectCombo", Make<CTavMfxSelectCombo>},
    {"quasarSoloPartButton", "Brio::CTavSoloPartButton", Make<Brio::CTavSoloPartButton>},
    {"quasarEditPartButton", "Brio::CTavEditPartButton", Make<Brio::CTavEditPartButton>},
    {"quasarPreviewButton", "Brio::CTavPreviewButtonControl", Make<CTavPreviewButtonControl>},
    {"quasarLfoControl", "Brio::CTavLfoControl", Make<Brio::CTavLfoControl>},
    {"quasarSwSlider", "Brio::CTavSwitchableSliderControl", Make<CTavSwitchableSliderControl>},
    {"quasarSwStaticTextPicture", "Brio::CTavSwitchableStaticTextPictureControl", Make<CTavSwitchableStaticTextPictureControl>},
    {"quasarPartPatchNameStaticText", "Brio::CTavPartPatchNameStaticText", Make<CTavPartPatchNameStaticText>},
    {"zqToneSelectButton", "Brio::CTavToneSelectButton", Make<Brio::CTavToneSelectButton>},
    {"quasarSampleViewControl", "Brio::CTavSampleViewControl", Make<CTavSampleViewControl>},
    {"quasarOverviewControl", "Brio::CTavOverviewControl", Make<CTavOverviewControl>},
    {"quasarSampleListControl", "Brio::CTavSampleListControl", Make<CTavSampleListControl>},
    {"quasarSampleViewGroupButton", "Brio::CTavSampleViewGroupButton", Make<CTavSampleViewGroupButton>},
    {"quasarScrubButton", "Brio::CTavScrubButtonControl", Make<CTavScrubButtonControl>},
    {"quasarPreviewControl", "Brio::CTavPreviewControl", Make<CTavPreviewControl>},
    {"quasarChopPreviewButton", "Brio::CTavChopPreviewButton", Make<CTavChopPreviewButton>},
    {"quasarFrameIncButton", "Brio::CTavFrameIncButton", Make<CTavFrameIncButton>},
    {"quasarScaleScroll", "Brio::CTavScaleScroll", Make<CTavScaleScroll>},
    {"quasarScaleIncButton", "Brio::CTavScaleIncButton", Make<CTavScaleIncButton>},
    {"quasarWaveScroll", "Brio::CTavWaveScroll", Make<CTavWaveScroll>},
    {"quasarWaveScrollIncButton", "Brio::CTavWaveScrollIncButton", Make<CTavWaveScrollIncButton>},
    {"quasarBpmSlider", "Brio::CTavBpmSlider", Make<CTavBpmSlider>},
    {"quasarTimeIncButton", "Brio::CTavTimeIncButton", Make<CTavTimeIncButton>},
    {"quasarChopIdCombo", "Brio::CTavChopIdCombo", Make<CTavChopIdCombo>},
    {"quasarChopFrameIncButton", "Brio::CTavChopFrameIncButton", Make<CTavChopFrameIncButton>},
    {"valeIndicator", "Vale::CTavIndicatorControl", Make<Vale::CTavIndicatorControl>},
    {"valeLfoControl", "Vale::CTavLfoControl", Make<Vale::CTavLfoControl>},
};

constexpr CTavDeviceControlKind kDialogs[] = {
    {"editBPM", "Brio::CTavEditBPMControl", Make<CTavEditBPMControl>},
    {"editTime", "Brio::CTavEditTimeControl", Make<CTavEditTimeControl>},
    {"quasarEditChopFrame", "Brio::CTavEditChopFrame", Make<CTavEditChopFrame>},
    {"quasarLoopFrameEdit", "Brio::CTavLoopFrameEdit", Make<CTavLoopFrameEdit>},
    {"quasarBreakPointAddressEdit", "Brio::CTavBreakPointAddressEdit", Make<CTavBreakPointAddressEdit>},
    {"quasarBreakPointRateEdit", "Brio::CTavBreakPointRateEdit", Make<CTavBreakPointRateEdit>},
};

} // namespace

std::span<const CTavDeviceControlKind> TavDeviceControlKinds() {
    return kControls;
}
std::span<const CTavDeviceControlKind> TavDeviceDialogKinds() {
    return kDialogs;
}

void TavRegisterDeviceControlKinds(CTavViewFactory& factory) {
    for (const auto& list : {TavDeviceControlKinds(), TavDeviceDialogKinds()})
        for (const CTavDeviceControlKind& kind : list)
            if (kind.make)
                factory.Register(kind.kind, kind.make);
}

} // namespace Brio
