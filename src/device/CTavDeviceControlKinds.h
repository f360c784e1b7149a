#pragma once
// The control kinds the device layer adds to the script's vocabulary, with the class that
// serves each. The kinds whose class is built are registered with the view factory before
// the panels are built; a panel that uses any other fails to open with "Unable to create
// child control <kind>.".

#include <memory>
#include <span>

class CTavView;
class CTavViewFactory;

namespace Brio {

struct CTavDeviceControlKind {
    const char* kind;
    const char* className;
    // Makes the control; null while its class is not built.
    std::unique_ptr<CTavView> (*make)() = nullptr;
};

// The device controls, in the order the view factory registers them.
std::span<const CTavDeviceControlKind> TavDeviceControlKinds();
// The pop-up edit kinds of the dialog factory, each inside the generic pop-up edit frame.
std::span<const CTavDeviceControlKind> TavDeviceDialogKinds();

// Makes every built kind of both lists known to the factory.
void TavRegisterDeviceControlKinds(CTavViewFactory& factory);

} // namespace Brio
