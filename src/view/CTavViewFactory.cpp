#include "view/CTavViewFactory.h"

#include "view/CTavBiasControl.h"
#include "view/CTavButton.h"
#include "view/CTavEnvelopeControl.h"
#include "view/CTavFadeRangeControl.h"
#include "view/CTavKeyboardControl.h"
#include "view/CTavKnobControl.h"
#include "view/CTavLfoControl.h"
#include "view/CTavListControl.h"
#include "view/CTavPanel.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavScrollButton.h"
#include "view/CTavScrollControl.h"
#include "view/CTavSliderControl.h"
#include "view/CTavStaticTextControl.h"

CTavViewFactory::CTavViewFactory() {
    // The generic control kinds ("slider", "knob", "staticText", ...) register here as
    // their classes arrive, each as Register("kind", [] { return std::make_unique<Class>(); }).
    Register("knob", [] { return std::make_unique<CTavKnobControl>(); });
    Register("slider", [] { return std::make_unique<CTavSliderControl>(); });
    Register("scroll", [] { return std::make_unique<CTavScrollControl>(); });
    Register("scrollButton", [] { return std::make_unique<CTavScrollButton>(); });
    Register("latchButton", [] { return std::make_unique<CTavLatchButton>(); });
    Register("unlatchButton", [] { return std::make_unique<CTavUnlatchButton>(); });
    Register("incrementButton", [] { return std::make_unique<CTavIncrementButton>(); });
    Register("envelope", [] { return std::make_unique<CTavEnvelopeControl>(); });
    Register("fadeRange", [] { return std::make_unique<CTavFadeRangeControl>(); });
    Register("bias", [] { return std::make_unique<CTavBiasControl>(); });
    Register("lfo", [] { return std::make_unique<CTavLfoControl>(); });
    Register("staticText", [] { return std::make_unique<CTavStaticTextControl>(); });
    Register("staticTextPicture", [] { return std::make_unique<CTavStaticTextPictureControl>(); });
    Register("picture", [] { return std::make_unique<CTavPictureControl>(); });
    Register("combo", [] { return std::make_unique<CTavPopComboControl>(); });
    // Without windows the edit kinds open no box; the editor's factory binds them to one.
    Register("edit", [] { return std::make_unique<CTavPopEditControl>(); });
    Register("editDouble", [] { return std::make_unique<CTavEditDoubleControl>(); });
    Register("keyboard", [] { return std::make_unique<CTavKeyboardControl>(); });
    Register("listControl", [] { return std::make_unique<CTavListControl>(); });
    Register("protoListControl", [] { return std::make_unique<CTavProtoListControl>(); });
}

CTavViewFactory::~CTavViewFactory() = default;

std::unique_ptr<CTavRootPanel> CTavViewFactory::CreateRootPanel() {
    return std::make_unique<CTavRootPanel>();
}

std::unique_ptr<CTavNodePanel> CTavViewFactory::CreateNodePanel() {
    return std::make_unique<CTavNodePanel>();
}

std::unique_ptr<CTavView> CTavViewFactory::CreateControl(std::string_view kind) {
    const auto found = m_makers.find(kind);
    return found != m_makers.end() ? found->second() : nullptr;
}

void CTavViewFactory::Register(std::string kind, Maker maker) {
    m_makers[std::move(kind)] = std::move(maker);
}
