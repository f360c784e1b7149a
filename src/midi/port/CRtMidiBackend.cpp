#include "midi/port/CRtMidiBackend.h"

#include <rtmidi/RtMidi.h>
#include <unistd.h>

#include "midi/port/CMidiIn.h"

// RtMidi reports failures by throwing RtMidiError; they are caught right at each call and
// turned into error text.

namespace {

constexpr const char* kClientName = "Vireo Editor";

// Without the sequencer device there is no MIDI service; asking RtMidi anyway only fills
// the console with the sound library's complaints.
bool HasSequencer() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

template <class Port> std::vector<std::string> PortNames() {
    std::vector<std::string> names;
    if (!HasSequencer())
        return names;
    try {
        Port port(RtMidi::LINUX_ALSA, kClientName);
        const unsigned count = port.getPortCount();
        for (unsigned i = 0; i < count; ++i)
            names.push_back(port.getPortName(i));
    } catch (const RtMidiError&) {
        // No MIDI service on this machine: no ports.
        names.clear();
    }
    return names;
}

template <class Port> bool FindPort(Port& port, const std::string& name, unsigned& index) {
    const unsigned count = port.getPortCount();
    for (index = 0; index < count; ++index)
        if (port.getPortName(index) == name)
            return true;
    return false;
}

class CRtMidiInDriver : public IMidiInDriver {
public:
    CRtMidiInDriver(std::unique_ptr<RtMidiIn> port, CMidiIn& input)
        : m_port(std::move(port)), m_input(input) {}
    ~CRtMidiInDriver() override {
        std::string ignored;
        Stop(ignored);
        try {
            m_port->closePort();
        } catch (const RtMidiError&) {
            // Closing a port that is already gone has nothing left to undo.
        }
    }

    bool Start(std::string& error) override {
        try {
            m_port->ignoreTypes(false, false, false);
            m_port->setCallback(&Callback, this);
        } catch (const RtMidiError& e) {
            error = e.getMessage();
            return false;
        }
        m_started = true;
        return true;
    }

    bool Stop(std::string& error) override {
        if (!m_started)
            return true;
        m_started = false;
        try {
            m_port->cancelCallback();
        } catch (const RtMidiError& e) {
            error = e.getMessage();
            return false;
        }
        return true;
    }

private:
    // RtMidi's input thread: hand the bytes on; CMidiIn only copies them.
    static void Callback(double, std::vector<unsigned char>* message, void* user) {
        if (message && !message->empty())
            static_cast<CRtMidiInDriver*>(user)->m_input.DriverMessage(message->data(), message->size());
    }

    std::unique_ptr<RtMidiIn> m_port;
    CMidiIn& m_input;
    bool m_started = false;
};

class CRtMidiOutDriver : public IMidiOutDriver {
public:
    explicit CRtMidiOutDriver(std::unique_ptr<RtMidiOut> port) : m_port(std::move(port)) {}
    ~CRtMidiOutDriver() override {
        try {
            m_port->closePort();
        } catch (const RtMidiError&) {
            // As for inputs.
        }
    }

    bool SendShort(const uint8_t* bytes, size_t size, std::string& error) override {
        return Send(bytes, size, error);
    }
    // RtMidi copies the message before it returns, so the packet is free at once.
    bool SendLong(const uint8_t* bytes, size_t size, std::string& error) override {
        return Send(bytes, size, error);
    }
    bool LongDone() const override { return true; }
    void Reset() override {}

private:
    bool Send(const uint8_t* bytes, size_t size, std::string& error) {
        try {
            m_port->sendMessage(bytes, size);
        } catch (const RtMidiError& e) {
            error = e.getMessage();
            return false;
        }
        return true;
    }

    std::unique_ptr<RtMidiOut> m_port;
};

} // namespace

std::vector<std::string> CRtMidiBackend::InputNames() {
    return PortNames<RtMidiIn>();
}

std::vector<std::string> CRtMidiBackend::OutputNames() {
    return PortNames<RtMidiOut>();
}

std::unique_ptr<IMidiInDriver> CRtMidiBackend::OpenInput(const std::string& name, CMidiIn& input,
                                                         std::string& error) {
    try {
        auto port = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, kClientName, 1024);
        unsigned index;
        if (!FindPort(*port, name, index))
            return nullptr;
        port->openPort(index, kClientName);
        return std::make_unique<CRtMidiInDriver>(std::move(port), input);
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}

std::unique_ptr<IMidiOutDriver> CRtMidiBackend::OpenOutput(const std::string& name, std::string& error) {
    try {
        auto port = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, kClientName);
        unsigned index;
        if (!FindPort(*port, name, index))
            return nullptr;
        port->openPort(index, kClientName);
        return std::make_unique<CRtMidiOutDriver>(std::move(port));
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}

std::unique_ptr<IMidiInDriver> CRtMidiBackend::OpenVirtualInput(const std::string& name, CMidiIn& input,
                                                                std::string& error) {
    if (!HasSequencer()) {
        error = "This machine has no MIDI sequencer (/dev/snd/seq).";
        return nullptr;
    }
    try {
        auto port = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, name, 1024);
        port->openVirtualPort(name);
        return std::make_unique<CRtMidiInDriver>(std::move(port), input);
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}

std::unique_ptr<IMidiOutDriver> CRtMidiBackend::OpenVirtualOutput(const std::string& name,
                                                                  std::string& error) {
    if (!HasSequencer()) {
        error = "This machine has no MIDI sequencer (/dev/snd/seq).";
        return nullptr;
    }
    try {
        auto port = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, name);
        port->openVirtualPort(name);
        return std::make_unique<CRtMidiOutDriver>(std::move(port));
    } catch (const RtMidiError& e) {
        error = e.getMessage();
        return nullptr;
    }
}
