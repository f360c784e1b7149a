#pragma once
// Panels bound to windows. The root panel "main" is shown in the main window; every
// other root panel gets a sub-window of its own while it is open. Node panels draw into
// their root panel's window.

#include <QPointer>
#include <functional>

#include "view/CTavPanel.h"
#include "view/qt/CWindowList.h"

#include "view/qt/CPanelWidget.h"
#include "view/qt/CSubFrame.h"
class QMainWindow;

// What the root panels' windows share: the main window and the window list.
struct CPanelWindows {
    // Puts the main panel's widget into the main window; set by the application.
    std::function<void(CPanelWidget*)> showInMainWindow;
    CWindowList windows;
};

class CRootPanel : public CTavRootPanel {
public:
    explicit CRootPanel(CPanelWindows& windows) : m_windows(windows) {}
    ~CRootPanel() override;

    void Invalidate(const TavRect* rect = nullptr) override;
    void Update(const TavRect* rect = nullptr) override;
    TavPoint ToScreen(TavPoint point) const override;
    TavPoint ToClient(TavPoint point) const override;

    // The widget showing the panel while it is open.
    CPanelWidget* Widget() const { return m_widget; }
    QWidget* Frame() const;
    // The windows the panel's window is listed with; dialogs over the panel join them.
    CPanelWindows& Windows() const { return m_windows; }

protected:
    bool OpenWindow() override;
    void CloseWindow() override;
    void OnTitleChanged(const std::string& title) override;

private:
    QRect ToWidget(const TavRect* rect) const;

    CPanelWindows& m_windows;
    QPointer<CPanelWidget> m_widget;
    QPointer<CSubFrame> m_subFrame;
    QPointer<CSubFrame> m_closedFrame; // closed, waiting for its deferred deletion
    QWidget* m_mainWindow = nullptr; // the window showing "main", while it is listed
};

class CNodePanel : public CTavNodePanel {};
