#pragma once
// Which port serves each of the script's MIDI inputs and outputs, and which device ID
// they use, as chosen in the MIDI setup and kept in the settings ("MIDIInConnection" and
// "MIDIOutConnection"). Ports are matched by their names only, without the numbers the
// sequencer gives them (TavMatchPortName); a port that is gone leaves its input or output
// unconnected without a word. The opened devices live here:
// one device per port, shared by every input or output set to it.

#include <memory>
#include <string>
#include <vector>

#include "midi/port/CMidiDevices.h"

class CMidiEventQueue;
class CMidiPorts;
class CTavMidiIn;
class CTavMidiManager;
class CTavMidiOut;
class CTavTextOut;
class ITavSettings;

class CMidiSetup {
public:
    static constexpr const char* kNone = "(none)";
    static constexpr const char* kInSection = "MIDIInConnection";
    static constexpr const char* kOutSection = "MIDIOutConnection";

    CMidiSetup(CTavMidiManager& manager, const CMidiPorts& ports, CMidiEventQueue& queue,
               ITavSettings& settings, CTavTextOut* messages, ITavClock& clock = TavSystemClock());
    ~CMidiSetup();

    // Detaches every output from its device and closes every opened device.
    void CloseAll();
    // Closes everything, then connects each script input and output as the settings say.
    void LoadAndConnect();
    // Writes every input's and output's row to the settings.
    void Save();
    // Closes everything, connects as the rows say (port names by row, "(none)" for
    // none; the device ID byte for all) and saves. A device ID outside 16–31, as an empty
    // selection gives, keeps each input's and output's current ID.
    void Apply(const std::vector<std::string>& inputPorts, const std::vector<std::string>& outputPorts,
               int deviceId);

    void ConnectInput(CTavMidiIn& input, const std::string& port, int deviceId);
    void ConnectOutput(CTavMidiOut& output, const std::string& port, int deviceId);
    // Takes the input off every port it listens to.
    void DisconnectInput(CTavMidiIn& input);

    CMidiInDevice* GetOrOpenInput(const std::string& name);
    CMidiOutDevice* GetOrOpenOutput(const std::string& name);

    // The port serving script input or output i, or "(none)".
    std::string InputPortName(size_t i) const;
    std::string OutputPortName(size_t i) const;
    // Both the first input and the first output have a port.
    bool IsConnected() const;
    // The script's inputs and outputs this setup connects.
    CTavMidiManager& Manager() const { return m_manager; }
    const std::vector<std::unique_ptr<CMidiInDevice>>& InputDevices() const { return m_inputDevices; }
    const std::vector<std::unique_ptr<CMidiOutDevice>>& OutputDevices() const { return m_outputDevices; }

private:
    CTavMidiManager& m_manager;
    const CMidiPorts& m_ports;
    CMidiEventQueue& m_queue;
    ITavSettings& m_settings;
    CTavTextOut* m_messages;
    ITavClock& m_clock;
    std::vector<std::unique_ptr<CMidiInDevice>> m_inputDevices;
    std::vector<std::unique_ptr<CMidiOutDevice>> m_outputDevices;
};
