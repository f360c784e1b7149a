// The MIDI side of the model: framing an edit's data set and taking one in.

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include "app/CTavSystem.h"
#include "app/CTavTextOut.h"
#include "midi/CTavMidiManager.h"
#include "model/CTavBufferManager.h"
#include "view/CTavViewManager.h"

namespace {

using bench::BuildShipped;

// Swallows what the output sends, as an opened port would take it.
class NullDevice : public CTavMidiOutDevice {
public:
    void Send(const TavBytes& bytes) override { benchmark::DoNotOptimize(bytes.data()); }
};

// One leaf of a part: built into a data set and handed to the output's device.
void DataSetForOneLeaf(benchmark::State& state) {
    CTavSystem system;
    if (!BuildShipped(system)) {
        state.SkipWithError("the shipped script does not build");
        return;
    }
    CTavStruct* leaf = system.BufferManager().FindStruct("qv.prti.part[0]");
    CTavMidiOut* output = system.MidiManager().Output(0);
    if (!leaf || !output) {
        state.SkipWithError("no part leaf or output");
        return;
    }
    NullDevice device;
    output->SetDevice(&device);
    for (auto _ : state)
        leaf->Transmit();
    state.counters["leafBytes"] = static_cast<double>(leaf->Range().Length());
}
BENCHMARK(DataSetForOneLeaf);

// A 256-byte data set arriving at the first input: checked, stored in its leaf, and the
// changed values published.
// With the argument 1, the main panel is open (its controls loaded headless from the
// assembled script folder), so the change also walks the view tree.
void Receive256ByteDataSet(benchmark::State& state) {
    CTavSystem system;
    const bool panels = state.range(0) != 0;
    if (panels)
        system.SetScriptFolder(std::string(VIREO_BUILT_SCRIPT_DIR) + "/");
    if (!bench::Build(system, bench::ShippedScript(), panels ? CTavSystem::Views::Build : CTavSystem::Views::Skip) ||
        (panels && !system.ViewManager().OpenRootPanel("main"))) {
        state.SkipWithError(("the shipped script does not build: " + system.ErrorText()).c_str());
        return;
    }
    CTavBufferManager& buffers = system.BufferManager();
    CTavMidiIn* input = system.MidiManager().Input(0);
    CTavMidiOut* output = system.MidiManager().Output(0);
    // The first leaf of the device's memory that holds at least 256 bytes.
    CTavLeafStruct* target = nullptr;
    for (const char* root : {"qv", "com"})
        buffers.FindRoot(root)->ForEachLeaf([&](CTavLeafStruct& leaf) {
            if (!target && leaf.Bytes()->size() >= 256)
                target = &leaf;
        });
    if (!input || !output || !target) {
        state.SkipWithError("no input, output or large leaf");
        return;
    }
    const TavBytes data(target->Bytes()->begin(), target->Bytes()->begin() + 256);
    const CTavHaldenMessage message = CTavHaldenMessage::DataSet(
        output->ManufacturerId(), input->DeviceId(), input->ModelId(), input->AddressSize(),
        static_cast<uint32_t>(target->AbsoluteRange().begin), data.data(), data.size());
    const TavBytes& bytes = message.Bytes();
    for (auto _ : state)
        input->Receive(bytes);
    state.counters["leaf"] = static_cast<double>(target->Bytes()->size());
}
BENCHMARK(Receive256ByteDataSet)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
