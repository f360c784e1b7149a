#pragma once
// The MIDI manager: the script's MIDI inputs and outputs, bound to the root structs they
// send and receive.

#include <vector>

#include "script/CTavElementDefinition.h"

class CTavTextOut;
class CTavBufferManager;

class CTavMidiManager {
public:
    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavElementDefinition>& MidiInDefinitions() { return m_midiInDefinitions; }
    std::vector<CTavElementDefinition>& MidiOutDefinitions() { return m_midiOutDefinitions; }

    // Builds the inputs and outputs. Not built yet: the definitions are kept as read and
    // creation has nothing that can fail.
    bool Create(CTavBufferManager& bufferManager);
    void Destroy();

private:
    std::vector<CTavElementDefinition> m_midiInDefinitions;
    std::vector<CTavElementDefinition> m_midiOutDefinitions;
    CTavBufferManager* m_bufferManager = nullptr;
    CTavTextOut* m_errorOutput = nullptr;
};
