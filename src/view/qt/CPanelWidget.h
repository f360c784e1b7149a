#pragma once
// The client area of a root panel's window. It paints the panel through a back buffer
// (only the update region is redrawn and copied), turns mouse and key events into the
// view tree's records and sends the panel a timer event every 50 ms.
//
// Input the window never sees the end of is ended for the views: when the window loses
// the keyboard focus or the mouse (a menu or another window took it), or the mouse moves
// without the left button while a view holds the capture, the views get the release of
// the drag and the key-up of every key still held, as if they had happened. Moving the
// window takes the focus away from the focused view.
//
// Each press of the mouse to its release, and each run of keys held down, is one user
// action for the buffer manager, so that a drag or a key-repeat run is undone in one step.
//
// Tab and Shift+Tab move the view focus through the panel's controls and a focus frame
// shows where the keyboard is (CKeyboardFocus).

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

#include "view/TavViewTypes.h"
#include "view/qt/CKeyboardFocus.h"

class CTavView;
class QMoveEvent;

class CPanelWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 50;

    CPanelWidget(CTavView& root, QWidget* parent = nullptr);

    // The root panel the widget paints.
    CTavView& Root() const { return m_root; }
    // Draws the whole panel into an image of the panel's size (for screenshots and
    // benchmarks), through the same path as a paint: at the widget's device pixel ratio,
    // or at the ratio given (2: twice the pixels, with the 2x bitmaps).
    QImage Render(double ratio = 0);
    // Draws the given region of the panel into the back buffer.
    void PaintBackBuffer(const QRegion& region);
    const QImage& BackBuffer() const { return m_backBuffer; }
    // Draws the region (widget coordinates) of the panel into target, an image of the
    // widget's size times its device pixel ratio.
    void PaintInto(QImage& target, const QRegion& region);
    // The timer that sends the panel its timer events.
    const QTimer& TickTimer() const { return m_timer; }
    // A closed panel's widget ticks no more while it waits to be deleted.
    void StopTimer() { m_timer.stop(); }
    const CKeyboardFocus& KeyboardFocus() const { return m_keyboard; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab stay in the panel: they move the view focus.
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // At most this many keys are remembered as held.
    static constexpr size_t kMaxHeldKeys = 16;

    void Mouse(QMouseEvent* event);
    void Key(const CTavKeyInfo& info);
    // Ends a drag whose release will not come here: a release at the last point.
    void EndLostDrag();
    // Ends the drag and lifts every key held.
    void EndLostInput();
    // Begins and ends the user actions of the mouse and the keys.
    void BeginAction(bool& open);
    void EndAction(bool& open);
    // Watches the window this widget sits in for moves.
    void WatchWindow();
    void WindowMoved(const QMoveEvent& event);

    CTavView& m_root;
    QImage m_backBuffer;
    QTimer m_timer;
    // The last mouse point handed to the panel, in root client coordinates.
    TavPoint m_lastPoint;
    // Keys pressed here and not yet released, as their key-down records.
    std::vector<CTavKeyInfo> m_heldKeys;
    QPointer<QWidget> m_window;
    bool m_mouseAction = false;
    bool m_keyAction = false;
    CKeyboardFocus m_keyboard;
};
