// The input thread's round: a stop that lands anywhere in it ends the thread, and what
// arrived before the stop is still processed. Stand-ins for the running flag and the
// signal let the test place the stop between any two reads.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/TavInputLoop.h"
#include "support/FakeMidiPorts.h"

namespace {

// Where the stop lands, as the loop sees it.
enum class StopAt { BeforeTheThreadRuns, WhileTheFlagIsRead, WhileProcessing, WhileWaiting };

// Plays Stop against the loop: clear the flag, then move the signal.
struct Scene {
    StopAt at;
    bool running = true;
    unsigned signal = 0;
    bool stopped = false;
    bool waitedForEver = false;
    int rounds = 0;
    int roundsAfterStop = 0;

    void Stop() {
        if (stopped)
            return;
        stopped = true;
        running = false;
        ++signal;
    }
};

struct FakeFlag {
    Scene& scene;
    bool load(std::memory_order) const {
        const bool value = scene.running;
        if (scene.at == StopAt::WhileTheFlagIsRead)
            scene.Stop(); // the value was read just before the stop
        return value;
    }
};

struct FakeSignal {
    Scene& scene;
    unsigned load(std::memory_order) const { return scene.signal; }
    void wait(unsigned seen, std::memory_order) {
        if (scene.signal != seen)
            return;
        if (scene.stopped) {
            // Nothing moves the signal after a stop: a real thread would sleep for ever.
            scene.waitedForEver = true;
            return;
        }
        if (scene.at == StopAt::WhileWaiting)
            scene.Stop();
        else
            ++scene.signal; // the driver side wakes the thread
    }
};

TEST(InputLoop, AStopLandingAnywhereInARoundEndsTheLoopAfterALastRound) {
    for (StopAt at : {StopAt::BeforeTheThreadRuns, StopAt::WhileTheFlagIsRead, StopAt::WhileProcessing,
                      StopAt::WhileWaiting}) {
        SCOPED_TRACE(static_cast<int>(at));
        Scene scene{at};
        if (at == StopAt::BeforeTheThreadRuns)
            scene.Stop();
        const FakeFlag flag{scene};
        FakeSignal signal{scene};
        TavRunInputLoop(flag, signal, [&] {
            ++scene.rounds;
            if (scene.stopped)
                ++scene.roundsAfterStop;
            if (at == StopAt::WhileProcessing && scene.rounds == 2)
                scene.Stop();
        });
        EXPECT_FALSE(scene.waitedForEver);
        EXPECT_GE(scene.roundsAfterStop, 1);
        EXPECT_LT(scene.rounds, 5);
    }
}

class CountingInput : public CMidiIn {
public:
    ~CountingInput() override { Close(); }
    std::atomic<int> shorts{0};

protected:
    void OnShortMessage(uint32_t) override { ++shorts; }
};

// With real threads: the input thread ends on every stop, whatever it was doing, and takes
// in what the driver side stored before the stop.
TEST(InputLoop, StartAndStopInQuickSuccessionNeverHangAndLoseNothing) {
    test::FakePorts fake;
    fake.names = {"A"};
    CMidiPorts ports;
    ports.AddBackend(std::make_unique<test::FakePortBackend>(fake));
    CountingInput input;
    ASSERT_TRUE(input.Open("A", ports, nullptr));
    const uint8_t note[] = {0x90, 0x3C, 0x64};
    for (int cycle = 0; cycle < 300; ++cycle) {
        ASSERT_TRUE(input.Start());
        const int before = input.shorts;
        for (int i = 0; i < cycle % 4; ++i)
            input.DriverMessage(note, sizeof note);
        ASSERT_TRUE(input.Stop());
        ASSERT_EQ(input.shorts - before, cycle % 4);
    }
    EXPECT_EQ(input.LostMessages(), 0u);
}

} // namespace
