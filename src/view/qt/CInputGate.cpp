#include "view/qt/CInputGate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace {

QPointer<QWidget>& Passage() {
    static QPointer<QWidget> passage;
    return passage;
}

int g_pumping = 0;

// Input held during pumps without a window let through, for the end of the outermost one.
struct HeldInput {
    QPointer<QObject> receiver;
    std::unique_ptr<QEvent> event;
};
constexpr size_t kMaxHeld = 512;

std::vector<HeldInput>& Held() {
    static std::vector<HeldInput> held;
    return held;
}

// What a short wait holds rather than drops: presses, releases, moves, the wheel and keys.
// The events Qt makes from them (shortcuts, context menus) come again when they run.
bool IsHeldKind(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

// Posts the held input again, in the order it came, to the receivers still there.
void ReplayHeld() {
    std::vector<HeldInput> held;
    held.swap(Held());
    for (HeldInput& input : held)
        if (input.receiver)
            QCoreApplication::postEvent(input.receiver.data(), input.event.release());
}

bool IsUserInput(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        // The window system's close button; a close the program asks for is no input.
        return event.spontaneous();
    default:
        return false;
    }
}

bool IsInPassage(const QObject* receiver) {
    const QWidget* passage = Passage().data();
    if (!passage || !receiver)
        return false;
    if (receiver->isWidgetType()) {
        const auto* widget = static_cast<const QWidget*>(receiver);
        return widget == passage || passage->isAncestorOf(widget);
    }
    // Window-system input reaches the window first, then its widgets.
    return receiver->isWindowType() && static_cast<const QWindow*>(receiver) == passage->windowHandle();
}

// Installed on the application for the length of one pump. Events dispatched by an event
// loop started inside the pump (a message box) are that loop's own and pass.
class CPumpFilter : public QObject {
public:
    CPumpFilter() : m_loopLevel(QThread::currentThread()->loopLevel()) {
        QCoreApplication::instance()->installEventFilter(this);
        ++g_pumping;
    }
    ~CPumpFilter() override {
        --g_pumping;
        if (QCoreApplication* application = QCoreApplication::instance())
            application->removeEventFilter(this);
        if (g_pumping == 0)
            ReplayHeld();
    }
    CPumpFilter(const CPumpFilter&) = delete;
    CPumpFilter& operator=(const CPumpFilter&) = delete;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (QThread::currentThread()->loopLevel() > m_loopLevel)
            return false;
        if (!CInputGate::Drops(receiver, *event))
            return false;
        // With no progress dialog open the wait is a short one the user did not see
        // begin (a device round trip): a click made meanwhile counts, once the wait is over.
        if (!Passage() && IsHeldKind(*event) && Held().size() < kMaxHeld)
            Held().push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
        return true;
    }

private:
    const int m_loopLevel;
};

} // namespace

void CInputGate::LetThrough(QWidget* window) {
    Passage() = window;
}

QWidget* CInputGate::LetThrough() {
    return Passage().data();
}

bool CInputGate::Drops(const QObject* receiver, const QEvent& event) {
    return IsUserInput(event) && !IsInPassage(receiver);
}

bool CInputGate::IsPumping() {
    return g_pumping > 0;
}

void CInputGate::Pump(QEventLoop::ProcessEventsFlags flags) {
    if (!QCoreApplication::instance())
        return;
    // Input must be read to be dropped; left queued it would run after the operation.
    flags.setFlag(QEventLoop::ExcludeUserInputEvents, false);
    const CPumpFilter filter;
    QCoreApplication::processEvents(flags);
}
