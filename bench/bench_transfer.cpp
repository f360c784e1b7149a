// Reading the device's memory and sending an edit: the editor's own cost per block, the
// cost through the port layer and its threads, how close a read at cable speed comes to
// the cable's own time, and how long an edit takes to reach the port.

#include <benchmark/benchmark.h>

#include "BenchPorts.h"
#include "BenchSupport.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "device/CTavBufferAccessor.h"
#include "device/port/CQueuedDeviceReader.h"
#include "midi/CTavMidiManager.h"
#include "midi/CTavMidiReader.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CQueuedReader.h"
#include "midi/port/CVirtualDevicePort.h"
#include "model/CTavBufferManager.h"
#include "virtual/CVirtualDevice.h"

namespace {

using bench::BuildShipped;

// The leaves of "qv" in tree order: one data request each, as a full read makes them.
std::vector<TavRange> ReadBlocks(CTavSystem& system) {
    std::vector<TavRange> blocks;
    if (CTavRootStruct* root = system.BufferManager().FindRoot(std::string(CTavSystem::kRootName)))
        root->ForEachLeaf([&](CTavLeafStruct& leaf) { blocks.push_back(leaf.AbsoluteRange()); });
    return blocks;
}

bool FullRead(CTavMidiReader& reader, const std::vector<TavRange>& blocks) {
    for (const TavRange& block : blocks)
        if (!reader.RequestData(static_cast<uint32_t>(block.begin), block.Length()))
            return false;
    return true;
}

// Time per block, from the blocks read in every iteration.
benchmark::Counter PerBlock(size_t blocks) {
    return benchmark::Counter(static_cast<double>(blocks),
                              benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---- Synchronous loopback -------------------------------------------------------------

// Hands what the output sends straight to the device.
class DeviceLink : public CTavMidiOutDevice {
public:
    explicit DeviceLink(CVirtualDevice& device) : m_device(device) {}
    void Send(const TavBytes& bytes) override { m_device.Receive(bytes, TavSystemClock().Now()); }

private:
    CVirtualDevice& m_device;
};

// Takes the device's replies as they fall due and hands them to the input, on the
// calling thread.
class LoopbackReader : public CTavMidiReader {
public:
    LoopbackReader(CVirtualDevice& device, CTavMidiIn& input, CTavTextOut* report)
        : CTavMidiReader(report), m_device(device), m_input(input) {}

protected:
    void Pump() override {
        while (m_device.TakeDue(TavSystemClock().Now(), m_reply))
            m_input.Receive(m_reply);
    }

private:
    CVirtualDevice& m_device;
    CTavMidiIn& m_input;
    TavBytes m_reply;
};

struct Loopback {
    CTavSystem system;
    CVirtualDevice device;
    std::unique_ptr<DeviceLink> link;
    std::unique_ptr<LoopbackReader> reader;
    CTavMidiWriter writer;

    bool Open() {
        CTavMidiIn* input = system.MidiManager().Input(0);
        CTavMidiOut* output = system.MidiManager().Output(0);
        CTavTextOutStringStream errors;
        if (!input || !output || !device.Create(bench::ShippedScript(), &errors))
            return false;
        device.SetDeviceId(input->DeviceId());
        link = std::make_unique<DeviceLink>(device);
        output->SetDevice(link.get());
        reader = std::make_unique<LoopbackReader>(device, *input, system.BufferOutput());
        return TavInstallTransfer(system.MidiManager(), *reader, writer);
    }
};

// What the device does for a full read on its own (parse the request, read its memory,
// build the reply): the share of FullReadInstantPerBlock_Loopback that is not the editor's.
void DeviceAnswersPerBlock(benchmark::State& state) {
    CTavSystem system;
    CVirtualDevice device;
    CTavTextOutStringStream errors;
    if (!BuildShipped(system) || !device.Create(bench::ShippedScript(), &errors) ||
        !system.MidiManager().Output(0)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    const CTavMidiOut& output = *system.MidiManager().Output(0);
    device.SetDeviceId(output.DeviceId());
    std::vector<TavBytes> requests;
    for (const TavRange& block : ReadBlocks(system))
        requests.push_back(CTavHaldenMessage::DataRequest(output.ManufacturerId(), output.DeviceId(),
                                                          output.ModelId(), output.AddressSize(),
                                                          static_cast<uint32_t>(block.begin),
                                                          static_cast<uint32_t>(block.Length()))
                               .Bytes());
    TavBytes reply;
    for (auto _ : state)
        for (const TavBytes& request : requests) {
            const TavTime now = TavSystemClock().Now();
            device.Receive(request, now);
            if (!device.TakeDue(now, reply)) {
                state.SkipWithError("the device did not answer");
                return;
            }
        }
    state.counters["blocks"] = static_cast<double>(requests.size());
    state.counters["perBlock"] = PerBlock(requests.size());
}
BENCHMARK(DeviceAnswersPerBlock)->UseRealTime();

// Every request built, sent, answered, matched, stored and published on one thread.
void FullReadInstantPerBlock_Loopback(benchmark::State& state) {
    Loopback rig;
    if (!BuildShipped(rig.system) || !rig.Open()) {
        state.SkipWithError("the shipped script or the virtual device does not build");
        return;
    }
    const std::vector<TavRange> blocks = ReadBlocks(rig.system);
    for (auto _ : state)
        if (!FullRead(*rig.reader, blocks)) {
            state.SkipWithError("a request got no reply");
            return;
        }
    state.counters["blocks"] = static_cast<double>(blocks.size());
    state.counters["perBlock"] = PerBlock(blocks.size());
}
BENCHMARK(FullReadInstantPerBlock_Loopback)->UseRealTime()->Unit(benchmark::kMillisecond);

// ---- Through the ports -------------------------------------------------------------


// A read session as the command-line tool wires it: the virtual device's ports, the
// event queue and a queued reader, with the device's memory kept nowhere.
struct PortSession : bench::VirtualPorts {
    CTavSystem system;
    std::unique_ptr<CQueuedReader> reader;
    CTavMidiWriter writer;

    bool Open(CVirtualDevice::Speed speed) {
        if (!BuildShipped(system) || !VirtualPorts::Open(system, speed))
            return false;
        system.MidiManager().Output(0)->SetDevice(output.get());
        reader = std::make_unique<CQueuedReader>(queue, system.BufferOutput());
        return TavInstallTransfer(system.MidiManager(), *reader, writer);
    }
    // The ports close before the system goes.
    ~PortSession() {
        input.reset();
        output.reset();
    }
};

// The same read with the reply crossing the input thread and the event queue.
void FullReadInstantPerBlock_Ports(benchmark::State& state) {
    PortSession session;
    if (!session.Open(CVirtualDevice::Speed::Instant)) {
        state.SkipWithError("the virtual device's ports do not open");
        return;
    }
    const std::vector<TavRange> blocks = ReadBlocks(session.system);
    for (auto _ : state)
        if (!FullRead(*session.reader, blocks)) {
            state.SkipWithError("a request got no reply");
            return;
        }
    state.counters["blocks"] = static_cast<double>(blocks.size());
    state.counters["perBlock"] = PerBlock(blocks.size());
}
BENCHMARK(FullReadInstantPerBlock_Ports)->UseRealTime()->Unit(benchmark::kMillisecond);

// A full read with the device at cable speed, against the time the cable alone needs for
// every request and reply.
void FullReadWireSpeed(benchmark::State& state) {
    PortSession session;
    if (!session.Open(CVirtualDevice::Speed::Wire)) {
        state.SkipWithError("the virtual device's ports do not open");
        return;
    }
    bench::CountingOut sent(*session.output);
    bench::CountingIn received;
    session.system.MidiManager().Output(0)->SetDevice(&sent);
    session.input->AddListener(&received);
    const std::vector<TavRange> blocks = ReadBlocks(session.system);

    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool read = FullRead(*session.reader, blocks);
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!read) {
            state.SkipWithError("a request got no reply");
            return;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    const double seconds = elapsed / iterations;
    const double wire =
        static_cast<double>(sent.total + received.total) / iterations / CVirtualDevice::kWireBytesPerSecond;
    state.counters["blocks"] = static_cast<double>(blocks.size());
    state.counters["totalMs"] = seconds * 1e3;
    state.counters["wireMs"] = wire * 1e3;
    state.counters["ratio"] = seconds / wire;
    state.counters["overheadUsPerBlock"] = (seconds - wire) * 1e6 / static_cast<double>(blocks.size());
}
BENCHMARK(FullReadWireSpeed)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);


// The device layer's Read (identity check, PC mode state, bank layout, every block) at
// cable speed, against the time the cable alone needs for what crossed it.
void DeviceReadWireSpeed(benchmark::State& state) {
    PortSession session;
    if (!session.Open(CVirtualDevice::Speed::Wire)) {
        state.SkipWithError("the virtual device's ports do not open");
        return;
    }
    bench::CountingOut sent(*session.output);
    bench::CountingIn received;
    session.system.MidiManager().Output(0)->SetDevice(&sent);
    session.input->AddListener(&received);
    Brio::CTavBufferAccessor accessor;
    if (!accessor.Start(session.system,
                        std::make_unique<Brio::CQueuedDeviceReader>(session.system, accessor.Entities(), session.queue),
                        std::make_unique<Brio::CTavWriter>(session.system.BufferManager()))) {
        state.SkipWithError("the device layer does not start");
        return;
    }
    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool read = accessor.Read();
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!read) {
            state.SkipWithError("the read failed");
            break;
        }
    }
    accessor.Shutdown();
    const double iterations = static_cast<double>(state.iterations());
    const double seconds = elapsed / iterations;
    const double wire =
        static_cast<double>(sent.total + received.total) / iterations / CVirtualDevice::kWireBytesPerSecond;
    state.counters["totalMs"] = seconds * 1e3;
    state.counters["wireMs"] = wire * 1e3;
    state.counters["ratio"] = seconds / wire;
}
BENCHMARK(DeviceReadWireSpeed)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// ---- An edit ------------------------------------------------------------------------

// An opened port that takes the bytes at once and needs no holding back.
class SwallowingDriver : public IMidiOutDriver {
public:
    explicit SwallowingDriver(size_t& messages) : m_messages(messages) {}
    bool SendShort(const uint8_t* bytes, size_t, std::string&) override { return Take(bytes); }
    bool SendLong(const uint8_t* bytes, size_t, std::string&) override { return Take(bytes); }
    bool LongDone() const override { return true; }
    bool Paced() const override { return false; }
    void Reset() override {}

private:
    bool Take(const uint8_t* bytes) {
        benchmark::DoNotOptimize(bytes);
        ++m_messages;
        return true;
    }
    size_t& m_messages;
};

// One user edit (write, transmit, publish, clear) until the port has the data set.
void EditToPort(benchmark::State& state) {
    CTavSystem system;
    if (!BuildShipped(system) || !system.MidiManager().Output(0)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    CTavBufferManager& buffers = system.BufferManager();
    CTavValue* value = buffers.FindValue("qv.prti.part[0].partLevel");
    if (!value) {
        state.SkipWithError("no part level");
        return;
    }
    size_t messages = 0;
    CMidiOutDevice device("bench");
    device.Port().Adopt(std::make_unique<SwallowingDriver>(messages), nullptr);
    system.MidiManager().Output(0)->SetDevice(&device);
    buffers.ClearPending();

    int32_t raw = 100;
    for (auto _ : state) {
        raw ^= 1; // every edit changes the value
        buffers.WriteInteger(*value, raw);
        buffers.TransmitPending();
        buffers.PublishPending();
        buffers.ClearPending();
    }
    system.MidiManager().Output(0)->SetDevice(nullptr);
    if (messages < static_cast<size_t>(state.iterations()))
        state.SkipWithError("the edit did not reach the port");
}
BENCHMARK(EditToPort);

} // namespace

BENCHMARK_MAIN();
