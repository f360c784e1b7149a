#pragma once
// Runs queued device-function calls later from the event loop: each Post queues the
// functor and posts one event to this object, and each event runs the oldest queued
// functor, so calls run one per event in posting order. GUI thread only.

#include <QEvent>
#include <QObject>
#include <deque>
#include <memory>

#include "device/CTavFunctionManager.h"

class CFunctionPostCaller : public QObject, public ITavFunctionPostCaller {
public:
    // The first user event type plus two.
    static constexpr QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::User + 2);
    // Calls queued beyond this are refused.
    static constexpr size_t kMaxQueued = 1024;

    bool Post(std::unique_ptr<IFunctor> functor) override;
    size_t Queued() const { return m_queue.size(); }

protected:
    bool event(QEvent* event) override;

private:
    std::deque<std::unique_ptr<IFunctor>> m_queue;
};
