#pragma once
// The editor's view factory: window-bound root and node panels, and every generic kind.

#include "view/CTavViewFactory.h"
#include "view/qt/CRootPanel.h"

class CViewFactory : public CTavViewFactory {
public:
    explicit CViewFactory(CPanelWindows& windows) : m_windows(windows) {}
    std::unique_ptr<CTavRootPanel> CreateRootPanel() override {
        return std::make_unique<CRootPanel>(m_windows);
    }
    std::unique_ptr<CTavNodePanel> CreateNodePanel() override { return std::make_unique<CNodePanel>(); }

private:
    CPanelWindows& m_windows;
};
