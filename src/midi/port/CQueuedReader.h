#pragma once
// A reader whose pump dispatches what the input threads have queued and, when nothing
// has arrived, waits a moment for the next message instead of spinning.

#include "midi/CTavMidiReader.h"
#include "midi/port/CMidiEventQueue.h"

class CQueuedReader : public CTavMidiReader {
public:
    CQueuedReader(CMidiEventQueue& queue, CTavTextOut* report, ITavClock& clock = TavSystemClock())
        : CTavMidiReader(report, clock), m_queue(queue) {}

protected:
    void Pump() override {
        if (m_queue.Dispatch() == 0)
            m_queue.WaitFor(std::chrono::milliseconds(1));
    }

private:
    CMidiEventQueue& m_queue;
};
