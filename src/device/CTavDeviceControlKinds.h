#pragma once
// The control kinds the device layer adds to the script's vocabulary, with the class that
// serves each. Until a class is built, its kind is not registered with the view factory,
// so a panel that uses it fails to open with "Unable to create child control <kind>.".

#include <span>

namespace Brio {

struct CTavDeviceControlKind {
    const char* kind;
    const char* className;
};

// The device controls, in the order the view factory registers them.
std::span<const CTavDeviceControlKind> TavDeviceControlKinds();
// The pop-up edit kinds of the dialog factory, each inside the generic pop-up edit frame.
std::span<const CTavDeviceControlKind> TavDeviceDialogKinds();

} // namespace Brio
