#include "midi/CTavMidiManager.h"

bool CTavMidiManager::Create(CTavBufferManager& bufferManager) {
    m_bufferManager = &bufferManager;
    return true;
}

void CTavMidiManager::Destroy() {
    m_midiInDefinitions.clear();
    m_midiOutDefinitions.clear();
    m_bufferManager = nullptr;
}
