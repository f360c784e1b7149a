#pragma once
// The time source of everything that waits: time-outs, pacing, key repeat. Production code
// reads the monotonic system clock; tests hand in a clock they advance themselves, so no
// test sleeps to test timing.

#include <chrono>

using TavTime = std::chrono::steady_clock::time_point;
using TavDuration = std::chrono::microseconds;

class ITavClock {
public:
    virtual ~ITavClock() = default;
    virtual TavTime Now() const = 0;
    // Blocks the calling thread for about the given time (a test clock just advances).
    virtual void SleepFor(TavDuration duration) = 0;
};

class CTavSteadyClock : public ITavClock {
public:
    TavTime Now() const override { return std::chrono::steady_clock::now(); }
    void SleepFor(TavDuration duration) override;
};

// The monotonic clock without its pauses: for work with no device to pace, such as an
// export that records what would be sent.
class CTavNoPauseClock : public CTavSteadyClock {
public:
    void SleepFor(TavDuration) override {}
};

// The process's monotonic clock.
ITavClock& TavSystemClock();

// Whole milliseconds from a to b, as the transfer code reasons in them.
inline long long TavMilliseconds(TavTime a, TavTime b) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(b - a).count();
}
