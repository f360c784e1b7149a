#pragma once
// The MIDI manager: the script's MIDI inputs and outputs, bound to the root structs they
// send and receive and to the MIDI struct. Inputs and outputs are addressed by their
// position (the rows of the MIDI setup) and outputs also by name. GUI thread only.

#include <memory>
#include <string_view>
#include <vector>

#include "midi/CTavMidi.h"
#include "script/CTavElementDefinition.h"

class CTavTextOut;
class CTavBufferManager;

class CTavMidiManager {
public:
    CTavMidiManager();
    ~CTavMidiManager();

    void SetErrorOutput(CTavTextOut* output) { m_errorOutput = output; }
    CTavTextOut* ErrorOutput() const { return m_errorOutput; }

    std::vector<CTavElementDefinition>& MidiInDefinitions() { return m_midiInDefinitions; }
    std::vector<CTavElementDefinition>& MidiOutDefinitions() { return m_midiOutDefinitions; }

    // Builds the inputs and outputs from their definitions and binds them: each root
    // struct to at most one output, each input to its receiving root structs, MIDI struct
    // and thru output. False after the first failure, with its lines on the error output.
    bool Create(CTavBufferManager& bufferManager);
    void Destroy();

    const std::vector<std::unique_ptr<CTavMidiIn>>& Inputs() const { return m_inputs; }
    const std::vector<std::unique_ptr<CTavMidiOut>>& Outputs() const { return m_outputs; }
    CTavMidiIn* Input(size_t index) const {
        return index < m_inputs.size() ? m_inputs[index].get() : nullptr;
    }
    CTavMidiOut* Output(size_t index) const {
        return index < m_outputs.size() ? m_outputs[index].get() : nullptr;
    }
    CTavMidiOut* FindOutput(std::string_view name) const;
    // Sets the device ID every input and output frames and accepts.
    void SetDeviceId(uint8_t id);

private:
    bool CreateInputs();
    bool CreateOutputs();
    template <class Endpoint>
    bool CreateEndpoints(const std::vector<CTavElementDefinition>& definitions, const char* kind,
                         std::vector<std::unique_ptr<Endpoint>>& out);
    bool ResolveInput(CTavMidiIn& input);
    bool ResolveOutput(CTavMidiOut& output);
    void ReportLeftOver(const std::string& name, const TavItems& items);

    std::vector<CTavElementDefinition> m_midiInDefinitions;
    std::vector<CTavElementDefinition> m_midiOutDefinitions;
    std::vector<std::unique_ptr<CTavMidiIn>> m_inputs;
    std::vector<std::unique_ptr<CTavMidiOut>> m_outputs;
    CTavBufferManager* m_bufferManager = nullptr;
    CTavTextOut* m_errorOutput = nullptr;
};
