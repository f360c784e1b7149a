#include "view/CTavViewManager.h"

bool CTavViewManager::Create(CTavBufferManager&, CTavResourceManager&) {
    return true;
}

bool CTavViewManager::OpenRootPanel(std::string_view name) {
    for (const auto& definition : m_rootPanelDefinitions) {
        const std::string* panelName = definition.Find("name");
        if (panelName && *panelName == name)
            return true;
    }
    return false;
}

void CTavViewManager::ValuesChanged(const std::vector<CTavBuffer*>&) {}

void CTavViewManager::Destroy() {
    m_panelTypeDefinitions.clear();
    m_rootPanelDefinitions.clear();
}
