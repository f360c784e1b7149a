#pragma once
// What the benchmarks that run through the ports share: byte counters on either side of the
// cable and the virtual device's ports opened and wired to the system's first input, as the
// command-line tool wires them, with the device's memory kept nowhere.

#include <memory>

#include "app/CTavSystem.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CMidiPorts.h"
#include "midi/port/CVirtualDevicePort.h"
#include "BenchSupport.h"

namespace bench {

// Counts what the output sends before passing it on.
class CountingOut : public CTavMidiOutDevice {
public:
    explicit CountingOut(CTavMidiOutDevice& next) : m_next(next) {}
    void Send(const TavBytes& bytes) override {
        total += bytes.size();
        m_next.Send(bytes);
    }
    size_t total = 0;

private:
    CTavMidiOutDevice& m_next;
};

// Counts what the input port delivers.
class CountingIn : public ITavMidiInListener {
public:
    void Receive(const TavBytes& bytes) override { total += bytes.size(); }
    size_t total = 0;
};

// The virtual device's ports, open and listened to by the system's first input; the first
// output is left for the caller to wire. The ports close before the device goes.
struct VirtualPorts {
    CVirtualDeviceHost host;
    CMidiPorts ports;
    CMidiEventQueue queue;
    std::unique_ptr<CMidiInDevice> input;
    std::unique_ptr<CMidiOutDevice> output;

    bool Open(CTavSystem& system, CVirtualDevice::Speed speed) {
        CTavMidiIn* in = system.MidiManager().Input(0);
        if (!in || !system.MidiManager().Output(0))
            return false;
        host.Configure(ShippedScript(), "");
        ports.AddBackend(std::make_unique<CVirtualDeviceBackend>(host));
        input = std::make_unique<CMidiInDevice>(CVirtualDevice::kPortName, queue);
        output = std::make_unique<CMidiOutDevice>(CVirtualDevice::kPortName);
        if (!input->Open(ports, system.MessageBoxOutput()) || !output->Open(ports, system.MessageBoxOutput()))
            return false;
        host.WithDevice([&](CVirtualDevice& device) {
            device.SetDeviceId(in->DeviceId());
            device.SetSpeed(speed);
        });
        input->AddListener(in);
        return true;
    }
    ~VirtualPorts() {
        input.reset();
        output.reset();
    }
};

} // namespace bench
