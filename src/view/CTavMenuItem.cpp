#include "view/CTavMenuItem.h"

std::unique_ptr<CTavMenuItem> CTavMenuItem::Submenu(std::string text, bool enabled) {
    auto item = std::make_unique<CTavMenuItem>(std::move(text), enabled);
    item->m_submenu = true;
    return item;
}

CTavMenuItem& CTavMenuItem::Append(std::unique_ptr<CTavMenuItem> child, int32_t rank) {
    m_submenu = true;
    child->m_rank = rank;
    // Items mostly arrive in rank order, so the place is found from the back.
    auto place = m_children.end();
    while (place != m_children.begin() && (*(place - 1))->m_rank > rank)
        --place;
    return **m_children.insert(place, std::move(child));
}

int32_t CTavMenuItem::CountLeaves() const {
    int32_t count = 0;
    for (const auto& child : m_children)
        count += child->IsSubmenu() ? child->CountLeaves() : (child->IsSeparator() ? 0 : 1);
    return count;
}

std::vector<int32_t> CTavMenuItem::PathTo(int32_t leafIndex) const {
    std::vector<int32_t> path;
    if (leafIndex < 0 || !FindPath(leafIndex, path))
        path.clear();
    return path;
}

bool CTavMenuItem::FindPath(int32_t leafIndex, std::vector<int32_t>& path) const {
    for (size_t i = 0; i < m_children.size(); ++i) {
        const CTavMenuItem& child = *m_children[i];
        path.push_back(static_cast<int32_t>(i));
        if (child.IsSubmenu() ? child.FindPath(leafIndex, path) : child.m_leafIndex == leafIndex)
            return true;
        path.pop_back();
    }
    return false;
}
