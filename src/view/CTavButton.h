#pragma once
// Buttons: bitmap controls that react to clicks. The base draws one frame of its bitmap
// (bit 0 of the state is the pressed flag, the bits above belong to the kind of button)
// and tracks the press with capture and focus. The latch button toggles its value between
// an "on" and an "off" value; the increment button steps its value while held.

#include <cstdint>
#include <string>

#include "view/CTavControl.h"
#include "view/TavExpression.h"
#include "view/TavRepeatTimer.h"

class CTavStateBitmap;

class CTavButton : public CTavControl {
public:
    CTavButton();
    ~CTavButton() override;

    // The control's attributes and "bitmapRef" (required).
    bool Configure(TavItems& items) override;
    // Loads the bitmap; the control takes the size of one frame.
    bool Associate(CTavPanel* parent) override;
    void Draw(CTavDrawInfo& info) override;
    // A press takes the focus and the capture; moving off the button under capture shows
    // it released, moving back shows it pressed; the release lets both go again.
    bool OnMouse(const CTavMouseInfo& info) override;
    // While focused, Space and Return press and release the button as a click in its
    // middle does.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }
    // Moves the control; its size stays that of the bitmap frame.
    void SetRect(const TavRect& rect) override;

    bool IsPressed() const { return m_pressed; }
    // A button, pressed or not.
    void Describe(CTavControlDescription& description) const override;
    // The frame drawn: 2 x the kind's part + the pressed flag.
    int32_t State() const { return 2 * m_statePart + (m_pressed ? 1 : 0); }
    CTavStateBitmap* Bitmap() const { return m_bitmap; }

protected:
    virtual void OnPress(const CTavMouseInfo&) {}
    // Called under the release with the capture already let go; info.point tells whether
    // the release happened over the button.
    virtual void OnRelease(const CTavMouseInfo&) {}
    void SetStatePart(int32_t part) { m_statePart = part; }
    // Whether a release counts as a click: over the button and not forced by a lost release.
    bool ReleasedInside(const CTavMouseInfo& info) const {
        return !info.forced && Rect().Contains(info.point);
    }
    // Lets a press go at once: clears the pressed flag, the capture and the focus.
    void EndPress();

private:
    void SetPressed(bool pressed);

    CTavStateBitmap* m_bitmap = nullptr;
    bool m_bitmapAcquired = false;
    bool m_pressed = false;
    int32_t m_statePart = 0;
};

// Takes "onValue" and "offValue" out of items (defaults "1" and "0") and evaluates each
// once, so the paths they read become references of the view. False with the text that did
// not read in failed and, in onFailed, whether it was the on value.
bool TavTakeOnOffValues(TavItems& items, CTavView& view, CTavExpression& on, CTavExpression& off,
                        std::string& failed, bool& onFailed);

// Frames: 0 off, 1 off and pressed, 2 on, 3 on and pressed.
class CTavLatchButton : public CTavButton {
public:
    std::string_view GetKind() const override { return "latchButton"; }
    // Exactly one "valueRef"; "onValue" (default "1") and "offValue" (default "0") are
    // value expressions, evaluated at once so that the paths they read become further
    // value references and repaint the button when they change.
    bool Configure(TavItems& items) override;
    // At least 4 frames and an integer main value.
    bool Associate(CTavPanel* parent) override;
    // Shows "on" while the main value's integer equals the on value.
    void Refresh() override;
    // A toggle, on or off; a page's tab when on and off are the same.
    void Describe(CTavControlDescription& description) const override;

    const CTavExpression& OnValue() const { return m_onValue; }
    const CTavExpression& OffValue() const { return m_offValue; }

protected:
    // Over the button: writes the off value when the main value is on, otherwise the on
    // value, limited to the value's range.
    void OnRelease(const CTavMouseInfo& info) override;

private:
    CTavExpression m_onValue;
    CTavExpression m_offValue;
};

// Frames: 0 up, 1 pressed. Calls a device function by name with the script's argument
// text: on the press (action 0, the press then ends at once) or on a release over the
// button (any other action); a function that is not enabled now is not called.
class CTavUnlatchButton : public CTavButton {
public:
    std::string_view GetKind() const override { return "unlatchButton"; }
    // The button's attributes, "function", "arguments" and "action" (one integer; text
    // that does not read leaves 0).
    bool Configure(TavItems& items) override;
    // At least 2 frames.
    bool Associate(CTavPanel* parent) override;

    const std::string& Function() const { return m_function; }
    const std::string& Arguments() const { return m_arguments; }
    int32_t Action() const { return m_action; }

protected:
    void OnPress(const CTavMouseInfo& info) override;
    void OnRelease(const CTavMouseInfo& info) override;

private:
    void Invoke();

    std::string m_function;
    std::string m_arguments;
    int32_t m_action = 0;
};

// Frames: 0 up, 1 pressed. Holding the button steps the main value once, then after
// 200 ms every 50 ms while the pointer stays on it.
class CTavIncrementButton : public CTavButton {
public:
    static constexpr int kFirstRepeatMs = 200;
    static constexpr int kRepeatMs = 50;

    std::string_view GetKind() const override { return "incrementButton"; }
    // The button's attributes and "deltaValue" (default 1).
    bool Configure(TavItems& items) override;
    bool OnTimer(const CTavTimerInfo& info) override;

    int32_t Delta() const { return m_delta; }
    // Moves the main value's index by the delta, limited to its range.
    virtual void Step();

protected:
    void OnPress(const CTavMouseInfo& info) override;
    void OnRelease(const CTavMouseInfo& info) override;

private:
    int32_t m_delta = 1;
    CTavRepeatTimer m_timer;
};
