#include "view/qt/CKeyboardFocus.h"

#include <QPainter>
#include <QWidget>

#include "view/CTavPanel.h"
#include "view/CTavViewManager.h"
#include "view/TavFocusOrder.h"

CKeyboardFocus::CKeyboardFocus(CTavView& root, QWidget& widget)
    : m_root(root), m_panel(dynamic_cast<const CTavPanel*>(&root)), m_widget(widget) {}

bool CKeyboardFocus::Owns(const CTavView* view) const {
    return view && &TavRootOf(*view) == &m_root;
}

void CKeyboardFocus::Move(bool forward) {
    CTavViewManager* manager = m_root.ViewManager();
    if (!manager || !m_panel || m_root.IsCaptured())
        return;
    // From where the focus is when this window has it, else from the keyboard's place.
    CTavView* focused = manager->FocusedView();
    const CTavView* from = Owns(focused) && TavTakesFocus(*focused) ? focused : m_current;
    CTavView* next = TavNextFocus(*m_panel, from, forward);
    if (!next)
        return;
    m_current = next;
    m_shown = true;
    if (!next->HasFocus())
        next->SetFocus(true);
    Sync();
}

void CKeyboardFocus::BeforeKey(const CTavKeyInfo& info) {
    CTavViewManager* manager = m_root.ViewManager();
    if (info.kind != CTavKeyInfo::kDown || !m_shown || !manager || !m_current || !TavTakesFocus(*m_current))
        return;
    CTavView* focused = manager->FocusedView();
    if (focused == m_current)
        return;
    if (Owns(focused)) {
        // Something of this window took the focus meanwhile (a list asked for it).
        m_current = focused;
        Sync();
        return;
    }
    m_current->SetFocus(true);
}

void CKeyboardFocus::MouseUsed() {
    CTavViewManager* manager = m_root.ViewManager();
    CTavView* focused = manager ? manager->FocusedView() : nullptr;
    if (Owns(focused) && TavTakesFocus(*focused))
        m_current = focused;
    m_shown = false;
    Sync();
}

void CKeyboardFocus::Sync() {
    TavRect wanted;
    if (m_shown && m_current && m_current->IsOpen()) {
        const TavRect& rect = m_current->Rect();
        wanted = {rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
    }
    if (wanted == m_frame)
        return;
    Repaint(m_frame);
    m_frame = wanted;
    Repaint(m_frame);
}

void CKeyboardFocus::Repaint(const TavRect& rect) {
    if (rect.IsEmpty())
        return;
    const TavRect& root = m_root.Rect();
    m_widget.update(QRect(rect.left - root.left, rect.top - root.top, rect.Width(), rect.Height()));
}

void CKeyboardFocus::Draw(QPainter& painter) const {
    // A control that closed since the last Sync has no frame to show.
    if (m_frame.IsEmpty() || !m_current || !m_current->IsOpen())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kFrameColor, 0));
    painter.setBrush(Qt::NoBrush);
    // A cosmetic pen covers width + 1 pixels: the rectangle's last column and row are the
    // frame's right and bottom edges.
    painter.drawRect(QRect(m_frame.left, m_frame.top, m_frame.Width() - 1, m_frame.Height() - 1));
    painter.restore();
}
