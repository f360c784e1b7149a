#include "app/qt/CMainFrame.h"

#include <QApplication>

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QApplication::applicationDisplayName() + QStringLiteral(" - Untitled"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("mainView"));
    client->setMinimumSize(640, 400);
    setCentralWidget(client);
}

void CMainFrame::SetPanelWidget(QWidget* widget) {
    setCentralWidget(widget);
    widget->setFocus();
    adjustSize();
}

void CMainFrame::BringToFront() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void CMainFrame::OpenDroppedFile(const QString&) {}
