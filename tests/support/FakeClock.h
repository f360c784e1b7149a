#pragma once
// A clock that moves only when told to (or when something sleeps on it).

#include <vector>

#include "app/TavClock.h"

class FakeClock : public ITavClock {
public:
    TavTime Now() const override { return m_now; }
    void SleepFor(TavDuration duration) override {
        m_sleeps.push_back(duration);
        if (duration.count() > 0)
            m_now += duration;
    }
    void Advance(TavDuration duration) { m_now += duration; }
    const std::vector<TavDuration>& Sleeps() const { return m_sleeps; }
    TavDuration TotalSleep() const {
        TavDuration total{0};
        for (TavDuration d : m_sleeps)
            total += d;
        return total;
    }

private:
    TavTime m_now{};
    std::vector<TavDuration> m_sleeps;
};
