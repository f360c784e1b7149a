#pragma once
// What the platform's assistive technology support (a screen reader's view of the panels)
// is told about the view tree. The view manager holds at most one observer, which the
// platform layer installs the first time assistive technology asks about a window; with
// none, telling costs one pointer test.

class CTavControl;
class CTavView;

class ITavViewObserver {
public:
    virtual ~ITavViewObserver() = default;
    // A control opened (its panel opened) or is about to close.
    virtual void ControlOpened(CTavControl& control) = 0;
    virtual void ControlClosing(CTavControl& control) = 0;
    // A control's values changed and it refreshed, so what it shows may have changed.
    virtual void ControlChanged(CTavControl& control) = 0;
    // The view manager's focused view changed; focused is none when nothing has it.
    virtual void FocusChanged(CTavView* focused) = 0;
    // Every view is about to be destroyed.
    virtual void ViewsDestroyed() = 0;
};
