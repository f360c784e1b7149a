#include "app/qt/CFunctionPostCaller.h"

#include <QCoreApplication>

bool CFunctionPostCaller::Post(std::unique_ptr<IFunctor> functor) {
    if (!functor || m_queue.size() >= kMaxQueued)
        return false;
    m_queue.push_back(std::move(functor));
    QCoreApplication::postEvent(this, new QEvent(kCallEvent));
    return true;
}

bool CFunctionPostCaller::event(QEvent* event) {
    if (event->type() != kCallEvent)
        return QObject::event(event);
    // An event left over from functors dropped at shut-down finds nothing to run.
    if (m_queue.empty())
        return true;
    // Taken off first, so a functor that posts again queues behind the rest.
    const std::unique_ptr<IFunctor> functor = std::move(m_queue.front());
    m_queue.pop_front();
    functor->Invoke();
    return true;
}
