#pragma once
// The open panel windows as a stack of layers. A modal window disables every window of
// the layer below and starts a new layer; when it goes, the layer below is enabled again.

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

private:
    struct Entry {
        QPointer<QWidget> window;
        bool modal;
    };
    void EnableLayer(std::vector<Entry>& layer, bool enabled);

    std::vector<std::vector<Entry>> m_layers{1};
    bool m_applicationEnabled = true;
};
