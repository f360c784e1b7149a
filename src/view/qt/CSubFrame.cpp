#include "view/qt/CSubFrame.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "view/qt/CPanelWidget.h"
#include "view/qt/CRootPanel.h"

CSubFrame::CSubFrame(CRootPanel& panel, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint |
                          (panel.IsModal() ? Qt::WindowFlags() : Qt::WindowMinimizeButtonHint)),
      m_panel(panel), m_widget(new CPanelWidget(panel, this)) {
    setWindowTitle(QString::fromStdString(panel.Title()));
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_widget);
}

void CSubFrame::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    // The panel decides: its close value closes it through its condition.
    event->ignore();
    m_panel.RequestClose();
}

// A modal window is never minimised.
void CSubFrame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && m_panel.IsModal() && isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    QWidget::changeEvent(event);
}
