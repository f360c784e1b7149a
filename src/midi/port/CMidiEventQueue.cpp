#include "midi/port/CMidiEventQueue.h"

#include "midi/port/CMidiDevices.h"

void CMidiEventQueue::Post(CMidiInDevice* device, TavBytes bytes) {
    Add({device, std::move(bytes)});
}

void CMidiEventQueue::PostLost(CMidiInDevice* device, uint32_t count) {
    Add({device, {}, count});
}

void CMidiEventQueue::Add(Entry entry) {
    bool wasEmpty;
    std::function<void()> wake;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = m_entries.empty();
        m_entries.push_back(std::move(entry));
        wake = m_wake;
    }
    m_posted.notify_all();
    if (wasEmpty && wake)
        wake();
}

size_t CMidiEventQueue::Dispatch() {
    size_t delivered = 0;
    for (;;) {
        Entry entry;
        {
            std::lock_guard lock(m_mutex);
            if (m_entries.empty())
                return delivered;
            entry = std::move(m_entries.front());
            m_entries.pop_front();
        }
        if (entry.lost != 0) {
            entry.device->ReportLost(entry.lost);
            continue;
        }
        entry.device->Deliver(entry.bytes);
        ++delivered;
    }
}

void CMidiEventQueue::WaitFor(TavDuration duration) {
    std::unique_lock lock(m_mutex);
    m_posted.wait_for(lock, duration, [this] { return !m_entries.empty(); });
}

void CMidiEventQueue::Forget(const CMidiInDevice* device) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [device](const Entry& entry) { return entry.device == device; });
}

void CMidiEventQueue::SetWakeHook(std::function<void()> hook) {
    std::lock_guard lock(m_mutex);
    m_wake = std::move(hook);
}
