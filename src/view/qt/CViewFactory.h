#pragma once
// The editor's view factory: window-bound root and node panels, every generic kind, and
// the edit kinds, knobs and sliders (and the device layer's pop-up edits) bound to the
// in-place edit box.

#include "device/TavSampleControlSupport.h"
#include "view/CTavKnobControl.h"
#include "view/CTavPopEditControl.h"
#include "view/CTavSliderControl.h"
#include "view/CTavViewFactory.h"
#include "view/qt/CControlAccessible.h"
#include "view/qt/CPopEditControl.h"
#include "view/qt/CRootPanel.h"

class CViewFactory : public CTavViewFactory {
public:
    explicit CViewFactory(CPanelWindows& windows) : m_windows(windows) {
        Register("edit", [] { return std::make_unique<CPopEditControl<CTavPopEditControl>>(); });
        Register("editDouble", [] { return std::make_unique<CPopEditControl<CTavEditDoubleControl>>(); });
        Register("knob", [] { return std::make_unique<CPopEditControl<CTavKnobControl>>(); });
        Register("slider", [] { return std::make_unique<CPopEditControl<CTavSliderControl>>(); });
        // The device layer's pop-up edits are made by the core; they open this box too.
        Brio::TavSetDeviceEditBox([](CTavPopControl& control, const TavRect& rect, std::string& text) {
            return TavRunPopupEdit(control, rect, text);
        });
        // Screen readers see the panels' controls.
        CControlAccessibility::InstallFactory();
    }
    std::unique_ptr<CTavRootPanel> CreateRootPanel() override {
        return std::make_unique<CRootPanel>(m_windows);
    }
    std::unique_ptr<CTavNodePanel> CreateNodePanel() override { return std::make_unique<CNodePanel>(); }

private:
    CPanelWindows& m_windows;
};
