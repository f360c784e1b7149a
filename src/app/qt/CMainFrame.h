#pragma once
// The main window: the frame that shows the root panel "main".

#include <QMainWindow>

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // Shows the main panel's widget as the client area, sized to it.
    void SetPanelWidget(QWidget* widget);

    // Restores the window when minimised and brings it to the front.
    void BringToFront();
    // Opens a file dropped on the window or handed over by a second copy. Opening data
    // files is not available yet, so nothing is opened.
    void OpenDroppedFile(const QString& path);
};
