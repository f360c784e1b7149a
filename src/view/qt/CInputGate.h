#pragma once
// Long operations run on the GUI thread and pump the event loop while they wait, so that
// windows repaint, timers run and the progress dialog's Cancel button works. While a
// progress dialog is open (the window let through), user input that reaches the
// application (clicks, keys, the wheel, drops, a window's close button) is read by the pump
// and dropped there, as a disabled window drops it, so none of it runs once the operation
// is over; only the dialog takes input. Without one the wait is a short device round trip
// the user did not see begin: clicks, moves, the wheel and keys are held and run, in
// order, when the outermost pump ends (at most 512; the rest and other input is dropped).
// A box opened from inside a pump runs its own event loop, whose input the gate leaves
// alone. GUI thread only.

#include <QEventLoop>

class QEvent;
class QObject;
class QWidget;

class CInputGate {
public:
    // The window whose input passes while a pump runs; none: nothing passes.
    static void LetThrough(QWidget* window);
    static QWidget* LetThrough();

    // Dispatches what is waiting (window-system events, posted events, and timers and
    // sockets unless flags exclude them), dropping user input for every other window.
    static void Pump(QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
    // Whether a pump is dispatching now.
    static bool IsPumping();

    // Whether a pump drops this event on its way to receiver.
    static bool Drops(const QObject* receiver, const QEvent& event);
};
