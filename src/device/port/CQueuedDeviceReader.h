#pragma once
// The device reader whose pump dispatches what the input threads have queued and, when
// nothing has arrived, waits a moment for the next message instead of spinning. The
// command-line tool and the benchmarks use it as it is; the editor adds its repaints.

#include <chrono>

#include "app/CTavSystem.h"
#include "device/CTavReader.h"
#include "midi/port/CMidiEventQueue.h"

namespace Brio {

class CQueuedDeviceReader : public CTavReader {
public:
    CQueuedDeviceReader(CTavSystem& system, CTavEntityManager& entities, CMidiEventQueue& queue)
        : CTavReader(system.BufferManager(), entities, system.BufferOutput()), m_queue(queue) {}

protected:
    void Pump() override {
        if (m_queue.Dispatch() == 0)
            m_queue.WaitFor(std::chrono::milliseconds(1));
    }

private:
    CMidiEventQueue& m_queue;
};

} // namespace Brio
