#pragma once
// The MIDI ports of the machine as the device layer sees them: every input and output
// port is known by its name, and each backend (the system's MIDI service, the virtual
// device) lists and opens its own. A driver is what an opened port is underneath.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMidiIn;

// An opened input port. Between Start and Stop it hands every complete message it
// receives to the input's DriverMessage, on a thread of its own.
class IMidiInDriver {
public:
    virtual ~IMidiInDriver() = default;
    virtual bool Start(std::string& error) = 0;
    virtual bool Stop(std::string& error) = 0;
};

// An opened output port.
class IMidiOutDriver {
public:
    virtual ~IMidiOutDriver() = default;
    virtual bool SendShort(const uint8_t* bytes, size_t size, std::string& error) = 0;
    // Hands an exclusive message to the port; LongDone tells when the port has let go of
    // the bytes.
    virtual bool SendLong(const uint8_t* bytes, size_t size, std::string& error) = 0;
    virtual bool LongDone() const = 0;
    // Whether exclusive messages must be held back to cable speed: a port that is a
    // cable is; a stand-in that takes bytes instantly need not be.
    virtual bool Paced() const { return true; }
    // Abandons whatever is being sent.
    virtual void Reset() = 0;
};

class IMidiPortBackend {
public:
    virtual ~IMidiPortBackend() = default;
    virtual std::vector<std::string> InputNames() = 0;
    virtual std::vector<std::string> OutputNames() = 0;
    // Opens the named port. No port of that name: none and an empty error. A port that
    // exists but fails to open: none and the service's error text.
    virtual std::unique_ptr<IMidiInDriver> OpenInput(const std::string& name, CMidiIn& input,
                                                     std::string& error) = 0;
    virtual std::unique_ptr<IMidiOutDriver> OpenOutput(const std::string& name, std::string& error) = 0;
};

class CMidiPorts {
public:
    void AddBackend(std::unique_ptr<IMidiPortBackend> backend) { m_backends.push_back(std::move(backend)); }

    // Every backend's ports in backend order.
    std::vector<std::string> InputNames() const;
    std::vector<std::string> OutputNames() const;

    std::unique_ptr<IMidiInDriver> OpenInput(const std::string& name, CMidiIn& input,
                                             std::string& error) const;
    std::unique_ptr<IMidiOutDriver> OpenOutput(const std::string& name, std::string& error) const;

    // The present port a saved name stands for (TavMatchPortName), or empty.
    std::string FindInput(const std::string& saved) const;
    std::string FindOutput(const std::string& saved) const;

private:
    std::vector<std::unique_ptr<IMidiPortBackend>> m_backends;
};

// A port's name without the client and port numbers the ALSA sequencer adds at its end
// ("Keys:Keys MIDI 1 20:0" gives "Keys:Keys MIDI 1"); a name without them stays as it is.
std::string TavPortNameWithoutNumbers(const std::string& name);
// Which of the present ports a saved name stands for. A device plugged in again may get
// other numbers, so names are compared without them; the port of exactly the saved name
// wins, else the first that fits. Empty when none fits.
std::string TavMatchPortName(const std::string& saved, const std::vector<std::string>& present);
