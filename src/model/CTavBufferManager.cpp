#include "model/CTavBufferManager.h"

bool CTavBufferManager::Create(CTavViewManager&, CTavResourceManager&) {
    return true;
}

void CTavBufferManager::Destroy() {
    m_structTypeDefinitions.clear();
    m_rootStructDefinitions.clear();
    m_midiStructDefinitions.clear();
}
