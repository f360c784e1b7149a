#pragma once
// Key operators: what a drag control does with the keyboard while it has the focus. The
// single key operator steps the control's main value with the arrow keys, repeats a held
// key on the 50 ms timer events (first after 200 ms, then every 50 ms) and gives the
// focus up after 4000 ms without key activity.

#include <cstdint>

#include "app/TavClock.h"
#include "script/CTavElementDefinition.h"
#include "view/TavRepeatTimer.h"
#include "view/TavViewTypes.h"

class CTavDragControl;

class CTavKeyOperator {
public:
    explicit CTavKeyOperator(CTavDragControl& control) : m_control(control) {}
    virtual ~CTavKeyOperator() = default;
    CTavKeyOperator(const CTavKeyOperator&) = delete;
    CTavKeyOperator& operator=(const CTavKeyOperator&) = delete;

    // Takes the attributes it understands out of items; false with the message.
    virtual bool Configure(TavItems& items) = 0;
    virtual bool Associate() = 0;
    // Sees every mouse event the control takes, before the control acts on it.
    virtual bool OnMouse(const CTavMouseInfo& info) = 0;
    virtual bool OnKey(const CTavKeyInfo& info) = 0;
    virtual bool OnTimer(const CTavTimerInfo& info) = 0;
    virtual void SetFocus(bool focus) = 0;
    // The mouse wheel stepped the value while the control has the focus.
    virtual void OnWheel() {}

    CTavDragControl& Control() const { return m_control; }

protected:
    CTavDragControl& m_control;
};

class CTavSingleKeyOperator : public CTavKeyOperator {
public:
    // Timer delays by index.
    enum Delay : int { kFocusTimeout = 0, kFirstRepeat = 1, kRepeat = 2 };
    static constexpr int kDelayMs[] = {4000, 200, 50};
    static constexpr int32_t kMaxShiftStep = 10;

    using CTavKeyOperator::CTavKeyOperator;

    bool Configure(TavItems&) override { return true; }
    bool Associate() override { return true; }
    bool OnMouse(const CTavMouseInfo& info) override;
    bool OnKey(const CTavKeyInfo& info) override;
    bool OnTimer(const CTavTimerInfo& info) override;
    void SetFocus(bool focus) override;
    // Counts as key activity: the focus time-out starts again (unless a key is held).
    void OnWheel() override;

    int32_t Step() const { return m_step; }

protected:
    // The number of values the steps move through: the main value's; 0 without one.
    virtual int32_t ValueCount() const;
    // Moves the main value by the current step, limited to its range.
    virtual void ApplyStep();
    void StartTimer(Delay delay);
    // Runs the timer again from its last due time (a held key's repeat keeps its pace).
    void RepeatTimer(Delay delay);
    void StopTimer() { m_timer.Stop(); }
    bool TimerExpired() const;

    int32_t m_step = 0;

private:
    ITavClock& Clock() const;

    CTavRepeatTimer m_timer;
};
