#pragma once
// The window of a root panel other than "main": a fixed-size tool window whose client
// area is exactly the panel. Its close box asks the panel to close rather than closing
// the window, so the panel's own open condition decides.

#include <QWidget>

class CPanelWidget;
class CRootPanel;

class CSubFrame : public QWidget {
    Q_OBJECT
public:
    CSubFrame(CRootPanel& panel, QWidget* parent = nullptr);
    CPanelWidget* Widget() const { return m_widget; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CRootPanel& m_panel;
    CPanelWidget* m_widget;
    bool m_closing = false;
    friend class CRootPanel;
};
