#pragma once
// A one-shot timer read on the 50 ms timer events, for key and button repeat. A repeat
// keeps the schedule: the next due time is the last one plus the interval, not the tick
// on which the timer was seen to expire, so ticks that arrive a little late or early do
// not stretch the interval (a 50 ms repeat seen on 49 ms ticks still steps 20 times a
// second). A timer that fell a whole interval or more behind starts afresh from now.

#include <chrono>

#include "app/TavClock.h"

class CTavRepeatTimer {
public:
    void Start(const ITavClock& clock, int milliseconds) {
        m_due = clock.Now() + std::chrono::milliseconds(milliseconds);
        m_running = true;
    }
    // Runs again, due one interval after it was due this time.
    void Repeat(const ITavClock& clock, int milliseconds) {
        const TavTime now = clock.Now();
        m_due += std::chrono::milliseconds(milliseconds);
        if (!m_running || m_due <= now)
            m_due = now + std::chrono::milliseconds(milliseconds);
        m_running = true;
    }
    void Stop() { m_running = false; }
    bool IsRunning() const { return m_running; }
    bool Expired(const ITavClock& clock) const { return m_running && clock.Now() >= m_due; }

private:
    TavTime m_due{};
    bool m_running = false;
};
