#pragma once
// The virtual device as a pair of ports named "Vireo Virtual Device". The host owns the
// device, takes what the editor's outputs send to it and delivers its replies to every
// input opened on it: at once, from the sending thread, when the device replies instantly;
// from a delivery thread at the time the last byte would arrive when it runs at cable
// speed. The device is built from the editor script the first time a port is opened, and
// its memory is loaded then and saved at shut-down. What loading the memory file has to
// say (a refused file, a damaged catalog) goes to the notice sink, standard error unless
// set; a refused file leaves the device at its defaults and is not written over.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/port/CMidiPorts.h"
#include "virtual/CVirtualDevice.h"

class CTavTextOut;

class CVirtualDeviceHost {
public:
    explicit CVirtualDeviceHost(ITavClock& clock = TavSystemClock());
    ~CVirtualDeviceHost();
    CVirtualDeviceHost(const CVirtualDeviceHost&) = delete;
    CVirtualDeviceHost& operator=(const CVirtualDeviceHost&) = delete;

    // The editor script the memory is laid out by, and the file the memory is kept in
    // (empty: not kept).
    void Configure(std::string scriptText, std::string memoryPath);
    // A folder of WAV and FLAC files that replace the device's user samples when it is
    // built (empty: none). Refused files are told to the notice sink.
    void SetSampleFolder(std::string folder);
    // Where the lines about the memory file go; called under the host's lock, from the
    // thread that opens the first port or sends the first message.
    using CNoticeSink = std::function<void(const std::string& line)>;
    void SetNoticeSink(CNoticeSink sink);
    // Builds the device now rather than at the first open. False with the reason.
    bool Create(std::string& error);
    // Saves the memory (when the device was built) and stops the delivery thread. False,
    // with the reason, when the memory could not be saved.
    bool Shutdown(std::string& error);

    // Runs f with the device while nothing else uses it (speed, faults, memory). Replies
    // f queues are delivered as the device's own: at once when it replies instantly, else
    // by the delivery thread when due.
    void WithDevice(const std::function<void(CVirtualDevice&)>& f);
    // The time the host gives what it hands the device.
    TavTime Now() const { return m_clock.Now(); }
    bool AtWireSpeed();

    // Port side.
    bool Connect(CMidiIn& input, std::string& error);
    void Disconnect(CMidiIn& input);
    bool Send(const uint8_t* bytes, size_t size, std::string& error);

private:
    bool CreateLocked(std::string& error);
    void DeliverDueLocked();
    void DeliveryLoop();

    ITavClock& m_clock;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_stopping = false;
    std::string m_scriptText;
    std::string m_memoryPath;
    std::string m_sampleFolder;
    bool m_memoryRefused = false;
    CNoticeSink m_notices;
    CVirtualDevice m_device;
    std::vector<CMidiIn*> m_inputs;
};

// Lists the virtual device's input and output port and opens them on the host.
class CVirtualDeviceBackend : public IMidiPortBackend {
public:
    explicit CVirtualDeviceBackend(CVirtualDeviceHost& host) : m_host(host) {}
    std::vector<std::string> InputNames() override { return {CVirtualDevice::kPortName}; }
    std::vector<std::string> OutputNames() override { return {CVirtualDevice::kPortName}; }
    std::unique_ptr<IMidiInDriver> OpenInput(const std::string& name, CMidiIn& input,
                                             std::string& error) override;
    std::unique_ptr<IMidiOutDriver> OpenOutput(const std::string& name, std::string& error) override;

private:
    CVirtualDeviceHost& m_host;
};
