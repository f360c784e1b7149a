#include "view/qt/CWindowList.h"

#include <algorithm>

void CWindowList::EnableLayer(std::vector<Entry>& layer, bool enabled) {
    for (Entry& entry : layer)
        if (entry.window)
            entry.window->setEnabled(enabled);
}

void CWindowList::Add(QWidget* window, bool modal) {
    if (!window)
        return;
    if (modal) {
        EnableLayer(m_layers.back(), false);
        m_layers.emplace_back();
    }
    m_layers.back().push_back({window, window, modal});
    if (!m_applicationEnabled)
        window->setEnabled(false);
    else if (modal)
        // A dialog owned by a window of the layer below went disabled with its owner.
        window->setEnabled(true);
}

void CWindowList::Remove(QWidget* window) {
    if (!window)
        return;
    for (size_t i = m_layers.size(); i-- > 0;) {
        auto& layer = m_layers[i];
        auto it =
            std::find_if(layer.begin(), layer.end(), [window](const Entry& e) { return e.key == window; });
        if (it == layer.end())
            continue;
        const bool modal = it->modal;
        layer.erase(it);
        // A modal window owns its layer; whatever else is left in it moves down with the
        // layer's end so no window is lost.
        if (modal && i > 0) {
            std::vector<Entry> rest = std::move(layer);
            m_layers.erase(m_layers.begin() + static_cast<std::ptrdiff_t>(i));
            auto& below = m_layers[i - 1];
            below.insert(below.end(), rest.begin(), rest.end());
            if (m_applicationEnabled && i - 1 == m_layers.size() - 1)
                EnableLayer(below, true);
        }
        return;
    }
}

void CWindowList::SetApplicationEnabled(bool enabled) {
    m_applicationEnabled = enabled;
    if (!enabled) {
        for (auto& layer : m_layers)
            EnableLayer(layer, false);
    } else {
        EnableLayer(m_layers.back(), true);
    }
}

QWidget* CWindowList::TopWindow() const {
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer)
        for (const Entry& entry : *layer)
            if (entry.window)
                return entry.window;
    return nullptr;
}

CWindowList::CModal::CModal(CWindowList* list, QWidget* window) : m_list(list), m_window(window) {
    if (m_list)
        m_list->Add(window, true);
}

CWindowList::CModal::~CModal() {
    if (m_list)
        m_list->Remove(m_window);
}
