// Reading the catalog's names from a device that answers at once: the editor's own cost
// per name record (framing checked by the input, stored by the root struct, filed by the
// reader into the catalog), for the user and card name lists and for the sample pages.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <chrono>
#include <memory>

#include "../tests/support/FakeCatalogDevice.h"
#include "device/CTavReader.h"
#include "midi/CTavMidiManager.h"

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

} // namespace

BENCHMARK_MAIN();
