#include "device/CTavDeviceControlKinds.h"

namespace Brio {

namespace {

constexpr CTavDeviceControlKind kControls[] = {
    {"quasarWaveIndexSelect", "Brio::CTavWaveIndexSelectControl"},
    {"quasarWaveGroupSelect", "Brio::CTavWaveGroupSelectControl"},
    {"quasarMfxSelectCombo", "Brio::CTavMfxSelectCombo"},
    {"quasarSoloPartButton", "Brio::CTavSoloPartButton"},
    {"quasarEditPartButton", "Brio::CTavEditPartButton"},
    {"quasarPreviewButton", "Brio::CTavPreviewButtonControl"},
    {"quasarLfoControl", "Brio::CTavLfoControl"},
    {"quasarSwSlider", "Brio::CTavSwitchableSliderControl"},
    {"quasarSwStaticTextPicture", "Brio::CTavSwitchableStaticTextPictureControl"},
    {"quasarPartPatchNameStaticText", "Brio::CTavPartPatchNameStaticText"},
    {"zqToneSelectButton", "Brio::CTavToneSelectButton"},
    {"quasarSampleViewControl", "Brio::CTavSampleViewControl"},
    {"quasarOverviewControl", "Brio::CTavOverviewControl"},
    {"quasarSampleListControl", "Brio::CTavSampleListControl"},
    {"quasarSampleViewGroupButton", "Brio::CTavSampleViewGroupButton"},
    {"quasarScrubButton", "Brio::CTavScrubButtonControl"},
    {"quasarPreviewControl", "Brio::CTavPreviewControl"},
    {"quasarChopPreviewButton", "Brio::CTavChopPreviewButton"},
    {"quasarFrameIncButton", "Brio::CTavFrameIncButton"},
    {"quasarScaleScroll", "Brio::CTavScaleScroll"},
    {"quasarScaleIncButton", "Brio::CTavScaleIncButton"},
    {"quasarWaveScroll", "Brio::CTavWaveScroll"},
    {"quasarWaveScrollIncButton", "Brio::CTavWaveScrollIncButton"},
    {"quasarBpmSlider", "Brio::CTavBpmSlider"},
    {"quasarTimeIncButton", "Brio::CTavTimeIncButton"},
    {"quasarChopIdCombo", "Brio::CTavChopIdCombo"},
    {"quasarChopFrameIncButton", "Brio::CTavChopFrameIncButton"},
    {"valeIndicator", "Vale::CTavIndicatorControl"},
    {"valeLfoControl", "Vale::CTavLfoControl"},
};

constexpr CTavDeviceControlKind kDialogs[] = {
    {"editBPM", "Brio::CTavEditBPMControl"},
    {"editTime", "Brio::CTavEditTimeControl"},
    {"quasarEditChopFrame", "Brio::CTavEditChopFrame"},
    {"quasarLoopFrameEdit", "Brio::CTavLoopFrameEdit"},
    {"quasarBreakPointAddressEdit", "Brio::CTavBreakPointAddressEdit"},
    {"quasarBreakPointRateEdit", "Brio::CTavBreakPointRateEdit"},
};

} // namespace

std::span<const CTavDeviceControlKind> TavDeviceControlKinds() {
    return kControls;
}
std::span<const CTavDeviceControlKind> TavDeviceDialogKinds() {
    return kDialogs;
}

} // namespace Brio
