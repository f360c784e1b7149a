#pragma once
// The buffer manager: owns the parameter memory (the struct tree built from the script's
// struct types and root structs) and runs every write to it.

#include <vector>

#include "script/CTavElementDefinition.h"

class CTavTextOut;
class CTavResourceManager;
class CTavViewManager;

class CTavBufferManager {
public:
    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavTypeDefinition>& StructTypeDefinitions() { return m_structTypeDefinitions; }
    std::vector<CTavElementDefinition>& RootStructDefinitions() { return m_rootStructDefinitions; }
    std::vector<CTavElementDefinition>& MidiStructDefinitions() { return m_midiStructDefinitions; }

    // Builds the struct tree and the MIDI structs. Not built yet: the definitions are
    // kept as read and creation has nothing that can fail.
    bool Create(CTavViewManager& viewManager, CTavResourceManager& resourceManager);
    void Destroy();

private:
    std::vector<CTavTypeDefinition> m_structTypeDefinitions;
    std::vector<CTavElementDefinition> m_rootStructDefinitions;
    std::vector<CTavElementDefinition> m_midiStructDefinitions;
    CTavTextOut* m_errorOutput = nullptr;
};
