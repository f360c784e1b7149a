#include "script/CTavResourceManager.h"

bool CTavResourceManager::Create() {
    return true;
}

void CTavResourceManager::Destroy() {
    m_bitmapDefinitions.clear();
    m_textWriterDefinitions.clear();
    m_stringTableDefinitions.clear();
    m_numberTableDefinitions.clear();
}
