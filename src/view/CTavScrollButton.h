#pragma once
// The scroll button: an increment button that moves the window of a scroll control
// (current lower to current upper inside scroll lower to scroll upper) by its delta on
// each step. Releasing it sets the operated value to 1, telling the view's owner that a
// scroll gesture ended.

#include "view/CTavButton.h"

class CTavScrollButton : public CTavIncrementButton {
public:
    std::string_view GetKind() const override { return "scrollButton"; }
    // The increment button's attributes and the scroll control's five range references;
    // they become the value references when the button has no "valueRef".
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // Moves the window's lower end by the delta, limited so that the window stays inside
    // the scroll range; a window that cannot move goes to the scroll lower value.
    void Step() override;

protected:
    void OnRelease(const CTavMouseInfo& info) override;
};
