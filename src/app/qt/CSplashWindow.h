#pragma once
// The window shown while the editor starts.

#include <QSplashScreen>

class CSplashWindow : public QSplashScreen {
public:
    CSplashWindow();
    // Repaints after a start-up step so the window stays drawn while the GUI thread works.
    void Refresh();
};
