#pragma once
// Controls: views bound to values by "valueRef". The control base refreshes its own state
// whenever one of its values changes; the drag control adds mouse dragging with capture,
// and a key operator and a tip bar operator that act while it has the focus.

#include <cstdint>
#include <memory>
#include <string_view>

#include "view/CTavView.h"

class CTavKeyOperator;
class CTavTipBarOperator;
class ITavClock;
class ITavTipBar;

class CTavControl : public CTavView {
public:
    // Takes the view's attributes, then every "valueRef" (in order; the first is the
    // main value, index 0). Paths are kept as written.
    bool Configure(TavItems& items) override;
    // As for views; "Unable to create control %s.\n" on failure.
    bool Associate(CTavPanel* parent) override;
    // A change the view reacts to also refreshes the control.
    bool OnValuesChanged(const CTavValueSet& changed) override;
    // Resolves the references again, invalidates, opens and refreshes.
    bool Open() override;

    // The kind name that selects the control in the view factory ("knob", "slider", ...).
    virtual std::string_view GetKind() const = 0;
    // Brings the control's own state up to date with its values.
    virtual void Refresh() {}

    // The set-value transaction on the value of a reference (see TavSetValue.h); false
    // when nothing was written.
    bool SetValueIndex(int refIndex, int32_t index);
    bool SetValueInteger(int refIndex, int32_t raw);
    // Writes the default index of the value's definition (Ctrl-click on a control).
    bool SetDefaultIndex(int refIndex);

    // Services from the view manager: the clock that timed behaviour reads (the system
    // clock without a manager) and the tip bar (none headless).
    ITavClock& Clock() const;
    ITavTipBar* TipBar() const;
    // Where the operators report configuration failures.
    CTavTextOut* Errors() const { return ErrorOutput(); }
};

class CTavDragControl : public CTavControl {
public:
    CTavDragControl();
    ~CTavDragControl() override;

    // The control's attributes, then the key operator's and the tip bar operator's. A tip
    // bar operator that reports the tip bar is not wanted is dropped.
    bool Configure(TavItems& items) override;
    bool Associate(CTavPanel* parent) override;
    // Outside the control and without the capture: not taken. Otherwise the key operator
    // sees it first; a press takes the focus and the capture and begins a drag, a move
    // under capture drags, a release under capture ends the drag and lets the capture go
    // (and the focus too, for a control without key operator).
    bool OnMouse(const CTavMouseInfo& info) override;
    bool OnKey(const CTavKeyInfo& info) override;
    bool OnTimer(const CTavTimerInfo& info) override;
    // Over the control: OnWheel with the notches and modifiers. A control with a key
    // operator that took it also takes the focus (showing the tip bar) until the key
    // operator's time-out.
    bool OnWheel(const CTavWheelInfo& info) override;
    // Moves the main value one step per notch (with Shift the key operator's larger step,
    // half the range but at most 10), limited to the range. True when taken.
    virtual bool OnWheel(int notches, uint32_t modifiers);
    // Losing the focus also lets a held capture go; both operators are told.
    void SetFocus(bool focus) override;
    bool OnValuesChanged(const CTavValueSet& changed) override;
    void SetRect(const TavRect& rect) override;

    CTavKeyOperator* KeyOperator() const { return m_keyOperator.get(); }
    CTavTipBarOperator* TipBarOperator() const { return m_tipBarOperator.get(); }

protected:
    // Associates a control of the given kind ("knob", "slider") whose main value is an
    // integer of more than one value, with the kind's messages.
    bool AssociateValueControl(CTavPanel* parent, const std::string& kind, bool needsRange = true);
    // The number of values of the main value; 0 without one.
    int32_t MainValueCount() const;

    // The operators this kind of control uses; none in the base.
    virtual std::unique_ptr<CTavKeyOperator> CreateKeyOperator();
    virtual std::unique_ptr<CTavTipBarOperator> CreateTipBarOperator();
    virtual void BeginDrag(const CTavMouseInfo& info) = 0;
    virtual void EndDrag(const CTavMouseInfo& info) = 0;
    virtual void Drag(const CTavMouseInfo& info) = 0;

private:
    std::unique_ptr<CTavKeyOperator> m_keyOperator;
    std::unique_ptr<CTavTipBarOperator> m_tipBarOperator;
};
