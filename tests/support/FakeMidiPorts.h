#pragma once
// A port backend for the port tests. Its inputs are fed by the test, which calls
// DriverMessage as a driver thread would; its outputs record what they are sent and can be
// kept busy.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CMidiIn.h"
#include "midi/port/CMidiPorts.h"

namespace test {

struct FakePorts {
    struct Output {
        std::vector<TavBytes> sent;    // short and exclusive messages in order
        const uint8_t* held = nullptr; // the bytes of the last exclusive message as handed over
        bool done = true;              // what LongDone answers
        bool doneAfterReset = false;   // a reset lets go of the bytes
        bool paced = true;
        int resets = 0;
    };

    std::vector<std::string> names;         // listed as input and output ports
    std::map<std::string, CMidiIn*> inputs; // the input last opened on each port, to feed
    std::map<std::string, Output> outputs;  // by port name, kept after closing
};

class FakeInDriver : public IMidiInDriver {
public:
    bool Start(std::string&) override { return true; }
    bool Stop(std::string&) override { return true; }
};

class FakeOutDriver : public IMidiOutDriver {
public:
    explicit FakeOutDriver(FakePorts::Output& port) : m_port(port) {}
    bool SendShort(const uint8_t* bytes, size_t size, std::string&) override {
        m_port.sent.emplace_back(bytes, bytes + size);
        return true;
    }
    bool SendLong(const uint8_t* bytes, size_t size, std::string&) override {
        m_port.sent.emplace_back(bytes, bytes + size);
        m_port.held = bytes;
        return true;
    }
    bool LongDone() const override { return m_port.done; }
    bool Paced() const override { return m_port.paced; }
    void Reset() override {
        ++m_port.resets;
        if (m_port.doneAfterReset)
            m_port.done = true;
    }

private:
    FakePorts::Output& m_port;
};

class FakePortBackend : public IMidiPortBackend {
public:
    explicit FakePortBackend(FakePorts& ports) : m_ports(ports) {}
    std::vector<std::string> InputNames() override { return m_ports.names; }
    std::vector<std::string> OutputNames() override { return m_ports.names; }
    std::unique_ptr<IMidiInDriver> OpenInput(const std::string& name, CMidiIn& input, std::string&) override {
        m_ports.inputs[name] = &input;
        return std::make_unique<FakeInDriver>();
    }
    std::unique_ptr<IMidiOutDriver> OpenOutput(const std::string& name, std::string&) override {
        return std::make_unique<FakeOutDriver>(m_ports.outputs[name]);
    }

private:
    FakePorts& m_ports;
};

// Dispatches on the calling thread until done() holds; false when five seconds pass first.
template <class Done> bool DispatchUntil(CMidiEventQueue& queue, Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        queue.WaitFor(std::chrono::milliseconds(20));
        queue.Dispatch();
    }
    return true;
}

} // namespace test
