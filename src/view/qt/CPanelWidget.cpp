#include "view/qt/CPanelWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "view/CTavView.h"
#include "view/qt/CCursor.h"
#include "view/qt/CDrawInfo.h"
#include "view/qt/TavQtEvents.h"

CPanelWidget::CPanelWidget(CTavView& root, QWidget* parent) : QWidget(parent), m_root(root) {
    const TavRect& rect = root.Rect();
    setFixedSize(std::max(rect.Width(), 1), std::max(rect.Height(), 1));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    m_timer.setInterval(kTimerMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_root.OnTimer(CTavTimerInfo{}); });
    m_timer.start();
}

void CPanelWidget::resizeEvent(QResizeEvent*) {
    m_backBuffer = QImage(size() * devicePixelRatioF(), QImage::Format_RGB32);
    m_backBuffer.setDevicePixelRatio(devicePixelRatioF());
    m_backBuffer.fill(palette().window().color());
}

// Panel coordinates are root client coordinates; the panel's own left and top map to the
// widget's origin.
void CPanelWidget::PaintBackBuffer(const QRegion& region) {
    if (m_backBuffer.size() != size() * devicePixelRatioF())
        resizeEvent(nullptr);
    QPainter painter(&m_backBuffer);
    painter.setClipRegion(region);
    painter.translate(-m_root.Rect().left, -m_root.Rect().top);
    CDrawInfo info(&painter);
    for (const QRect& r : region)
        info.updateRects.push_back({r.left() + m_root.Rect().left, r.top() + m_root.Rect().top,
                                    r.right() + 1 + m_root.Rect().left, r.bottom() + 1 + m_root.Rect().top});
    m_root.Draw(info);
}

void CPanelWidget::paintEvent(QPaintEvent* event) {
    PaintBackBuffer(event->region());
    QPainter screen(this);
    screen.setClipRegion(event->region());
    screen.drawImage(0, 0, m_backBuffer);
}

QImage CPanelWidget::Render() {
    PaintBackBuffer(QRegion(rect()));
    return m_backBuffer.copy();
}

void CPanelWidget::Mouse(QMouseEvent* event) {
    CTavMouseInfo info;
    if (!TavMouseInfoFromQt(*event, info))
        return;
    info.point.x += m_root.Rect().left;
    info.point.y += m_root.Rect().top;
    m_root.OnMouse(info);
}

// Whole notches only (120 units each); the view under the pointer steps its value.
void CPanelWidget::wheelEvent(QWheelEvent* event) {
    CTavWheelInfo info;
    info.notches = event->angleDelta().y() / 120;
    const QPoint at = event->position().toPoint();
    info.point = {at.x() + m_root.Rect().left, at.y() + m_root.Rect().top};
    info.modifiers = TavModifiersFromQt(event->modifiers());
    if (info.notches != 0 && m_root.OnWheel(info))
        event->accept();
    else
        event->ignore();
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
    Mouse(event);
    // The view that owns the cursor keeps it while the mouse is over it.
    if (auto* cursor = dynamic_cast<CCursor*>(CTavCursor::Current()))
        cursor->ApplyTo(*this, {event->position().toPoint().x() + m_root.Rect().left,
                                event->position().toPoint().y() + m_root.Rect().top});
}

void CPanelWidget::keyPressEvent(QKeyEvent* event) {
    CTavKeyInfo info;
    if (TavKeyInfoFromQt(*event, info))
        m_root.OnKey(info);
}

void CPanelWidget::keyReleaseEvent(QKeyEvent* event) {
    CTavKeyInfo info;
    if (TavKeyInfoFromQt(*event, info))
        m_root.OnKey(info);
}
