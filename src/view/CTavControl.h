#pragma once
// Controls: views bound to values by "valueRef". The control base refreshes its own state
// whenever one of its values changes; the drag control adds mouse dragging with capture,
// and a key operator and a tip bar operator that act while it has the focus.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "view/CTavView.h"

class CTavKeyOperator;
struct CTavControlDescription;
class ITavViewObserver;
class CTavStringTable;
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
    // A change the view reacts to also refreshes the control (and tells the view
    // manager's observer).
    bool OnValuesChanged(const CTavValueSet& changed) override;
    // Resolves the references again, invalidates, opens and refreshes.
    bool Open() override;
    // Tells the observer, then closes.
    bool Close() override;

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

    // A control given "disableTableRef" (a string table) and "disableValueRef" is disabled
    // while the table's entry at that value's position is "-", as a multi-effect parameter
    // the chosen type does not use: its panel draws it dimmed and gives it no input.
    bool IsDisabled() const;

    // What the control tells assistive technology (TavControlDescription.h). The base
    // shows its main value as static text.
    virtual void Describe(CTavControlDescription& description) const;

protected:
    // The view manager's observer; none without one.
    ITavViewObserver* Observer() const;
    // Writes the raw value nearest to raw that the main value can take (for values whose
    // numbers come from a number table, the nearest element); false when nothing was written.
    bool WriteNearestRaw(int32_t raw);
    // Space, and Return when withReturn, as a click in the middle of the control with the
    // key's modifiers: the key going down presses, going up releases (a forced key-up
    // releases as a forced release, which is no click). The focus a click lets go with its
    // release stays with the control. False for any other key.
    bool ClickByKey(const CTavKeyInfo& info, bool withReturn);

private:
    std::string m_disablePath;
    const CTavStringTable* m_disableTable = nullptr;
    int m_disableRef = -1;
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
    // (and the focus too, for a control without key operator). A double-click without
    // Ctrl on a control that takes typed values ends any drag and opens the edit box;
    // otherwise it acts as a press.
    bool OnMouse(const CTavMouseInfo& info) override;
    // The key operator's keys; then Return or F2 pressed on a control that takes typed
    // values opens the edit box.
    bool OnKey(const CTavKeyInfo& info) override;
    bool TakesKeyboardFocus() const override { return true; }
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

    // Opens the edit box over the control with the main value's text selected and writes
    // what the user confirms (SetTypedText); true when a typed value was taken.
    bool EditValue();
    // Writes text typed for the main value, as one set-value transaction: with a string
    // table the index of the entry the text names, otherwise the number read minus the
    // offset, limited to the range (the nearest number of a number table). True when the
    // text gave a value; text that names no entry, or in which no number reads, writes
    // nothing: false.
    bool SetTypedText(std::string_view text);
    // The main value as the tip bar shows it, so that it types back to the same value: the
    // string table entry, or the integer plus the offset; empty without an integer.
    std::string ValueText() const;
    // A slider: the main value as a number (the string table's index, or the integer plus
    // the offset) and its range.
    void Describe(CTavControlDescription& description) const override;
    // Writes a number as Describe gives it, limited to the range, as one set-value
    // transaction (assistive technology setting the value); false when nothing was written.
    bool SetDescribedNumber(int64_t number);
    // Where the edit box goes, in root client coordinates: over the control, centred on
    // it and at least kEditBoxMinWidth wide, so a narrow slider still gets a readable box.
    TavRect EditBoxRect() const;
    static constexpr int32_t kEditBoxMinWidth = 48;

    CTavKeyOperator* KeyOperator() const { return m_keyOperator.get(); }
    // The offset and string table of the value's text (from the tip bar attributes, kept
    // even when the tip bar is not wanted).
    int32_t TextOffset() const { return m_textOffset; }
    const CTavStringTable* TextTable() const { return m_textTable; }
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
    // Whether a double-click or Return types the value into an edit box; none in the base.
    virtual bool TakesTypedValue() const { return false; }
    // Shows an edit box over the rectangle (screen coordinates) with text selected; true
    // with the new text in text when the user confirmed it. The core has no box and
    // answers false; CPopEditControl<T> (src/view/qt) binds the editor's box.
    virtual bool RunEditBox(const TavRect& screenRect, std::string& text);
    virtual void BeginDrag(const CTavMouseInfo& info) = 0;
    virtual void EndDrag(const CTavMouseInfo& info) = 0;
    virtual void Drag(const CTavMouseInfo& info) = 0;

private:
    std::unique_ptr<CTavKeyOperator> m_keyOperator;
    std::unique_ptr<CTavTipBarOperator> m_tipBarOperator;
    int32_t m_textOffset = 0;
    const CTavStringTable* m_textTable = nullptr;
};
