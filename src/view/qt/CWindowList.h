#pragma once
// The open windows as a stack of layers: the main window, the panel windows, and the
// message boxes and dialogs while they run. A modal window disables every window of the
// layer below and starts a new layer; when it goes, the layer below is enabled again.

#include <QPointer>
#include <QWidget>
#include <vector>

class CWindowList {
public:
    void Add(QWidget* window, bool modal);
    void Remove(QWidget* window);
    // Disabling the application disables every listed window until it is enabled again.
    void SetApplicationEnabled(bool enabled);
    size_t LayerCount() const { return m_layers.size(); }
    // Whether a modal window is open.
    bool HasModal() const { return m_layers.size() > 1; }
    // The window that owns message boxes and dialogs: the modal window on top, else the
    // first window listed (the main window). None when the list is empty.
    QWidget* TopWindow() const;

    // Lists a modal window (a message box or dialog) for as long as the scope lasts.
    // Without a list it does nothing.
    class CModal {
    public:
        CModal(CWindowList* list, QWidget* window);
        ~CModal();
        CModal(const CModal&) = delete;
        CModal& operator=(const CModal&) = delete;

    private:
        CWindowList* m_list;
        QWidget* m_window;
    };

private:
    struct Entry {
        QWidget* key; // finds the entry even after the window was deleted
        QPointer<QWidget> window;
        bool modal;
    };
    void EnableLayer(std::vector<Entry>& layer, bool enabled);

    std::vector<std::vector<Entry>> m_layers{1};
    bool m_applicationEnabled = true;
};
