#pragma once
// The tip bar: a small pop-up window that shows a few lines of text next to a control
// (or the mouse). Callers set what to show; the window catches up at the next idle pass,
// so several changes in one event cost one move and one repaint.

#include <string>
#include <vector>

#include "view/TavViewTypes.h"

class ITavTipBar {
public:
    virtual ~ITavTipBar() = default;
    // The lines to show; marks the window changed.
    virtual void SetLines(std::vector<std::string> lines) = 0;
    // The point (screen coordinates) the window's top-left corner is placed at, plus the
    // offset; both mark the window changed.
    virtual void SetAnchor(TavPoint screenPoint) = 0;
    virtual void SetOffset(TavPoint offset) = 0;
    // Forces a new measure and placement at the next idle pass.
    virtual void MarkChanged() = 0;
    // Whether the window is wanted on screen; the window follows at the next idle pass.
    virtual void Show(bool show) = 0;
    virtual bool IsShown() const = 0;
    // The idle step: places, shows or hides the window as the state asks.
    virtual void UpdateAtIdle() = 0;
};
