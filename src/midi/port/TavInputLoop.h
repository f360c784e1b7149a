#pragma once
// The round an input thread runs: process what has arrived, then sleep until the driver
// side or Stop moves the signal. Kept apart from the thread so the order of its reads can
// be tested with stand-ins for the flag and the signal.

#include <atomic>

// Runs process() each time the signal moves, until running is cleared; then once more for
// whatever arrived meanwhile. The signal is read before the flag: Stop clears the flag and
// only then moves the signal, so a round that still sees the flag set took its snapshot
// before Stop's move and its wait returns at once. Reading the flag first could take
// Stop's move into the snapshot and wait for ever.
template <class Flag, class Signal, class Process>
void TavRunInputLoop(const Flag& running, Signal& signal, Process process) {
    for (;;) {
        const auto seen = signal.load(std::memory_order_acquire);
        if (!running.load(std::memory_order_acquire))
            break;
        process();
        signal.wait(seen, std::memory_order_acquire);
    }
    process();
}
