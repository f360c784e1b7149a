#pragma once
// The system's MIDI ports through RtMidi (the ALSA sequencer on Linux). Without a MIDI
// service the backend simply lists no ports.

#include "midi/port/CMidiPorts.h"

class CRtMidiBackend : public IMidiPortBackend {
public:
    std::vector<std::string> InputNames() override;
    std::vector<std::string> OutputNames() override;
    std::unique_ptr<IMidiInDriver> OpenInput(const std::string& name, CMidiIn& input,
                                             std::string& error) override;
    std::unique_ptr<IMidiOutDriver> OpenOutput(const std::string& name, std::string& error) override;

    // A port other programs can connect to, fed by the given input and sending what the
    // returned output is given. For running the virtual device on the sequencer.
    static std::unique_ptr<IMidiInDriver> OpenVirtualInput(const std::string& name, CMidiIn& input,
                                                           std::string& error);
    static std::unique_ptr<IMidiOutDriver> OpenVirtualOutput(const std::string& name, std::string& error);
};
