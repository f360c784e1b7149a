#pragma once
// The main window: the frame that shows the root panel "main", with the menu bar, the
// tool bar and the status bar. Commands go out through commandTriggered; the
// application object decides what they do.

#include <QMainWindow>
#include <QMap>
#include <functional>

class ITavSettings;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // Shows the main panel's widget as the client area, sized to it.
    void SetPanelWidget(QWidget* widget);

    // Takes the tool bar pictures the desktop's icon theme lacks from the artwork in the
    // folder (the script folder, with its final '/').
    void UseArtwork(const QString& folder);

    // Restores the window when minimised and brings it to the front.
    void BringToFront();

    // Sets the title only when it changed (called at every idle pass).
    void RefreshTitle(const QString& title);

    // The action of a command id, or none.
    QAction* Action(int id) const { return m_actions.value(id); }
    // Enables the device commands as isEnabled answers (none: all disabled), and names
    // Undo and Redo as undoNames answers.
    void UpdateCommandStates();
    // Names the steps Undo and Redo would take ("Undo Part 3 Level"); an empty name
    // disables the command.
    void RefreshUndo(const QString& undoName, const QString& redoName);
    // The File menu's Recent Files: one item per text, the path as its status tip; an
    // empty list disables the submenu.
    void SetRecentFiles(const QStringList& texts, const QStringList& paths);
    QMenu* RecentFilesMenu() const { return m_recentMenu; }

    // The tool bar and status bar layout, kept in the settings section "ControlBar".
    void LoadBarState(ITavSettings& settings);
    void SaveBarState(ITavSettings& settings) const;

    // Asked before the window closes; false keeps it open.
    std::function<bool()> canClose;
    // Whether a device command is available now.
    std::function<bool(int id)> commandEnabled;
    // The names of the steps Undo and Redo would take now (see RefreshUndo).
    std::function<std::pair<QString, QString>()> undoNames;

signals:
    void commandTriggered(int id);
    // The index-th of the recent files was chosen.
    void recentFileChosen(int index);
    // Local files dropped on the window, in the order given.
    void filesDropped(const QStringList& paths);
    // The window accepted its close; the application ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* CreateAction(int id, const QString& text);

    QMap<int, QAction*> m_actions;
    QList<QAction*> m_deviceActions;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QLabel* m_ready = nullptr;
};
