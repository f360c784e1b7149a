#include "app/TavClock.h"

#include <thread>

void CTavSteadyClock::SleepFor(TavDuration duration) {
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

ITavClock& TavSystemClock() {
    static CTavSteadyClock clock;
    return clock;
}
