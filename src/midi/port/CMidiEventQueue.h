#pragma once
// Where received messages cross from the input threads to the GUI thread. Input threads
// post complete messages for their device; the GUI thread dispatches them, in order, to
// the device's listeners. A device that goes away takes its undelivered messages with it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "app/TavClock.h"
#include "midi/CTavLongMessage.h"

class CMidiInDevice;

class CMidiEventQueue {
public:
    // Input thread.
    void Post(CMidiInDevice* device, TavBytes bytes);
    // Input thread: the device's port dropped count messages; reported in turn with the
    // messages on the GUI thread.
    void PostLost(CMidiInDevice* device, uint32_t count);

    // GUI thread: delivers what is queued now; the number of messages delivered.
    size_t Dispatch();
    // GUI thread: blocks until a message is queued or the time has passed.
    void WaitFor(TavDuration duration);
    // Drops every message queued for the device.
    void Forget(const CMidiInDevice* device);
    // Runs on the posting thread when a post finds the queue empty, so an event loop can
    // be woken to dispatch.
    void SetWakeHook(std::function<void()> hook);

private:
    struct Entry {
        CMidiInDevice* device;
        TavBytes bytes;
        uint32_t lost = 0;
    };
    void Add(Entry entry);
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<Entry> m_entries;
    std::function<void()> m_wake;
};
