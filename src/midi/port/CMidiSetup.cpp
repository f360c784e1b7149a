#include "midi/port/CMidiSetup.h"

#include <algorithm>

#include "app/ITavSettings.h"
#include "midi/CTavMidiManager.h"

namespace {

std::string Key(const char* base, size_t i) {
    return base + std::to_string(i);
}

bool IsDeviceId(int id) {
    return id >= 0x10 && id <= 0x1F;
}

} // namespace

CMidiSetup::CMidiSetup(CTavMidiManager& manager, const CMidiPorts& ports, CMidiEventQueue& queue,
                       ITavSettings& settings, CTavTextOut* messages, ITavClock& clock)
    : m_manager(manager), m_ports(ports), m_queue(queue), m_settings(settings), m_messages(messages),
      m_clock(clock) {}

CMidiSetup::~CMidiSetup() {
    CloseAll();
}

void CMidiSetup::CloseAll() {
    for (const auto& output : m_manager.Outputs())
        output->SetDevice(nullptr);
    m_inputDevices.clear();
    m_outputDevices.clear();
}

CMidiInDevice* CMidiSetup::GetOrOpenInput(const std::string& name) {
    for (const auto& device : m_inputDevices)
        if (device->Name() == name)
            return device.get();
    auto device = std::make_unique<CMidiInDevice>(name, m_queue);
    if (!device->Open(m_ports, m_messages))
        return nullptr;
    m_inputDevices.push_back(std::move(device));
    return m_inputDevices.back().get();
}

CMidiOutDevice* CMidiSetup::GetOrOpenOutput(const std::string& name) {
    for (const auto& device : m_outputDevices)
        if (device->Name() == name)
            return device.get();
    auto device = std::make_unique<CMidiOutDevice>(name, m_clock);
    if (!device->Open(m_ports, m_messages))
        return nullptr;
    m_outputDevices.push_back(std::move(device));
    return m_outputDevices.back().get();
}

void CMidiSetup::ConnectInput(CTavMidiIn& input, const std::string& port, int deviceId) {
    if (IsDeviceId(deviceId))
        input.SetDeviceId(static_cast<uint8_t>(deviceId));
    if (port == kNone)
        return;
    const std::string present = m_ports.FindInput(port);
    CMidiInDevice* device = present.empty() ? nullptr : GetOrOpenInput(present);
    if (!device)
        return;
    const auto& listeners = device->Listeners();
    if (std::find(listeners.begin(), listeners.end(), &input) == listeners.end())
        device->AddListener(&input);
}

void CMidiSetup::ConnectOutput(CTavMidiOut& output, const std::string& port, int deviceId) {
    if (IsDeviceId(deviceId))
        output.SetDeviceId(static_cast<uint8_t>(deviceId));
    if (port == kNone)
        return;
    const std::string present = m_ports.FindOutput(port);
    if (CMidiOutDevice* device = present.empty() ? nullptr : GetOrOpenOutput(present))
        output.SetDevice(device);
}

void CMidiSetup::DisconnectInput(CTavMidiIn& input) {
    for (const auto& device : m_inputDevices)
        device->RemoveListener(&input);
}

void CMidiSetup::LoadAndConnect() {
    CloseAll();
    const auto& inputs = m_manager.Inputs();
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::string name = m_settings.GetString(kInSection, Key("MIDIIn", i), inputs[i]->Name());
        const std::string port = m_settings.GetString(kInSection, Key("MIDIInDevice", i), kNone);
        const int id = m_settings.GetInt(kInSection, Key("MIDIInDeviceId", i), inputs[i]->DeviceId());
        for (const auto& input : inputs)
            if (input->Name() == name) {
                ConnectInput(*input, port, id);
                break;
            }
    }
    const auto& outputs = m_manager.Outputs();
    for (size_t i = 0; i < outputs.size(); ++i) {
        const std::string name = m_settings.GetString(kOutSection, Key("MIDIOut", i), outputs[i]->Name());
        const std::string port = m_settings.GetString(kOutSection, Key("MIDIOutDevice", i), kNone);
        const int id = m_settings.GetInt(kOutSection, Key("MIDIOutDeviceId", i), outputs[i]->DeviceId());
        if (CTavMidiOut* output = m_manager.FindOutput(name))
            ConnectOutput(*output, port, id);
    }
}

void CMidiSetup::Apply(const std::vector<std::string>& inputPorts,
                       const std::vector<std::string>& outputPorts, int deviceId) {
    CloseAll();
    const auto& inputs = m_manager.Inputs();
    for (size_t i = 0; i < inputs.size() && i < inputPorts.size(); ++i)
        ConnectInput(*inputs[i], inputPorts[i], deviceId);
    const auto& outputs = m_manager.Outputs();
    for (size_t i = 0; i < outputs.size() && i < outputPorts.size(); ++i)
        ConnectOutput(*outputs[i], outputPorts[i], deviceId);
    Save();
}

void CMidiSetup::Save() {
    const auto& inputs = m_manager.Inputs();
    for (size_t i = 0; i < inputs.size(); ++i) {
        m_settings.SetString(kInSection, Key("MIDIIn", i), inputs[i]->Name());
        m_settings.SetString(kInSection, Key("MIDIInDevice", i), InputPortName(i));
        m_settings.SetInt(kInSection, Key("MIDIInDeviceId", i), inputs[i]->DeviceId());
    }
    const auto& outputs = m_manager.Outputs();
    for (size_t i = 0; i < outputs.size(); ++i) {
        m_settings.SetString(kOutSection, Key("MIDIOut", i), outputs[i]->Name());
        m_settings.SetString(kOutSection, Key("MIDIOutDevice", i), OutputPortName(i));
        m_settings.SetInt(kOutSection, Key("MIDIOutDeviceId", i), outputs[i]->DeviceId());
    }
}

std::string CMidiSetup::InputPortName(size_t i) const {
    const CTavMidiIn* input = m_manager.Input(i);
    if (!input)
        return kNone;
    for (const auto& device : m_inputDevices) {
        const auto& listeners = device->Listeners();
        if (std::find(listeners.begin(), listeners.end(), input) != listeners.end())
            return device->Name();
    }
    return kNone;
}

std::string CMidiSetup::OutputPortName(size_t i) const {
    const CTavMidiOut* output = m_manager.Output(i);
    if (!output)
        return kNone;
    for (const auto& device : m_outputDevices)
        if (output->Device() == device.get())
            return device->Name();
    return kNone;
}

bool CMidiSetup::IsConnected() const {
    return InputPortName(0) != kNone && OutputPortName(0) != kNone;
}
