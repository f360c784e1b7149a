// Reading the catalog's names from a device that answers at once: the editor's own cost
// per name record (framing checked by the input, stored by the root struct, filed by the
// reader into the catalog), for the user and card name lists and for the sample pages.
// Then the same read from the virtual device through its ports, answering at once and at
// cable speed.

#include <benchmark/benchmark.h>

#include "BenchPorts.h"
#include "BenchSupport.h"

#include <chrono>
#include <memory>

#include "../tests/support/FakeCatalogDevice.h"
#include "device/CTavReader.h"
#include "device/port/CQueuedDeviceReader.h"
#include "midi/CTavMidiManager.h"
#include "midi/port/CMidiDevices.h"
#include "midi/port/CMidiEventQueue.h"
#include "midi/port/CVirtualDevicePort.h"
#include "virtual/CVirtualDevice.h"

namespace {

// The replies are delivered from the pump without waiting; the clock never runs out.
class InstantReader : public Brio::CTavReader {
public:
    using CTavReader::CTavReader;
    CTavMidiIn* input = nullptr;
    test::FakeCatalogDevice* device = nullptr;

protected:
    void Pump() override {
        while (!device->replies.empty()) {
            input->Receive(device->replies.front());
            device->replies.pop_front();
        }
    }
};

struct Session {
    Session() {
        if (!bench::BuildShipped(system))
            return;
        TavCreateFixedBanks(entities, {});
        reader = std::make_unique<InstantReader>(system.BufferManager(), entities, system.BufferOutput());
        device =
            std::make_unique<test::FakeCatalogDevice>(reader->Bindings(), *system.MidiManager().Input(0));
        reader->input = system.MidiManager().Input(0);
        reader->device = device.get();
        TavInstallTransfer(system.MidiManager(), *reader, writer);
        system.MidiManager().Output(0)->SetDevice(device.get());
    }
    CTavSystem system;
    CTavEntityManager entities;
    CTavMidiWriter writer;
    std::unique_ptr<InstantReader> reader;
    std::unique_ptr<test::FakeCatalogDevice> device;
};

// Four user banks of 128 patches, one of 64 rhythm sets and two card banks of 128
// patches: 832 names in 14 requests.
void BM_ReadAllNames(benchmark::State& state) {
    Session session;
    if (!session.reader) {
        state.SkipWithError("cannot build the shipped script");
        return;
    }
    session.device->banks[0][0] = {128, 128, 128, 128};
    session.device->banks[1][0] = {64};
    session.device->banks[0][1] = {128, 128};
    const uint32_t mask = Brio::TavReadMask::UserPatchNames | Brio::TavReadMask::UserRhythmSetNames |
                          Brio::TavReadMask::CardNames;
    if (session.reader->CountSteps(mask) < 0) {
        state.SkipWithError("number information failed");
        return;
    }
    for (auto _ : state)
        if (!session.reader->ReadBlocks(mask))
            state.SkipWithError("reading names failed");
    state.counters["perName"] =
        benchmark::Counter(832, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadAllNames)->Unit(benchmark::kMillisecond);

// 180 pages with 50 samples on each of the first 40 (the full user bank).
void BM_ReadSampleNames(benchmark::State& state) {
    Session session;
    if (!session.reader) {
        state.SkipWithError("cannot build the shipped script");
        return;
    }
    for (int32_t number = 1; number <= 2000; ++number)
        session.device->samples[{0, number}] = {number % 3, "Sample " + std::to_string(number), number * 100};
    for (auto _ : state)
        if (!session.reader->ReadBlocks(Brio::TavReadMask::SampleNames))
            state.SkipWithError("reading sample names failed");
    state.counters["perName"] =
        benchmark::Counter(2000, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadSampleNames)->Unit(benchmark::kMillisecond);

// ---- From the virtual device, through its ports ----------------------------------------



// The virtual device's ports wired as "vireo-cli names" wires them, its memory kept nowhere,
// with every byte on either side of the cable counted.
struct VirtualSession : bench::VirtualPorts {
    CTavSystem system;
    CTavEntityManager entities;
    std::unique_ptr<bench::CountingOut> sent;
    bench::CountingIn received;
    std::unique_ptr<Brio::CQueuedDeviceReader> reader;
    CTavMidiWriter writer;

    bool Open(CVirtualDevice::Speed speed) {
        if (!bench::BuildShipped(system) || !TavCreateFixedBanks(entities, {}) ||
            !VirtualPorts::Open(system, speed))
            return false;
        input->AddListener(&received);
        sent = std::make_unique<bench::CountingOut>(*output);
        system.MidiManager().Output(0)->SetDevice(sent.get());
        reader = std::make_unique<Brio::CQueuedDeviceReader>(system, entities, queue);
        return TavInstallTransfer(system.MidiManager(), *reader, writer);
    }
    // Number information, then the name lists, then the sample pages.
    bool ReadAll() {
        const uint32_t names = Brio::TavReadMask::UserPatchNames | Brio::TavReadMask::UserRhythmSetNames |
                               Brio::TavReadMask::CardNames;
        return reader->CountSteps(names) >= 0 && reader->ReadBlocks(names) &&
               reader->ReadBlocks(Brio::TavReadMask::SampleNames);
    }
    // The patch and rhythm-set entries and the samples the catalog now holds.
    int64_t Names() const {
        int64_t count = 0;
        for (int32_t type : {TavEntityType::Patch, TavEntityType::RhythmSet})
            for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
                for (auto entry = entities.Reference({type, area, TavWildcard, TavWildcard}); entry->IsValid();
                     entry->Next())
                    ++count;
        for (int32_t area : {TavEntityArea::User, TavEntityArea::Card})
            for (auto entry = entities.Reference({TavEntityType::Sample, area, 0, TavWildcard}); entry->IsValid();
                 entry->Next())
                if (!entry->Information().IsNull() && entry->EntityId().number != 0)
                    ++count;
        return count;
    }
    // The ports close before the device goes.
    ~VirtualSession() {
        input.reset();
        output.reset();
    }
};

// Every name and sample name of the virtual device, replies delivered at once: the time
// per name includes the ports, the input thread and the event queue.
void BM_VirtualDeviceNames_Instant(benchmark::State& state) {
    VirtualSession session;
    if (!session.Open(CVirtualDevice::Speed::Instant)) {
        state.SkipWithError("the virtual device's ports do not open");
        return;
    }
    for (auto _ : state)
        if (!session.ReadAll()) {
            state.SkipWithError("reading the names failed");
            return;
        }
    const int64_t names = session.Names();
    state.counters["names"] = static_cast<double>(names);
    state.counters["perName"] = benchmark::Counter(static_cast<double>(names),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}
BENCHMARK(BM_VirtualDeviceNames_Instant)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same read with the device at cable speed, against the time the cable alone needs
// for every byte sent and received.
void BM_VirtualDeviceNames_Wire(benchmark::State& state) {
    VirtualSession session;
    if (!session.Open(CVirtualDevice::Speed::Wire)) {
        state.SkipWithError("the virtual device's ports do not open");
        return;
    }
    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool read = session.ReadAll();
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!read) {
            state.SkipWithError("reading the names failed");
            return;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    const double seconds = elapsed / iterations;
    const double bytes = static_cast<double>(session.sent->total + session.received.total) / iterations;
    const double wire = bytes / CVirtualDevice::kWireBytesPerSecond;
    state.counters["names"] = static_cast<double>(session.Names());
    state.counters["wireBytes"] = bytes;
    state.counters["totalMs"] = seconds * 1e3;
    state.counters["wireMs"] = wire * 1e3;
    state.counters["ratio"] = seconds / wire;
}
BENCHMARK(BM_VirtualDeviceNames_Wire)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
