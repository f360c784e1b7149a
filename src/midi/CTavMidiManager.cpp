#include "midi/CTavMidiManager.h"

#include "app/CTavTextOut.h"
#include "midi/ITavMidiStruct.h"
#include "model/CTavBufferManager.h"

CTavMidiManager::CTavMidiManager() = default;

CTavMidiManager::~CTavMidiManager() = default;

bool CTavMidiManager::Create(CTavBufferManager& bufferManager) {
    m_bufferManager = &bufferManager;
    if (!CreateInputs() || !CreateOutputs())
        return false;
    for (auto& input : m_inputs) {
        if (!ResolveInput(*input)) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to create MIDI in %s.\n", input->Name().c_str());
            return false;
        }
    }
    for (auto& output : m_outputs) {
        if (!ResolveOutput(*output)) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to create MIDI out %s.\n", output->Name().c_str());
            return false;
        }
    }
    return true;
}

void CTavMidiManager::ReportLeftOver(const std::string& name, const TavItems& items) {
    if (!m_errorOutput)
        return;
    m_errorOutput->Printf("Midi %s unknown tags. : ", name.c_str());
    for (const auto& item : items)
        m_errorOutput->Printf("%s, ", item.first.c_str());
    m_errorOutput->Write("\n");
}

namespace {

// Names a definition in a message: by its "name" item, else by its type, else by its
// place among the elements of its kind ("MIDI in #2").
std::string ElementLabel(const CTavElementDefinition& definition, const char* kind, size_t index) {
    if (const std::string* name = definition.Find("name"); name && !name->empty())
        return *name;
    if (!definition.type.empty())
        return definition.type;
    return std::string(kind) + " #" + std::to_string(index + 1);
}

} // namespace

// Converts each definition into an endpoint; a conversion failure or an attribute
// nobody took stops the whole creation with its message.
template <class Endpoint>
bool CTavMidiManager::CreateEndpoints(const std::vector<CTavElementDefinition>& definitions, const char* kind,
                                      std::vector<std::unique_ptr<Endpoint>>& out) {
    for (size_t i = 0; i < definitions.size(); ++i) {
        const CTavElementDefinition& definition = definitions[i];
        auto endpoint = std::make_unique<Endpoint>();
        TavItems items = definition.items;
        if (!endpoint->Convert(items, m_errorOutput)) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert element definitions %s to %s.\n",
                                      ElementLabel(definition, kind, i).c_str(), kind);
            return false;
        }
        if (!items.empty()) {
            ReportLeftOver(endpoint->Name(), items);
            return false;
        }
        out.push_back(std::move(endpoint));
    }
    return true;
}

bool CTavMidiManager::CreateInputs() {
    if (!CreateEndpoints(m_midiInDefinitions, "MIDI in", m_inputs))
        return false;
    for (auto& input : m_inputs)
        input->SetBufferManager(m_bufferManager);
    return true;
}

bool CTavMidiManager::CreateOutputs() {
    if (!CreateEndpoints(m_midiOutDefinitions, "MIDI out", m_outputs))
        return false;
    for (auto& output : m_outputs)
        output->SetErrorOutput(m_errorOutput);
    return true;
}

bool CTavMidiManager::ResolveInput(CTavMidiIn& input) {
    for (const std::string& name : input.RootStructNames()) {
        ITavRootStruct* root = m_bufferManager->FindRootStruct(name);
        if (!root) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert root struct name %s to struct.\n", name.c_str());
            return false;
        }
        input.AddReceiver(root);
    }
    if (!input.MidiStructName().empty()) {
        auto* midiStruct =
            dynamic_cast<ITavMidiStruct*>(m_bufferManager->FindMidiStruct(input.MidiStructName()));
        if (!midiStruct) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert MIDI struct name %s to struct.\n",
                                      input.MidiStructName().c_str());
            return false;
        }
        input.SetMidiStructListener(midiStruct);
    }
    if (!input.ThruOutputName().empty()) {
        CTavMidiOut* thru = FindOutput(input.ThruOutputName());
        if (!thru) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert MIDI output name %s to MIDI output.\n",
                                      input.ThruOutputName().c_str());
            return false;
        }
        input.SetThruOutput(thru);
    }
    return true;
}

bool CTavMidiManager::ResolveOutput(CTavMidiOut& output) {
    for (const std::string& name : output.RootStructNames()) {
        ITavRootStruct* root = m_bufferManager->FindRootStruct(name);
        if (!root) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert root struct name %s to struct.\n", name.c_str());
            return false;
        }
        if (root->Output()) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to associate root struct %s to plural MIDI outputs.\n",
                                      name.c_str());
            return false;
        }
        root->SetOutput(&output);
    }
    if (!output.MidiStructName().empty()) {
        auto* midiStruct =
            dynamic_cast<ITavRootStruct*>(m_bufferManager->FindMidiStruct(output.MidiStructName()));
        if (!midiStruct) {
            if (m_errorOutput)
                m_errorOutput->Printf("Unable to convert MIDI struct name %s to struct.\n",
                                      output.MidiStructName().c_str());
            return false;
        }
        midiStruct->SetOutput(&output);
    }
    if (!output.MessageValuePath().empty() &&
        !m_bufferManager->RegisterMidiMessageValue(&output, output.MessageValuePath())) {
        if (m_errorOutput)
            m_errorOutput->Printf("Unable to create MIDI message value operator %s.\n",
                                  output.MessageValuePath().c_str());
        return false;
    }
    return true;
}

CTavMidiOut* CTavMidiManager::FindOutput(std::string_view name) const {
    for (const auto& output : m_outputs)
        if (output->Name() == name)
            return output.get();
    return nullptr;
}

void CTavMidiManager::SetDeviceId(uint8_t id) {
    for (auto& input : m_inputs)
        input->SetDeviceId(id);
    for (auto& output : m_outputs)
        output->SetDeviceId(id);
}

void CTavMidiManager::Destroy() {
    m_inputs.clear();
    m_outputs.clear();
    m_midiInDefinitions.clear();
    m_midiOutDefinitions.clear();
    m_bufferManager = nullptr;
}
