#include "view/qt/CPanelWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "model/CTavBufferManager.h"
#include "view/CTavView.h"
#include "view/CTavViewManager.h"
#include "view/ITavTipBar.h"
#include "view/qt/CCursor.h"
#include "view/qt/CDrawInfo.h"
#include "view/qt/TavQtEvents.h"

CPanelWidget::CPanelWidget(CTavView& root, QWidget* parent)
    : QWidget(parent), m_root(root), m_keyboard(root, *this) {
    const TavRect& rect = root.Rect();
    setFixedSize(std::max(rect.Width(), 1), std::max(rect.Height(), 1));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // A coarse timer may fire up to 5 % early or late; the repeats read on its events keep
    // their pace either way, but a precise tick keeps them even.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTimerMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_root.OnTimer(CTavTimerInfo{});
        m_keyboard.Sync();
    });
    m_timer.start();
    WatchWindow();
}

bool CPanelWidget::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked:
    case QEvent::UngrabMouse:
        EndLostInput();
        break;
    case QEvent::ParentChange:
        WatchWindow();
        break;
    case QEvent::Move:
        if (isWindow())
            WindowMoved(static_cast<const QMoveEvent&>(*event));
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// Qt also asks when the widget hides with the keyboard focus; only Tab keys move views.
bool CPanelWidget::focusNextPrevChild(bool next) {
    if (!isVisible())
        return QWidget::focusNextPrevChild(next);
    m_keyboard.Move(next);
    return true;
}

bool CPanelWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Move)
        WindowMoved(static_cast<const QMoveEvent&>(*event));
    return QWidget::eventFilter(watched, event);
}

void CPanelWidget::WatchWindow() {
    QWidget* top = window();
    if (top == m_window)
        return;
    if (m_window && m_window != this)
        m_window->removeEventFilter(this);
    m_window = top;
    if (top != this)
        top->installEventFilter(this);
}

// The focused view's tip bar would stay where the window was.
void CPanelWidget::WindowMoved(const QMoveEvent& event) {
    CTavViewManager* manager = m_root.ViewManager();
    if (!manager || !m_window || !m_window->isVisible() || event.pos() == event.oldPos())
        return;
    if (CTavView* focused = manager->FocusedView())
        focused->SetFocus(false);
    if (ITavTipBar* tipBar = manager->TipBar())
        tipBar->Show(false);
}

void CPanelWidget::EndLostDrag() {
    if (!m_root.IsCaptured())
        return;
    CTavMouseInfo info;
    info.kind = CTavMouseInfo::kReleased;
    info.point = m_lastPoint;
    info.forced = true;
    m_root.OnMouse(info);
    EndAction(m_mouseAction);
}

void CPanelWidget::EndLostInput() {
    EndLostDrag();
    EndAction(m_mouseAction);
    std::vector<CTavKeyInfo> held;
    held.swap(m_heldKeys);
    for (CTavKeyInfo info : held) {
        info.kind = CTavKeyInfo::kUp;
        info.forced = true;
        m_root.OnKey(info);
    }
    EndAction(m_keyAction);
}

void CPanelWidget::resizeEvent(QResizeEvent*) {
    m_backBuffer = QImage(size() * devicePixelRatioF(), QImage::Format_RGB32);
    m_backBuffer.setDevicePixelRatio(devicePixelRatioF());
    m_backBuffer.fill(palette().window().color());
}

// Panel coordinates are root client coordinates; the panel's own left and top map to the
// widget's origin.
void CPanelWidget::PaintBackBuffer(const QRegion& region) {
    if (m_backBuffer.size() != size() * devicePixelRatioF() ||
        m_backBuffer.devicePixelRatio() != devicePixelRatioF())
        resizeEvent(nullptr);
    PaintInto(m_backBuffer, region);
}

// Drawing stays in panel units; the target's device pixel ratio scales it, and bitmaps and
// text writers draw for that ratio.
void CPanelWidget::PaintInto(QImage& target, const QRegion& region) {
    QPainter painter(&target);
    painter.setClipRegion(region);
    // What the panel leaves undrawn must not keep an old focus frame.
    painter.fillRect(rect(), palette().window());
    painter.translate(-m_root.Rect().left, -m_root.Rect().top);
    CDrawInfo info(&painter);
    for (const QRect& r : region)
        info.updateRects.push_back({r.left() + m_root.Rect().left, r.top() + m_root.Rect().top,
                                    r.right() + 1 + m_root.Rect().left, r.bottom() + 1 + m_root.Rect().top});
    m_root.Draw(info);
    m_keyboard.Draw(painter);
}

void CPanelWidget::paintEvent(QPaintEvent* event) {
    PaintBackBuffer(event->region());
    QPainter screen(this);
    screen.setClipRegion(event->region());
    screen.drawImage(0, 0, m_backBuffer);
}

QImage CPanelWidget::Render(double ratio) {
    if (ratio <= 0 || ratio == devicePixelRatioF()) {
        PaintBackBuffer(QRegion(rect()));
        return m_backBuffer.copy();
    }
    // PaintInto fills what the panel leaves undrawn.
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    PaintInto(image, QRegion(rect()));
    return image;
}

void CPanelWidget::BeginAction(bool& open) {
    if (open)
        return;
    if (CTavBufferManager* buffers = m_root.ViewManager() ? m_root.ViewManager()->BufferManager() : nullptr)
        buffers->BeginAction();
    open = true;
}

void CPanelWidget::EndAction(bool& open) {
    if (!open)
        return;
    open = false;
    if (CTavBufferManager* buffers = m_root.ViewManager() ? m_root.ViewManager()->BufferManager() : nullptr)
        buffers->EndAction();
}

void CPanelWidget::Mouse(QMouseEvent* event) {
    CTavMouseInfo info;
    if (!TavMouseInfoFromQt(*event, info))
        return;
    info.point.x += m_root.Rect().left;
    info.point.y += m_root.Rect().top;
    m_lastPoint = info.point;
    if (info.kind == CTavMouseInfo::kPressed || info.kind == CTavMouseInfo::kDoubleClick)
        BeginAction(m_mouseAction);
    m_root.OnMouse(info);
    if (info.kind == CTavMouseInfo::kPressed || info.kind == CTavMouseInfo::kDoubleClick)
        m_keyboard.MouseUsed();
    if (info.kind == CTavMouseInfo::kReleased)
        EndAction(m_mouseAction);
}

// Whole notches only (120 units each); the view under the pointer steps its value.
void CPanelWidget::wheelEvent(QWheelEvent* event) {
    CTavWheelInfo info;
    info.notches = event->angleDelta().y() / 120;
    const QPoint at = event->position().toPoint();
    info.point = {at.x() + m_root.Rect().left, at.y() + m_root.Rect().top};
    info.modifiers = TavModifiersFromQt(event->modifiers());
    if (info.notches != 0 && m_root.OnWheel(info)) {
        event->accept();
        m_keyboard.MouseUsed();
    } else {
        event->ignore();
    }
}

void CPanelWidget::mousePressEvent(QMouseEvent* event) {
    Mouse(event);
}
void CPanelWidget::mouseReleaseEvent(QMouseEvent* event) {
    Mouse(event);
}
void CPanelWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Mouse(event);
}
void CPanelWidget::mouseMoveEvent(QMouseEvent* event) {
    // A key holds a button down: the mouse has nothing to drag.
    if (m_root.IsCaptured() && !m_mouseAction && !m_heldKeys.empty())
        return;
    // The left button is up although no release came (it went to a menu or another
    // window): the drag ends where the mouse was last seen, before the move is taken.
    if (!(event->buttons() & Qt::LeftButton))
        EndLostDrag();
    Mouse(event);
    // The view that owns the cursor keeps it while the mouse is over it.
    if (auto* cursor = dynamic_cast<CCursor*>(CTavCursor::Current()))
        cursor->ApplyTo(*this, {event->position().toPoint().x() + m_root.Rect().left,
                                event->position().toPoint().y() + m_root.Rect().top});
}

void CPanelWidget::keyPressEvent(QKeyEvent* event) {
    CTavKeyInfo info;
    if (TavKeyInfoFromQt(*event, info))
        Key(info);
}

void CPanelWidget::keyReleaseEvent(QKeyEvent* event) {
    CTavKeyInfo info;
    if (TavKeyInfoFromQt(*event, info))
        Key(info);
}

void CPanelWidget::Key(const CTavKeyInfo& info) {
    const auto held = std::find_if(m_heldKeys.begin(), m_heldKeys.end(),
                                   [&info](const CTavKeyInfo& key) { return key.code == info.code; });
    if (info.kind == CTavKeyInfo::kUp) {
        if (held != m_heldKeys.end())
            m_heldKeys.erase(held);
    } else if (held == m_heldKeys.end() && m_heldKeys.size() < kMaxHeldKeys) {
        m_heldKeys.push_back(info);
    }
    if (info.kind != CTavKeyInfo::kUp)
        BeginAction(m_keyAction);
    m_keyboard.BeforeKey(info);
    m_root.OnKey(info);
    m_keyboard.Sync();
    if (m_heldKeys.empty())
        EndAction(m_keyAction);
}
