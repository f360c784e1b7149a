#pragma once
// Panels: views that hold child panels and controls, draw a background bitmap and open
// or close as their open condition follows the values it reads. Root panels are the
// windows of the editor; node panels sit inside a parent panel.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "view/CTavView.h"
#include "view/TavExpression.h"

class CTavNodePanel;
class CTavStateBitmap;

class CTavPanel : public CTavView {
public:
    CTavPanel();
    ~CTavPanel() override;

    // Adds "bitmapRef" (a bitmap resource) and "openCondition" (an expression, run once
    // in registering mode so that its value paths become references of the panel).
    bool Configure(TavItems& items) override;
    // Associates the panel, then each child panel, then each control.
    bool Associate(CTavPanel* parent) override;
    // Closed, or outside the update region: nothing. Otherwise the bitmap (state 0) at the
    // top-left corner, then the child panels, then the controls.
    void Draw(CTavDrawInfo& info) override;
    // Only while open and holding the capture or containing the point: offered to the
    // child panels in order, then to the controls; the first that takes it ends it.
    bool OnMouse(const CTavMouseInfo& info) override;
    // As mouse events: only while open and containing the point, child panels first.
    bool OnWheel(const CTavWheelInfo& info) override;
    // Only while open: child panels first, then controls, until one takes it.
    bool OnTimer(const CTavTimerInfo& info) override;
    // Re-evaluates the open condition when its values changed, opens or closes the panel
    // as wanted, then passes the change to the child panels and, while open, the controls.
    bool OnValuesChanged(const CTavValueSet& changed) override;
    // Acquires the bitmap (drawn only when its image loaded) and opens the controls.
    bool Open() override;
    // Closes the child panels and the controls and releases the bitmap.
    bool Close() override;
    // Moves the child panels and controls by the same offset.
    void SetRect(const TavRect& rect) override;

    virtual bool IsNode() const = 0;
    // path: this panel's name, then dot-separated names below it. A control of this panel
    // or, recursively, of a child panel.
    bool FindControl(std::string_view path, CTavView*& control) const;
    // A child panel, recursively; an empty remainder is this panel.
    bool FindPanel(std::string_view path, CTavPanel*& panel);
    // The first control of type T, this panel's own first, then open child panels' depth
    // first; none when there is none.
    template <typename T> T* FirstControlOf() const;

    void AddChildPanel(std::unique_ptr<CTavNodePanel> panel);
    void AddControl(std::unique_ptr<CTavView> control);
    const std::vector<std::unique_ptr<CTavNodePanel>>& ChildPanels() const { return m_childPanels; }
    const std::vector<std::unique_ptr<CTavView>>& Controls() const { return m_controls; }

    CTavStateBitmap* Bitmap() const { return m_bitmap; }
    const CTavExpression& OpenCondition() const { return m_openCondition; }
    bool HasOpenCondition() const { return m_hasOpenCondition; }
    int32_t OpenConditionResult() const { return m_openConditionResult; }

protected:
    // The state the panel should be in after a value change; false in wanted when there
    // is nothing to change. evaluated: the condition was run again for this change.
    virtual bool WantedOpenState(bool evaluated, bool& wanted) const = 0;

    std::vector<std::unique_ptr<CTavNodePanel>> m_childPanels;
    std::vector<std::unique_ptr<CTavView>> m_controls;
    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    CTavExpression m_openCondition;
    bool m_hasOpenCondition = false;
    int32_t m_openConditionResult = 0;
};

// A window of the editor. The platform layer overrides the window hooks; in the core they
// succeed and do nothing.
class CTavRootPanel : public CTavPanel {
public:
    // Adds "windowPosition", "closeValueRef", "closeValue" and "modal".
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // Passes every key to the focused view, unless that is this panel.
    bool OnKey(const CTavKeyInfo& info) override;
    // Creates the window, then opens the panel.
    bool Open() override;
    // Destroys the window, then closes the panel.
    bool Close() override;
    bool IsNode() const override { return false; }
    CTavPanel* GetParent() const override { return nullptr; }

    // The window's close box: with value references, the close value is written to the
    // close value reference as a user edit, and the open condition closes the panel; with
    // none, the panel closes at once.
    virtual void RequestClose();

    TavPoint WindowPosition() const { return m_windowPosition; }
    void SetWindowPosition(TavPoint position) { m_windowPosition = position; }
    // The window's title: the "title" text with each "{expression}" replaced by its value
    // (a single path to a text value gives the text without trailing blanks, anything
    // else the integer); the panel's name without a title.
    std::string Title();
    // Re-evaluates the open condition, then tells the window when the title changed.
    bool OnValuesChanged(const CTavValueSet& changed) override;
    int CloseValueRefIndex() const { return m_closeValueRefIndex; }
    int32_t CloseValue() const { return m_closeValue; }
    bool IsModal() const { return m_modal; }

protected:
    // Creates and shows the frame window; false when that fails.
    virtual bool OpenWindow() { return true; }
    virtual void CloseWindow() {}
    virtual void OnTitleChanged(const std::string& /*title*/) {}
    // Only a re-evaluated condition decides; otherwise the panel keeps its state.
    bool WantedOpenState(bool evaluated, bool& wanted) const override;

    TavPoint m_windowPosition;
    int m_closeValueRefIndex = -1;
    int32_t m_closeValue = 0;
    bool m_modal = false;
    bool ParseTitle(const std::string& text);

    // The title text split at its braces: literal texts and expressions in turn, starting
    // with a literal.
    std::vector<std::string> m_titleLiterals;
    std::vector<CTavExpression> m_titleExpressions;
    // For an expression that is a single path, the reference it reads (texts among them).
    std::vector<int> m_titleRefs;
    bool m_hasTitle = false;
    std::string m_lastTitle;
};

// A panel inside another: open while its parent is open and its condition holds.
class CTavNodePanel : public CTavPanel {
public:
    bool Associate(CTavPanel* parent) override;
    bool IsNode() const override { return true; }

protected:
    bool WantedOpenState(bool evaluated, bool& wanted) const override;
};

template <typename T> T* CTavPanel::FirstControlOf() const {
    for (const auto& view : m_controls)
        if (auto* control = dynamic_cast<T*>(view.get()))
            return control;
    for (const auto& child : m_childPanels)
        if (child->IsOpen())
            if (T* control = child->template FirstControlOf<T>())
                return control;
    return nullptr;
}
