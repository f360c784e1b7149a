#include "view/qt/CRootPanel.h"

#include "view/qt/CPanelWidget.h"
#include "view/qt/CSubFrame.h"

CRootPanel::~CRootPanel() {
    // A window closed a moment ago may still wait for its deferred deletion; its widget
    // must not outlive the panel it draws.
    delete m_closedFrame.data();
    if (m_subFrame) {
        m_windows.windows.Remove(m_subFrame);
        m_subFrame->m_closing = true;
        delete m_subFrame.data();
    }
}

QWidget* CRootPanel::Frame() const {
    if (m_subFrame)
        return m_subFrame;
    return m_widget ? m_widget->window() : nullptr;
}

void CRootPanel::OnTitleChanged(const std::string& title) {
    if (m_subFrame)
        m_subFrame->setWindowTitle(QString::fromStdString(title));
}

bool CRootPanel::OpenWindow() {
    if (Name() == "main") {
        auto* widget = new CPanelWidget(*this);
        m_widget = widget;
        if (m_windows.showInMainWindow)
            m_windows.showInMainWindow(widget);
        // The main window is listed too, so modal windows and dialogs disable it.
        m_mainWindow = widget->window();
        m_windows.windows.Add(m_mainWindow, IsModal());
        return true;
    }
    auto* frame = new CSubFrame(*this);
    m_subFrame = frame;
    m_widget = frame->Widget();
    frame->adjustSize();
    frame->move(WindowPosition().x, WindowPosition().y);
    frame->show();
    frame->raise();
    m_windows.windows.Add(frame, IsModal());
    return true;
}

void CRootPanel::CloseWindow() {
    QWidget* frame = Frame();
    if (frame) {
        const QPoint corner =
            frame->isMaximized() || frame->isMinimized() ? frame->normalGeometry().topLeft() : frame->pos();
        SetWindowPosition({corner.x(), corner.y()});
    }
    if (m_subFrame) {
        m_windows.windows.Remove(m_subFrame);
        m_subFrame->m_closing = true;
        // The close may come from the window's own close box, inside its event handler.
        m_subFrame->hide();
        m_subFrame->Widget()->StopTimer();
        m_subFrame->deleteLater();
        delete m_closedFrame.data();
        m_closedFrame = m_subFrame;
        m_subFrame = nullptr;
    } else {
        // The main window stays; only the panel's widget goes with the panel.
        m_windows.windows.Remove(m_mainWindow);
        m_mainWindow = nullptr;
        delete m_widget.data();
    }
    m_widget = nullptr;
}

QRect CRootPanel::ToWidget(const TavRect* rect) const {
    const TavRect& own = Rect();
    const TavRect r = rect ? *rect : own;
    return QRect(r.left - own.left, r.top - own.top, r.Width(), r.Height());
}

void CRootPanel::Invalidate(const TavRect* rect) {
    if (m_widget)
        m_widget->update(ToWidget(rect));
}

void CRootPanel::Update(const TavRect* rect) {
    if (m_widget)
        m_widget->repaint(ToWidget(rect));
}

TavPoint CRootPanel::ToScreen(TavPoint point) const {
    if (!m_widget)
        return point;
    const QPoint p = m_widget->mapToGlobal(QPoint(point.x - Rect().left, point.y - Rect().top));
    return {p.x(), p.y()};
}

TavPoint CRootPanel::ToClient(TavPoint point) const {
    if (!m_widget)
        return point;
    const QPoint p = m_widget->mapFromGlobal(QPoint(point.x, point.y));
    return {p.x() + Rect().left, p.y() + Rect().top};
}
